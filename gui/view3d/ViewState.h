// The 3D view's state: camera, display and colour modes, selection label,
// drag and key state. It lives for the whole run; RESET VIEW ANGLE and Home
// reset only the camera, a load clears only the selection label.
#pragma once

#include <GL/gl.h>

#include <string>

namespace vortel::view {

// Colour modes of the "FOR VIEW" menu; the group list reads them too.
inline constexpr int kColourObject = 0;
inline constexpr int kColourMaterial = 1;
inline constexpr int kColourNone = 2;

// Model z of the UV layout, the board and the label.
inline constexpr float kUvPlaneDepth = 3.0f;

struct ViewState {
    // camera
    float rotX = 0.0f, rotY = 0.0f;
    float panX = 0.0f, panY = 0.0f;
    float zoom = 1.0f;
    // render fields of the display mode ("SMOOTH" at start)
    GLenum polygonMode = GL_FILL;
    GLenum shadeModel = GL_SMOOTH;
    int lightingFlag = 1;
    int lineLoopFlag = 0;
    // overlays and colour
    int addWireFlag = 1;
    int transparencyFlag = 0;
    int colourMode = kColourObject;
    // selection label
    std::string selectionLabel;
    int labelShownFlag = 0;
    int selectionActiveFlag = 0;
    int selectedGroupIndex = -1;
    int previousSelectedGroup = -1;
    int lastPickResult = -1;
    int pickedName = 0;
    // UV layout: 0 = 3-D positions, 1 = flat UV layout
    float uvBlend = 0.0f;
    // drag state
    int leftDrag = 0, middleDrag = 0;
    int lastX = 0, lastY = 0;
    int lastCtrlY = 0;
    int firstMoveDone = 0;
    int lastRightX = 0, lastRightY = 0;
    // F1, F2, F3 toggles
    int backView = 0, sideSign = 1, topSign = 1;
    int firstEraseDone = 0;
    // Ctrl and Shift, following key down and key up
    int controlKey = 0, shiftKey = 0;
};

// Render fields of display mode 1 "PIXEL", 2 "WIRE", 3 "FLAT", 4 "SMOOTH", 5 "WIRE ++".
// Returns false for any other code (the state is left alone).
bool applyDisplayMode(ViewState& s, int mode);

// rotX = rotY = panX = panY = 0, zoom 1 ("RESET VIEW ANGLE" and Home).
void resetCamera(ViewState& s);

}  // namespace vortel::view
