// Selection-mode picking with a conservative window-space pre-cull.
#include "view3d/Picking.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <vector>

#include "view3d/SceneSetup.h"

namespace vortel::view {
namespace {

// Window position of every display vertex under the current viewport, projection
// and camera; `ok` is false where the vertex is at or behind the eye plane.
struct WindowPoints {
    std::vector<float> x, y;
    std::vector<unsigned char> ok;
};

void projectVertices(const CVELTADoc& doc, const ViewState& s, const GLint vp[4], WindowPoints& out) {
    GLdouble mv[16], pr[16];
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    applyCameraTransform(s);
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glPopMatrix();
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    // m = projection x model-view (column-major)
    double m[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += pr[k * 4 + r] * mv[c * 4 + k];
            m[c * 4 + r] = sum;
        }
    const size_t n = static_cast<size_t>(doc.vertexCount);
    out.x.resize(n);
    out.y.resize(n);
    out.ok.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const Vec3& p = doc.displayVertexArray[i];
        const double cx = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
        const double cy = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
        const double cw = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
        if (!(cw > 1e-6)) {
            out.ok[i] = 0;
            continue;
        }
        out.ok[i] = 1;
        out.x[i] = static_cast<float>(vp[0] + (cx / cw + 1.0) * 0.5 * vp[2]);
        out.y[i] = static_cast<float>(vp[1] + (cy / cw + 1.0) * 0.5 * vp[3]);
    }
}

}  // namespace

PickOutcome pickFaces(const CVELTADoc& doc, const ViewState& s, int x, int y, bool preCull) {
    PickOutcome out;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);

    WindowPoints wp;
    const float px = static_cast<float>(x), py = static_cast<float>(vp[3] - y);
    constexpr float kMargin = 2.5f;  // pixels beyond the half-pixel pick region
    if (preCull) {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        gluPerspective(kFieldOfView, static_cast<double>(vp[2]) / static_cast<double>(vp[3]), kNearPlane, kFarPlane);
        projectVertices(doc, s, vp, wp);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }

    GLuint buffer[kPickBufferWords] = {};
    glSelectBuffer(kPickBufferWords, buffer);
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glInitNames();
    glPushName(0);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(static_cast<GLdouble>(x), static_cast<GLdouble>(vp[3] - y), 1.0, 1.0, vp);
    gluPerspective(kFieldOfView, static_cast<double>(vp[2]) / static_cast<double>(vp[3]), kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    applyCameraTransform(s);
    glPolygonMode(GL_FRONT, GL_FILL);
    glColor4f(1.0f, 0.5f, 0.5f, 1.0f);

    const int* cv = doc.cornerVertexList.data();
    const Vec3* dv = doc.displayVertexArray.data();
    for (int f = 0; f < doc.faceCount; ++f) {
        const size_t fi = static_cast<size_t>(f);
        const int index = s.colourMode == kColourObject ? doc.faceGroup[fi] : doc.faceMaterial[fi];
        if (index >= 0 && index < kMaxGroups && doc.groupVisibleFlag[static_cast<size_t>(index)] == 0) continue;
        const int first = doc.faceFirstCorner[fi];
        const int count = doc.faceCornerCount[fi];
        if (first < 0 || count <= 0 || first + count > kCornerSlots) continue;
        bool valid = true;
        for (int c = 0; c < count && valid; ++c) valid = cv[first + c] >= 1 && cv[first + c] <= doc.vertexCount;
        if (!valid) continue;
        if (preCull) {
            bool unknown = false;
            float minX = 1e30f, maxX = -1e30f, minY = 1e30f, maxY = -1e30f;
            for (int c = 0; c < count; ++c) {
                const size_t v = static_cast<size_t>(cv[first + c] - 1);
                if (!wp.ok[v]) {
                    unknown = true;
                    break;
                }
                minX = std::min(minX, wp.x[v]);
                maxX = std::max(maxX, wp.x[v]);
                minY = std::min(minY, wp.y[v]);
                maxY = std::max(maxY, wp.y[v]);
            }
            if (!unknown && (maxX < px - kMargin || minX > px + kMargin || maxY < py - kMargin || minY > py + kMargin))
                continue;
        }
        glLoadName(static_cast<GLuint>(f));
        glBegin(GL_POLYGON);
        for (int c = 0; c < count; ++c) glVertex3fv(&dv[cv[first + c] - 1].x);
        glEnd();
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    const GLint hits = glRenderMode(GL_RENDER);
    out.hits = hits == 0 ? -1 : hits;  // an overflow is returned as -1 too
    if (out.hits > 0) {
        GLuint best = 0;
        bool have = false;
        int at = 0;
        for (int h = 0; h < out.hits && at + 3 <= kPickBufferWords; ++h) {
            const GLuint names = buffer[at];
            const GLuint maxDepth = buffer[at + 2];
            if (names >= 1 && at + 3 < kPickBufferWords && (!have || maxDepth < best)) {
                best = maxDepth;
                out.pickedName = static_cast<int>(buffer[at + 3]);
                have = true;
            }
            at += 3 + static_cast<int>(names);
        }
    }
    glPopMatrix();
    return out;
}

}  // namespace vortel::view
