// The scene constants of the 3D view and the state every frame starts from.
#include "view3d/SceneSetup.h"

#include <GL/glu.h>

#include <cmath>

namespace vortel::view {

const char* viewErrorText(int index) {
    static const char* const kTexts[] = {
        "No Error",
        "Unable to get a CD",
        "ChoosePixelFormat failed",
        "SelectPixelFormat failed",
        "wglCreateContext failed",
        "wglMakeCurrect failed",
        "wglDeleteCotext failed",
        "SwapBuffer failed",
    };
    if (index < 0 || index > 7) return "";
    return kTexts[index];
}

bool applyDisplayMode(ViewState& s, int mode) {
    switch (mode) {
    case 1:
        s.polygonMode = GL_POINT, s.shadeModel = GL_FLAT, s.lightingFlag = 0, s.lineLoopFlag = 0;
        return true;
    case 2:
        s.polygonMode = GL_LINE, s.shadeModel = GL_FLAT, s.lightingFlag = 0, s.lineLoopFlag = 0;
        return true;
    case 3:
        s.polygonMode = GL_FILL, s.shadeModel = GL_FLAT, s.lightingFlag = 1, s.lineLoopFlag = 0;
        return true;
    case 4:
        s.polygonMode = GL_FILL, s.shadeModel = GL_SMOOTH, s.lightingFlag = 1, s.lineLoopFlag = 0;
        return true;
    case 5:
        s.polygonMode = GL_LINE, s.shadeModel = GL_FLAT, s.lightingFlag = 1, s.lineLoopFlag = 1;
        return true;
    default:
        return false;
    }
}

void resetCamera(ViewState& s) {
    s.rotX = s.rotY = 0.0f;
    s.panX = s.panY = 0.0f;
    s.zoom = 1.0f;
}

void setupInitialState() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glPointSize(1.0f);
    glLineWidth(1.0f);
    glEnable(GL_NORMALIZE);
}

void setupProjection(int width, int height) {
    if (width <= 0 || height <= 0) return;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, static_cast<double>(width) / static_cast<double>(height), kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -kCameraDistance);
    glRotatef(0.0f, 1.0f, 0.0f, 0.0f);
}

void applyCameraTransform(const ViewState& s) {
    glTranslatef(s.panX, s.panY, 0.0f);
    glRotatef(s.rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(s.rotY, 0.0f, 1.0f, 0.0f);
    glScalef(s.zoom, s.zoom, s.zoom);
}

namespace {

using Matrix = double[4][4];

// a = a x b
void multiply(Matrix& a, const Matrix& b) {
    Matrix out = {};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) out[r][c] += a[r][k] * b[k][c];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) a[r][c] = out[r][c];
}

void translate(Matrix& m, double x, double y, double z) {
    const Matrix t = {{1, 0, 0, x}, {0, 1, 0, y}, {0, 0, 1, z}, {0, 0, 0, 1}};
    multiply(m, t);
}

// A turn of `degrees` about the X axis (axis 0) or the Y axis (axis 1), as glRotate gives it.
void rotate(Matrix& m, double degrees, int axis) {
    const double a = degrees * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
    const Matrix aboutX = {{1, 0, 0, 0}, {0, c, -s, 0}, {0, s, c, 0}, {0, 0, 0, 1}};
    const Matrix aboutY = {{c, 0, s, 0}, {0, 1, 0, 0}, {-s, 0, c, 0}, {0, 0, 0, 1}};
    multiply(m, axis == 0 ? aboutX : aboutY);
}

}  // namespace

void viewClipMatrix(const ViewState& s, int width, int height, double (&m)[4][4]) {
    // gluPerspective
    const double f = 1.0 / std::tan(kFieldOfView * M_PI / 360.0);
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const Matrix projection = {{f / aspect, 0, 0, 0},
                               {0, f, 0, 0},
                               {0, 0, (kFarPlane + kNearPlane) / (kNearPlane - kFarPlane), 2.0 * kFarPlane * kNearPlane / (kNearPlane - kFarPlane)},
                               {0, 0, -1, 0}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] = projection[r][c];
    translate(m, 0.0, 0.0, -kCameraDistance);  // the fixed camera (its turn about X is 0 degrees)
    translate(m, s.panX, s.panY, 0.0);
    rotate(m, s.rotX, 0);
    rotate(m, s.rotY, 1);
    const Matrix zoom = {{s.zoom, 0, 0, 0}, {0, s.zoom, 0, 0}, {0, 0, s.zoom, 0}, {0, 0, 0, 1}};
    multiply(m, zoom);
}

void setLighting(bool on) {
    if (!on) {
        glDisable(GL_LIGHTING);
        glDisable(GL_LIGHT0);
        return;
    }
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1.5f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);

    // The position is given while the projection matrix is current, so it is
    // transformed by the model-view matrix as the pass starts (the camera
    // translation only): a point light fixed relative to the camera.
    const GLfloat diffuse[] = {0.7f, 0.7f, 0.7f, 1.3f};
    const GLfloat specular[] = {0.8f, 0.8f, 0.8f, 1.0f};
    const GLfloat position[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMatrixMode(GL_PROJECTION);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHT0);

    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat materialSpecular[] = {0.7f, 0.7f, 0.7f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, 64.0f);
}

}  // namespace vortel::view
