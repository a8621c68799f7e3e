// CCircleButton: circle and capsule shapes (window mask), the lit rim that
// turns over when pressed, the caption shift, the greyed caption, the focus
// circle and clicks that only count inside the shape.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "controls/CCircleButton.h"

namespace {

// Bounding box of the pixels darker than 40 (the engraved black caption).
QRect darkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 40) box |= QRect(x, y, 1, 1);
    return box;
}

int brightness(const QImage& img, QPoint p) { return qGray(img.pixel(p)); }

}  // namespace

class CircleButtonTest : public QObject {
    Q_OBJECT
    QTemporaryDir home;

private slots:
    void initTestCase() { qputenv("VORTEL_HOME", home.path().toUtf8()); }  // never the real settings

    void squareBecomesACircle() {
        QWidget host;
        auto* b = new CCircleButton("C", &host);
        b->setGeometry(10, 10, 30, 30);
        auto* tall = new CCircleButton("T", &host);
        tall->setGeometry(50, 10, 20, 34);
        host.show();  // the shape is set up when the button gets its size
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QVERIFY(!b->isCapsule());
        QCOMPARE(b->radius(), 14);
        QCOMPARE(b->centre(), QPoint(15, 15));
        const QRegion mask = b->mask();
        QVERIFY(mask.contains(QPoint(15, 15)));
        QVERIFY(mask.contains(QPoint(15, 1)));
        QVERIFY(!mask.contains(QPoint(0, 0)));
        QVERIFY(!mask.contains(QPoint(29, 29)));
        // A tall one is made square, keeping its corner.
        QCOMPARE(tall->geometry(), QRect(50, 10, 20, 20));
        QVERIFY(!tall->isCapsule());
    }

    void wideBecomesACapsule() {
        QWidget host;
        auto* b = new CCircleButton("1.ANALYSIS", &host);
        b->setGeometry(0, 0, 120, 24);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QVERIFY(b->isCapsule());
        QCOMPARE(b->size(), QSize(120, 24));
        QCOMPARE(b->radius(), 11);
        QCOMPARE(b->leftCentre(), QPoint(11, 12));
        QCOMPARE(b->rightCentre(), QPoint(108, 12));
        const QRegion mask = b->mask();
        QVERIFY(!mask.contains(QPoint(0, 0)));
        QVERIFY(!mask.contains(QPoint(119, 0)));
        QVERIFY(mask.contains(QPoint(60, 0)));   // straight top edge
        QVERIFY(mask.contains(QPoint(1, 12)));   // round left end
        QVERIFY(mask.contains(QPoint(118, 12)));  // round right end
        QVERIFY(mask.contains(QPoint(12, 1)));   // where the ellipse of the whole rectangle would cut
    }

    void litColourRunsFromAToB() {
        const QColor a(255, 255, 255), b(0, 0, 0);
        QCOMPARE(CCircleButton::litColour(-1.88, a, b), a);
        QCOMPARE(CCircleButton::litColour(-1.88 + M_PI, a, b), QColor(0, 0, 0));
        const QColor side = CCircleButton::litColour(-1.88 + M_PI / 2, a, b);
        QVERIFY(std::abs(side.red() - 127) <= 1);
    }

    void pressedLookTurnsTheRimAndShiftsTheCaption() {
        QWidget host;
        host.resize(200, 100);
        auto* b = new CCircleButton("OK", &host);
        b->setGeometry(10, 10, 60, 60);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        const QImage up = b->grab().toImage();
        b->setDown(true);
        const QImage down = b->grab().toImage();
        b->setDown(false);
        const int r = b->radius();
        const QPoint c = b->centre();
        const QPoint upperLeft = c + QPoint(0, -r);  // the outer ring, almost fully lit
        const QPoint lowerRight = c + QPoint(0, r);
        QVERIFY(brightness(up, upperLeft) > brightness(up, lowerRight) + 100);
        QVERIFY(brightness(down, upperLeft) + 100 < brightness(down, lowerRight));
        const QRect capUp = darkBox(up.copy(QRect(c - QPoint(r / 2, r / 2), QSize(r, r))));
        const QRect capDown = darkBox(down.copy(QRect(c - QPoint(r / 2, r / 2), QSize(r, r))));
        QVERIFY(capUp.isValid());
        QCOMPARE(capDown.topLeft(), capUp.topLeft() + QPoint(1, 1));
        QCOMPARE(capDown.size(), capUp.size());
    }

    void capsuleEdgesAndDisabledCaption() {
        QWidget host;
        host.resize(300, 100);
        auto* b = new CCircleButton("CLEAR ALL", &host);
        b->setGeometry(10, 10, 160, 24);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QImage img = b->grab().toImage();
        const int top = b->centre().y() - b->radius(), bottom = b->centre().y() + b->radius();
        // The straight edges carry the colour of the rim where they start.
        for (int x : {b->leftCentre().x(), 80, b->rightCentre().x()}) {
            QCOMPARE(img.pixel(x, top), img.pixel(b->leftCentre().x(), top));
            QCOMPARE(img.pixel(x, bottom), img.pixel(b->leftCentre().x(), bottom));
        }
        QVERIFY(qGray(img.pixel(80, top)) > qGray(img.pixel(80, bottom)));
        QVERIFY(darkBox(img).isValid());
        b->setEnabled(false);
        img = b->grab().toImage();
        QVERIFY(!darkBox(img.copy(20, 4, 120, 16)).isValid());  // greyed, no black engraving
    }

    void focusCircleAndClicksInsideTheShape() {
        QWidget host;
        host.resize(100, 100);
        auto* b = new CCircleButton("C", &host);
        b->setGeometry(10, 10, 40, 40);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        host.activateWindow();
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        const QImage focused = b->grab().toImage();
        QCOMPARE(QColor(focused.pixel(b->centre().x() + b->radius(), b->centre().y())), QColor(Qt::black));
        b->setDrawFocusCircle(false);
        const QImage plain = b->grab().toImage();
        QVERIFY(QColor(plain.pixel(b->centre().x() + b->radius(), b->centre().y())) != QColor(Qt::black));

        QSignalSpy clicks(b, &QPushButton::clicked);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(1, 1));  // a corner outside the circle
        QCOMPARE(clicks.count(), 0);
        QTest::mouseClick(b, Qt::LeftButton, {}, b->centre());
        QCOMPARE(clicks.count(), 1);
    }
};

QTEST_MAIN(CircleButtonTest)
#include "tst_circlebutton.moc"
