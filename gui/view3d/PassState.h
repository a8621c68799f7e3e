// The GL state a pass of the view draws with, read from the view's context so that a
// second context (SecondContext) can draw part of the same pass into the same
// framebuffer, the same way.
#pragma once

#include <QOpenGLFunctions>

namespace vortel::view {

struct PassState {
    GLfloat modelview[16], projection[16], colour[4], lineWidth, polygonOffset[2];
    GLdouble depthRange[2];
    GLint viewport[4], depthFunc, blendSrcRgb, blendDstRgb, blendSrcAlpha, blendDstAlpha;
    GLint blendEquationRgb, blendEquationAlpha, shadeModel, polygonMode[2], cullMode, frontFace;
    GLboolean depthMask, colourMask[4], blend, dither, cull, polygonOffsetFill;
    // The framebuffer's attachments: object type (GL_NONE, GL_TEXTURE, GL_RENDERBUFFER) and name.
    GLint colourType, colourName, depthType, depthName, stencilType, stencilName;
    int split;  // first pixel column of the second context's side
};

// Reads the state of the context current on this thread. False when the pass uses
// anything not carried over: lighting, texturing, fog, alpha, stencil or scissor test,
// clip planes, smoothing, stipple, colour logic, a program, the window's own or a
// multisampled framebuffer, or attachments other than level 0 of a 2-D texture or a
// renderbuffer.
bool readPassState(QOpenGLFunctions& gl, PassState& st);

// In the context current on this thread: binds `framebuffer` (created on first use) to
// the attachments read; false when it is not complete.
bool attachPassFramebuffer(QOpenGLFunctions& gl, const PassState& st, GLuint& framebuffer);

// Sets the state read, with the scissor test keeping the drawing to the columns from
// st.split on. The framebuffer is bound by attachPassFramebuffer.
void applyPassState(QOpenGLFunctions& gl, const PassState& st);

}  // namespace vortel::view
