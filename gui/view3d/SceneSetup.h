// The fixed scene of the 3D view: initial OpenGL state, projection, the
// camera transform, lights and materials, and the view's error texts.
// Every function expects the view's context to be current.
#pragma once

#include "view3d/ViewState.h"

namespace vortel::view {

// Index 0..7 of the view's error table; anything else gives "".
const char* viewErrorText(int index);

inline constexpr double kFieldOfView = 10.0;
inline constexpr double kNearPlane = 0.1;
inline constexpr double kFarPlane = 120.0;
inline constexpr float kCameraDistance = 5.0f;

// Clear values, depth test, back-face culling, point and line size, GL_NORMALIZE.
void setupInitialState();
// Viewport, the 10-degree perspective and the fixed camera matrix; nothing for an empty size.
void setupProjection(int width, int height);
// Translate by the pan, turn about X then Y, scale by the zoom.
void applyCameraTransform(const ViewState& s);
// The matrix projection x fixed camera x camera transform of a view of the given size
// (row-major: clip coordinates = m x (x, y, z, 1)), computed here as the GL forms it from
// the two functions above; the GL itself is not asked, so no context is needed.
void viewClipMatrix(const ViewState& s, int width, int height, double (&m)[4][4]);
// Lighting on: two-sided model, light 0 fixed to the camera, white material. Off: lights off.
void setLighting(bool on);

}  // namespace vortel::view
