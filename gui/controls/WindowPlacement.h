// The rectangle a window returns to when it is restored: its geometry, or,
// while it is maximised, minimised or full screen, its normal geometry. The
// frame and the tool windows store it in "VELTA.ini".
#pragma once

#include <QRect>
#include <QWidget>

namespace vortel::gui {

inline QRect restoredGeometry(const QWidget& w) {
    QRect r = w.geometry();
    if (w.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        const QRect normal = w.normalGeometry();
        if (normal.width() > 0 && normal.height() > 0) r = normal;
    }
    return r;
}

}  // namespace vortel::gui
