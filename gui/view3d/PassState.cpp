#include "view3d/PassState.h"

#include <GL/gl.h>

namespace vortel::view {
namespace {

bool readAttachment(QOpenGLFunctions& gl, GLenum point, GLint& type, GLint& name) {
    type = GL_NONE;
    name = 0;
    gl.glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    if (type == GL_NONE) return true;
    gl.glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    if (type == GL_TEXTURE) {
        GLint level = -1, face = -1;
        gl.glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_TEXTURE_LEVEL, &level);
        gl.glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, point, GL_FRAMEBUFFER_ATTACHMENT_TEXTURE_CUBE_MAP_FACE, &face);
        return level == 0 && face == 0;
    }
    return type == GL_RENDERBUFFER;
}

void attach(QOpenGLFunctions& gl, GLenum point, GLint type, GLint name) {
    const GLuint object = static_cast<GLuint>(name);
    if (type == GL_TEXTURE)
        gl.glFramebufferTexture2D(GL_FRAMEBUFFER, point, GL_TEXTURE_2D, object, 0);
    else
        gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, point, GL_RENDERBUFFER, type == GL_NONE ? 0 : object);
}

void enable(QOpenGLFunctions& gl, GLenum cap, GLboolean on) {
    if (on)
        gl.glEnable(cap);
    else
        gl.glDisable(cap);
}

}  // namespace

bool readPassState(QOpenGLFunctions& gl, PassState& st) {
    static constexpr GLenum kOff[] = {
        GL_ALPHA_TEST,    GL_FOG,           GL_LINE_SMOOTH,   GL_LINE_STIPPLE,  GL_POLYGON_STIPPLE, GL_POLYGON_OFFSET_LINE,
        GL_POLYGON_OFFSET_POINT, GL_POLYGON_SMOOTH, GL_POINT_SMOOTH, GL_COLOR_LOGIC_OP, GL_LIGHTING,
        GL_TEXTURE_1D,    GL_TEXTURE_2D,    GL_TEXTURE_3D,    GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,   GL_STENCIL_TEST,
        GL_SCISSOR_TEST,  GL_CLIP_PLANE0,   GL_CLIP_PLANE1,   GL_CLIP_PLANE2,   GL_CLIP_PLANE3,     GL_CLIP_PLANE4,
        GL_CLIP_PLANE5};
    for (GLenum cap : kOff)
        if (gl.glIsEnabled(cap)) return false;
    GLint framebuffer = 0, sampleBuffers = 0, program = 0;
    gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    gl.glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    gl.glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    if (framebuffer == 0 || sampleBuffers != 0 || program != 0) return false;
    if (!readAttachment(gl, GL_COLOR_ATTACHMENT0, st.colourType, st.colourName) || st.colourType == GL_NONE ||
        !readAttachment(gl, GL_DEPTH_ATTACHMENT, st.depthType, st.depthName) ||
        !readAttachment(gl, GL_STENCIL_ATTACHMENT, st.stencilType, st.stencilName))
        return false;
    glGetFloatv(GL_MODELVIEW_MATRIX, st.modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, st.projection);
    glGetFloatv(GL_CURRENT_COLOR, st.colour);
    glGetFloatv(GL_LINE_WIDTH, &st.lineWidth);
    glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &st.polygonOffset[0]);
    glGetFloatv(GL_POLYGON_OFFSET_UNITS, &st.polygonOffset[1]);
    glGetDoublev(GL_DEPTH_RANGE, st.depthRange);
    gl.glGetIntegerv(GL_VIEWPORT, st.viewport);
    gl.glGetIntegerv(GL_DEPTH_FUNC, &st.depthFunc);
    gl.glGetIntegerv(GL_BLEND_SRC_RGB, &st.blendSrcRgb);
    gl.glGetIntegerv(GL_BLEND_DST_RGB, &st.blendDstRgb);
    gl.glGetIntegerv(GL_BLEND_SRC_ALPHA, &st.blendSrcAlpha);
    gl.glGetIntegerv(GL_BLEND_DST_ALPHA, &st.blendDstAlpha);
    gl.glGetIntegerv(GL_BLEND_EQUATION_RGB, &st.blendEquationRgb);
    gl.glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &st.blendEquationAlpha);
    gl.glGetIntegerv(GL_SHADE_MODEL, &st.shadeModel);
    gl.glGetIntegerv(GL_POLYGON_MODE, st.polygonMode);
    gl.glGetIntegerv(GL_CULL_FACE_MODE, &st.cullMode);
    gl.glGetIntegerv(GL_FRONT_FACE, &st.frontFace);
    gl.glGetBooleanv(GL_DEPTH_WRITEMASK, &st.depthMask);
    gl.glGetBooleanv(GL_COLOR_WRITEMASK, st.colourMask);
    st.blend = gl.glIsEnabled(GL_BLEND);
    st.dither = gl.glIsEnabled(GL_DITHER);
    st.cull = gl.glIsEnabled(GL_CULL_FACE);
    st.polygonOffsetFill = gl.glIsEnabled(GL_POLYGON_OFFSET_FILL);
    if (!gl.glIsEnabled(GL_DEPTH_TEST)) return false;
    return gl.glGetError() == GL_NO_ERROR;
}

bool attachPassFramebuffer(QOpenGLFunctions& gl, const PassState& st, GLuint& framebuffer) {
    if (!framebuffer) gl.glGenFramebuffers(1, &framebuffer);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    // Bound afresh each time: a resized view has new attachments, maybe under old names.
    attach(gl, GL_COLOR_ATTACHMENT0, st.colourType, st.colourName);
    attach(gl, GL_DEPTH_ATTACHMENT, st.depthType, st.depthName);
    attach(gl, GL_STENCIL_ATTACHMENT, st.stencilType, st.stencilName);
    return gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE && gl.glGetError() == GL_NO_ERROR;
}

void applyPassState(QOpenGLFunctions& gl, const PassState& st) {
    gl.glViewport(st.viewport[0], st.viewport[1], st.viewport[2], st.viewport[3]);
    glDepthRange(st.depthRange[0], st.depthRange[1]);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(st.projection);
    glMatrixMode(GL_MODELVIEW);
    gl.glDisable(GL_LIGHTING);
    glLoadMatrixf(st.modelview);
    gl.glEnable(GL_DEPTH_TEST);
    gl.glDepthFunc(static_cast<GLenum>(st.depthFunc));
    gl.glDepthMask(st.depthMask);
    enable(gl, GL_BLEND, st.blend);
    gl.glBlendFuncSeparate(static_cast<GLenum>(st.blendSrcRgb), static_cast<GLenum>(st.blendDstRgb),
                           static_cast<GLenum>(st.blendSrcAlpha), static_cast<GLenum>(st.blendDstAlpha));
    gl.glBlendEquationSeparate(static_cast<GLenum>(st.blendEquationRgb), static_cast<GLenum>(st.blendEquationAlpha));
    gl.glColorMask(st.colourMask[0], st.colourMask[1], st.colourMask[2], st.colourMask[3]);
    enable(gl, GL_DITHER, st.dither);
    enable(gl, GL_CULL_FACE, st.cull);
    gl.glCullFace(static_cast<GLenum>(st.cullMode));
    gl.glFrontFace(static_cast<GLenum>(st.frontFace));
    enable(gl, GL_POLYGON_OFFSET_FILL, st.polygonOffsetFill);
    gl.glPolygonOffset(st.polygonOffset[0], st.polygonOffset[1]);
    glShadeModel(static_cast<GLenum>(st.shadeModel));
    gl.glLineWidth(st.lineWidth);
    glPolygonMode(GL_FRONT, static_cast<GLenum>(st.polygonMode[0]));
    glPolygonMode(GL_BACK, static_cast<GLenum>(st.polygonMode[1]));
    glColor4fv(st.colour);
    gl.glEnable(GL_SCISSOR_TEST);
    gl.glScissor(st.split, 0, 1 << 15, 1 << 15);
}

}  // namespace vortel::view
