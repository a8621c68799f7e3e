// The seed preview's context and its one picture.
#include "scatter/SeedPreview.h"

#include <GL/gl.h>

#include <QOpenGLContext>
#include <QSurfaceFormat>

#include "view3d/SurfaceFormat.h"

namespace vortel::gui {

SeedPreview::SeedPreview(const SeedMesh& seed, Platform& platform, QWidget* parent)
    : QOpenGLWidget(parent), m_seed(seed), m_platform(platform) {
    setObjectName("SeedPreview");
    setFormat(vortel::view::glWindowFormat(24));
    setGeometry(kPlace);
}

void SeedPreview::initializeGL() {
    QOpenGLContext* ctx = context();
    if (!ctx || !ctx->isValid()) {
        m_platform.messageBox("VORTEL", "ChoosePixelFormat Failed", MsgButtons::Ok, MsgIcon::None);
        return;
    }
    if (QOpenGLContext::currentContext() != ctx) {
        m_platform.messageBox("VORTEL", "SetPixelFormat Failed", MsgButtons::Ok, MsgIcon::None);
        return;
    }
    m_ready = true;
}

void SeedPreview::paintGL() {
    ++m_paints;
    if (!m_ready) return;
    glPolygonMode(GL_FRONT, GL_FILL);
    glShadeModel(GL_FLAT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glClearDepth(1.0);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_NORMALIZE);
    glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(1.5f, 1.5f, 1.5f);

    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    const GLfloat sceneAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient);
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f}, diffuse[] = {0.7f, 0.7f, 0.7f, 1.0f},
                  specular[] = {1.0f, 1.0f, 1.0f, 1.0f}, position[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);
    const GLfloat materialSpecular[] = {0.7f, 0.7f, 0.7f, 1.0f}, materialColour[] = {0.0f, 1.0f, 1.0f, 0.5f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 32.0f);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, materialColour);

    // A seed that did not load, or a face naming a vertex the seed lacks, draws nothing.
    for (int f = 0; f < m_seed.usableFaceCount(); ++f) {
        if (!m_seed.faceIsWhole(f)) continue;
        const int first = m_seed.faceFirstCorner[f];
        const Vec3& n = m_seed.faceNormal[f];
        glBegin(GL_POLYGON);
        for (int c = 0; c < m_seed.faceCornerCount[f]; ++c) {
            glNormal3f(n.x, n.y, n.z);
            const Vec3& v = m_seed.vertexList[m_seed.cornerList[first + c] - 1];
            glVertex3f(v.x, v.y, v.z);
        }
        glEnd();
    }

    // The two axis lines, white: unlit, so the material does not colour them.
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    glVertex3f(-1.0f, 0.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, -1.0f, 0.0f);
    glVertex3f(0.0f, 1.0f, 0.0f);
    glEnd();
}

}  // namespace vortel::gui
