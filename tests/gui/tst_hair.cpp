// HAIR and Collision in the program: Function > "HAIR" and the HAIR window -
// its controls, the requests it posts through the main frame, "P", CLOSE and
// Esc, its placement in "HWindow" - and Collision from the menu with the
// marker points it leaves drawn in the 3D view.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "scatter/HairModule.h"
#include "scatter/HairWindow.h"
#include "view3d/CVELTAView.h"

using vortel::gui::CMainFrame;
using vortel::gui::HairWindow;
namespace cmd = vortel::cmd;

namespace {
const QByteArray kLines = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 2 2 2\nf 1 2 4\nl 1 2 3\n";
const QByteArray kPlain = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
const QByteArray kBox =
    "v 0 0.5 0\nv 0.2 -0.8 0.1\nv 0.5 3 0.5\n"
    "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
    "g cloth\nf 1 2 3\ng box\nf 4 5 9 8\nf 7 11 10 6\nf 4 7 6 5\nf 8 9 10 11\nf 4 8 11 7\nf 5 6 10 9\n";

int countColour(const QImage& img, QRgb c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF)) ++n;
    return n;
}
}  // namespace

class HairTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vortel::test::Session> s;
    vortel::HairModule* hair = nullptr;

    std::unique_ptr<CMainFrame> openFrame() {
        auto frame = std::make_unique<CMainFrame>(s->doc, s->platform);
        frame->show();
        if (!QTest::qWaitForWindowExposed(frame.get())) qWarning("frame not exposed");
        return frame;
    }
    void load(const QString& name, const QByteArray& text) {
        const QString path = s->home.root() + "/" + name;
        vortel::test::writeText(path, text);
        s->doc.openByPath(path.toStdString(), QFileInfo(path).completeBaseName().toStdString(), 0);
        QCOMPARE(QString::fromStdString(s->doc.loadStatus), QString("NORMAL"));
    }
    HairWindow* hairWindow(CMainFrame& frame) { return frame.findChild<HairWindow*>("HairWindow"); }
    QString ini() { return QString::fromUtf8(vortel::test::readBytes(s->home.ini())); }

private slots:
    void initTestCase() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        s = std::make_unique<vortel::test::Session>();
        hair = s->doc.module<vortel::HairModule>();
        QVERIFY(hair);
    }
    void init() { QFile::remove(s->home.ini()); }

    void functionHairFollowsTheLineFaces() {
        auto frame = openFrame();
        QAction* toggle = frame->action(cmd::HairDialog);
        QVERIFY(toggle);
        QCOMPARE(toggle->text(), QString("HAIR"));
        QMenu* function = nullptr;
        for (QAction* a : frame->menuBar()->actions())
            if (a->text() == "&Function") function = a->menu();
        QVERIFY(function && function->actions().contains(toggle));

        load("plain.obj", kPlain);
        frame->updateCommandUi();
        QVERIFY(!toggle->isEnabled());
        load("lines.obj", kLines);
        frame->updateCommandUi();
        QVERIFY(toggle->isEnabled());
        QVERIFY(!toggle->isChecked());
        QVERIFY(!frame->action(cmd::ExportHair)->isEnabled());

        toggle->trigger();
        QPointer<HairWindow> w = hairWindow(*frame);
        QVERIFY(w && w->isVisible());
        QVERIFY(toggle->isChecked());
        toggle->trigger();  // the toggle closes it again
        QVERIFY(!w);
        QVERIFY(!toggle->isChecked());
        QCOMPARE(hair->windowOpenFlag, 0);
    }

    void theWindowsControls() {
        auto frame = openFrame();
        load("lines.obj", kLines);
        frame->runCommand(cmd::HairDialog);
        HairWindow* w = hairWindow(*frame);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("HAIR"));
        QVERIFY(!w->isModal());
        QStringList texts;
        for (QLabel* l : w->findChildren<QLabel*>()) texts << l->text();
        for (const char* t : {"FOR P5 LINE POLYGON", "THIN", "THICK"}) QVERIFY2(texts.contains(t), t);
        QCOMPARE(w->doneButton()->text(), QString("DONE"));
        QCOMPARE(w->resetButton()->text(), QString("RESET"));
        QCOMPARE(w->closeButton()->text(), QString("CLOSE"));
        QCOMPARE(w->stripButton()->text(), QString("P"));
        QCOMPARE(w->trackbar()->minimum(), 1);
        QCOMPARE(w->trackbar()->maximum(), 100);
        QCOMPARE(w->trackbar()->value(), 10);
        // THIN lies left of the trackbar, THICK right of it.
        QLabel* thin = nullptr;
        QLabel* thick = nullptr;
        for (QLabel* l : w->findChildren<QLabel*>()) {
            if (l->text() == "THIN") thin = l;
            if (l->text() == "THICK") thick = l;
        }
        QVERIFY(thin->geometry().right() <= w->trackbar()->geometry().left());
        QVERIFY(thick->geometry().left() >= w->trackbar()->geometry().right());
        frame->runCommand(cmd::HairDialog);
    }

    void requestsGoThroughTheFrameAfterTheClick() {
        auto frame = openFrame();
        load("lines.obj", kLines);
        QList<QPair<int, int>> requests;
        const auto relay = frame->hairOperation;
        frame->hairOperation = [&](int w, int l) {
            requests.append({w, l});
            relay(w, l);
        };
        frame->runCommand(cmd::HairDialog);
        QPointer<HairWindow> w = hairWindow(*frame);
        QVERIFY(w);

        // "P" builds the strips once the click has returned; its box gives their number.
        QString boxText;
        vortel::test::onNextModal([&](QWidget* m) {
            auto* box = qobject_cast<QMessageBox*>(m);
            QVERIFY(box);
            boxText = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        QTest::mouseClick(w->stripButton(), Qt::LeftButton);
        QCOMPARE(s->doc.hairStrandCount, 0);
        QTRY_COMPARE(s->doc.hairStrandCount, 2);
        QCOMPARE(boxText, QString("2"));
        frame->updateCommandUi();
        QVERIFY(frame->action(cmd::ExportHair)->isEnabled());
        QCOMPARE(hair->mesh().vertexCount, 8);

        w->trackbar()->setValue(37);
        QTest::mouseClick(w->doneButton(), Qt::LeftButton);
        QVERIFY(requests.isEmpty());  // posted, not run inside the click
        QTRY_COMPARE(requests.size(), 1);
        QCOMPARE(requests.last(), qMakePair(37, 0));
        QCOMPARE(hair->mesh().vertexCount, 3);  // the line points

        QTest::mouseClick(w->resetButton(), Qt::LeftButton);
        QTRY_COMPARE(requests.size(), 2);
        QCOMPARE(requests.last(), qMakePair(9999, 0));
        QCOMPARE(hair->mesh().vertexCount, 0);

        QTest::mouseClick(w->closeButton(), Qt::LeftButton);
        QVERIFY(w && !w->isVisible());  // hidden at once, destroyed by the request
        QTRY_VERIFY(!w);
        QCOMPARE(requests.last(), qMakePair(0, 0));
        QCOMPARE(hair->windowOpenFlag, 0);
        frame->updateCommandUi();
        QVERIFY(!frame->action(cmd::HairDialog)->isChecked());

        // Esc is CLOSE too.
        frame->runCommand(cmd::HairDialog);
        w = hairWindow(*frame);
        QVERIFY(w);
        w->activateWindow();
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(!w);
        QCOMPARE(requests.last(), qMakePair(0, 0));
        QCOMPARE(hair->windowOpenFlag, 0);
    }

    void placementFromAndToHWindow() {
        auto frame = openFrame();
        load("lines.obj", kLines);
        frame->runCommand(cmd::HairDialog);
        QPointer<HairWindow> w = hairWindow(*frame);
        QVERIFY(w);
        QCOMPARE(w->geometry(), QRect(134, 267, 260, 127));  // the defaults
        w->setGeometry(150, 160, 300, 140);
        frame->runCommand(cmd::HairDialog);
        QVERIFY(!w);
        for (const char* line : {"left=150", "top=160", "right=450", "bottom=300"})
            QVERIFY2(ini().contains(line), qPrintable(ini()));
        QVERIFY(ini().contains("[HWindow]"));

        frame->runCommand(cmd::HairDialog);
        w = hairWindow(*frame);
        QCOMPARE(w->geometry(), QRect(150, 160, 300, 140));
        frame->runCommand(cmd::HairDialog);

        // An empty rectangle leaves the window where it comes up.
        vortel::test::writeText(s->home.ini(), "[HWindow]\nleft=400\ntop=300\nright=400\nbottom=500\n");
        frame->runCommand(cmd::HairDialog);
        w = hairWindow(*frame);
        QVERIFY(w->geometry().width() > 0);
        QVERIFY(w->geometry().topLeft() != QPoint(400, 300));
        frame->runCommand(cmd::HairDialog);
    }

    void collisionFromTheMenuLeavesItsMarkersDrawn() {
        auto frame = openFrame();
        load("box.obj", kBox);
        frame->updateCommandUi();
        QVERIFY(!frame->action(cmd::Collision)->isEnabled());  // "Coligion" is "NONE" by default
        vortel::test::writeText(s->home.ini(), "[Function]\nColigion=ON\n");
        frame->updateCommandUi();
        QVERIFY(frame->action(cmd::Collision)->isEnabled());

        frame->action(cmd::ViewWire)->trigger();
        const QRgb cyan = qRgb(0, 255, 255), magenta = qRgb(255, 0, 255);
        QImage before = frame->view3d()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(countColour(before, magenta), 0);
        const float y0 = s->doc.displayVertexArray[0].y;
        frame->action(cmd::Collision)->trigger();
        QCOMPARE(s->doc.markerPointCount2, 2);
        QCOMPARE(s->doc.markerPointCount3, 2);
        QVERIFY(s->doc.displayVertexArray[0].y > y0);
        QCOMPARE(frame->statusProgressBar()->value(), 0);
        const QImage after = frame->view3d()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        QVERIFY(countColour(after, magenta) > 0);
        QVERIFY(countColour(after, cyan) > countColour(before, cyan));
    }
};

QTEST_MAIN(HairTest)
#include "tst_hair.moc"
