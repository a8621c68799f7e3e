// The Drop window: its controls and their start states, DONE (and its
// 130,000 rule), RESET and CLOSE through the main frame, the presets, the seed
// preview's pixels and its repaint on the seed loaded notice, the "DWindow"
// placement keys, and the drop mesh in the 3D view.
#include <QAbstractButton>
#include <QAction>
#include <QSlider>

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "scatter/DropWindow.h"
#include "scatter/SeedPreview.h"
#include "view3d/CVELTAView.h"

using vortel::gui::CMainFrame;
using vortel::gui::DropWindow;
namespace cmd = vortel::cmd;
namespace dropwin = vortel::dropwin;

namespace {

const char* kQuadSeed = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n";
const char* kFloor = "v -1 0 -1\nv -1 0 1\nv 1 0 1\nv 1 0 -1\nf 1 2 3 4\n";

bool isBackground(QRgb p) {
    return qRed(p) >= 24 && qRed(p) <= 27 && qGreen(p) >= 24 && qGreen(p) <= 27 && qBlue(p) >= 24 && qBlue(p) <= 27;
}
bool isWhite(QRgb p) { return qRed(p) >= 250 && qGreen(p) >= 250 && qBlue(p) >= 250; }
bool isCyan(QRgb p) { return qRed(p) < 40 && qGreen(p) > 60 && qBlue(p) > 60 && std::abs(qGreen(p) - qBlue(p)) < 40; }

int countCyan(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += isCyan(img.pixel(x, y)) ? 1 : 0;
    return n;
}

}  // namespace

class DropTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vortel::test::Session> s;

    std::unique_ptr<CMainFrame> openFrame() {
        auto frame = std::make_unique<CMainFrame>(s->doc, s->platform);
        frame->show();
        if (!QTest::qWaitForWindowExposed(frame.get())) qWarning("frame not exposed");
        return frame;
    }
    QString file(const QString& name, const QByteArray& text) {
        const QString path = s->home.root() + "/" + name;
        vortel::test::writeText(path, text);
        return path;
    }
    void open(const QString& path, int kind) {
        s->doc.openByPath(path.toStdString(), QFileInfo(path).completeBaseName().toStdString(), kind);
    }
    DropWindow* toggle(CMainFrame& frame) {
        frame.runCommand(cmd::Drop);
        return vortel::gui::dropWindowOf(frame);
    }
    vortel::DropModule& module() { return *s->doc.module<vortel::DropModule>(); }
    void click(DropWindow* w, int id) { QTest::mouseClick(w->control(id), Qt::LeftButton); }

private slots:
    void initTestCase() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        s = std::make_unique<vortel::test::Session>();
        QDir().mkpath(s->home.path() + "preset");
        for (const char* name : {"shape.obj", "flat.obj", "pyl.obj"})
            QFile::copy(QString(VORTEL_SOURCE_DIR) + "/preset/" + name, s->home.path() + "preset/" + name);
    }
    void init() {
        QFile::remove(s->home.ini());
        s->doc.dropResultCount = s->doc.dropFaceCount = 0;
        s->doc.markerPointCount1 = s->doc.markerPointCount2 = s->doc.markerPointCount3 = 0;
    }

    void controlsAndTheirStartStates() {
        auto frame = openFrame();
        frame->updateCommandUi();
        QVERIFY(!frame->action(cmd::Drop)->isChecked());
        DropWindow* w = toggle(*frame);
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QVERIFY(!w->isModal());
        QCOMPARE(w->windowTitle(), QString("Drop"));
        QVERIFY(frame->action(cmd::Drop)->isChecked());
        QCOMPARE(s->doc.dropDialogOpenFlag, 1);

        const struct {
            int id;
            const char* text;
        } buttons[] = {{dropwin::Done, "DONE"},      {dropwin::Close, "CLOSE"},
                       {dropwin::Reset, "RESET"},    {dropwin::PresetF, "F"},
                       {dropwin::PresetC, "C"},      {dropwin::PresetS, "S"},
                       {dropwin::SizeCheck, "Size"}, {dropwin::LocationCheck, "Location"},
                       {dropwin::Top, "Top"},        {dropwin::Front, "Front"},
                       {dropwin::Blank, ""}};
        for (const auto& b : buttons) {
            QVERIFY2(w->control(b.id), b.text);
            QCOMPARE(w->control(b.id)->text(), QString(b.text));
        }
        QVERIFY(w->control(dropwin::SizeCheck)->isChecked());
        QVERIFY(w->control(dropwin::LocationCheck)->isChecked());
        QVERIFY(w->control(dropwin::Top)->isChecked());
        QVERIFY(!w->control(dropwin::Front)->isChecked());
        QVERIFY(!w->control(dropwin::Blank)->isEnabled());
        QSlider* num = w->slider(dropwin::NumSlider);
        QSlider* size = w->slider(dropwin::SizeSlider);
        QCOMPARE(num->minimum(), 10);
        QCOMPARE(num->maximum(), 40);
        QCOMPARE(num->value(), 10);
        QCOMPARE(size->minimum(), 1);
        QCOMPARE(size->maximum(), 99);
        QCOMPARE(size->value(), 50);
        QCOMPARE(w->preview()->geometry(), QRect(7, 7, 133, 133));

        // The controls reach the window's state.
        click(w, dropwin::Front);
        click(w, dropwin::SizeCheck);
        num->setValue(25);
        size->setValue(80);
        QCOMPARE(w->panel().top, 0);
        QCOMPARE(w->panel().sizeCheck, 0);
        QCOMPARE(w->panel().num(), 25);
        QCOMPARE(w->panel().sizeSlider(), 80);

        // "DROP" again destroys the window.
        QPointer<DropWindow> gone(w);
        toggle(*frame);
        QVERIFY(!gone);
        frame->updateCommandUi();
        QVERIFY(!frame->action(cmd::Drop)->isChecked());
        QCOMPARE(s->doc.dropDialogOpenFlag, 0);
    }

    void doneResetAndCloseThroughTheFrame() {
        auto frame = openFrame();
        open(file("floor.obj", kFloor), 0);
        DropWindow* w = toggle(*frame);
        QVERIFY(w);
        click(w, dropwin::PresetF);
        QVERIFY(!module().seed.loaded);  // the request is posted, not run inside the click
        QTRY_VERIFY(module().seed.loaded);
        QCOMPARE(s->doc.documentPath, s->home.stdPath() + "preset/shape.obj");
        const int seedVertices = module().seed.vertexCount;

        click(w, dropwin::Top);
        click(w, dropwin::LocationCheck);  // no random offset: every line lands on the floor
        click(w, dropwin::Done);
        QCOMPARE(s->doc.dropResultCount, 0);
        QTRY_COMPARE(s->doc.markerPointCount1, 100);
        QCOMPARE(s->doc.markerPointCount2, 100);
        QCOMPARE(s->doc.dropResultCount, 100 * seedVertices);
        frame->updateCommandUi();
        QVERIFY(frame->action(cmd::ExportDrop)->isEnabled());

        // RESET empties the drop mesh and the marker points; Export > Drop is disabled.
        click(w, dropwin::Reset);
        QTRY_COMPARE(s->doc.dropResultCount, 0);
        QCOMPARE(s->doc.markerPointCount1, 0);
        frame->updateCommandUi();
        QVERIFY(!frame->action(cmd::ExportDrop)->isEnabled());

        // Past 130,000 copy vertices DONE does nothing.
        QString big;
        for (int i = 0; i < 100; ++i) big += QString("v %1 %2 0\n").arg(i).arg(i % 3);
        open(file("big_seed.obj", (big + "f 1 2 3\n").toUtf8()), 9);
        QCOMPARE(module().seed.vertexCount, 100);
        w->slider(dropwin::NumSlider)->setValue(37);
        click(w, dropwin::Done);
        QTest::qWait(100);
        QCOMPARE(s->doc.markerPointCount1, 0);
        w->slider(dropwin::NumSlider)->setValue(36);
        click(w, dropwin::Done);
        QTRY_COMPARE(s->doc.markerPointCount1, 36 * 36);
        QCOMPARE(s->doc.dropResultCount, 36 * 36 * 100);

        // CLOSE hides the window at once, then the frame's request destroys it; the drop mesh stays.
        QPointer<DropWindow> closing(w);
        click(w, dropwin::Close);
        QVERIFY(!closing || !closing->isVisible());
        QTRY_VERIFY(!closing);
        QCOMPARE(s->doc.dropDialogOpenFlag, 0);
        QCOMPARE(s->doc.dropResultCount, 36 * 36 * 100);
        QCOMPARE(s->doc.markerPointCount1, 0);
        frame->updateCommandUi();
        QVERIFY(!frame->action(cmd::Drop)->isChecked());

        // Escape acts as CLOSE; reopened, DONE replaces the drop mesh.
        w = toggle(*frame);
        w->activateWindow();
        QPointer<DropWindow> escaping(w);
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(!escaping);
        w = toggle(*frame);
        w->slider(dropwin::NumSlider)->setValue(10);
        click(w, dropwin::Done);
        QTRY_COMPARE(s->doc.markerPointCount1, 100);
        toggle(*frame);
    }

    void seedLoadOpensTheWindowAndRepaintsThePreview() {
        auto frame = openFrame();
        QVERIFY(!vortel::gui::dropWindowOf(*frame));
        open(file("quad_seed.obj", kQuadSeed), 9);
        DropWindow* w = vortel::gui::dropWindowOf(*frame);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTRY_VERIFY(w->preview()->paintCount() > 0);
        const int before = w->preview()->paintCount();
        click(w, dropwin::PresetC);
        QTRY_VERIFY(w->preview()->paintCount() > before);
        QCOMPARE(s->doc.documentPath, s->home.stdPath() + "preset/flat.obj");
        toggle(*frame);
    }

    void previewPixels() {
        auto frame = openFrame();
        open(file("quad_seed.obj", kQuadSeed), 9);
        DropWindow* w = vortel::gui::dropWindowOf(*frame);
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QImage img = w->preview()->grabFramebuffer();
        QVERIFY(!img.isNull());
        const int cx = img.width() / 2, cy = img.height() / 2;
        // The quad (0.7 across, scaled by 1.5) covers the middle, lit cyan; the corners show the background.
        QVERIFY2(isCyan(img.pixel(cx + 10, cy + 10)), qPrintable(QString::number(img.pixel(cx + 10, cy + 10), 16)));
        QVERIFY(isBackground(img.pixel(2, 2)));
        QVERIFY(isBackground(img.pixel(img.width() - 3, img.height() - 3)));
        // The two white lines run across the whole picture (hidden only behind the seed).
        auto whiteNear = [](const QImage& im, int x, int y, bool rows) {
            for (int d = -1; d <= 1; ++d)
                if (isWhite(rows ? im.pixel(x, y + d) : im.pixel(x + d, y))) return true;
            return false;
        };
        QVERIFY(whiteNear(img, 3, cy, true));
        QVERIFY(whiteNear(img, img.width() - 4, cy, true));
        QVERIFY(whiteNear(img, cx, 3, false));
        QVERIFY(whiteNear(img, cx, img.height() - 4, false));
        QVERIFY(!whiteNear(img, cx, cy + 20, false));

        // A failed load leaves no picture of the seed: the next paint shows only the lines.
        open(file("bad_seed.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nv 1\n"), 9);
        const QImage empty = w->preview()->grabFramebuffer();
        QVERIFY(isBackground(empty.pixel(cx + 10, cy + 10)));
        QVERIFY(whiteNear(empty, cx, cy + 20, false));
        toggle(*frame);
    }

    void placementFromAndToDWindow() {
        auto frame = openFrame();
        DropWindow* w = toggle(*frame);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->geometry(), DropWindow::kDefaultPlace);
        w->setGeometry(QRect(200, 300, 270, 310));
        toggle(*frame);
        const QString ini = QString::fromUtf8(vortel::test::readBytes(s->home.ini()));
        QVERIFY2(ini.contains("[DWindow]"), qPrintable(ini));
        QVERIFY(ini.contains("left=200"));
        QVERIFY(ini.contains("top=300"));
        QVERIFY(ini.contains("right=470"));
        QVERIFY(ini.contains("bottom=610"));
        w = toggle(*frame);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->geometry(), QRect(200, 300, 270, 310));
        // An empty rectangle keeps the window where it is made.
        toggle(*frame);
        s->platform.settings().writeInt("DWindow", "right", 100);
        w = toggle(*frame);
        QCOMPARE(w->size(), DropWindow::kDefaultPlace.size());
        toggle(*frame);
    }

    void dropMeshInTheView() {
        auto frame = openFrame();
        open(file("floor.obj", kFloor), 0);
        open(file("quad_seed.obj", kQuadSeed), 9);
        DropWindow* w = vortel::gui::dropWindowOf(*frame);
        QVERIFY(w);
        click(w, dropwin::LocationCheck);
        click(w, dropwin::SizeCheck);
        w->slider(dropwin::SizeSlider)->setValue(99);  // copies 0.7 / 3 across
        CVELTAView* view = frame->view3d();
        view->repaintNow();
        const int before = countCyan(view->grabFramebuffer());
        click(w, dropwin::Done);
        QTRY_COMPARE(s->doc.dropFaceCount, 100);
        view->repaintNow();
        const int after = countCyan(view->grabFramebuffer());
        QVERIFY2(after > before + 500, qPrintable(QString("%1 -> %2").arg(before).arg(after)));
        click(w, dropwin::Reset);
        QTRY_COMPARE(s->doc.dropFaceCount, 0);
        view->repaintNow();
        QCOMPARE(countCyan(view->grabFramebuffer()), before);
        toggle(*frame);
    }
};

QTEST_MAIN(DropTest)
#include "tst_drop.moc"
