// CCircleButton: a round push button. A button not wider than tall becomes a
// circle; a wider one a capsule (two half circles joined by straight edges).
// The rim is shaded pixel by pixel as if lit from the upper left, so the
// button looks raised and, while pressed, sunken; the caption is engraved.
#pragma once

#include <QColor>
#include <QImage>
#include <QPushButton>

class CCircleButton : public QPushButton {
    Q_OBJECT
public:
    explicit CCircleButton(const QString& text, QWidget* parent = nullptr);

    bool isCapsule() const { return m_capsule; }
    int radius() const { return m_radius; }
    QPoint centre() const { return {m_centreX, m_centreY}; }
    QPoint leftCentre() const { return {m_leftCentreX, m_leftCentreY}; }
    QPoint rightCentre() const { return {m_rightCentreX, m_rightCentreY}; }
    void setDrawFocusCircle(bool on) { m_drawFocusCircle = on; }

    // Colour between A and B at angle THETA (radians, screen y down): A is at
    // full strength above the centre, slightly to the left, and B opposite.
    static QColor litColour(double theta, const QColor& a, const QColor& b);

    // The picture of the button in its current state, as painted.
    QImage render() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void setUpShape();

    int m_centreX = 0, m_centreY = 0;
    int m_leftCentreX = 0, m_leftCentreY = 0;
    int m_rightCentreX = 0, m_rightCentreY = 0;
    int m_radius = 0;
    bool m_drawFocusCircle = true;
    bool m_capsule = false;
};
