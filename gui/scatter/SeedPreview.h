// SeedPreview: the Drop window's picture of the seed, a small OpenGL child
// window of its own at (7, 7)-(140, 140) of the window's client area.
//
// Every paint sets its whole state again: front polygons filled, flat
// shading, depth test less-than, back faces culled, normals normalised, a
// dark grey background, the seed scaled by 1.5 with no projection, two-sided
// lighting with one light, a cyan material; then each seed face as one
// polygon with its face normal, and two white axis lines across the picture.
#pragma once

#include <QOpenGLWidget>

#include "platform/Platform.h"
#include "scatter/SeedMesh.h"

namespace vortel::gui {

class SeedPreview : public QOpenGLWidget {
    Q_OBJECT
public:
    static constexpr QRect kPlace{7, 7, 133, 133};

    SeedPreview(const SeedMesh& seed, Platform& platform, QWidget* parent);
    int paintCount() const { return m_paints; }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    const SeedMesh& m_seed;
    Platform& m_platform;
    bool m_ready = false;
    int m_paints = 0;
};

}  // namespace vortel::gui
