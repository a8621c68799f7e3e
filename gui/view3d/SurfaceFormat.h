// The pixel format of VORTEL's OpenGL windows (the 3D view and the seed
// preview): compatibility profile, double buffer, RGB 8-8-8 and a depth buffer.
#pragma once

#include <QSurfaceFormat>

namespace vortel::view {

inline QSurfaceFormat glWindowFormat(int depthBits) {
    QSurfaceFormat fmt;
    fmt.setRenderableType(QSurfaceFormat::OpenGL);
    fmt.setProfile(QSurfaceFormat::CompatibilityProfile);
    fmt.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    fmt.setRedBufferSize(8);
    fmt.setGreenBufferSize(8);
    fmt.setBlueBufferSize(8);
    fmt.setDepthBufferSize(depthBits);
    return fmt;
}

}  // namespace vortel::view
