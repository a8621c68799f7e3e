// The 3D view's input and playback: picking, double-click selection, the
// "FOR VIEW" menu, keys, wheel and drags, F8, and the morph playback timers.
#include <QtTest>

#include <QMenu>
#include <QWheelEvent>

#include <cmath>
#include <cstring>
#include <vector>

#include "tst_view_fixture.h"
#include "view3d/Picking.h"

using namespace viewtest;
namespace cmdid = vortel::view::cmdid;

namespace {

// Face 0: "far" quad behind face 1: "near" quad, both facing the camera;
// face 2: "back" quad turned away from the camera. Materials: "front" for faces 0
// and 1, "away" for face 2, so group and material numbers differ.
const char* kPickScene =
    "v -0.5 -0.5 -0.5\nv 0.5 -0.5 -0.5\nv 0.5 0.5 -0.5\nv -0.5 0.5 -0.5\n"
    "v -0.5 -0.5 0.5\nv 0.5 -0.5 0.5\nv 0.5 0.5 0.5\nv -0.5 0.5 0.5\n"
    "v 1 -0.5 0\nv 2 -0.5 0\nv 2 0.5 0\nv 1 0.5 0\n"
    "g far\nusemtl front\nf 1 2 3 4\n"
    "g near\nf 5 6 7 8\n"
    "g back\nusemtl away\nf 9 12 11 10\n";

// Window position of a display point with the camera at rest (no turn, pan or zoom).
QPoint screenOf(const vortel::Vec3& p) {
    const double t = std::tan(5.0 * M_PI / 180.0);
    const double d = 5.0 - p.z;
    return QPoint(static_cast<int>(std::lround(400.0 + 300.0 * p.x / (d * t))),
                  static_cast<int>(std::lround(300.0 - 300.0 * p.y / (d * t))));
}

QPoint faceCentre(const vortel::CVELTADoc& doc, int f) {
    vortel::Vec3 c;
    const int first = doc.faceFirstCorner[static_cast<size_t>(f)], n = doc.faceCornerCount[static_cast<size_t>(f)];
    for (int k = 0; k < n; ++k) {
        const vortel::Vec3& p = doc.displayVertexArray[static_cast<size_t>(doc.cornerVertexList[static_cast<size_t>(first + k)] - 1)];
        c.x += p.x / n, c.y += p.y / n, c.z += p.z / n;
    }
    return screenOf(c);
}

// Stands in for the group list: records what the view asks it to show.
struct GroupListProbe : vortel::DocumentView {
    void onGroupListChange(int a, int b) override { calls.push_back({a, b}); }
    std::vector<std::pair<int, int>> calls;
};

void wheel(QWidget* w, int delta) {
    QWheelEvent e(QPointF(400, 300), w->mapToGlobal(QPointF(400, 300)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
}

std::vector<vortel::Vec3> displayCopy(const vortel::CVELTADoc& doc) {
    return std::vector<vortel::Vec3>(doc.displayVertexArray.data(), doc.displayVertexArray.data() + doc.vertexCount);
}

}  // namespace

class TestViewInput : public QObject {
    Q_OBJECT

    GroupListProbe m_list;

private slots:
    void initTestCase() {
        ViewFixture& f = fixture();
        f.doc.addView(&m_list);
    }

    void cleanupTestCase() {
        fixture().doc.removeView(&m_list);
        releaseFixture();
    }

    void pickReturnsNearestFrontFace() {
        ViewFixture& f = fixture();
        f.openText("pick.obj", kPickScene);
        f.resetView(4);
        (void)f.grab();
        const QPoint centre = faceCentre(f.doc, 1);
        QCOMPARE(f.view->pick(centre.x(), centre.y()), 2);  // both quads lie under the pixel
        QCOMPARE(f.view->state().pickedName, 1);             // the near one wins
        QCOMPARE(f.view->pick(faceCentre(f.doc, 2).x(), faceCentre(f.doc, 2).y()), -1);  // turned away
        QCOMPARE(f.view->pick(5, 5), -1);                                                // background
        QCOMPARE(f.view->state().pickedName, 0);
        // A hidden group cannot be picked: the far quad is hit through it.
        f.doc.groupVisibleFlag[1] = 0;
        QCOMPARE(f.view->pick(centre.x(), centre.y()), 1);
        QCOMPARE(f.view->state().pickedName, 0);
        // In MATERIAL mode the visible flags are materials: flag 1 is "away", flag 0 "front".
        f.view->state().colourMode = vortel::view::kColourMaterial;
        QCOMPARE(f.view->pick(centre.x(), centre.y()), 2);
        QCOMPARE(f.view->state().pickedName, 1);
        f.doc.groupVisibleFlag[1] = 1;
        f.doc.groupVisibleFlag[0] = 0;
        QCOMPARE(f.view->pick(centre.x(), centre.y()), -1);
        std::memset(f.doc.groupVisibleFlag.data(), 1, f.doc.groupVisibleFlag.size());
    }

    // The window-space pre-cull leaves out only faces that cannot be hit.
    void preCullGivesTheSameRecords() {
        ViewFixture& f = fixture();
        f.open(samplePath("parts.obj"));
        f.resetView(4);
        (void)f.grab();
        auto& s = f.view->state();
        int hitsSeen = 0;
        for (int cam = 0; cam < 4; ++cam) {
            s.rotX = 15.0f * static_cast<float>(cam);
            s.rotY = 70.0f * static_cast<float>(cam);
            s.zoom = 1.0f + 0.5f * static_cast<float>(cam);
            f.view->makeCurrent();
            for (int y = 40; y < 600; y += 37)
                for (int x = 30; x < 800; x += 41) {
                    const auto fast = vortel::view::pickFaces(f.doc, s, x, y, true);
                    const auto plain = vortel::view::pickFaces(f.doc, s, x, y, false);
                    QCOMPARE(fast.hits, plain.hits);
                    QCOMPARE(fast.pickedName, plain.pickedName);
                    if (fast.hits > 0) ++hitsSeen;
                }
            f.view->doneCurrent();
        }
        QVERIFY(hitsSeen > 50);
    }

    void doubleClickSelectsAndSecondDeselects() {
        ViewFixture& f = fixture();
        f.openText("pick.obj", kPickScene);
        f.resetView(4);
        (void)f.grab();
        const QPoint centre = faceCentre(f.doc, 1);
        QTest::mouseDClick(f.view, Qt::LeftButton, Qt::NoModifier, centre);
        const auto& s = f.view->state();
        QCOMPARE(s.lastPickResult, 2);
        QCOMPARE(s.selectedGroupIndex, 1);
        QCOMPARE(QString::fromStdString(s.selectionLabel), QString("[near]"));
        QCOMPARE(s.selectionActiveFlag, 1);
        // The group is framed: its box fills 0.5 units, centred.
        QCOMPARE(f.doc.displayScale, 0.5f);
        // Double-click on background: nothing changes.
        QTest::mouseDClick(f.view, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(s.lastPickResult, -1);
        QCOMPARE(s.selectedGroupIndex, 1);
        (void)f.grab();
        QTest::mouseDClick(f.view, Qt::LeftButton, Qt::NoModifier, QPoint(400, 300));
        QCOMPARE(s.selectedGroupIndex, -1);
        QCOMPARE(s.labelShownFlag, 0);
        QVERIFY(s.selectionLabel.empty());
        QCOMPARE(f.doc.displayScale, 0.7f / 2.5f);
        // A group name with blanks shows one word per line.
        f.doc.groupNames[1] = "left upper arm\n";
        f.view->selectGroupAt(faceCentre(f.doc, 1).x(), faceCentre(f.doc, 1).y());
        QCOMPARE(s.selectedGroupIndex, 1);
        QCOMPARE(QString::fromStdString(s.selectionLabel), QString("[left\nupper\narm]"));
        f.view->onLoadRefresh();
        QVERIFY(s.selectionLabel.empty());
        QCOMPARE(s.selectionActiveFlag, 0);
    }

    void viewMenuChecksHideAndCommands() {
        ViewFixture& f = fixture();
        f.openText("pick.obj", kPickScene);
        f.resetView(4);
        (void)f.grab();
        m_list.calls.clear();
        const QPoint centre = faceCentre(f.doc, 1);
        QTest::mousePress(f.view, Qt::RightButton, Qt::NoModifier, centre);
        QTest::mouseRelease(f.view, Qt::RightButton, Qt::NoModifier, centre);
        QCOMPARE(f.view->state().lastRightX, centre.x());
        std::unique_ptr<QMenu> menu(f.view->createViewMenu(nullptr));
        QStringList texts;
        QAction* hide = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                texts << "-";
                continue;
            }
            texts << a->text();
            if (a->data().toInt() == cmdid::HideSelectObj) hide = a;
            if (a->data().toInt() == cmdid::AddWire) QVERIFY(a->isChecked());
            if (a->data().toInt() == cmdid::Transparency) QVERIFY(!a->isChecked());
        }
        QCOMPARE(texts, QStringList({"COLOR", "ADD WIRE", "TRANSPARENCY", "-", "Hide near", "-", "RESET VIEW ANGLE"}));
        QStringList colours;
        for (QAction* a : menu->actions().first()->menu()->actions())
            colours << a->text() + (a->isChecked() ? "*" : "");
        QCOMPARE(colours, QStringList({"OBJECT*", "MATERIAL", "NONE"}));
        QVERIFY(hide && hide->isEnabled());
        QVERIFY(f.view->onCommand(cmdid::HideSelectObj));
        QCOMPARE(f.doc.groupVisibleFlag[1], char(0));
        QCOMPARE(m_list.calls.size(), size_t(1));
        QCOMPARE(m_list.calls[0], std::make_pair(1, 0));
        // A hidden group is not offered again: the far quad is named now.
        menu.reset(f.view->createViewMenu(nullptr));
        QCOMPARE(menu->actions().at(4)->text(), QString("Hide far"));
        // MATERIAL mode names and hides the material.
        f.doc.groupVisibleFlag[1] = 1;
        QVERIFY(f.view->onCommand(cmdid::ColourMaterial));
        QCOMPARE(f.view->colourMode(), 1);
        menu.reset(f.view->createViewMenu(nullptr));
        QCOMPARE(menu->actions().at(4)->text(), QString("Hide front"));
        // While a group is selected by double-click the item stays gray.
        f.view->selectGroupAt(centre.x(), centre.y());
        QCOMPARE(f.view->state().selectionActiveFlag, 1);
        f.view->state().lastRightX = centre.x();
        menu.reset(f.view->createViewMenu(nullptr));
        QCOMPARE(menu->actions().at(4)->text(), QString("HIDE SELECT OBJ"));
        QVERIFY(!menu->actions().at(4)->isEnabled());
        // A colour command clears the selection label through the document's refresh.
        QVERIFY(f.view->onCommand(cmdid::ColourNone));
        QCOMPARE(f.view->colourMode(), 2);
        QVERIFY(f.view->state().selectionLabel.empty());
        QCOMPARE(f.view->state().selectedGroupIndex, -1);
        QVERIFY(f.view->onCommand(cmdid::AddWire));
        QCOMPARE(f.view->state().addWireFlag, 0);
        QVERIFY(f.view->onCommand(cmdid::Transparency));
        QCOMPARE(f.view->state().transparencyFlag, 1);
        f.view->state().rotX = 3.0f, f.view->state().panY = 0.1f, f.view->state().zoom = 2.0f;
        QVERIFY(f.view->onCommand(cmdid::ResetViewAngle));
        QCOMPARE(f.view->state().rotX, 0.0f);
        QCOMPARE(f.view->state().panY, 0.0f);
        QCOMPARE(f.view->state().zoom, 1.0f);
        QVERIFY(!f.view->onCommand(12345));
    }

    void keysGiveTheCameraValues() {
        ViewFixture& f = fixture();
        f.resetView(4);
        auto& s = f.view->state();
        f.view->setFocus();
        QTest::keyClick(f.view, Qt::Key_F1);
        QCOMPARE(s.rotY, 180.0f);
        QTest::keyClick(f.view, Qt::Key_F1);
        QCOMPARE(s.rotY, 0.0f);
        QCOMPARE(s.rotX, 0.0f);
        QTest::keyClick(f.view, Qt::Key_F2);
        QCOMPARE(s.rotY, 90.0f);
        QTest::keyClick(f.view, Qt::Key_F2);
        QCOMPARE(s.rotY, -90.0f);
        QTest::keyClick(f.view, Qt::Key_F2);
        QCOMPARE(s.rotY, 90.0f);
        QTest::keyClick(f.view, Qt::Key_F3);
        QCOMPARE(s.rotX, 90.0f);
        QCOMPARE(s.rotY, 0.0f);
        QTest::keyClick(f.view, Qt::Key_F3);
        QCOMPARE(s.rotX, -90.0f);
        QTest::keyClick(f.view, Qt::Key_Left);
        QTest::keyClick(f.view, Qt::Key_Up);
        QTest::keyClick(f.view, Qt::Key_Up);
        QCOMPARE(s.panX, -0.02f);
        QCOMPARE(s.panY, 0.04f);
        QTest::keyClick(f.view, Qt::Key_F6);
        QCOMPARE(s.zoom, 1.0f + 0.39999998f);
        QTest::keyClick(f.view, Qt::Key_Home);
        QCOMPARE(s.rotX, 0.0f);
        QCOMPARE(s.panX, 0.0f);
        QCOMPARE(s.panY, 0.0f);
        QCOMPARE(s.zoom, 1.0f);
        // F7 steps down and stops before the zoom would turn the model inside out.
        QTest::keyClick(f.view, Qt::Key_F7);
        QCOMPARE(s.zoom, 1.0f - 0.39999998f);
        QTest::keyClick(f.view, Qt::Key_F7);
        const float low = 1.0f - 0.39999998f - 0.39999998f;
        QCOMPARE(s.zoom, low);
        QTest::keyClick(f.view, Qt::Key_F7);
        QCOMPARE(s.zoom, low);
        QVERIFY(s.zoom > 0.0f);
        QTest::keyClick(f.view, Qt::Key_F5);
        QCOMPARE(s.labelShownFlag, 1);
        QTest::keyClick(f.view, Qt::Key_F5);
        QCOMPARE(s.labelShownFlag, 0);
        const auto before = s.zoom;
        QTest::keyClick(f.view, Qt::Key_F12);
        QCOMPARE(s.zoom, before);
        // Ctrl and Shift follow key down and key up.
        QTest::keyPress(f.view, Qt::Key_Control);
        QCOMPARE(s.controlKey, 1);
        QTest::keyRelease(f.view, Qt::Key_Control);
        QCOMPARE(s.controlKey, 0);
    }

    void wheelStepsAndStop() {
        ViewFixture& f = fixture();
        f.resetView(4);
        auto& s = f.view->state();
        const float expected[] = {0.75f, 0.5f, 0.25f, 0.25f, 0.25f};
        for (float e : expected) {
            wheel(f.view, 120);
            QCOMPARE(s.zoom, e);
        }
        wheel(f.view, -120);  // towards the user: larger
        QCOMPARE(s.zoom, 0.5f);
        s.controlKey = 1;
        wheel(f.view, -120);
        QCOMPARE(s.zoom, 0.6f);
        s.controlKey = 0;
    }

    void dragsTurnPanAndZoom() {
        ViewFixture& f = fixture();
        f.resetView(4);
        auto& s = f.view->state();
        s.firstMoveDone = 0;
        QTest::mousePress(f.view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseMove(f.view, QPoint(112, 106));  // the first movement after start moves nothing
        QCOMPARE(s.rotY, 0.0f);
        QTest::mouseMove(f.view, QPoint(124, 112));
        QCOMPARE(s.rotY, 12.0f * 0.8333333f);
        QCOMPARE(s.rotX, 6.0f * 0.8333333f);
        QTest::mouseRelease(f.view, Qt::LeftButton, Qt::NoModifier, QPoint(124, 112));
        QCOMPARE(s.leftDrag, 0);
        QTest::mousePress(f.view, Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseMove(f.view, QPoint(106, 112));
        QCOMPARE(s.panX, 6.0f * 0.0016666667f);
        QCOMPARE(s.panY, -12.0f * 0.0016666667f);
        QTest::mouseRelease(f.view, Qt::MiddleButton, Qt::NoModifier, QPoint(106, 112));
        // Ctrl + drag sideways only zooms out in steps of 0.1 until at or below 0.3.
        s.zoom = 0.55f;
        s.controlKey = 1;
        s.lastCtrlY = 200;
        QTest::mousePress(f.view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 200));
        for (int x = 110; x < 200; x += 10) QTest::mouseMove(f.view, QPoint(x, 200));
        QVERIFY(std::fabs(s.zoom - 0.25f) < 1e-6f);
        QCOMPARE(s.rotY, 12.0f * 0.8333333f);  // no turn while Ctrl is held
        QTest::mouseRelease(f.view, Qt::LeftButton, Qt::NoModifier, QPoint(190, 200));
        s.controlKey = 0;
    }

    // The fast drawing keeps its runs of faces until a mode, a flag or the mesh changes.
    void runsRebuiltOnlyWhenNeeded() {
        ViewFixture& f = fixture();
        f.openText("pick.obj", kPickScene);
        f.resetView(4);
        (void)f.grab();
        const int builds = f.view->renderer().meshRunBuilds();
        f.view->state().rotY = 33.0f;
        f.view->state().zoom = 1.7f;
        (void)f.grab();
        QCOMPARE(f.view->renderer().meshRunBuilds(), builds);
        f.doc.groupVisibleFlag[2] = 0;
        (void)f.grab();
        QCOMPARE(f.view->renderer().meshRunBuilds(), builds + 1);
        f.doc.groupVisibleFlag[2] = 1;
        f.view->setDisplayMode(2);
        (void)f.grab();
        QCOMPARE(f.view->renderer().meshRunBuilds(), builds + 2);
        f.doc.redrawAll();  // another tool changed the document
        (void)f.grab();
        QCOMPARE(f.view->renderer().meshRunBuilds(), builds + 3);
    }

    // A paint that only moves the camera sends nothing again and sorts nothing again; a new
    // shape is sent and sorted once, a new UV blend factor gives new corner positions once.
    void cameraPaintsRedoNoMeshWork() {
        ViewFixture& f = fixture();
        f.open(samplePath("figure.obj"));
        QCOMPARE(f.doc.hasUvFlag, 1);
        f.resetView(4);  // ADD WIRE on
        f.doc.uvViewFlag = 1;
        f.view->state().uvBlend = 1.0f;
        (void)f.grab();
        const auto& r = f.view->renderer();
        const int uploads = r.geometryUploads(), runs = r.meshRunBuilds(), shapes = r.wireShapeBuilds();
        const int uv = r.uvPositionUploads();
        for (float rotY : {20.0f, 50.0f}) {
            f.view->state().rotY = rotY;
            f.view->state().zoom = 1.5f;
            (void)f.grab();
        }
        QCOMPARE(r.geometryUploads(), uploads);
        QCOMPARE(r.meshRunBuilds(), runs);
        QCOMPARE(r.wireShapeBuilds(), shapes);
        QCOMPARE(r.uvPositionUploads(), uv);
        f.view->renderer().invalidateGeometry();  // as after a morph step
        (void)f.grab();
        (void)f.grab();
        QCOMPARE(r.geometryUploads(), uploads + 1);
        QCOMPARE(r.meshRunBuilds(), runs);
        QCOMPARE(r.wireShapeBuilds(), shapes + 1);
        QCOMPARE(r.uvPositionUploads(), uv + 1);
        f.view->state().uvBlend = 0.5f;
        (void)f.grab();
        QCOMPARE(r.uvPositionUploads(), uv + 2);
        while (f.view->uvTimerActive()) f.view->uvBlendTick();
        f.doc.uvViewFlag = 0;
    }

    void f8ShowsTheScore() {
        ViewFixture& f = fixture();
        f.openText("pick.obj", kPickScene);
        f.resetView(4);
        f.ui.messages.clear();
        f.view->state().rotY = 5.0f;
        f.view->setFocus();
        QTest::keyClick(f.view, Qt::Key_F8);
        QCOMPARE(f.view->state().rotY, 365.0f);  // 36 paints of 10 degrees
        QCOMPARE(f.ui.messages.size(), size_t(1));
        const QString box = QString::fromStdString(f.ui.messages[0]);
        QVERIFY2(QRegularExpression("^\\[\\] SCORE:\\[\\d+\\]\\n$").match(box).hasMatch(), qPrintable(box));
    }

    void playbackTicksStopPauseAndFF() {
        ViewFixture& f = fixture();
        f.open(samplePath("figure.obj"));
        f.resetView(4);
        const std::vector<vortel::Vec3> base = displayCopy(f.doc);
        f.doc.openByPath(samplePath("figure_mt.obj"), "figure_mt", 1);
        QCOMPARE(f.doc.morphLoadedFlag, 1);
        QCOMPARE(f.doc.playbackCommand, vortel::cmd::Play);
        QVERIFY(f.view->playbackTimerActive());
        QCOMPARE(f.view->playbackModel().tickCounter(), 0);
        const int n = f.doc.vertexCount;
        std::vector<vortel::Vec3> target(base);
        float largest = 0.0f;
        for (int i = 0; i < n; ++i) {
            const vortel::Vec3& d = f.doc.morphDeltaArray[static_cast<size_t>(i)];
            target[static_cast<size_t>(i)].x += d.x, target[static_cast<size_t>(i)].y += d.y,
                target[static_cast<size_t>(i)].z += d.z;
            largest = std::max({largest, std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
        }
        QVERIFY(largest > 0.01f);
        auto maxError = [&](const std::vector<vortel::Vec3>& want) {
            float e = 0.0f;
            for (int i = 0; i < n; ++i) {
                const vortel::Vec3& p = f.doc.displayVertexArray[static_cast<size_t>(i)];
                const vortel::Vec3& w = want[static_cast<size_t>(i)];
                e = std::max({e, std::fabs(p.x - w.x), std::fabs(p.y - w.y), std::fabs(p.z - w.z)});
            }
            return e;
        };
        (void)f.grab();
        const int uploads = f.view->renderer().geometryUploads();
        (void)f.grab();
        QCOMPARE(f.view->renderer().geometryUploads(), uploads);  // camera-only paints re-send nothing
        const std::vector<vortel::Vec3> normalsBefore(f.doc.vertexNormalSums.data(), f.doc.vertexNormalSums.data() + n);
        for (int t = 0; t < 20; ++t) f.view->playbackTick();
        QVERIFY2(maxError(target) < 2e-6f, qPrintable(QString::number(maxError(target))));
        // Every tick recomputes the normals of the new shape.
        QVERIFY(std::memcmp(normalsBefore.data(), f.doc.vertexNormalSums.data(), sizeof(vortel::Vec3) * static_cast<size_t>(n)) != 0);
        (void)f.grab();
        QCOMPARE(f.view->renderer().geometryUploads(), uploads + 1);  // one re-send for the new shape
        // Ticks 21..30 hold the shape, 31..50 return, 51 restarts the count.
        for (int t = 0; t < 10; ++t) f.view->playbackTick();
        QVERIFY(maxError(target) < 2e-6f);
        for (int t = 0; t < 20; ++t) f.view->playbackTick();
        QVERIFY(maxError(base) < 2e-6f);
        f.view->playbackTick();
        QCOMPARE(f.view->playbackModel().tickCounter(), 0);

        // Stop restores the base exactly.
        for (int t = 0; t < 7; ++t) f.view->playbackTick();
        f.doc.onCommand(vortel::cmd::Stop);
        QVERIFY(!f.view->playbackTimerActive());
        QCOMPARE(f.view->playbackModel().tickCounter(), 0);
        QCOMPARE(std::memcmp(f.doc.displayVertexArray.data(), base.data(), sizeof(vortel::Vec3) * static_cast<size_t>(n)), 0);

        // Pause at tick 10, then Play continues from the half-way shape.
        f.doc.onCommand(vortel::cmd::Play);
        QVERIFY(f.view->playbackTimerActive());
        for (int t = 0; t < 10; ++t) f.view->playbackTick();
        f.doc.onCommand(vortel::cmd::Pause);
        QVERIFY(!f.view->playbackTimerActive());
        std::vector<vortel::Vec3> half(base);
        for (int i = 0; i < n; ++i) {
            const vortel::Vec3& d = f.doc.morphDeltaArray[static_cast<size_t>(i)];
            half[static_cast<size_t>(i)].x += 0.5f * d.x, half[static_cast<size_t>(i)].y += 0.5f * d.y,
                half[static_cast<size_t>(i)].z += 0.5f * d.z;
        }
        QVERIFY(maxError(half) < 2e-6f);
        f.doc.onCommand(vortel::cmd::Play);
        QVERIFY(f.view->playbackTimerActive());
        QCOMPARE(f.view->playbackModel().tickCounter(), 10);
        f.doc.onCommand(vortel::cmd::Play);  // a repeated command changes nothing
        QCOMPARE(f.view->playbackModel().tickCounter(), 10);
        for (int t = 0; t < 10; ++t) f.view->playbackTick();
        QVERIFY(maxError(target) < 2e-6f);

        // FF while playing: the full morph at once, the timer stops.
        f.doc.onCommand(vortel::cmd::Stop);
        f.doc.onCommand(vortel::cmd::Play);
        for (int t = 0; t < 4; ++t) f.view->playbackTick();
        f.doc.onCommand(vortel::cmd::FF);
        QVERIFY(!f.view->playbackTimerActive());
        QCOMPARE(f.view->playbackModel().tickCounter(), 30);
        QVERIFY(maxError(target) < 1e-7f);
        // The real timer drives the same ticks.
        f.doc.onCommand(vortel::cmd::Play);
        QTRY_VERIFY_WITH_TIMEOUT(f.view->playbackModel().tickCounter() >= 32, 3000);
        f.doc.onCommand(vortel::cmd::Stop);
        QVERIFY(maxError(base) == 0.0f);
    }
};

QTEST_MAIN(TestViewInput)
#include "tst_view_input.moc"
