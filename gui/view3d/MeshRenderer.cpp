// Mesh, wire overlay, label and UV passes of the 3D view, in the reference
// (immediate mode) and the fast (buffer objects, one call per run) drawing.
#include "view3d/MeshRenderer.h"

#include <GL/gl.h>

#include <QOpenGLContext>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "doc/GroupPalette.h"
#include "platform/TwoThreads.h"
#include "view3d/PolygonFont.h"
#include "view3d/SceneSetup.h"

namespace vortel::view {
namespace {

void setEmission(float r, float g, float b, float a) {
    const GLfloat e[] = {r, g, b, a};
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, e);
}

void setAmbientDiffuse(float r, float g, float b, float a) {
    const GLfloat c[] = {r, g, b, a};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, c);
}

void setAmbient(float r, float g, float b) {
    const GLfloat c[] = {r, g, b, 0.5f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
}

// Binds an element buffer of the context current on this thread, grown to hold
// `indices` when its capacity (kept by the caller) is smaller.
void growElements(QOpenGLFunctions& gl, GLuint buffer, size_t& capacity, size_t indices) {
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    if (indices <= capacity) return;
    capacity = indices;
    gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity * sizeof(GLuint)), nullptr, GL_STREAM_DRAW);
}

PaletteColour fileColour(const CVELTADoc& doc, int m) {
    if (m < 0 || m >= kMaxMaterials) return {0.0f, 0.0f, 0.0f};
    const Vec3& c = doc.materialColourTable[static_cast<size_t>(m)];
    return {c.x, c.y, c.z};
}

// One corner of the UV pass: the display position blended towards its UV point at the UV plane.
Vec3 uvCorner(const CVELTADoc& doc, int corner, float t) {
    const int v = doc.cornerVertexList[static_cast<size_t>(corner)];
    const int n = doc.cornerUvList[static_cast<size_t>(corner)];
    const Vec3& d = doc.displayVertexArray[static_cast<size_t>(v - 1)];
    UvCoord uv;
    if (n >= 1 && n <= doc.uvCount) uv = doc.uvArray[static_cast<size_t>(n - 1)];
    const float s = 1.0f - t;
    Vec3 out;
    out.x = 0.29931158f * (uv.u - 0.5f) * t + s * d.x;
    out.y = 0.29931158f * (uv.v - 0.5f) * t + s * d.y;
    out.z = s * d.z + t * kUvPlaneDepth;
    return out;
}

// Segments of a face outline in the wire overlay's element buffer: two indices per corner.
size_t wireLineIndices(int corners) { return 2 * static_cast<size_t>(corners); }

// Faces per chunk of the wire overlay (up to four segments each): after each chunk the
// drawing is flushed, so that Mesa's software rasteriser threads can fill in the first
// segments while the next are being set up, instead of waiting for the whole frame.
constexpr size_t kWireChunkFaces = 4096;

// Triangles per chunk of the filled runs of the mesh pass, each chunk followed by a
// flush: the rasteriser threads start on the mesh early, so that the wire overlay's
// read-back of the depth buffer finds little of it left to wait for.
constexpr size_t kFrontChunkTriangles = 8192;

// Pixel columns and rows beyond a segment's window box that its fragments may reach: the
// diamond-exit rule keeps pixel centres within half a pixel of the segment, other rules
// the GL allows may move them by a pixel more, and the ends are snapped (see depthRange).
constexpr float kLineReach = 2.0f;

// Width of the tiles Mesa's software rasteriser works in, from the left edge of the
// framebuffer: a split of the wire overlay at a multiple of it leaves each of the two
// contexts tiles of its own, so neither writes memory the other one writes.
constexpr int kRasterTile = 64;

// Side of the square tiles in which the wire overlay looks up the depth buffer's largest value.
constexpr int kDepthTile = 4;

// From this many vertices on, their window positions are found on two threads: the GL's
// own threads are idle while it is done.
constexpr size_t kTwoThreadItems = 16384;

// floor for window coordinates (well inside the int range), without a library call.
inline int floorToInt(float v) {
    const int i = static_cast<int>(v);
    return i - (static_cast<float>(i) > v ? 1 : 0);
}

// How far the GL's window position of a vertex may lie from the one found here: its
// snapping to 1/256 pixel and its own rounding of the transform, with room to spare.
constexpr double kWindowSlack = 1.0 / 128.0;

// A filled triangle, its corners within kWindowSlack of (x[k], y[k]) (window coordinates,
// y up), that certainly covers no pixel centre (i + 0.5, j + 0.5), so the GL makes no fragment of
// it. keptSign is the sign of twice the area of the triangles the GL keeps: one of the
// other sign is culled anyway. A centre is certainly outside when it lies on the outer side
// of an edge by more than moving the corners by the slack could change: the edge function
// (Q - P) x (p - P) moves by at most slack x (2 |p - P| + |Q - P|) <= 3 x slack x the
// largest distance involved. Triangles with more than a few centres near them are kept.
// Window coordinates are below 2^14, so float differences and products of a few pixels
// carry errors far below the margins used here.
inline bool coversNoPixelCentre(const float (&x)[3], const float (&y)[3], float keptSign) {
    const float x0 = std::min({x[0], x[1], x[2]}), x1 = std::max({x[0], x[1], x[2]});
    const float y0 = std::min({y[0], y[1], y[2]}), y1 = std::max({y[0], y[1], y[2]});
    // Columns and rows whose centres lie less than the slack outside the box.
    const float slack = static_cast<float>(kWindowSlack);
    const int c0 = floorToInt(x0 - 0.5f - slack) + 1, c1 = floorToInt(x1 - 0.5f + slack);
    const int r0 = floorToInt(y0 - 0.5f - slack) + 1, r1 = floorToInt(y1 - 0.5f + slack);
    if (c1 < c0 || r1 < r0) return true;  // no centre within reach of the triangle's box
    if ((c1 - c0 + 1) * (r1 - r0 + 1) > 4) return false;
    const float margin = 3.0f * slack * ((x1 - x0) + (y1 - y0) + 2.0f);
    const float qx[3] = {x[1] - x[0], x[2] - x[1], x[0] - x[2]}, qy[3] = {y[1] - y[0], y[2] - y[1], y[0] - y[2]};
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const float px = static_cast<float>(c) + 0.5f, py = static_cast<float>(r) + 0.5f;
            bool outside = false;
            for (int k = 0; k < 3 && !outside; ++k)
                outside = keptSign * (qx[k] * (py - y[k]) - qy[k] * (px - x[k])) < -margin;
            if (!outside) return false;
        }
    return true;
}

}  // namespace

MeshRenderer::MeshRenderer(const CVELTADoc& doc) : m_doc(doc) {}

MeshRenderer::~MeshRenderer() = default;

void MeshRenderer::initializeGl() {
    initializeOpenGLFunctions();
    m_multiDrawElements = reinterpret_cast<MultiDrawElements>(
        QOpenGLContext::currentContext()->getProcAddress("glMultiDrawElements"));
    if (!m_multiDrawElements) return;  // without it only the reference drawing is available
    GLuint buffers[8] = {};
    glGenBuffers(8, buffers);
    m_positionBuffer = buffers[0];
    m_normalBuffer = buffers[1];
    m_uvBuffer = buffers[2];
    m_uvEdgeFlagBuffer = buffers[3];
    m_meshRuns.elements = buffers[4];
    m_wireRuns.elements = buffers[5];
    m_frontElements = buffers[6];
    m_wireSides[0].elements = buffers[7];
    m_frontCapacity = m_wireSides[0].capacity = 0;
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    m_secondAllowed = renderer && std::strstr(renderer, "llvmpipe") != nullptr;
    m_secondFailed = false;
    m_windowUploads = -1;
    m_meshRuns.valid = m_wireRuns.valid = false;
    m_uploadedVertices = 0;
    m_uvEdgeFlagCorners = 0;
    m_geometryDirty = true;
    m_glReady = true;
}

void MeshRenderer::releaseGl() {
    if (!m_glReady) return;
    const GLuint buffers[8] = {m_positionBuffer,     m_normalBuffer,       m_uvBuffer,      m_uvEdgeFlagBuffer,
                               m_meshRuns.elements, m_wireRuns.elements, m_frontElements, m_wireSides[0].elements};
    glDeleteBuffers(8, buffers);
    // The second context's own objects go with it; the shared ones above outlive it.
    m_second.stop([this](QOpenGLFunctions& gl) {
        gl.glDeleteBuffers(1, &m_wireSides[1].elements);
        gl.glDeleteFramebuffers(1, &m_secondFramebuffer);
    });
    m_wireSides[1].elements = m_secondFramebuffer = 0;
    m_wireSides[1].capacity = 0;
    m_meshRuns.valid = m_wireRuns.valid = false;
    m_glReady = false;
}

bool MeshRenderer::visibleAt(int index) const {
    if (index < 0 || index >= kMaxGroups) return true;
    return m_doc.groupVisibleFlag[static_cast<size_t>(index)] != 0;
}

bool MeshRenderer::faceIsValid(int first, int count) const {
    if (first < 0 || count < 0 || first + count > kCornerSlots) return false;
    const int* cv = m_doc.cornerVertexList.data() + first;
    for (int c = 0; c < count; ++c)
        if (cv[c] < 1 || cv[c] > m_doc.vertexCount) return false;
    return true;
}

void MeshRenderer::materialColour(float r, float g, float b) {
    glColor3f(r, g, b);
    setAmbientDiffuse(r, g, b, 0.5f);
    m_haveMaterial = true;
    m_material[0] = r;
    m_material[1] = g;
    m_material[2] = b;
}

void MeshRenderer::syncGeometry() {
    const int v = m_doc.vertexCount;
    if (!m_geometryDirty && v == m_uploadedVertices) return;
    if (v > 0) {
        const GLsizeiptr size = static_cast<GLsizeiptr>(v) * static_cast<GLsizeiptr>(sizeof(Vec3));
        glBindBuffer(GL_ARRAY_BUFFER, m_positionBuffer);
        if (v != m_uploadedVertices) glBufferData(GL_ARRAY_BUFFER, size, nullptr, GL_DYNAMIC_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, size, m_doc.displayVertexArray.data());
        // The vertex normal sums: every corner normal is a copy of its vertex's sum.
        glBindBuffer(GL_ARRAY_BUFFER, m_normalBuffer);
        if (v != m_uploadedVertices) glBufferData(GL_ARRAY_BUFFER, size, nullptr, GL_DYNAMIC_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, size, m_doc.vertexNormalSums.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        ++m_uploads;
    }
    m_uploadedVertices = v;
    m_geometryDirty = false;
}

void MeshRenderer::bindSource(GLuint positions, GLuint normals) {
    glBindBuffer(GL_ARRAY_BUFFER, positions);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    m_normalsBound = normals != 0;
    if (m_normalsBound) {
        glBindBuffer(GL_ARRAY_BUFFER, normals);
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, nullptr);
    }
    if (positions == m_uvBuffer) {
        glBindBuffer(GL_ARRAY_BUFFER, m_uvEdgeFlagBuffer);
        glEdgeFlagPointer(0, nullptr);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    m_batch = Batch::None;
    m_indexCount = 0;
}

void MeshRenderer::unbindSource() {
    flushBatch();
    glDisableClientState(GL_VERTEX_ARRAY);
    if (m_normalsBound) glDisableClientState(GL_NORMAL_ARRAY);
    m_normalsBound = false;
    glEdgeFlag(GL_TRUE);
}

GLuint* MeshRenderer::reserveIndices(size_t n) {
    if (m_indexCount + n > m_indices.size()) m_indices.resize(std::max(m_indices.size() * 2, m_indexCount + n + 4096));
    GLuint* out = m_indices.data() + m_indexCount;
    m_indexCount += n;
    return out;
}

void MeshRenderer::queueFace(const int* ids, int count, int bias, GLenum prim, GLenum polygonMode, int copyOffset) {
    if (prim == GL_POLYGON) {
        if (count < 3) return;  // an incomplete polygon draws nothing
        if (polygonMode != GL_FILL && m_recording) {
            // Line and point modes: the polygon itself, cut and outlined by the GL as in the reference.
            if (m_batch != Batch::Polygons) {
                flushBatch();
                m_batch = Batch::Polygons;
            }
            m_polygonCounts.push_back(count);
            m_polygonOffsets.push_back(reinterpret_cast<const void*>(m_indexCount * sizeof(GLuint)));
            GLuint* out = reserveIndices(static_cast<size_t>(count));
            for (int i = 0; i < count; ++i) out[i] = static_cast<GLuint>(ids[i] + bias);
            return;
        }
        const Batch want = polygonMode == GL_FILL ? Batch::Filled : Batch::Unfilled;
        if (m_batch != want) {
            flushBatch();
            m_batch = want;
        }
        GLuint* out = reserveIndices(static_cast<size_t>(3 * (count - 2)));
        const GLuint q0 = static_cast<GLuint>(ids[0] + bias);
        const GLuint off = static_cast<GLuint>(copyOffset);
        for (int i = 1; i + 1 < count; ++i) {
            const GLuint a = static_cast<GLuint>(ids[i] + bias);
            const GLuint b = static_cast<GLuint>(ids[i + 1] + bias);
            if (want == Batch::Filled) {
                *out++ = a, *out++ = b, *out++ = q0;
            } else {
                // Only the polygon's outline carries edge flag 1: edge (i, i+1) always,
                // (i+1, 0) on the last triangle, (0, i) on the first.
                *out++ = a, *out++ = i + 2 == count ? b : b + off, *out++ = i == 1 ? q0 : q0 + off;
            }
        }
        return;
    }
    if (count < 2) return;
    if (m_batch != Batch::Lines) {
        flushBatch();
        m_batch = Batch::Lines;
    }
    const bool loop = prim == GL_LINE_LOOP;
    GLuint* out = reserveIndices(static_cast<size_t>(2 * (loop ? count : count - 1)));
    for (int i = 0; i + 1 < count; ++i) *out++ = static_cast<GLuint>(ids[i] + bias), *out++ = static_cast<GLuint>(ids[i + 1] + bias);
    if (loop) *out++ = static_cast<GLuint>(ids[count - 1] + bias), *out++ = static_cast<GLuint>(ids[0] + bias);
}

void MeshRenderer::flushBatch() {
    if (m_recording) {
        if (m_batch == Batch::Polygons && m_polygonCounts.size() > m_polygonStart) {
            Command c{Command::Kind::Draw};
            c.batch = m_batch;
            c.first = m_polygonStart;
            c.count = m_polygonCounts.size() - m_polygonStart;
            m_recording->push_back(c);
        } else if (m_batch != Batch::None && m_batch != Batch::Polygons && m_indexCount > m_batchStart) {
            Command c{Command::Kind::Draw};
            c.batch = m_batch;
            c.first = m_batchStart;
            c.count = m_indexCount - m_batchStart;
            m_recording->push_back(c);
        }
        m_batchStart = m_indexCount;
        m_polygonStart = m_polygonCounts.size();
        m_batch = Batch::None;
        return;
    }
    if (m_batch != Batch::None && m_indexCount > 0) {
        const GLenum prim = m_batch == Batch::Lines ? GL_LINES : GL_TRIANGLES;
        if (m_batch == Batch::Unfilled) glEnableClientState(GL_EDGE_FLAG_ARRAY);
        glDrawElements(prim, static_cast<GLsizei>(m_indexCount), GL_UNSIGNED_INT, m_indices.data());
        if (m_batch == Batch::Unfilled) glDisableClientState(GL_EDGE_FLAG_ARRAY);
        ++m_batches;
    }
    m_indexCount = 0;
    m_batch = Batch::None;
}

std::vector<unsigned char> MeshRenderer::passKey(const ViewState& s, bool wirePass) const {
    const CVELTADoc& d = m_doc;
    std::vector<unsigned char> key;
    auto put = [&key](long long v) {
        const auto* p = reinterpret_cast<const unsigned char*>(&v);
        key.insert(key.end(), p, p + sizeof v);
    };
    put(m_generation);
    put(d.faceCount);
    put(d.vertexCount);
    if (wirePass) {
        put(s.colourMode == kColourObject ? 1 : 0);
    } else {
        put(s.colourMode);
        put(s.labelShownFlag);
        put(s.selectedGroupIndex);
        put(static_cast<long long>(s.polygonMode));
        put(s.lineLoopFlag);
        put(d.fileColoursFlag);
        put(d.morphLoadedFlag);
    }
    key.insert(key.end(), d.groupVisibleFlag.data(), d.groupVisibleFlag.data() + kMaxGroups);
    return key;
}

void MeshRenderer::walkMaterial(float r, float g, float b) {
    if (!m_recording) {
        materialColour(r, g, b);
        return;
    }
    flushBatch();
    Command c{Command::Kind::Material};
    c.r = r, c.g = g, c.b = b;
    m_recording->push_back(c);
}

void MeshRenderer::walkMorphColour(int token) {
    if (m_recording) {
        flushBatch();
        Command c{Command::Kind::MorphColour};
        c.token = token;
        m_recording->push_back(c);
        return;
    }
    if (token) {
        glColor3f(1.0f, 0.4f, 0.4f);
        setAmbientDiffuse(1.0f, 0.4f, 0.4f, 1.0f);
    } else {
        glColor3f(0.9f, 0.9f, 0.9f);
        setAmbientDiffuse(1.0f, 1.0f, 1.0f, 0.5f);
    }
}

void MeshRenderer::walkPolygonMode(GLenum mode) {
    if (m_recording) {
        flushBatch();
        Command c{Command::Kind::PolygonMode};
        c.mode = mode;
        m_recording->push_back(c);
        return;
    }
    glPolygonMode(GL_FRONT_AND_BACK, mode);
}

long long MeshRenderer::walkMeshFaces(const ViewState& s, bool record) {
    const CVELTADoc& d = m_doc;
    const int* cv = d.cornerVertexList.data();
    const Vec3* dv = d.displayVertexArray.data();
    const Vec3* cn = d.cornerNormalList.data();
    GLenum polygonMode = s.polygonMode;
    int lastKey = -1;
    int lastToken = -1;
    long long lastNormal = -1;
    size_t k = 0;  // running corner-normal index: advances for every face, drawn or not
    for (int f = 0; f < d.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        const int first = d.faceFirstCorner[fi];
        const int count = d.faceCornerCount[fi];
        const int g = d.faceGroup[fi];
        const int m = d.faceMaterial[fi];
        bool drawn = true;
        switch (s.colourMode) {
        case kColourObject:
            drawn = visibleAt(g);
            if (drawn && g != lastKey) {
                if (s.labelShownFlag == 1) {
                    polygonMode = g == s.selectedGroupIndex ? s.polygonMode : GL_POINT;
                    walkPolygonMode(polygonMode);
                }
                const PaletteColour& c = groupPaletteColour(g);
                walkMaterial(c.r, c.g, c.b);
                lastKey = g;
            }
            break;
        case kColourMaterial:
            drawn = visibleAt(m);
            if (!drawn) break;
            if (d.fileColoursFlag == 0) {
                if (m != lastKey) {
                    const PaletteColour& c = groupPaletteColour(m);
                    walkMaterial(c.r, c.g, c.b);
                    lastKey = m;
                }
            } else if (!record || m != lastKey) {  // every face sets its file colour; a run repeats it
                const PaletteColour c = fileColour(d, m);
                walkMaterial(c.r, c.g, c.b);
                lastKey = m;
            }
            break;
        default:  // NONE: morph colours per face
            drawn = visibleAt(m);
            if (drawn && d.morphLoadedFlag == 1) {
                const int token = d.faceMovedFlag[fi] ? 1 : 0;
                if (!record || token != lastToken) {
                    walkMorphColour(token);
                    lastToken = token;
                }
            }
            break;
        }
        if (drawn && count > 0 && faceIsValid(first, count)) {
            const GLenum prim = s.lineLoopFlag == 1 ? GL_LINE_LOOP : d.faceKind[fi] == 'L' ? GL_LINE_STRIP : GL_POLYGON;
            if (record) {
                queueFace(cv + first, count, -1, prim, polygonMode, d.vertexCount);
            } else {
                glBegin(prim);
                for (int c = 0; c < count; ++c) {
                    glNormal3fv(&cn[k + static_cast<size_t>(c)].x);
                    glVertex3fv(&dv[cv[first + c] - 1].x);
                }
                glEnd();
            }
            lastNormal = static_cast<long long>(k) + count - 1;
        }
        if (count > 0) k += static_cast<size_t>(count);
    }
    return lastNormal;
}

void MeshRenderer::recordMeshPass(const ViewState& s) {
    m_meshRuns.commands.clear();
    m_recording = &m_meshRuns.commands;
    m_batch = Batch::None;
    m_indexCount = m_batchStart = 0;
    m_meshRuns.lastNormal = walkMeshFaces(s, true);
    finishRecording(m_meshRuns);
}

void MeshRenderer::recordWirePass(const ViewState& s) {
    const CVELTADoc& d = m_doc;
    m_wireRuns.commands.clear();
    m_recording = &m_wireRuns.commands;
    m_batch = Batch::None;
    m_indexCount = m_batchStart = 0;
    // Every drawn face twice: its outline as segments 0 -> 1, 1 -> 2, ..., n - 1 -> 0,
    // and as the polygon. The GL outlines a polygon in line mode by cutting it into the
    // fan triangles (k + 1, k + 2, 0) and drawing their outer edges, which are exactly
    // those segments in that order and direction, so the segments give the same pixels
    // at a fraction of the cost. Two cases do not hold and keep the polygon: a face with
    // a fan triangle of no area (two corners at one position, or three in a line: Mesa's
    // polygon-offset stage, present all frame, then puts its edges at depth 0), and a
    // face reaching the edge of the view volume (the clipped polygon is outlined along
    // other segments). Each frame picks per face, keeping the face order.
    const int* cv = d.cornerVertexList.data();
    m_wireFaces.clear();
    size_t lineIndices = 0;
    for (int f = 0; f < d.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        const int index = s.colourMode == kColourObject ? d.faceGroup[fi] : d.faceMaterial[fi];
        if (!visibleAt(index)) continue;
        const int first = d.faceFirstCorner[fi];
        const int count = d.faceCornerCount[fi];
        if (count < 3 || !faceIsValid(first, count)) continue;  // fewer than three corners: no polygon
        WireFace w;
        w.lineFirst = static_cast<GLuint>(lineIndices);
        w.firstCorner = first;
        w.corners = count;
        lineIndices += wireLineIndices(count);
        m_wireFaces.push_back(w);
    }
    m_indexCount = 0;
    GLuint* lines = reserveIndices(lineIndices);
    for (const WireFace& w : m_wireFaces) {
        const int* c = cv + w.firstCorner;
        for (int k = 0; k < w.corners; ++k) {
            *lines++ = static_cast<GLuint>(c[k] - 1);
            *lines++ = static_cast<GLuint>(c[k + 1 < w.corners ? k + 1 : 0] - 1);
        }
    }
    for (WireFace& w : m_wireFaces) {
        w.polygonFirst = static_cast<GLuint>(m_indexCount);
        GLuint* out = reserveIndices(static_cast<size_t>(w.corners));
        const int* c = cv + w.firstCorner;
        for (int k = 0; k < w.corners; ++k) out[k] = static_cast<GLuint>(c[k] - 1);
    }
    m_batch = Batch::None;
    finishRecording(m_wireRuns);
    m_wireCollapsedUploads = -1;
}

void MeshRenderer::findCollapsedWireFaces() {
    const int* cv = m_doc.cornerVertexList.data();
    const Vec3* dv = m_doc.displayVertexArray.data();
    m_wireCollapsed.assign(m_wireFaces.size(), 0);
    for (size_t i = 0; i < m_wireFaces.size(); ++i) {
        const int* c = cv + m_wireFaces[i].firstCorner;
        const int n = m_wireFaces[i].corners;
        // A fan triangle (k + 1, k + 2, 0) with coinciding or (nearly) collinear corners.
        bool collapsed = false;
        const Vec3& p0 = dv[c[0] - 1];
        for (int k = 0; k + 2 < n && !collapsed; ++k) {
            const Vec3& a = dv[c[k + 1] - 1];
            const Vec3& b = dv[c[k + 2] - 1];
            const double ex = double(a.x) - p0.x, ey = double(a.y) - p0.y, ez = double(a.z) - p0.z;
            const double fx = double(b.x) - p0.x, fy = double(b.y) - p0.y, fz = double(b.z) - p0.z;
            const double cx = ey * fz - ez * fy, cy = ez * fx - ex * fz, cz = ex * fy - ey * fx;
            const double cross2 = cx * cx + cy * cy + cz * cz;
            const double e2 = ex * ex + ey * ey + ez * ez, f2 = fx * fx + fy * fy + fz * fz;
            collapsed = cross2 <= 1e-12 * e2 * f2;  // also true when two corners coincide
        }
        m_wireCollapsed[i] = collapsed ? 1 : 0;
    }
    m_wireCollapsedUploads = m_uploads;
}

void MeshRenderer::transformVertices() {
    // The vertices in clip coordinates, from the matrices in force; a vertex within 0.1 %
    // of a side of the view volume (or behind the eye) counts as reaching it, well clear
    // of any rounding difference from the GL's own transform.
    GLfloat mv[16], pr[16], m[16];
    GLint viewport[4];
    GLfloat depthRange[2];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    glGetFloatv(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_DEPTH_RANGE, depthRange);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += static_cast<double>(pr[k * 4 + r]) * static_cast<double>(mv[c * 4 + k]);
            m[c * 4 + r] = static_cast<GLfloat>(sum);
        }
    const int n = m_doc.vertexCount;
    if (m_windowUploads == m_uploads && m_nearClipEdge.size() == static_cast<size_t>(n) &&
        std::memcmp(m, m_windowMatrix, sizeof m) == 0 && std::memcmp(viewport, m_windowViewport, sizeof viewport) == 0 &&
        std::memcmp(depthRange, m_windowDepthRange, sizeof depthRange) == 0)
        return;  // the mesh pass of this frame found them already
    std::memcpy(m_windowMatrix, m, sizeof m);
    std::memcpy(m_windowViewport, viewport, sizeof viewport);
    std::memcpy(m_windowDepthRange, depthRange, sizeof depthRange);
    const float hz = 0.5f * (depthRange[1] - depthRange[0]), oz = depthRange[0] + hz;
    m_windowUploads = m_uploads;
    const float hx = 0.5f * static_cast<float>(viewport[2]), hy = 0.5f * static_cast<float>(viewport[3]);
    const float ox = static_cast<float>(viewport[0]) + hx, oy = static_cast<float>(viewport[1]) + hy;
    const Vec3* dv = m_doc.displayVertexArray.data();
    m_nearClipEdge.resize(static_cast<size_t>(n));
    m_windowPoints.resize(static_cast<size_t>(n));
    unsigned char* edge = m_nearClipEdge.data();
    WindowPoint* wp = m_windowPoints.data();
    const int mid = n / 2;
    float box[2][4];  // per half: the window box of the vertices well inside
    runInHalves(static_cast<size_t>(n) >= kTwoThreadItems, [&](int half) {
        float xmin = HUGE_VALF, xmax = -HUGE_VALF, ymin = HUGE_VALF, ymax = -HUGE_VALF;
        for (int i = half == 0 ? 0 : mid, end = half == 0 ? mid : n; i < end; ++i) {
            const Vec3& p = dv[i];
            const float x = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
            const float y = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
            const float z = m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14];
            const float w = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
            const float lim = 0.999f * w;
            const bool inside = w > 0.0f && std::fabs(x) < lim && std::fabs(y) < lim && std::fabs(z) < lim;
            edge[i] = inside ? 0 : 1;
            if (inside) {
                wp[i] = {ox + hx * (x / w), oy + hy * (y / w), oz + hz * (z / w)};
                xmin = std::min(xmin, wp[i].x), xmax = std::max(xmax, wp[i].x);
                ymin = std::min(ymin, wp[i].y), ymax = std::max(ymax, wp[i].y);
            }
        }
        box[half][0] = xmin, box[half][1] = xmax, box[half][2] = ymin, box[half][3] = ymax;
    });
    m_windowBox[0] = std::min(box[0][0], box[1][0]), m_windowBox[1] = std::max(box[0][1], box[1][1]);
    m_windowBox[2] = std::min(box[0][2], box[1][2]), m_windowBox[3] = std::max(box[0][3], box[1][3]);
}

bool MeshRenderer::findFrontTriangles() {
    // The GL drops a filled triangle whose window-space area has the culled sign. One that
    // is clearly of that sign is left out here already, which spares the GL its vertices
    // and its setup; "clearly" allows for the GL's own rounding and its snapping of the
    // corners to 1/256 pixel (together far below 0.01 pixel per coordinate), so
    // the triangles left out are exactly ones the GL would have dropped. So are the small
    // triangles that certainly cover no pixel centre: they make no fragment, and a
    // finely cut mesh has many. Without multisampling or smoothing, the centres are the
    // only points the GL samples. Triangles with a corner near the edge of the view volume
    // (clipped by the GL) are always kept.
    if (!glIsEnabled(GL_CULL_FACE)) return false;
    GLint cullMode = GL_BACK, frontFace = GL_CCW;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    if (cullMode != GL_BACK && cullMode != GL_FRONT) return false;
    // Sign of twice the area (window y up) of the triangles the GL keeps.
    const float keptSign = (cullMode == GL_BACK) == (frontFace == GL_CCW) ? 1.0f : -1.0f;
    bool anyFilled = false;
    for (const Command& c : m_meshRuns.commands) anyFilled = anyFilled || (c.kind == Command::Kind::Draw && c.batch == Batch::Filled);
    if (!anyFilled) return false;
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    const bool centresOnly = sampleBuffers == 0 && !glIsEnabled(GL_POLYGON_SMOOTH);
    transformVertices();
    const unsigned char* edge = m_nearClipEdge.data();
    const WindowPoint* wp = m_windowPoints.data();
    // The filled runs' triangles are taken in chunks on a second thread while this one
    // hands each finished chunk to the GL (drawFrontTriangles). A chunk writes the
    // triangles it keeps from the start of its own share of m_frontIndices, one part per
    // run it reaches; the parts of one run, and those of one chunk, follow each other in
    // m_frontParts.
    const std::vector<Command>& commands = m_meshRuns.commands;
    m_frontParts.clear();
    m_frontChunks.clear();
    m_frontRanges.assign(commands.size(), {0, 0});
    size_t triangles = 0;
    for (size_t k = 0; k < commands.size(); ++k) {
        const Command& c = commands[k];
        if (c.kind != Command::Kind::Draw || c.batch != Batch::Filled) continue;
        m_frontRanges[k].first = m_frontParts.size();
        for (size_t t = triangles, end = triangles + c.count / 3; t < end;) {
            const size_t chunk = t / kFrontChunkTriangles, to = std::min(end, (chunk + 1) * kFrontChunkTriangles);
            FrontPart part;
            part.chunk = chunk;
            part.from = t;
            part.to = to;
            part.input = c.first + 3 * (t - triangles);
            if (chunk == m_frontChunks.size()) m_frontChunks.push_back(FrontChunk{m_frontParts.size()});
            m_frontParts.push_back(part);
            m_frontChunks.back().partEnd = m_frontParts.size();
            t = to;
        }
        m_frontRanges[k].second = m_frontParts.size() - m_frontRanges[k].first;
        triangles += c.count / 3;
    }
    m_frontIndices.resize(3 * triangles);
    growElements(*this, m_frontElements, m_frontCapacity, m_frontIndices.size());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    m_frontWorker.start(m_frontChunks.size(), [this, edge, wp, keptSign, centresOnly](size_t chunk) {
        FrontChunk& fc = m_frontChunks[chunk];
        GLuint* const start = m_frontIndices.data() + 3 * chunk * kFrontChunkTriangles;
        GLuint* out = start;
        for (size_t i = fc.firstPart; i < fc.partEnd; ++i) {
            FrontPart& part = m_frontParts[i];
            part.first = static_cast<size_t>(out - m_frontIndices.data());
            const GLuint* in = m_meshIndexCopy.data() + part.input;
            for (size_t t = part.from; t < part.to; ++t, in += 3) {
                const GLuint a = in[0], b = in[1], d = in[2];
                if (!edge[a] && !edge[b] && !edge[d]) {
                    const float ex = wp[b].x - wp[a].x, ey = wp[b].y - wp[a].y;
                    const float fx = wp[d].x - wp[a].x, fy = wp[d].y - wp[a].y;
                    const float area2 = keptSign * (ex * fy - ey * fx);
                    if (area2 < -0.1f &&
                        area2 < -(0.05f * (std::fabs(ex) + std::fabs(ey) + std::fabs(fx) + std::fabs(fy)) + 0.1f)) {
                        ++fc.facingAway;  // faces clearly away: the GL drops it
                        continue;
                    }
                    const float xs[3] = {wp[a].x, wp[b].x, wp[d].x}, ys[3] = {wp[a].y, wp[b].y, wp[d].y};
                    if (centresOnly && coversNoPixelCentre(xs, ys, keptSign)) {
                        ++fc.empty;
                        continue;
                    }
                }
                out[0] = a, out[1] = b, out[2] = d;
                out += 3;
            }
            part.count = static_cast<size_t>(out - m_frontIndices.data()) - part.first;
        }
        fc.written = static_cast<size_t>(out - start);
    });
    return true;
}

void MeshRenderer::drawFrontTriangles(size_t command) {
    const auto [firstPart, parts] = m_frontRanges[command];
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_frontElements);
    for (size_t i = firstPart; i < firstPart + parts; ++i) {
        const FrontPart& part = m_frontParts[i];
        FrontChunk& fc = m_frontChunks[part.chunk];
        m_frontWorker.waitFor(part.chunk);
        if (!fc.sent) {
            const size_t at = 3 * part.chunk * kFrontChunkTriangles;
            if (fc.written > 0)
                glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLintptr>(at * sizeof(GLuint)),
                                static_cast<GLsizeiptr>(fc.written * sizeof(GLuint)), m_frontIndices.data() + at);
            fc.sent = true;
        }
        if (part.count > 0)
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(part.count), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(part.first * sizeof(GLuint)));
        // The end of a chunk: let the rasteriser threads start on it.
        if (i + 1 == fc.partEnd) glFlush();
    }
    ++m_batches;
}

void MeshRenderer::finishFrontTriangles() {
    m_frontWorker.finish();
    for (const FrontChunk& fc : m_frontChunks) {
        m_facingAwayTriangles += fc.facingAway;
        m_emptyTriangles += fc.empty;
    }
    m_frontChunks.clear();
}

bool MeshRenderer::readDepthForWire() {
    // Depth values only fall while the overlay is drawn (a fragment passes GL_LESS or
    // GL_LEQUAL only with a smaller or equal value), so a fragment that fails against the
    // buffer as the mesh pass left it fails against every later state of it as well.
    if (!glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_STENCIL_TEST)) return false;
    GLint func = 0, pack[5] = {};
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    if (func != GL_LESS && func != GL_LEQUAL) return false;
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &pack[0]);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &pack[1]);
    glGetIntegerv(GL_PACK_SKIP_PIXELS, &pack[2]);
    glGetIntegerv(GL_PACK_SKIP_ROWS, &pack[3]);
    glGetIntegerv(GL_PACK_SWAP_BYTES, &pack[4]);
    if (pack[0] || pack[1] || pack[2] || pack[3] || pack[4]) return false;
    // The values read and the fragments' depths are both the buffer's fixed-point steps:
    // eight of them, plus 2e-6 for the difference between the window depths found here
    // and the GL's own (a few float steps near 1), separate a certain failure.
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    if (bits < 8 || bits > 32) return false;
    m_depthMargin = static_cast<float>(8.0 / (std::ldexp(1.0, bits) - 1.0) + 2e-6);
    // Only the part of the view around the vertices well inside it: outlines reaching
    // beyond the part read are kept (see depthRange), and faces with other vertices are
    // drawn as polygons anyway.
    const GLint* vp = m_windowViewport;  // transformVertices ran for this frame's matrices
    const float* box = m_windowBox;
    if (!(box[0] <= box[1] && box[2] <= box[3])) return false;  // no vertex well inside
    const int x0 = std::max({vp[0], 0, floorToInt(box[0]) - 3}), y0 = std::max({vp[1], 0, floorToInt(box[2]) - 3});
    const int w = std::min(vp[0] + vp[2], floorToInt(box[1]) + 4) - x0, h = std::min(vp[1] + vp[3], floorToInt(box[3]) + 4) - y0;
    if (w <= 0 || h <= 0) return false;
    m_depth.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    glReadPixels(x0, y0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, m_depth.data());
    if (glGetError() != GL_NO_ERROR) return false;  // no values to rely on
    m_depthX = x0, m_depthY = y0, m_depthW = w, m_depthH = h;
    m_depthTilesX = (w + kDepthTile - 1) / kDepthTile;
    const int tilesY = (h + kDepthTile - 1) / kDepthTile;
    m_depthTileMax.assign(static_cast<size_t>(m_depthTilesX) * static_cast<size_t>(tilesY), 0.0f);
    for (int y = 0; y < h; ++y) {
        const float* row = m_depth.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        float* tiles = m_depthTileMax.data() + static_cast<size_t>(y / kDepthTile) * static_cast<size_t>(m_depthTilesX);
        for (int x = 0; x < w; ++x) tiles[x / kDepthTile] = std::max(tiles[x / kDepthTile], row[x]);
    }
    return true;
}

inline float MeshRenderer::tileMaxAt(int x, int y) const {
    return m_depthTileMax[static_cast<size_t>(y / kDepthTile) * static_cast<size_t>(m_depthTilesX) + static_cast<size_t>(x / kDepthTile)];
}

inline bool MeshRenderer::depthRange(float xmin, float xmax, float ymin, float ymax, int (&box)[4]) const {
    // Fragments of a segment lie within a pixel and a half of its box: its ends move by up
    // to a pixel along its major axis (and so across it by up to the same), and it is a
    // pixel wide. Two pixels of border cover them.
    box[0] = floorToInt(xmin - kLineReach) - m_depthX, box[1] = floorToInt(xmax + kLineReach) - m_depthX;
    box[2] = floorToInt(ymin - kLineReach) - m_depthY, box[3] = floorToInt(ymax + kLineReach) - m_depthY;
    return box[0] >= 0 && box[2] >= 0 && box[1] < m_depthW && box[3] < m_depthH;
}

// How far a line fragment's depth may lie beyond the nearer end of its segment. The GL
// takes a fragment's depth from the projection of its pixel centre onto the segment,
// t = ((p - a) . (b - a)) / |b - a|^2, not clamped to [0, 1]. Centres lie within 0.5 px
// of the segment by the diamond-exit rule and other rules may move them by up to a pixel
// on each axis, so t leaves [0, 1] by at most (0.5 + sqrt 2) / |b - a|; the allowance is
// rounded up to 2 / |b - a|, plus 1/16 of it for the rounding of the depth plane at window
// positions far from the origin. Segments under 1/64 px long are not judged.
inline bool MeshRenderer::depthReach(const WindowPoint& a, const WindowPoint& b, float& below) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length >= 1.0f / 64.0f)) return false;
    below = std::min(a.z, b.z) - std::fabs(b.z - a.z) * (2.0625f / length);
    return true;
}

inline bool MeshRenderer::segmentHidden(const WindowPoint& a, const WindowPoint& b) const {
    // As for a whole outline (below), for one segment and pixel by pixel: this finds the
    // segments of outlines at the rim of the mesh, partly in front of the background.
    float nearest = 0.0f;
    if (!depthReach(a, b, nearest)) return false;
    nearest -= m_depthMargin;
    // The tile under the first end first: for a segment in sight it already holds the segment's own depth.
    if (tileMaxAt(static_cast<int>(a.x) - m_depthX, static_cast<int>(a.y) - m_depthY) >= nearest) return false;
    int box[4];
    if (!depthRange(std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y), box)) return false;
    for (int y = box[2]; y <= box[3]; ++y) {
        const float* row = m_depth.data() + static_cast<size_t>(y) * static_cast<size_t>(m_depthW);
        for (int x = box[0]; x <= box[1]; ++x)
            if (row[x] >= nearest) return false;
    }
    return true;
}

bool MeshRenderer::outlineHidden(const int* c, int n) const {
    // Every fragment of the outline lies within the reach depthRange allows for around its
    // box, and no deeper than the nearest depthReach of its segments.
    const WindowPoint* wp = m_windowPoints.data();
    // The tile under the first corner first: for a face in sight it already holds the
    // face's own depth there, and no fragment is compared with less than that.
    const float firstTile = tileMaxAt(static_cast<int>(wp[c[0] - 1].x) - m_depthX, static_cast<int>(wp[c[0] - 1].y) - m_depthY);
    if (firstTile >= wp[c[0] - 1].z) return false;
    float xmin = wp[c[0] - 1].x, xmax = xmin, ymin = wp[c[0] - 1].y, ymax = ymin;
    float nearest = wp[c[0] - 1].z;
    for (int k = 0; k < n; ++k) {
        const WindowPoint& a = wp[c[k] - 1];
        const WindowPoint& b = wp[c[k + 1 < n ? k + 1 : 0] - 1];
        float below = 0.0f;
        if (!depthReach(a, b, below)) return false;
        nearest = std::min(nearest, below);
        xmin = std::min(xmin, a.x), xmax = std::max(xmax, a.x);
        ymin = std::min(ymin, a.y), ymax = std::max(ymax, a.y);
    }
    nearest -= m_depthMargin;
    if (firstTile >= nearest) return false;
    int box[4];
    if (!depthRange(xmin, xmax, ymin, ymax, box)) return false;
    for (int ty = box[2] / kDepthTile; ty <= box[3] / kDepthTile; ++ty)
        for (int tx = box[0] / kDepthTile; tx <= box[1] / kDepthTile; ++tx)
            if (tileMaxAt(tx * kDepthTile, ty * kDepthTile) >= nearest) return false;
    return true;
}

void MeshRenderer::WireSide::prepare(size_t chunkCount, size_t indexCount) {
    indices.resize(indexCount);
    if (chunks.size() < chunkCount) chunks.resize(chunkCount);
}

void MeshRenderer::chooseWireChunk(size_t chunk, WireSide& side, bool hiddenTest) const {
    const int* cv = m_doc.cornerVertexList.data();
    const unsigned char* edge = m_nearClipEdge.data();
    const WindowPoint* wp = m_windowPoints.data();
    const bool whole = side.xFrom == -HUGE_VALF && side.xTo == HUGE_VALF;
    // A segment may change a pixel of the side's columns when its reach overlaps them.
    auto reaches = [&side](float xmin, float xmax) { return xmax + kLineReach >= side.xFrom && xmin - kLineReach < side.xTo; };
    WireChunk& part = side.chunks[chunk];
    part.steps.clear();
    part.polygonCounts.clear();
    part.polygonOffsets.clear();
    part.hiddenOutlines = part.hiddenSegments = part.draws = 0;
    const size_t faces = m_wireFaces.size();
    const size_t begin = chunk * kWireChunkFaces, end = std::min(faces, begin + kWireChunkFaces);
    GLuint* const start = side.indices.data() + m_wireFaces[begin].lineFirst;
    GLuint* lines = start;
    auto step = [&part](bool polygons, size_t at, size_t count) {
        if (part.steps.empty() || part.steps.back().polygons != polygons) part.steps.push_back({polygons, at, 0});
        part.steps.back().count += count;
    };
    for (size_t i = begin; i < end; ++i) {
        const WireFace& w = m_wireFaces[i];
        bool polygon = m_wireCollapsed[i] != 0;
        const int* c = cv + w.firstCorner;
        for (int k = 0; k < w.corners && !polygon; ++k) polygon = edge[c[k] - 1] != 0;
        if (polygon) {  // both sides draw it, each within its own columns
            step(true, part.polygonCounts.size(), 1);
            part.polygonCounts.push_back(w.corners);
            part.polygonOffsets.push_back(reinterpret_cast<const void*>(w.polygonFirst * sizeof(GLuint)));
            continue;
        }
        if (!whole) {
            float xmin = wp[c[0] - 1].x, xmax = xmin;
            for (int k = 1; k < w.corners; ++k) xmin = std::min(xmin, wp[c[k] - 1].x), xmax = std::max(xmax, wp[c[k] - 1].x);
            if (!reaches(xmin, xmax)) continue;
        }
        if (hiddenTest && outlineHidden(c, w.corners)) {
            ++part.hiddenOutlines;
            continue;
        }
        const size_t at = static_cast<size_t>(lines - side.indices.data());
        for (int k = 0; k < w.corners; ++k) {
            const int from = c[k] - 1, to = c[k + 1 < w.corners ? k + 1 : 0] - 1;
            if (!whole && !reaches(std::min(wp[from].x, wp[to].x), std::max(wp[from].x, wp[to].x))) continue;
            if (hiddenTest && segmentHidden(wp[from], wp[to])) {
                ++part.hiddenSegments;
                continue;
            }
            *lines++ = static_cast<GLuint>(from);
            *lines++ = static_cast<GLuint>(to);
        }
        const size_t count = static_cast<size_t>(lines - side.indices.data()) - at;
        if (count > 0) step(false, at, count);
    }
    part.written = static_cast<size_t>(lines - start);
}

void MeshRenderer::sendWireChunk(QOpenGLFunctions& gl, size_t chunk, WireSide& side, MultiDrawElements multi) const {
    WireChunk& part = side.chunks[chunk];
    const size_t at = m_wireFaces[chunk * kWireChunkFaces].lineFirst;
    if (part.written > 0) {
        gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, side.elements);
        gl.glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLintptr>(at * sizeof(GLuint)),
                           static_cast<GLsizeiptr>(part.written * sizeof(GLuint)), side.indices.data() + at);
    }
    for (const WireStep& st : part.steps) {
        if (st.polygons) {
            gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_wireRuns.elements);
            multi(GL_POLYGON, part.polygonCounts.data() + st.first, GL_UNSIGNED_INT, part.polygonOffsets.data() + st.first,
                  static_cast<GLsizei>(st.count));
        } else {
            gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, side.elements);
            gl.glDrawElements(GL_LINES, static_cast<GLsizei>(st.count), GL_UNSIGNED_INT,
                              reinterpret_cast<const void*>(st.first * sizeof(GLuint)));
        }
        ++part.draws;
    }
    // After each chunk a flush, so that Mesa's rasteriser threads fill in its segments
    // while the next are being set up.
    gl.glFlush();
}

int MeshRenderer::splitColumn() const {
    // The tile boundary that parts the vertices in sight most evenly; none when either
    // side would get less than a fifth of them.
    const int width = m_windowViewport[0] + m_windowViewport[2];
    const int columns = (width + kRasterTile - 1) / kRasterTile;
    if (columns < 2 || columns > 1024) return -1;
    std::vector<int> count(static_cast<size_t>(columns), 0);
    const WindowPoint* wp = m_windowPoints.data();
    const unsigned char* edge = m_nearClipEdge.data();
    int total = 0;
    for (size_t i = 0, n = m_windowPoints.size(); i < n; i += 4) {
        if (edge[i] || !(wp[i].x >= 0.0f) || wp[i].x >= static_cast<float>(width)) continue;
        ++count[static_cast<size_t>(wp[i].x) / kRasterTile];
        ++total;
    }
    int best = -1, bestGap = total, left = 0;
    for (int k = 1; k < columns; ++k) {
        left += count[static_cast<size_t>(k - 1)];
        const int gap = std::abs(total - 2 * left);
        if (gap < bestGap && 5 * left >= total && 5 * (total - left) >= total) best = k, bestGap = gap;
    }
    return best < 0 ? -1 : best * kRasterTile;
}

bool MeshRenderer::readySecondContext(PassState& st, int split) {
    if (!m_secondAllowed || m_secondFailed || !readPassState(*this, st)) return false;
    st.split = split;
    if (!m_second.running() && !m_second.start(QOpenGLContext::currentContext())) {
        m_secondFailed = true;
        return false;
    }
    // The second context draws only once its framebuffer holds this one's attachments.
    bool complete = false;
    m_second.post([this, &st, &complete](QOpenGLFunctions& gl) { complete = attachPassFramebuffer(gl, st, m_secondFramebuffer); });
    m_second.wait();
    return complete;
}

bool MeshRenderer::startSecondSide(int split, size_t chunks, size_t indexCount) {
    PassState st{};
    if (!readySecondContext(st, split)) return false;
    // Its pixels must hold the mesh pass before it draws over them.
    glFinish();
    m_wireSides[1].xFrom = static_cast<float>(split);
    m_wireSides[1].xTo = HUGE_VALF;
    m_wireSides[1].prepare(chunks, indexCount);
    m_second.post([this, st, chunks, indexCount](QOpenGLFunctions& gl) { drawSecondSide(gl, *this, st, chunks, indexCount); });
    return true;
}

// Static: on the second thread every GL call goes through the second context's
// functions `gl`, never through this renderer's own (the view context's).
void MeshRenderer::drawSecondSide(QOpenGLFunctions& gl, MeshRenderer& r, const PassState& st, size_t chunks, size_t indexCount) {
    applyPassState(gl, st);
    WireSide& side = r.m_wireSides[1];
    if (!side.elements) gl.glGenBuffers(1, &side.elements);
    growElements(gl, side.elements, side.capacity, indexCount);
    gl.glBindBuffer(GL_ARRAY_BUFFER, r.m_positionBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (size_t chunk = 0; chunk < chunks; ++chunk) {
        r.chooseWireChunk(chunk, side, true);
        r.sendWireChunk(gl, chunk, side, r.m_multiDrawElements);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    // Everything of this side is in the shared framebuffer before the view's context goes on.
    gl.glFinish();
}

void MeshRenderer::drawWireFaces() {
    if (m_wireCollapsedUploads != m_uploads) findCollapsedWireFaces();
    transformVertices();
    // Faces whose outline lies wholly behind the mesh already drawn change no pixel: they
    // are left out, and so are single hidden segments of the other faces. The read-back
    // waits for the mesh pass to be drawn.
    const bool hiddenTest = !m_wireFaces.empty() && readDepthForWire();
    if (!hiddenTest) glFlush();  // the mesh pass is complete: let it be drawn while the outlines are set up
    const size_t faces = m_wireFaces.size();
    const size_t chunks = (faces + kWireChunkFaces - 1) / kWireChunkFaces;
    const size_t indexCount = faces == 0 ? 0 : m_wireFaces.back().lineFirst + wireLineIndices(m_wireFaces.back().corners);
    WireSide& mine = m_wireSides[0];
    mine.prepare(chunks, indexCount);
    growElements(*this, mine.elements, mine.capacity, indexCount);
    auto tally = [this](const WireSide& side, size_t count) {
        for (size_t chunk = 0; chunk < count; ++chunk) {
            m_hiddenOutlines += side.chunks[chunk].hiddenOutlines;
            m_hiddenSegments += side.chunks[chunk].hiddenSegments;
            m_batches += side.chunks[chunk].draws;
        }
    };
    // With Mesa's software rasteriser the GL sets up every segment on the thread that draws
    // it, which makes that thread the slowest part of the frame. From two chunks on, a
    // second context draws the right-hand columns of the view while this one draws the
    // left-hand ones, each with the scissor test keeping it to its own. Every pixel then
    // gets the same segments in the same order as from one context, so the picture is
    // the same.
    const int split = hiddenTest && chunks >= 2 ? splitColumn() : -1;
    if (split > 0 && startSecondSide(split, chunks, indexCount)) {
        GLint scissor[4];
        glGetIntegerv(GL_SCISSOR_BOX, scissor);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, split, 1 << 15);
        mine.xFrom = -HUGE_VALF;
        mine.xTo = static_cast<float>(split);
        for (size_t chunk = 0; chunk < chunks; ++chunk) {
            chooseWireChunk(chunk, mine, true);
            sendWireChunk(*this, chunk, mine, m_multiDrawElements);
        }
        m_second.wait();
        glDisable(GL_SCISSOR_TEST);
        glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
        tally(mine, chunks);
        tally(m_wireSides[1], chunks);
        ++m_splitFrames;
    } else {
        // The faces are taken in chunks on a second thread while this one hands each
        // finished chunk to the GL.
        mine.xFrom = -HUGE_VALF;
        mine.xTo = HUGE_VALF;
        m_wireWorker.start(chunks, [this, &mine, hiddenTest](size_t chunk) { chooseWireChunk(chunk, mine, hiddenTest); });
        for (size_t chunk = 0; chunk < chunks; ++chunk) {
            m_wireWorker.waitFor(chunk);
            sendWireChunk(*this, chunk, mine, m_multiDrawElements);
        }
        m_wireWorker.finish();
        tally(mine, chunks);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void MeshRenderer::finishRecording(PassRuns& runs) {
    flushBatch();
    m_recording = nullptr;
    if (&runs == &m_meshRuns) m_meshIndexCopy.assign(m_indices.begin(), m_indices.begin() + static_cast<std::ptrdiff_t>(m_indexCount));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, runs.elements);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_indexCount * sizeof(GLuint)),
                 m_indexCount ? m_indices.data() : nullptr, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    m_indexCount = m_batchStart = 0;
    runs.polygonCounts.swap(m_polygonCounts);
    runs.polygonOffsets.swap(m_polygonOffsets);
    m_polygonCounts.clear();
    m_polygonOffsets.clear();
    m_polygonStart = 0;
    runs.valid = true;
    ++runs.builds;
}

void MeshRenderer::replay(const PassRuns& runs, bool frontOnly) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, runs.elements);
    for (size_t k = 0; k < runs.commands.size(); ++k) {
        const Command& c = runs.commands[k];
        switch (c.kind) {
        case Command::Kind::Material:
            materialColour(c.r, c.g, c.b);
            break;
        case Command::Kind::MorphColour:
            walkMorphColour(c.token);
            break;
        case Command::Kind::PolygonMode:
            glPolygonMode(GL_FRONT_AND_BACK, c.mode);
            break;
        case Command::Kind::Draw: {
            if (c.batch == Batch::Polygons) {
                m_multiDrawElements(GL_POLYGON, runs.polygonCounts.data() + c.first, GL_UNSIGNED_INT,
                                    runs.polygonOffsets.data() + c.first, static_cast<GLsizei>(c.count));
                ++m_batches;
                break;
            }
            if (frontOnly && c.batch == Batch::Filled) {
                drawFrontTriangles(k);
                glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, runs.elements);
                break;
            }
            const GLenum prim = c.batch == Batch::Lines ? GL_LINES : GL_TRIANGLES;
            if (c.batch == Batch::Unfilled) glEnableClientState(GL_EDGE_FLAG_ARRAY);
            glDrawElements(prim, static_cast<GLsizei>(c.count), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(c.first * sizeof(GLuint)));
            if (c.batch == Batch::Unfilled) glDisableClientState(GL_EDGE_FLAG_ARRAY);
            ++m_batches;
            break;
        }
        }
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void MeshRenderer::meshPass(const ViewState& s) {
    const CVELTADoc& d = m_doc;
    if (d.loadStatus == "ERROR") return;
    setLighting(s.lightingFlag != 0);
    if (s.transparencyFlag == 1) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    }
    applyCameraTransform(s);
    glColor3f(0.5f, 0.5f, 0.5f);
    glPolygonMode(GL_FRONT_AND_BACK, s.polygonMode);
    glShadeModel(s.shadeModel);
    m_haveMaterial = false;

    const bool fast = !m_reference && m_glReady && d.vertexCount > 0;
    if (fast) {
        syncGeometry();
        std::vector<unsigned char> key = passKey(s, false);
        if (!m_meshRuns.valid || key != m_meshRuns.key) {
            recordMeshPass(s);
            m_meshRuns.key = std::move(key);
        }
        const bool frontOnly = findFrontTriangles();
        bindSource(m_positionBuffer, m_normalBuffer);
        // While the GL culls the back faces, every face it draws is lit on its front side,
        // so two-sided lighting changes none of them; without it Mesa's software pipeline
        // spares each triangle the choice of side. It is back on for the overlays.
        GLint cullMode = 0, twoSide = 0;
        glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
        glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
        const bool oneSide = frontOnly && cullMode == GL_BACK && twoSide != 0 && glIsEnabled(GL_LIGHTING);
        if (oneSide) glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
        replay(m_meshRuns, frontOnly);
        if (oneSide) glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSide);
        if (frontOnly) finishFrontTriangles();
        unbindSource();
        // The immediate drawing leaves the last corner's normal current; later points and lines are lit with it.
        if (m_meshRuns.lastNormal >= 0) glNormal3fv(&d.cornerNormalList[static_cast<size_t>(m_meshRuns.lastNormal)].x);
    } else {
        walkMeshFaces(s, false);
    }

    setEmission(0.0f, 0.0f, 0.0f, 0.0f);
    drawOverlays(s);
    glColor3f(0.0f, 0.0f, 1.0f);
    if (m_haveMaterial)
        setAmbientDiffuse(m_material[0], m_material[1], m_material[2], 0.5f);
    else
        setAmbientDiffuse(1.0f, 1.0f, 1.0f, 0.5f);
}

void MeshRenderer::drawOverlays(const ViewState&) {
    const CVELTADoc& d = m_doc;
    const bool fast = !m_reference && m_glReady && d.vertexCount > 0;
    const Vec3* dv = d.displayVertexArray.data();
    const int vc = d.vertexCount;
    auto valid = [vc](int n) { return n >= 1 && n <= vc; };

    // Edge maker lines.
    glColor3f(0.5f, 0.9f, 0.7f);
    setEmission(0.5f, 0.9f, 0.7f, 1.0f);
    const int edges = std::min(d.edgeLineCount, kEdgeLineSlots);
    if (edges > 0) {
        if (fast) {
            m_pointIndices.clear();
            for (int i = 0; i < edges; ++i) {
                const int a = d.edgeLineFirst[static_cast<size_t>(i)], b = d.edgeLineSecond[static_cast<size_t>(i)];
                if (!valid(a) || !valid(b)) continue;
                m_pointIndices.push_back(static_cast<GLuint>(a - 1));
                m_pointIndices.push_back(static_cast<GLuint>(b - 1));
            }
            bindSource(m_positionBuffer, 0);
            glDrawElements(GL_LINES, static_cast<GLsizei>(m_pointIndices.size()), GL_UNSIGNED_INT, m_pointIndices.data());
            unbindSource();
        } else {
            glBegin(GL_LINES);
            for (int i = 0; i < edges; ++i) {
                const int a = d.edgeLineFirst[static_cast<size_t>(i)], b = d.edgeLineSecond[static_cast<size_t>(i)];
                if (!valid(a) || !valid(b)) continue;
                glVertex3fv(&dv[a - 1].x);
                glVertex3fv(&dv[b - 1].x);
            }
            glEnd();
        }
    }
    setEmission(0.0f, 0.0f, 0.0f, 0.0f);

    // Floating points: vertices no face or polyline uses.
    if (d.floatingCount != 0) {
        glColor3f(1.0f, 0.2f, 0.2f);
        setEmission(1.0f, 0.4f, 0.4f, 1.0f);
        if (fast) {
            m_pointIndices.clear();
            for (int n = 0; n < vc; ++n)
                if (d.floatingFlag[static_cast<size_t>(n)] == 1) m_pointIndices.push_back(static_cast<GLuint>(n));
            bindSource(m_positionBuffer, 0);
            glDrawElements(GL_POINTS, static_cast<GLsizei>(m_pointIndices.size()), GL_UNSIGNED_INT, m_pointIndices.data());
            unbindSource();
        } else {
            glBegin(GL_POINTS);
            for (int n = 0; n < vc; ++n)
                if (d.floatingFlag[static_cast<size_t>(n)] == 1) glVertex3fv(&dv[n].x);
            glEnd();
        }
        glPointSize(1.0f);
        setEmission(0.0f, 0.0f, 0.0f, 0.0f);
    }

    // Marker points of the symmetry analysis, DROP and collision.
    const struct {
        const FixedArray<Vec3>* list;
        int count;
        float r, g, b;
    } markers[] = {
        {&d.markerPointList1, d.markerPointCount1, 1.0f, 1.0f, 0.0f},
        {&d.markerPointList2, d.markerPointCount2, 0.0f, 1.0f, 1.0f},
        {&d.markerPointList3, d.markerPointCount3, 1.0f, 0.0f, 1.0f},
    };
    for (const auto& mk : markers) {
        glColor3f(mk.r, mk.g, mk.b);
        const int count = std::min(mk.count, kMarkerSlots);
        if (count <= 0) continue;
        if (fast) {
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(3, GL_FLOAT, 0, mk.list->data());
            glDrawArrays(GL_POINTS, 0, count);
            glDisableClientState(GL_VERTEX_ARRAY);
        } else {
            glBegin(GL_POINTS);
            for (int i = 0; i < count; ++i) glVertex3fv(&(*mk.list)[static_cast<size_t>(i)].x);
            glEnd();
        }
    }

    // The drop mesh: translucent cyan.
    glColor3f(0.0f, 1.0f, 1.0f);
    setAmbientDiffuse(0.0f, 1.0f, 1.0f, 0.5f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    if (m_dropSource) {
        const DropMeshSource drop = m_dropSource();
        if (drop.vertices && drop.corners && drop.faceFirst && drop.faceCorners && drop.faceNormals) {
            for (int f = 0; f < drop.faceCount; ++f) {
                glBegin(GL_POLYGON);
                glNormal3fv(&drop.faceNormals[f].x);
                for (int c = 0; c < drop.faceCorners[f]; ++c)
                    glVertex3fv(&drop.vertices[drop.corners[drop.faceFirst[f] + c]].x);
                glEnd();
            }
        }
    }
    glDisable(GL_BLEND);
}

void MeshRenderer::wireOverlayPass(const ViewState& s) {
    const CVELTADoc& d = m_doc;
    if (d.loadStatus == "ERROR") return;
    setLighting(false);
    glDisable(GL_CULL_FACE);
    applyCameraTransform(s);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_BLEND);
    glColor4f(0.3f, 0.3f, 0.3f, 0.5f);
    setEmission(0.8f, 0.8f, 0.8f, 1.0f);

    const bool fast = !m_reference && m_glReady && d.vertexCount > 0;
    if (fast) {
        syncGeometry();
        std::vector<unsigned char> key = passKey(s, true);
        if (!m_wireRuns.valid || key != m_wireRuns.key) {
            recordWirePass(s);
            m_wireRuns.key = std::move(key);
        }
        bindSource(m_positionBuffer, 0);
        drawWireFaces();
        unbindSource();
    } else {
        const int* cv = d.cornerVertexList.data();
        const Vec3* dv = d.displayVertexArray.data();
        for (int f = 0; f < d.faceCount; ++f) {
            const size_t fi = static_cast<size_t>(f);
            const int index = s.colourMode == kColourObject ? d.faceGroup[fi] : d.faceMaterial[fi];
            if (!visibleAt(index)) continue;
            const int first = d.faceFirstCorner[fi];
            const int count = d.faceCornerCount[fi];
            if (count <= 0 || !faceIsValid(first, count)) continue;
            glBegin(GL_POLYGON);
            for (int c = 0; c < count; ++c) glVertex3fv(&dv[cv[first + c] - 1].x);
            glEnd();
        }
    }

    setEmission(0.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
}

void MeshRenderer::labelPass(ViewState& s) {
    if (s.labelShownFlag != 1) return;
    glEnable(GL_BLEND);
    glTranslatef(s.panX, s.panY, 0.0f);
    glScalef(s.zoom, s.zoom, s.zoom);
    for (char& ch : s.selectionLabel) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    glPolygonMode(GL_FRONT, GL_FILL);
    drawPolygonText(s.selectionLabel, 2.0f, s.selectedGroupIndex, true);
    glDisable(GL_BLEND);
}

void MeshRenderer::uvPass(const ViewState& s) {
    const CVELTADoc& d = m_doc;
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (d.hasUvFlag == 0) {
        // 15 x 15 checkerboard in the camera's own frame; culling stays off, blending on.
        for (int r = 0; r < 15; ++r) {
            for (int j = 0; j < 15; ++j) {
                const float grey = ((r * 15 + j) % 2 == 0) ? 0.1f : 0.2f;
                glColor3f(grey, grey, grey);
                const float x0 = 0.02f * static_cast<float>(j) - 0.15f, x1 = 0.02f * static_cast<float>(j) - 0.13f;
                const float y0 = 0.02f * static_cast<float>(r) - 0.15f, y1 = 0.02f * static_cast<float>(r) - 0.13f;
                glBegin(GL_POLYGON);
                glVertex3f(x0, y0, kUvPlaneDepth);
                glVertex3f(x1, y0, kUvPlaneDepth);
                glVertex3f(x1, y1, kUvPlaneDepth);
                glVertex3f(x0, y1, kUvPlaneDepth);
                glEnd();
            }
        }
        return;
    }
    const float t = s.uvBlend;
    glTranslatef(s.panX, s.panY, 0.0f);
    glRotatef((1.0f - t) * s.rotX, 1.0f, 0.0f, 0.0f);
    glRotatef((1.0f - t) * s.rotY, 0.0f, 1.0f, 0.0f);
    glScalef(s.zoom, s.zoom, s.zoom);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);

    auto uvFace = [&](size_t fi) {
        const int g = d.faceGroup[fi];
        return g >= 0 && g < kMaxGroups && d.groupHasUvFlag[static_cast<size_t>(g)] != 0;
    };
    const bool fast = !m_reference && m_glReady && d.vertexCount > 0;
    const int corners = d.ownedCornerEnd();
    if (fast && corners > 0) {
        // Corner positions depend on the blend factor: computed per frame, two copies for the edge flags.
        m_uvPositions.resize(static_cast<size_t>(2 * corners));
        for (int f = 0; f < d.faceCount; ++f) {
            const size_t fi = static_cast<size_t>(f);
            const int first = d.faceFirstCorner[fi], count = d.faceCornerCount[fi];
            if (!uvFace(fi) || count <= 0 || !faceIsValid(first, count) || first + count > corners) continue;
            for (int c = first; c < first + count; ++c) m_uvPositions[static_cast<size_t>(c)] = uvCorner(d, c, t);
        }
        std::copy(m_uvPositions.begin(), m_uvPositions.begin() + corners, m_uvPositions.begin() + corners);
        glBindBuffer(GL_ARRAY_BUFFER, m_uvBuffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uvPositions.size() * sizeof(Vec3)),
                     m_uvPositions.data(), GL_STREAM_DRAW);
        if (m_uvEdgeFlagCorners != corners) {
            std::vector<GLboolean> flags(static_cast<size_t>(2 * corners), GL_FALSE);
            std::memset(flags.data(), GL_TRUE, static_cast<size_t>(corners));
            glBindBuffer(GL_ARRAY_BUFFER, m_uvEdgeFlagBuffer);
            glBufferData(GL_ARRAY_BUFFER, 2 * corners, flags.data(), GL_STATIC_DRAW);
            m_uvEdgeFlagCorners = corners;
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        bindSource(m_uvBuffer, 0);
    }
    const bool useFast = fast && corners > 0;

    int lastKey = -1;
    for (int f = 0; f < d.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        if (!uvFace(fi)) continue;
        const int g = d.faceGroup[fi];
        const int m = d.faceMaterial[fi];
        bool drawn = true;
        if (s.colourMode == kColourObject) {
            drawn = visibleAt(g);
            if (drawn && g != lastKey) {
                if (useFast) flushBatch();
                const PaletteColour& c = groupPaletteColour(g);
                setAmbient(c.r, c.g, c.b);
                lastKey = g;
            }
        } else if (s.colourMode == kColourMaterial) {
            drawn = visibleAt(m);
            if (drawn && d.fileColoursFlag == 0 && m != lastKey) {
                if (useFast) flushBatch();
                const PaletteColour& c = groupPaletteColour(m);
                setAmbient(0.1f * c.r, 0.1f * c.g, 0.1f * c.b);
                lastKey = m;
            } else if (drawn && d.fileColoursFlag != 0 && (!useFast || m != lastKey)) {
                if (useFast) flushBatch();
                const PaletteColour c = fileColour(d, m);
                setAmbient(0.1f * c.r, 0.1f * c.g, 0.1f * c.b);
                lastKey = m;
            }
        } else {
            drawn = visibleAt(m);
            if (drawn && (!useFast || lastKey != -2)) {
                if (useFast) flushBatch();
                setAmbient(0.5f, 0.5f, 0.5f);
                lastKey = -2;
            }
        }
        const int first = d.faceFirstCorner[fi], count = d.faceCornerCount[fi];
        if (!drawn || count <= 0 || !faceIsValid(first, count)) continue;
        if (useFast) {
            if (first + count > corners) continue;
            static thread_local std::vector<int> ids;
            ids.resize(static_cast<size_t>(count));
            for (int c = 0; c < count; ++c) ids[static_cast<size_t>(c)] = first + c;
            queueFace(ids.data(), count, 0, GL_POLYGON, GL_LINE, corners);
        } else {
            glBegin(GL_POLYGON);
            for (int c = first; c < first + count; ++c) {
                const Vec3 p = uvCorner(d, c, t);
                glVertex3f(p.x, p.y, p.z);
            }
            glEnd();
        }
    }
    if (useFast) unbindSource();

    // Outlines of the UV square at the UV plane.
    const float sizes[2] = {0.152f, 0.15f};
    const float greys[2] = {0.2f, 0.1f};
    for (int i = 0; i < 2; ++i) {
        glColor3f(greys[i], greys[i], greys[i]);
        const float e = sizes[i];
        glBegin(GL_POLYGON);
        glVertex3f(-e, -e, kUvPlaneDepth);
        glVertex3f(e, -e, kUvPlaneDepth);
        glVertex3f(e, e, kUvPlaneDepth);
        glVertex3f(-e, e, kUvPlaneDepth);
        glEnd();
    }
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
}

}  // namespace vortel::view
