// CCircleButton: shape set-up and the pixel-by-pixel shaded painting.
#include "controls/CCircleButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <cmath>

namespace {

// Integer midpoint walk of a circle of radius R: PLOT(dx, dy) for the eight
// octant points of every step; with DOTTED every second step is skipped.
template <class Plot>
void walkCircle(int r, bool dotted, Plot plot) {
    int x = r, y = 0, d = -r, step = 0;
    while (x >= y) {
        if (!dotted || step % 2 == 0) {
            plot(x, y);
            plot(-x, y);
            plot(x, -y);
            plot(-x, -y);
            plot(y, x);
            plot(-y, x);
            plot(y, -x);
            plot(-y, -x);
        }
        ++step;
        d += 2 * y + 1;
        ++y;
        if (d > 0) {
            d -= 2 * x - 2;
            --x;
        }
    }
}

void setPixel(QImage& img, int x, int y, const QColor& c) {
    if (x >= 0 && y >= 0 && x < img.width() && y < img.height()) img.setPixel(x, y, c.rgb());
}

}  // namespace

CCircleButton::CCircleButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setObjectName("CCircleButton");
    setUpShape();
}

QColor CCircleButton::litColour(double theta, const QColor& a, const QColor& b) {
    double angle = -theta - 1.88;
    if (angle < -3.1415)
        angle += 6.293;
    else if (angle > 3.1415)
        angle = 6.293 - angle;
    const double w = (std::cos(angle) + 1.0) * 0.5;
    auto mix = [w](int ca, int cb) { return static_cast<int>(w * ca + (1.0 - w) * cb); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

void CCircleButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    setUpShape();
}

void CCircleButton::setUpShape() {
    const int w = width(), h = height();
    if (w <= 0 || h <= 0) return;
    m_capsule = h < w;
    const int side = std::min(w, h);
    const QRect r = m_capsule ? QRect(0, 0, w, h) : QRect(0, 0, side, side);
    m_centreX = r.width() / 2;
    m_centreY = r.height() / 2;
    m_radius = r.height() / 2 - 1;
    m_leftCentreX = m_rightCentreX = m_centreX;
    m_leftCentreY = m_rightCentreY = m_centreY;
    if (m_capsule) {
        m_leftCentreX = m_radius;
        m_rightCentreX = r.width() - r.height() / 2;
    }
    if (m_capsule) {
        // A capsule keeps its round ends: two circles and the band between them.
        QRegion region(0, 0, h, h, QRegion::Ellipse);
        region += QRegion(w - h, 0, h, h, QRegion::Ellipse);
        region += QRegion(h / 2, 0, w - h, h);
        setMask(region);
    } else {
        setMask(QRegion(r, QRegion::Ellipse));
        if (w != h) resize(side, side);
    }
}

bool CCircleButton::hitButton(const QPoint& pos) const {
    return mask().isEmpty() ? rect().contains(pos) : mask().contains(pos);
}

void CCircleButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, render());
}

QImage CCircleButton::render() const {
    QImage img(size(), QImage::Format_RGB32);
    // The face and rim colours are the system's, whatever the button's state:
    // a disabled button differs only in its caption.
    const QPalette& pal = palette();
    const QColor face = pal.color(QPalette::Active, QPalette::Button);
    const QColor highlight = pal.color(QPalette::Active, QPalette::Light);
    const QColor dkShadow = pal.color(QPalette::Active, QPalette::Shadow);
    const QColor light3d = pal.color(QPalette::Active, QPalette::Midlight);
    const QColor shadow = pal.color(QPalette::Active, QPalette::Dark);
    img.fill(face);

    const bool pressed = isDown();
    const bool focusCircle = hasFocus() && m_drawFocusCircle && !m_capsule;
    const int cx = m_centreX, cy = m_centreY;
    const int lcx = m_capsule ? m_leftCentreX : cx, rcx = m_capsule ? m_rightCentreX : cx;

    auto plainCircle = [&](int r, const QColor& c, bool dotted) {
        walkCircle(r, dotted, [&](int dx, int dy) { setPixel(img, cx + dx, cy + dy, c); });
    };
    // Right half around the right centre, left half around the left centre.
    auto shadedCircle = [&](int r, const QColor& a, const QColor& b) {
        walkCircle(r, false, [&](int dx, int dy) {
            const QColor c = litColour(std::atan2(static_cast<double>(dy), static_cast<double>(dx)), a, b);
            if (dx >= 0) setPixel(img, rcx + dx, cy + dy, c);
            if (dx <= 0) setPixel(img, lcx + dx, cy + dy, c);
        });
    };
    auto plainHalves = [&](int r, const QColor& c) {
        walkCircle(r, false, [&](int dx, int dy) {
            if (dx >= 0) setPixel(img, rcx + dx, cy + dy, c);
            if (dx <= 0) setPixel(img, lcx + dx, cy + dy, c);
        });
    };
    auto edge = [&](int row, const QColor& c) {
        for (int x = lcx; x <= rcx; ++x) setPixel(img, x, row, c);
    };
    auto pixelAt = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < img.width() && y < img.height() ? QColor(img.pixel(x, y)) : face;
    };

    int r = m_radius;
    if (focusCircle) {
        plainCircle(r, Qt::black, false);
        --r;
    }

    int q = r;
    if (isFlat()) {
        if (!m_capsule) {
            plainCircle(r, dkShadow, false);
            plainCircle(r - 1, highlight, false);
            q = r - 2;
        } else {
            plainHalves(r, dkShadow);
            edge(cy - r, dkShadow);
            edge(cy + r, dkShadow);
            plainHalves(r - 1, highlight);
            edge(cy - r + 1, highlight);
            edge(cy + r - 1, highlight);
            q = r - 1;
        }
    } else if (!pressed) {
        shadedCircle(r, highlight, dkShadow);
        shadedCircle(r - 1, light3d, shadow);
        if (m_capsule) {
            const int rows[4] = {cy - r, cy - r + 1, cy + r - 1, cy + r};
            for (int row : rows) edge(row, pixelAt(lcx, row));
        }
    } else {
        shadedCircle(r, dkShadow, highlight);
        shadedCircle(r - 1, shadow, light3d);
        if (m_capsule) {
            edge(cy - r, dkShadow);
            edge(cy - r + 1, shadow);
            edge(cy + r - 1, light3d);
            edge(cy + r, highlight);
        }
    }

    const QString caption = text();
    if (!caption.isEmpty()) {
        QPainter p(&img);
        p.setFont(font());
        if (m_capsule) {
            p.setClipRect(QRect(QPoint(lcx - q / 2, cy - q), QPoint(rcx + q / 2, cy + q)));
        } else {
            QPainterPath clip;
            clip.addEllipse(QPoint(cx, cy), q, q);
            p.setClipPath(clip);
        }
        const QFontMetrics fm(font());
        QPoint corner(cx - fm.horizontalAdvance(caption) / 2, cy - fm.height() / 2);
        if (pressed) corner += QPoint(1, 1);
        auto drawAt = [&](QPoint topLeft, const QColor& c) {
            p.setPen(c);
            p.drawText(topLeft + QPoint(0, fm.ascent()), caption);
        };
        if (!isEnabled()) {
            // Greyed: an embossed caption without the engraved shadow.
            drawAt(corner + QPoint(1, 1), highlight);
            drawAt(corner, shadow);
        } else {
            drawAt(corner, highlight);
            drawAt(corner - QPoint(1, 1), Qt::black);
        }
    }
    if (focusCircle) plainCircle(q - 2, Qt::black, true);
    return img;
}
