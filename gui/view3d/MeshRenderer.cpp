// Mesh, wire overlay, label and UV passes of the 3D view, in the reference
// (immediate mode) and the fast (buffer objects, one call per run) drawing.
#include "view3d/MeshRenderer.h"

#include <GL/gl.h>

#include <QOpenGLContext>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <numeric>

#include "doc/GroupPalette.h"
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

PaletteColour fileColour(const CVELTADoc& doc, int m) {
    if (m < 0 || m >= kMaxMaterials) return {0.0f, 0.0f, 0.0f};
    const Vec3& c = doc.materialColourTable[static_cast<size_t>(m)];
    return {c.x, c.y, c.z};
}

// The UV pass draws the faces of the groups that have texture coordinates.
bool inUvGroup(const CVELTADoc& doc, size_t face) {
    const int g = doc.faceGroup[face];
    return g >= 0 && g < kMaxGroups && doc.groupHasUvFlag[static_cast<size_t>(g)] != 0;
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

// The wire overlay's faces are cut into at most this many blocks of consecutive faces, and a
// paint looks at each block's box only, so its work does not grow with the mesh.
constexpr int kWireBlocks = 64;

// A fan triangle (k + 1, k + 2, 0) of the face with coinciding or (nearly) collinear corners.
bool fanCollapsed(const Vec3* dv, const int* c, int n) {
    const Vec3& p0 = dv[c[0] - 1];
    for (int k = 0; k + 2 < n; ++k) {
        const Vec3& a = dv[c[k + 1] - 1];
        const Vec3& b = dv[c[k + 2] - 1];
        const double ex = double(a.x) - p0.x, ey = double(a.y) - p0.y, ez = double(a.z) - p0.z;
        const double fx = double(b.x) - p0.x, fy = double(b.y) - p0.y, fz = double(b.z) - p0.z;
        const double cx = ey * fz - ez * fy, cy = ez * fx - ex * fz, cz = ex * fy - ey * fx;
        const double cross2 = cx * cx + cy * cy + cz * cz;
        const double e2 = ex * ex + ey * ey + ez * ez, f2 = fx * fx + fy * fy + fz * fz;
        if (cross2 <= 1e-12 * e2 * f2) return true;  // also true when two corners coincide
    }
    return false;
}

// Every point of the box lies well inside the view volume of the clip matrix: clip coordinates
// are linear in the position and the volume is convex, so the box's corners decide. Within
// 0.1 % of a side (or behind the eye) counts as reaching it, well clear of any rounding
// difference from the GL's own transform.
bool boxWellInside(const double (&m)[4][4], const float (&box)[6]) {
    for (int corner = 0; corner < 8; ++corner) {
        const double p[3] = {box[(corner & 1) ? 3 : 0], box[(corner & 2) ? 4 : 1], box[(corner & 4) ? 5 : 2]};
        double c[4];
        for (int r = 0; r < 4; ++r) c[r] = m[r][0] * p[0] + m[r][1] * p[1] + m[r][2] * p[2] + m[r][3];
        const double lim = 0.999 * c[3];
        if (!(c[3] > 0.0 && std::fabs(c[0]) < lim && std::fabs(c[1]) < lim && std::fabs(c[2]) < lim)) return false;
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
    m_markerBuffer = buffers[3];
    m_overlayElements = buffers[4];
    m_meshRuns.elements = buffers[5];
    m_wireRuns.elements = buffers[6];
    m_uvRuns.elements = buffers[7];
    m_meshRuns.valid = m_wireRuns.valid = m_uvRuns.valid = false;
    m_uvPositionKey.clear();
    m_overlayKey.clear();
    m_uploadedVertices = 0;
    m_geometryDirty = true;
    m_glReady = true;
}

void MeshRenderer::releaseGl() {
    if (!m_glReady) return;
    const GLuint buffers[8] = {m_positionBuffer,  m_normalBuffer,      m_uvBuffer,          m_markerBuffer,
                               m_overlayElements, m_meshRuns.elements, m_wireRuns.elements, m_uvRuns.elements};
    glDeleteBuffers(8, buffers);
    m_meshRuns.valid = m_wireRuns.valid = m_uvRuns.valid = false;
    m_glReady = false;
}

void MeshRenderer::setViewSize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    m_viewWidth = width;
    m_viewHeight = height;
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
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void MeshRenderer::unbindSource() {
    glDisableClientState(GL_VERTEX_ARRAY);
    if (m_normalsBound) glDisableClientState(GL_NORMAL_ARRAY);
    m_normalsBound = false;
}

GLuint* MeshRenderer::reserveIndices(size_t n) {
    if (m_indexCount + n > m_indices.size()) m_indices.resize(std::max(m_indices.size() * 2, m_indexCount + n + 4096));
    GLuint* out = m_indices.data() + m_indexCount;
    m_indexCount += n;
    return out;
}

void MeshRenderer::queueFace(const int* ids, int count, int bias, GLenum prim, GLenum polygonMode) {
    if (prim == GL_POLYGON) {
        if (count < 3) return;  // an incomplete polygon draws nothing
        if (polygonMode != GL_FILL) {
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
        if (m_batch != Batch::Filled) {
            flushBatch();
            m_batch = Batch::Filled;
        }
        GLuint* out = reserveIndices(static_cast<size_t>(3 * (count - 2)));
        const GLuint q0 = static_cast<GLuint>(ids[0] + bias);
        for (int i = 1; i + 1 < count; ++i) *out++ = static_cast<GLuint>(ids[i] + bias), *out++ = static_cast<GLuint>(ids[i + 1] + bias), *out++ = q0;
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
}

std::vector<unsigned char> MeshRenderer::passKey(const ViewState& s, Pass pass) const {
    const CVELTADoc& d = m_doc;
    std::vector<unsigned char> key;
    auto put = [&key](long long v) {
        const auto* p = reinterpret_cast<const unsigned char*>(&v);
        key.insert(key.end(), p, p + sizeof v);
    };
    put(m_generation);
    put(d.faceCount);
    put(d.vertexCount);
    switch (pass) {
    case Pass::Wire:
        put(s.colourMode == kColourObject ? 1 : 0);
        break;
    case Pass::Uv:
        put(s.colourMode);
        put(d.fileColoursFlag);
        break;
    case Pass::Mesh:
        put(s.colourMode);
        put(s.labelShownFlag);
        put(s.selectedGroupIndex);
        put(static_cast<long long>(s.polygonMode));
        put(s.lineLoopFlag);
        put(d.fileColoursFlag);
        put(d.morphLoadedFlag);
        break;
    }
    key.insert(key.end(), d.groupVisibleFlag.data(), d.groupVisibleFlag.data() + kMaxGroups);
    return key;
}

bool MeshRenderer::recorded(const Command& c) {
    if (!m_recording) return false;
    flushBatch();
    m_recording->push_back(c);
    return true;
}

void MeshRenderer::walkMaterial(float r, float g, float b) {
    if (!recorded({.kind = Command::Kind::Material, .r = r, .g = g, .b = b})) materialColour(r, g, b);
}

void MeshRenderer::walkMorphColour(int token) {
    if (recorded({.kind = Command::Kind::MorphColour, .token = token})) return;
    if (token) {
        glColor3f(1.0f, 0.4f, 0.4f);
        setAmbientDiffuse(1.0f, 0.4f, 0.4f, 1.0f);
    } else {
        glColor3f(0.9f, 0.9f, 0.9f);
        setAmbientDiffuse(1.0f, 1.0f, 1.0f, 0.5f);
    }
}

void MeshRenderer::walkAmbient(float r, float g, float b) {
    if (!recorded({.kind = Command::Kind::Ambient, .r = r, .g = g, .b = b})) setAmbient(r, g, b);
}

void MeshRenderer::walkPolygonMode(GLenum mode) {
    if (!recorded({.kind = Command::Kind::PolygonMode, .mode = mode})) glPolygonMode(GL_FRONT_AND_BACK, mode);
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
                queueFace(cv + first, count, -1, prim, polygonMode);
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

bool MeshRenderer::runsOutdated(PassRuns& runs, std::vector<unsigned char> key) {
    if (runs.valid && key == runs.key) return false;
    runs.key = std::move(key);
    return true;
}

void MeshRenderer::startRecording(PassRuns& runs) {
    runs.commands.clear();
    m_recording = &runs.commands;
    m_batch = Batch::None;
    m_indexCount = m_batchStart = 0;
    m_polygonCounts.clear();
    m_polygonOffsets.clear();
    m_polygonStart = 0;
}

void MeshRenderer::finishRecording(PassRuns& runs) {
    flushBatch();
    m_recording = nullptr;
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

void MeshRenderer::recordWirePass(const ViewState& s) {
    const CVELTADoc& d = m_doc;
    startRecording(m_wireRuns);
    // Every drawn face twice: its outline as segments 0 -> 1, 1 -> 2, ..., n - 1 -> 0,
    // and as the polygon. The GL outlines a polygon in line mode by cutting it into the
    // fan triangles (k + 1, k + 2, 0) and drawing their outer edges, which are exactly
    // those segments in that order and direction, so the segments give the same pixels
    // at a fraction of the cost. Two cases keep the polygon, so that the GL treats them
    // exactly as in the reference: a face with a fan triangle of no area (two corners at
    // one position, or three in a line), whose outline a GL may place at another depth
    // (Mesa does while polygon offset is on), and a face reaching the edge of the view
    // volume (the clipped polygon is outlined along other segments). The first is found
    // per shape, the second per paint for blocks of faces at once (see buildWireShape and
    // drawWireFaces); the face order is kept, as with blending and depth writes on it decides
    // which outline shows where two cross.
    const int* cv = d.cornerVertexList.data();
    m_wireFaceCorner.clear();
    m_wireLineFirst.assign(1, 0);
    for (int f = 0; f < d.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        const int index = s.colourMode == kColourObject ? d.faceGroup[fi] : d.faceMaterial[fi];
        if (!visibleAt(index)) continue;
        const int first = d.faceFirstCorner[fi];
        const int count = d.faceCornerCount[fi];
        if (count < 3 || !faceIsValid(first, count)) continue;  // fewer than three corners: no polygon
        m_wireFaceCorner.push_back(first);
        m_wireLineFirst.push_back(m_wireLineFirst.back() + 2 * static_cast<GLuint>(count));
    }
    GLuint* lines = reserveIndices(m_wireLineFirst.back());
    for (size_t i = 0; i < m_wireFaceCorner.size(); ++i) {
        const int* c = cv + m_wireFaceCorner[i];
        const int n = static_cast<int>(m_wireLineFirst[i + 1] - m_wireLineFirst[i]) / 2;
        for (int k = 0; k < n; ++k) {
            *lines++ = static_cast<GLuint>(c[k] - 1);
            *lines++ = static_cast<GLuint>(c[k + 1 < n ? k + 1 : 0] - 1);
        }
    }
    for (size_t i = 0; i < m_wireFaceCorner.size(); ++i) {
        const int* c = cv + m_wireFaceCorner[i];
        const int n = static_cast<int>(m_wireLineFirst[i + 1] - m_wireLineFirst[i]) / 2;
        m_polygonCounts.push_back(n);
        m_polygonOffsets.push_back(reinterpret_cast<const void*>(m_indexCount * sizeof(GLuint)));
        GLuint* out = reserveIndices(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) out[k] = static_cast<GLuint>(c[k] - 1);
    }
    finishRecording(m_wireRuns);
    m_wireShapeUploads = -1;
}

void MeshRenderer::buildWireShape() {
    const int* cv = m_doc.cornerVertexList.data();
    const Vec3* dv = m_doc.displayVertexArray.data();
    const int faces = static_cast<int>(m_wireFaceCorner.size());
    const int perBlock = std::max(1, (faces + kWireBlocks - 1) / kWireBlocks);
    m_wireBlocks.clear();
    m_wireBlockRuns.clear();
    for (int first = 0; first < faces; first += perBlock) {
        WireBlock b;
        b.first = first;
        b.end = std::min(faces, first + perBlock);
        b.runFirst = m_wireBlockRuns.size();
        float lo[3] = {HUGE_VALF, HUGE_VALF, HUGE_VALF}, hi[3] = {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
        for (int f = b.first; f < b.end; ++f) {
            const int* c = cv + m_wireFaceCorner[static_cast<size_t>(f)];
            const int n = m_wireRuns.polygonCounts[static_cast<size_t>(f)];
            for (int k = 0; k < n; ++k) {
                const Vec3& p = dv[c[k] - 1];
                lo[0] = std::min(lo[0], p.x), lo[1] = std::min(lo[1], p.y), lo[2] = std::min(lo[2], p.z);
                hi[0] = std::max(hi[0], p.x), hi[1] = std::max(hi[1], p.y), hi[2] = std::max(hi[2], p.z);
            }
            const bool polygon = fanCollapsed(dv, c, n);
            if (m_wireBlockRuns.size() > b.runFirst && m_wireBlockRuns.back().polygons == polygon)
                m_wireBlockRuns.back().end = f + 1;
            else
                m_wireBlockRuns.push_back({polygon, f, f + 1});
        }
        b.runEnd = m_wireBlockRuns.size();
        std::copy(lo, lo + 3, b.box);
        std::copy(hi, hi + 3, b.box + 3);
        m_wireBlocks.push_back(b);
    }
    m_wireShapeUploads = m_uploads;
    ++m_wireShapeBuilds;
}

void MeshRenderer::drawWireFaces(const ViewState& s) {
    if (m_wireShapeUploads != m_uploads) buildWireShape();
    double clip[4][4] = {};
    const bool sized = m_viewWidth > 0 && m_viewHeight > 0;
    if (sized) viewClipMatrix(s, m_viewWidth, m_viewHeight, clip);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_wireRuns.elements);
    auto draw = [&](const WireRun& r) {
        const int n = r.end - r.first;
        if (n <= 0) return;
        if (r.polygons) {
            m_multiDrawElements(GL_POLYGON, m_wireRuns.polygonCounts.data() + r.first, GL_UNSIGNED_INT,
                                m_wireRuns.polygonOffsets.data() + r.first, n);
            m_wirePolygonFaces += n;
        } else {
            const GLuint from = m_wireLineFirst[static_cast<size_t>(r.first)], to = m_wireLineFirst[static_cast<size_t>(r.end)];
            glDrawElements(GL_LINES, static_cast<GLsizei>(to - from), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(from * sizeof(GLuint)));
            m_wireSegmentFaces += n;
        }
        ++m_batches;
    };
    // Runs of the same kind that follow each other go to the GL as one.
    WireRun pending;
    auto add = [&](const WireRun& r) {
        if (r.polygons == pending.polygons && r.first == pending.end) {
            pending.end = r.end;
            return;
        }
        draw(pending);
        pending = r;
    };
    for (const WireBlock& b : m_wireBlocks) {
        if (sized && boxWellInside(clip, b.box))
            for (size_t i = b.runFirst; i < b.runEnd; ++i) add(m_wireBlockRuns[i]);
        else
            add({true, b.first, b.end});
    }
    draw(pending);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void MeshRenderer::replay(const PassRuns& runs) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, runs.elements);
    for (const Command& c : runs.commands) {
        switch (c.kind) {
        case Command::Kind::Material:
            materialColour(c.r, c.g, c.b);
            break;
        case Command::Kind::MorphColour:
            walkMorphColour(c.token);
            break;
        case Command::Kind::Ambient:
            setAmbient(c.r, c.g, c.b);
            break;
        case Command::Kind::PolygonMode:
            glPolygonMode(GL_FRONT_AND_BACK, c.mode);
            break;
        case Command::Kind::Draw:
            if (c.batch == Batch::Polygons)
                m_multiDrawElements(GL_POLYGON, runs.polygonCounts.data() + c.first, GL_UNSIGNED_INT,
                                    runs.polygonOffsets.data() + c.first, static_cast<GLsizei>(c.count));
            else
                glDrawElements(c.batch == Batch::Lines ? GL_LINES : GL_TRIANGLES, static_cast<GLsizei>(c.count),
                               GL_UNSIGNED_INT, reinterpret_cast<const void*>(c.first * sizeof(GLuint)));
            ++m_batches;
            break;
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
        if (runsOutdated(m_meshRuns, passKey(s, Pass::Mesh))) {
            startRecording(m_meshRuns);
            m_meshRuns.lastNormal = walkMeshFaces(s, true);
            finishRecording(m_meshRuns);
        }
        bindSource(m_positionBuffer, m_normalBuffer);
        replay(m_meshRuns);
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

void MeshRenderer::syncOverlayBuffers() {
    const CVELTADoc& d = m_doc;
    const int edges = std::clamp(d.edgeLineCount, 0, kEdgeLineSlots);
    const int markers[3] = {std::clamp(d.markerPointCount1, 0, kMarkerSlots), std::clamp(d.markerPointCount2, 0, kMarkerSlots),
                            std::clamp(d.markerPointCount3, 0, kMarkerSlots)};
    std::vector<long long> key = {m_generation, d.vertexCount, edges, d.floatingCount, markers[0], markers[1], markers[2]};
    if (key == m_overlayKey) return;
    m_overlayKey = std::move(key);
    const int vc = d.vertexCount;
    auto valid = [vc](int n) { return n >= 1 && n <= vc; };
    m_indexCount = 0;
    for (int i = 0; i < edges; ++i) {
        const int a = d.edgeLineFirst[static_cast<size_t>(i)], b = d.edgeLineSecond[static_cast<size_t>(i)];
        if (!valid(a) || !valid(b)) continue;
        GLuint* out = reserveIndices(2);
        out[0] = static_cast<GLuint>(a - 1), out[1] = static_cast<GLuint>(b - 1);
    }
    m_edgeIndexCount = static_cast<GLsizei>(m_indexCount);
    if (d.floatingCount != 0)
        for (int n = 0; n < vc; ++n)
            if (d.floatingFlag[static_cast<size_t>(n)] == 1) *reserveIndices(1) = static_cast<GLuint>(n);
    m_floatingIndexCount = static_cast<GLsizei>(m_indexCount) - m_edgeIndexCount;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_overlayElements);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_indexCount * sizeof(GLuint)),
                 m_indexCount ? m_indices.data() : nullptr, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    m_indexCount = 0;
    const Vec3* lists[3] = {d.markerPointList1.data(), d.markerPointList2.data(), d.markerPointList3.data()};
    glBindBuffer(GL_ARRAY_BUFFER, m_markerBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>((markers[0] + markers[1] + markers[2]) * sizeof(Vec3)), nullptr,
                 GL_STATIC_DRAW);
    for (int i = 0, at = 0; i < 3; at += markers[i++])
        if (markers[i] > 0)
            glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(at * sizeof(Vec3)),
                            static_cast<GLsizeiptr>(markers[i] * sizeof(Vec3)), lists[i]);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void MeshRenderer::drawOverlays(const ViewState&) {
    const CVELTADoc& d = m_doc;
    const bool fast = !m_reference && m_glReady && d.vertexCount > 0;
    if (fast) syncOverlayBuffers();
    const Vec3* dv = d.displayVertexArray.data();
    const int vc = d.vertexCount;
    auto valid = [vc](int n) { return n >= 1 && n <= vc; };

    // Edge maker lines.
    glColor3f(0.5f, 0.9f, 0.7f);
    setEmission(0.5f, 0.9f, 0.7f, 1.0f);
    const int edges = std::min(d.edgeLineCount, kEdgeLineSlots);
    if (edges > 0) {
        if (fast) {
            bindSource(m_positionBuffer, 0);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_overlayElements);
            glDrawElements(GL_LINES, m_edgeIndexCount, GL_UNSIGNED_INT, nullptr);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
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
            bindSource(m_positionBuffer, 0);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_overlayElements);
            glDrawElements(GL_POINTS, m_floatingIndexCount, GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(static_cast<size_t>(m_edgeIndexCount) * sizeof(GLuint)));
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
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
    GLint markerFirst = 0;  // in the marker buffer, where the lists follow each other
    for (const auto& mk : markers) {
        glColor3f(mk.r, mk.g, mk.b);
        const int count = std::min(mk.count, kMarkerSlots);
        if (count <= 0) continue;
        if (fast) {
            bindSource(m_markerBuffer, 0);
            glDrawArrays(GL_POINTS, markerFirst, count);
            unbindSource();
            markerFirst += count;
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
        if (runsOutdated(m_wireRuns, passKey(s, Pass::Wire))) recordWirePass(s);
        bindSource(m_positionBuffer, 0);
        drawWireFaces(s);
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

void MeshRenderer::syncUvPositions(float t) {
    const CVELTADoc& d = m_doc;
    const int corners = d.ownedCornerEnd();
    unsigned int tBits = 0;
    std::memcpy(&tBits, &t, sizeof tBits);
    std::vector<long long> key = {m_generation, m_uploads, corners, static_cast<long long>(tBits)};
    if (key == m_uvPositionKey) return;
    m_uvPositionKey = std::move(key);
    m_uvPositions.assign(static_cast<size_t>(corners), Vec3{});
    for (int f = 0; f < d.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        const int first = d.faceFirstCorner[fi], count = d.faceCornerCount[fi];
        if (!inUvGroup(d, fi) || count <= 0 || !faceIsValid(first, count) || first + count > corners) continue;
        for (int c = first; c < first + count; ++c) m_uvPositions[static_cast<size_t>(c)] = uvCorner(d, c, t);
    }
    glBindBuffer(GL_ARRAY_BUFFER, m_uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uvPositions.size() * sizeof(Vec3)), m_uvPositions.data(),
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    ++m_uvPositionUploads;
}

void MeshRenderer::walkUvFaces(const ViewState& s, bool record) {
    const CVELTADoc& d = m_doc;
    const int corners = d.ownedCornerEnd();
    int lastKey = -1;
    for (int f = 0; f < d.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        if (!inUvGroup(d, fi)) continue;
        const int g = d.faceGroup[fi];
        const int m = d.faceMaterial[fi];
        bool drawn = true;
        if (s.colourMode == kColourObject) {
            drawn = visibleAt(g);
            if (drawn && g != lastKey) {
                const PaletteColour& c = groupPaletteColour(g);
                walkAmbient(c.r, c.g, c.b);
                lastKey = g;
            }
        } else if (s.colourMode == kColourMaterial) {
            drawn = visibleAt(m);
            if (drawn && d.fileColoursFlag == 0 && m != lastKey) {
                const PaletteColour& c = groupPaletteColour(m);
                walkAmbient(0.1f * c.r, 0.1f * c.g, 0.1f * c.b);
                lastKey = m;
            } else if (drawn && d.fileColoursFlag != 0 && (!record || m != lastKey)) {  // every face; a run repeats it
                const PaletteColour c = fileColour(d, m);
                walkAmbient(0.1f * c.r, 0.1f * c.g, 0.1f * c.b);
                lastKey = m;
            }
        } else {
            drawn = visibleAt(m);
            if (drawn && (!record || lastKey != -2)) {
                walkAmbient(0.5f, 0.5f, 0.5f);
                lastKey = -2;
            }
        }
        const int first = d.faceFirstCorner[fi], count = d.faceCornerCount[fi];
        if (!drawn || count <= 0 || !faceIsValid(first, count)) continue;
        if (record) {
            if (first + count > corners) continue;
            m_cornerIds.resize(static_cast<size_t>(count));
            std::iota(m_cornerIds.begin(), m_cornerIds.end(), first);
            queueFace(m_cornerIds.data(), count, 0, GL_POLYGON, GL_LINE);
        } else {
            glBegin(GL_POLYGON);
            for (int c = first; c < first + count; ++c) {
                const Vec3 p = uvCorner(d, c, s.uvBlend);
                glVertex3f(p.x, p.y, p.z);
            }
            glEnd();
        }
    }
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

    if (!m_reference && m_glReady && d.vertexCount > 0 && d.ownedCornerEnd() > 0) {
        // The corner positions depend on the blend factor: sent again when it or the shape changes.
        syncGeometry();
        syncUvPositions(t);
        if (runsOutdated(m_uvRuns, passKey(s, Pass::Uv))) {
            startRecording(m_uvRuns);
            walkUvFaces(s, true);
            finishRecording(m_uvRuns);
        }
        bindSource(m_uvBuffer, 0);
        replay(m_uvRuns);
        unbindSource();
    } else {
        walkUvFaces(s, false);
    }

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
