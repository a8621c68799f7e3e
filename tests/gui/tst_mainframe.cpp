// The main window: first run and the settings it leaves, placement and pane
// restore, the command-line mesh, command states, the panel swap, the
// requests of the tool windows, and the Qt faces of the platform.
#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include "GuiTestSupport.h"
#include "app/AboutBox.h"
#include "app/CMainFrame.h"
#include "app/FileDialogs.h"
#include "app/FrameCommands.h"
#include "app/ProgressBox.h"
#include "browser/CTTtreeView.h"
#include "view3d/CVELTAView.h"

using vortel::gui::CMainFrame;
namespace cmd = vortel::cmd;

class MainFrameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vortel::test::Session> s;

    // `splashAtStart`, `titleAtStart`: whether the splash window was shown, and the title, when
    // the frame was built, before any event ran (the start-up timer removes the splash and
    // opens a command-line file 200 ms later, sooner than a loaded machine may get through
    // showing the frame).
    std::unique_ptr<CMainFrame> openFrame(const QStringList& args = {}, bool* splashAtStart = nullptr,
                                          QString* titleAtStart = nullptr) {
        auto frame = std::make_unique<CMainFrame>(s->doc, s->platform, args);
        if (splashAtStart) *splashAtStart = frame->splashWindow() != nullptr && frame->splashWindow()->isVisible();
        if (titleAtStart) *titleAtStart = frame->windowTitle();
        frame->show();
        if (!QTest::qWaitForWindowExposed(frame.get())) qWarning("frame not exposed");
        return frame;
    }
    bool enabled(CMainFrame& f, int id) { return f.action(id)->isEnabled(); }
    bool checked(CMainFrame& f, int id) { return f.action(id)->isChecked(); }
    QString ini() { return QString::fromUtf8(vortel::test::readBytes(s->home.ini())); }
    QString mesh(const QString& name, const QByteArray& text) {
        const QString path = s->home.root() + "/" + name;
        vortel::test::writeText(path, text);
        return path;
    }

private slots:
    void initTestCase() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        s = std::make_unique<vortel::test::Session>();
    }
    void init() { QFile::remove(s->home.ini()); }

    void firstRunLeavesTheHandEditKeys() {
        vortel::gui::recordHomeFolder(s->platform.settings(), s->home.stdPath());
        bool splashAtStart = false;
        auto frame = openFrame({}, &splashAtStart);
        QCOMPARE(frame->windowTitle(), QString("Please Open OBJ file :) - VORTEL"));
        QCOMPARE(frame->size(), CMainFrame::kDefaultSize);
        QCOMPARE(frame->leftSplitter()->width(), 200);
        QCOMPARE(frame->treePane()->height(), 200);
        frame->updateCommandUi();
        QVERIFY(!enabled(*frame, cmd::ExcuteZidu));
        QVERIFY(!enabled(*frame, cmd::Collision));
        for (int id : {cmd::FileNew, cmd::FileSave, cmd::EditUndo, cmd::EditCopy, cmd::EditCut, cmd::EditPaste,
                       cmd::FileSaveAs, cmd::MtOpen, cmd::Play, cmd::ExportDrop, cmd::ExportHair})
            QVERIFY2(!enabled(*frame, id), qPrintable(QString::number(id)));
        for (int id : {cmd::FileOpen, cmd::SeedOpen, cmd::SpecialFunc, cmd::Motion, cmd::UvView, cmd::AppAbout,
                       cmd::Vuroz, cmd::AppExit})
            QVERIFY2(enabled(*frame, id), qPrintable(QString::number(id)));
        // The 3-D view is the active view: keys reach it first.
        frame->activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(frame->view3d()));
        QCOMPARE(frame->activeView(), static_cast<QWidget*>(frame->view3d()));
        // Without an argument the splash goes after the start-up timer and nothing is opened.
        QVERIFY(splashAtStart);
        QTRY_VERIFY(frame->splashWindow() == nullptr);
        QCOMPARE(s->doc.vertexCount, 0);
        QCOMPARE(frame->windowTitle(), QString("Please Open OBJ file :) - VORTEL"));
        const QRect g = frame->geometry();
        frame->close();
        const QString expected = QString("[Locate]\nname=%1\ndrive=47\n"
                                         "[Window]\nleft=%2\ntop=%3\nright=%4\nbottom=%5\nshow=1\npane=200\npane2=200\n"
                                         "[Excute]\nApplname=NULL\nDeleteFile=NULL\n"
                                         "[Function]\nFurFur=NONE\nColigion=NONE\n")
                                     .arg(s->home.path())
                                     .arg(g.x())
                                     .arg(g.y())
                                     .arg(g.x() + g.width())
                                     .arg(g.y() + g.height());
        QCOMPARE(ini(), expected);
    }

    void userValuesSurviveExit() {
        vortel::test::writeText(s->home.ini(),
                                "[Excute]\nApplname=/opt/tool\nDeleteFile=NONE\n[Function]\nColigion=ON\n");
        auto frame = openFrame();
        frame->close();
        auto& st = s->platform.settings();
        QCOMPARE(st.getString("Excute", "Applname", "?"), std::string("/opt/tool"));
        QCOMPARE(st.getString("Excute", "DeleteFile", "?"), std::string("NULL"));  // "NONE" is the missing-key default
        QCOMPARE(st.getString("Function", "Coligion", "?"), std::string("ON"));
        QCOMPARE(st.getString("Function", "FurFur", "?"), std::string("NONE"));
    }

    void storedPlacementAndPanesAreRestored() {
        vortel::test::writeText(s->home.ini(),
                                "[Window]\nleft=100\ntop=80\nright=900\nbottom=700\npane=260\npane2=150\n");
        auto frame = openFrame();
        QCOMPARE(frame->geometry(), QRect(100, 80, 800, 620));
        QCOMPARE(frame->leftSplitter()->width(), 260);
        QCOMPARE(frame->treePane()->height(), 150);
        // The panes keep their pixels when the window grows.
        frame->resize(1100, 800);
        QTRY_COMPARE(frame->width(), 1100);
        QCOMPARE(frame->leftSplitter()->width(), 260);
        QCOMPARE(frame->treePane()->height(), 150);
    }

    void zeroPanesAndAnEmptyRectangleGiveTheDefaults() {
        vortel::test::writeText(s->home.ini(), "[Window]\nleft=0\ntop=0\nright=0\nbottom=0\npane=0\n");
        auto frame = openFrame();
        QCOMPARE(frame->size(), CMainFrame::kDefaultSize);
        QCOMPARE(frame->leftSplitter()->width(), 200);  // 0 stored
        QCOMPARE(frame->treePane()->height(), 200);     // missing
    }

    void maximisedWindowStoresItsRestoredRectangle() {
        vortel::test::writeText(s->home.ini(), "[Window]\nleft=120\ntop=90\nright=820\nbottom=590\n");
        auto frame = openFrame();
        frame->showMaximized();
        QTRY_VERIFY(frame->isMaximized());
        frame->close();
        auto& st = s->platform.settings();
        QCOMPARE(st.getInt("Window", "left", -1), 120);
        QCOMPARE(st.getInt("Window", "top", -1), 90);
        QCOMPARE(st.getInt("Window", "right", -1), 820);
        QCOMPARE(st.getInt("Window", "bottom", -1), 590);
        QCOMPARE(st.getInt("Window", "show", -1), 3);
    }

    void commandLineMeshAndCommandStates() {
        const QString one = mesh("quad one.obj",
                                 "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                 "f 1/1 2/2 3/3\nf 1/1 3/3 4/4\n");
        const QString target = mesh("quad one mt.obj", "v 0 0 0\nv 1 0 0.5\nv 1 1 0\nv 0 1 0\nf 1 2 3\nf 1 3 4\n");
        const QString two = mesh("two.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\ng a\nf 1 2 3\ng b\nf 3 2 1\n");
        bool splashAtStart = false;
        QString titleAtStart;
        auto frame = openFrame({one}, &splashAtStart, &titleAtStart);
        QVERIFY(splashAtStart);
        QCOMPARE(titleAtStart, QString("quad one.obj - VORTEL"));
        QTRY_COMPARE(frame->windowTitle(), "VORTEL - " + one);
        QTRY_VERIFY(frame->splashWindow() == nullptr);
        frame->updateCommandUi();
        QCOMPARE(frame->counterLabel(cmd::IndicatorVertices)->text(), QString("V:4"));
        QCOMPARE(frame->counterLabel(cmd::IndicatorFaces)->text(), QString("F:2"));
        QCOMPARE(frame->counterLabel(cmd::IndicatorUvs)->text(), QString("U:4"));
        QCOMPARE(QString::fromStdString(static_cast<CTTtreeView*>(frame->treePane())->shownPath()), one);
        QVERIFY(enabled(*frame, cmd::MtOpen));  // one group
        QVERIFY(enabled(*frame, cmd::FileSaveAs));
        for (int id : {cmd::Play, cmd::Pause, cmd::Stop, cmd::FF}) QVERIFY(!enabled(*frame, id));
        QVERIFY(checked(*frame, cmd::ViewSmooth));

        s->doc.openByPath(target.toStdString(), "quad one mt", 1);
        frame->updateCommandUi();
        for (int id : {cmd::Play, cmd::Pause, cmd::Stop, cmd::FF}) QVERIFY(enabled(*frame, id));
        QVERIFY(checked(*frame, cmd::Play));
        frame->action(cmd::Pause)->trigger();
        QVERIFY(checked(*frame, cmd::Pause));
        QVERIFY(!checked(*frame, cmd::Play));
        frame->action(cmd::Stop)->trigger();
        QVERIFY(checked(*frame, cmd::Stop));

        frame->action(cmd::ViewWire)->trigger();
        QVERIFY(checked(*frame, cmd::ViewWire));
        QVERIFY(!checked(*frame, cmd::ViewSmooth));
        QCOMPARE(s->doc.viewModeCommand, cmd::ViewWire);
        frame->action(cmd::ViewSmooth)->trigger();
        QVERIFY(checked(*frame, cmd::ViewSmooth));

        // Function and Export follow the document's flags and counts.
        QVERIFY(!checked(*frame, cmd::Drop));
        s->doc.dropDialogOpenFlag = 1;
        s->doc.dropResultCount = 5;
        frame->updateCommandUi();
        QVERIFY(checked(*frame, cmd::Drop));
        QVERIFY(enabled(*frame, cmd::ExportDrop));
        QVERIFY(!enabled(*frame, cmd::ExportHair));
        s->doc.dropDialogOpenFlag = 0;

        s->doc.openByPath(two.toStdString(), "two", 0);
        frame->updateCommandUi();
        QVERIFY(!enabled(*frame, cmd::MtOpen));  // two groups
        QVERIFY(!enabled(*frame, cmd::Play));
        QVERIFY(!enabled(*frame, cmd::ExportDrop));  // a load clears the drop results
        QCOMPARE(frame->counterLabel(cmd::IndicatorFaces)->text(), QString("F:2"));
        QCOMPARE(frame->counterLabel(cmd::IndicatorVertices)->text(), QString("V:3"));
        QCOMPARE(frame->counterLabel(cmd::IndicatorUvs)->text(), QString("U:0"));
    }

    void openAndMtOpenThroughTheirDialogs() {
        const QString base = mesh("tri base.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
        const QString target = mesh("tri target.obj", "v 0 0 1\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
        auto frame = openFrame();
        QStringList filters;
        vortel::test::onNextModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            filters = d->nameFilters();
            vortel::test::acceptFileDialog(d, base);
        });
        frame->action(cmd::FileOpen)->trigger();
        QCOMPARE(filters, QStringList{"OBJ Format or PP2 HR2 (*.obj *.pp2 *.hr2)"});
        QCOMPARE(frame->windowTitle(), "VORTEL - " + base);
        QCOMPARE(QString::fromStdString(static_cast<CTTtreeView*>(frame->treePane())->shownPath()), base);
        QVERIFY(enabled(*frame, cmd::MtOpen));

        vortel::test::onNextModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            filters = d->nameFilters();
            vortel::test::acceptFileDialog(d, target);
        });
        frame->action(cmd::MtOpen)->trigger();
        QCOMPARE(filters, QStringList{"for MT OBJ FILE(*.obj)"});
        QCOMPARE(s->doc.morphLoadedFlag, 1);
        QVERIFY(enabled(*frame, cmd::FF));
        QVERIFY(!s->platform.progressBox() || !s->platform.progressBox()->isVisible());  // closed on time

        // Cancel changes nothing.
        vortel::test::onNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        frame->action(cmd::FileOpen)->trigger();
        QCOMPARE(s->doc.vertexCount, 3);
        QCOMPARE(s->doc.morphLoadedFlag, 1);
    }

    void panelSwapAndThe370PixelRule() {
        auto frame = openFrame();
        auto kinds = [this] {
            QStringList k;
            for (auto* v : s->doc.views())
                if (auto* o = dynamic_cast<QObject*>(v)) k << o->metaObject()->className();
            return k;
        };
        QCOMPARE(QString(frame->lowerPane()->metaObject()->className()), QString("CLIST3DView"));
        frame->action(cmd::SpecialFunc)->trigger();
        QCOMPARE(QString(frame->lowerPane()->metaObject()->className()), QString("CMTM"));
        QCOMPARE(s->doc.specialPanelShownFlag, 1);
        QCOMPARE(frame->panelShownFlag(), 1);
        QVERIFY(checked(*frame, cmd::SpecialFunc));
        QVERIFY(kinds().contains(QString("CMTM")));
        QVERIFY(!kinds().contains(QString("CLIST3DView")));
        QTRY_COMPARE(frame->treePane()->height(), frame->outerSplitter()->height() - 370);
        const int shrunk = frame->treePane()->height();

        frame->action(cmd::SpecialFunc)->trigger();  // second press: back to the group list
        QCOMPARE(QString(frame->lowerPane()->metaObject()->className()), QString("CLIST3DView"));
        QCOMPARE(s->doc.specialPanelShownFlag, 0);
        QVERIFY(!checked(*frame, cmd::SpecialFunc));
        QCOMPARE(frame->treePane()->height(), shrunk);  // sizes stay as they are

        frame->action(cmd::Motion)->trigger();
        QCOMPARE(QString(frame->lowerPane()->metaObject()->className()), QString("CBVH"));
        QVERIFY(kinds().contains(QString("CBVH")));
        QCOMPARE(s->doc.specialPanelShownFlag, 1);
        frame->action(cmd::SpecialFunc)->trigger();  // SPECIAL FUNC while MOTION is up: the group list
        QCOMPARE(QString(frame->lowerPane()->metaObject()->className()), QString("CLIST3DView"));
        QCOMPARE(s->doc.specialPanelShownFlag, 0);
        QCOMPARE(kinds().count(QString("CLIST3DView")), 1);
        QCOMPARE(kinds().count(QString("CBVH")), 0);

        // Closing with the panel up stores the shrunken browser; the next start uses it.
        frame->action(cmd::SpecialFunc)->trigger();
        QTRY_COMPARE(frame->treePane()->height(), frame->outerSplitter()->height() - 370);
        const int stored = frame->treePane()->height();
        frame->close();
        frame.reset();
        QCOMPARE(s->platform.settings().getInt("Window", "pane2", -1), stored);
        s->doc.specialPanelShownFlag = 0;
        auto again = openFrame();
        QCOMPARE(again->treePane()->height(), stored);
        QCOMPARE(QString(again->lowerPane()->metaObject()->className()), QString("CLIST3DView"));
    }

    void commandsReachTheActiveViewFirst() {
        auto frame = openFrame();
        frame->activateWindow();
        QTRY_COMPARE(frame->activeView(), static_cast<QWidget*>(frame->view3d()));
        const int addWire = 32827;  // a command of the view's own menu
        const int before = frame->view3d()->state().addWireFlag;
        QVERIFY(frame->commandState(addWire).enabled);
        QCOMPARE(frame->commandState(addWire).checked, before != 0);
        frame->runCommand(addWire);
        QCOMPARE(frame->view3d()->state().addWireFlag, before ? 0 : 1);
        QCOMPARE(frame->commandState(addWire).checked, before == 0);
        // With the browser active, the view's commands have no handler.
        frame->treePane()->setFocus();
        QTRY_COMPARE(frame->activeView(), frame->treePane());
        QVERIFY(!frame->commandState(addWire).enabled);
        frame->runCommand(addWire);
        QCOMPARE(frame->view3d()->state().addWireFlag, before ? 0 : 1);
        // Document commands do not depend on the active view.
        QVERIFY(frame->commandState(cmd::FileOpen).enabled);
    }

    void uvViewToolbarAndStatusBarToggles() {
        auto frame = openFrame();
        const int before = s->doc.uvViewFlag;
        frame->action(cmd::UvView)->trigger();
        QCOMPARE(s->doc.uvViewFlag, 1 - before);
        QCOMPARE(checked(*frame, cmd::UvView), s->doc.uvViewFlag == 1);
        frame->action(cmd::UvView)->trigger();
        QCOMPARE(s->doc.uvViewFlag, before);
        QVERIFY(checked(*frame, cmd::ViewToolbar));
        frame->action(cmd::ViewToolbar)->trigger();
        QVERIFY(frame->toolBar()->isHidden());
        QVERIFY(!checked(*frame, cmd::ViewToolbar));
        frame->action(cmd::ViewStatusBar)->trigger();
        QVERIFY(frame->statusBar()->isHidden());
        QVERIFY(!checked(*frame, cmd::ViewStatusBar));
    }

    void menusAndToolbarCarryEveryCommand() {
        auto frame = openFrame();
        auto describe = [](QMenu* m, auto& self) -> QString {
            QStringList out;
            for (QAction* a : m->actions()) {
                if (a->isSeparator()) continue;
                if (a->menu())
                    out << a->text() + "{" + self(a->menu(), self) + "}";
                else
                    out << QString("%1=%2").arg(a->text()).arg(a->data().toInt());
            }
            return out.join(',');
        };
        QStringList menus;
        for (QAction* top : frame->menuBar()->actions()) menus << top->text() + "{" + describe(top->menu(), describe) + "}";
        QCOMPARE(menus.join('\n'),
                 QString("&File{&New=57600,&Open...=57601,MT Open =32770,Seed Open=32811,Save &As...=57604,"
                         "Export{Drop=32812,HAIR=32826},E&xit=57665}\n"
                         "&Edit{&Undo=57643}\n"
                         "&View{&Toolbar=59392,&Status Bar=59393}\n"
                         "&Mode{MT{Play=32796,Pause=32797,FF=32799,Stop=32798},"
                         "MODEL VIEW{PIXEL=32773,WIRE=32774,WIRE ++=32772,FLAT=32775,SMOOTH=32776},UV VIEW=32835}\n"
                         "&Function{SPECIAL FUNC=32824,DROP=32808,Excute ZIDU=32783,Collision=32807,MOTION=32839,HAIR=32816}\n"
                         "&Help{&About VORTEL ...=57664,VUROZ++=32793}"));
        QStringList bar;
        for (QAction* a : frame->toolBar()->actions()) bar << (a->isSeparator() ? "|" : QString::number(a->data().toInt()));
        QCOMPARE(bar.join(' '), QString("57600 57601 32770 | 57604 | 32773 32774 32772 32775 32776 | 32835 | "
                                        "32798 32797 32796 32799 | 32824 32808 | 32807 32783 | 57634 57664 57637"));
        for (QAction* a : frame->toolBar()->actions())
            if (!a->isSeparator()) QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
        auto keys = [&](int id) { return frame->action(id)->shortcuts(); };
        QCOMPARE(keys(cmd::FileNew), QList<QKeySequence>{QKeySequence("Ctrl+N")});
        QCOMPARE(keys(cmd::FileOpen), QList<QKeySequence>{QKeySequence("Ctrl+O")});
        QCOMPARE(keys(cmd::FileSave), QList<QKeySequence>{QKeySequence("Ctrl+S")});
        QCOMPARE(keys(cmd::EditCopy), (QList<QKeySequence>{QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")}));
        QCOMPARE(keys(cmd::EditPaste), (QList<QKeySequence>{QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}));
        QCOMPARE(keys(cmd::EditCut), (QList<QKeySequence>{QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")}));
        QCOMPARE(keys(cmd::EditUndo), (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    }

    void toolWindowRequestsRunAfterTheSender() {
        auto frame = openFrame();
        QCOMPARE(CMainFrame::decodeDropRequest(1234, 507), (std::array<int, 5>{1, 2, 34, 50, 7}));
        std::array<int, 5> got{-1, -1, -1, -1, -1};
        int seed = -1, hairCommand = -1, hairParam = -1;
        frame->dropRoutine = [&](int a, int b, int c, int d, int e) { got = {a, b, c, d, e}; };
        frame->presetSeedLoad = [&](int i) { seed = i; };
        frame->hairOperation = [&](int c, int p) { hairCommand = c, hairParam = p; };
        frame->postDropRequest(1234, 507);
        frame->postPresetSeedRequest(2);
        frame->postHairRequest(3, 44);
        QCOMPARE(got[0], -1);  // queued, not run inside the sender
        QTRY_COMPARE(got, (std::array<int, 5>{1, 2, 34, 50, 7}));
        QCOMPARE(seed, 2);
        QCOMPARE(hairCommand, 3);
        QCOMPARE(hairParam, 44);
    }

    void progressBoxStatusBarAndWaitCursor() {
        auto frame = openFrame();
        s->platform.showProgressBox("NOW LOADING...", vortel::kColourLoading);
        vortel::gui::ProgressBox* box = s->platform.progressBox();
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->text(), QString("NOW LOADING..."));
        QCOMPARE(box->grab().toImage().pixelColor(3, 3), QColor(0x20, 0x20, 0x80));
        QVERIFY((box->frameGeometry().center() - frame->frameGeometry().center()).manhattanLength() <= 2);
        s->platform.showProgressBox("OPEN ERROR", vortel::kColourError);
        QCOMPARE(s->platform.progressBox(), box);  // one box, new text and colour
        QCOMPARE(box->grab().toImage().pixelColor(3, 3), QColor(0x80, 0, 0));
        s->platform.closeProgressBox();
        QVERIFY(!box->isVisible());

        s->platform.setWaitsEnabled(true);
        QElapsedTimer clock;
        clock.start();
        s->platform.waitMs(150);
        QVERIFY(clock.elapsed() >= 150);
        s->platform.setWaitsEnabled(false);

        s->platform.setStatusProgress(40);
        QCOMPARE(frame->statusProgressBar()->value(), 40);
        QCOMPARE(frame->statusProgressBar()->minimum(), 0);
        QCOMPARE(frame->statusProgressBar()->maximum(), 100);
        s->platform.setStatusProgress(0);
        QCOMPARE(frame->statusProgressBar()->value(), 0);

        s->platform.setWaitCursor(true);
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        s->platform.setWaitCursor(false);
        s->platform.setWaitCursor(false);  // unbalanced calls do no harm
        QVERIFY(!QApplication::overrideCursor());

        s->platform.setMainWindowTitle("VORTEL - x");
        QCOMPARE(frame->windowTitle(), QString("VORTEL - x"));
    }

    void messageBoxesHaveTheirCaptionButtonsAndIcon() {
        auto frame = openFrame();
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
        vortel::test::onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->standardButtons());
            box->button(QMessageBox::No)->click();
        });
        const vortel::MsgAnswer a = s->platform.messageBox("VORTEL", "DELETE?", vortel::MsgButtons::YesNo,
                                                           vortel::MsgIcon::Question);
        QCOMPARE(a, vortel::MsgAnswer::No);
        QCOMPARE(caption, QString("VORTEL"));
        QCOMPARE(text, QString("DELETE?"));
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(buttons, static_cast<int>(QMessageBox::Yes | QMessageBox::No));

        vortel::test::onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            caption = box->windowTitle();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(s->platform.messageBox("VEL", "OPEN ERROR", vortel::MsgButtons::Ok, vortel::MsgIcon::None),
                 vortel::MsgAnswer::Ok);
        QCOMPARE(caption, QString("VEL"));
        QCOMPARE(icon, QMessageBox::NoIcon);
    }

    void fileDialogFiltersNamesAndExtensions() {
        using vortel::gui::convertFileFilter;
        auto open = convertFileFilter("OBJ Format or PP2 HR2 (*.obj;*.pp2;*.hr2)|*.obj||", "*.obj;*.pp2;*.hr2");
        QCOMPARE(open.filters, QStringList{"OBJ Format or PP2 HR2 (*.obj *.pp2 *.hr2)"});
        auto mt = convertFileFilter("for MT OBJ FILE(*.obj)|*.obj||", "*.obj");
        QCOMPARE(mt.filters, QStringList{"for MT OBJ FILE(*.obj)"});
        auto two = convertFileFilter("Text|*.txt|All|*.*||", "name.txt");
        QCOMPARE(two.filters, (QStringList{"Text (*.txt)", "All (*.*)"}));
        QCOMPARE(vortel::gui::initialDialogFolder(s->home.stdPath() + "missing.obj"),
                 QDir(s->home.path()).absolutePath());

        auto frame = openFrame();
        const QString existing = mesh("pick.pp2", "{\n}\n");
        QStringList filters;
        vortel::test::onNextModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            filters = d->nameFilters();
            vortel::test::acceptFileDialog(d, existing);
        });
        vortel::FileDialogRequest req;
        req.defaultExtension = "obj";
        req.initialName = "*.obj;*.pp2;*.hr2";
        req.filter = "OBJ Format or PP2 HR2 (*.obj;*.pp2;*.hr2)|*.obj||";
        auto chosen = s->platform.openFileDialog(req);
        QVERIFY(chosen);
        QCOMPARE(QString::fromStdString(*chosen), existing);
        QCOMPARE(filters, open.filters);

        QString offered, suffix;
        vortel::test::onNextModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            QVERIFY(d);
            offered = QFileInfo(d->selectedFiles().value(0)).fileName();
            suffix = d->defaultSuffix();
            vortel::test::acceptFileDialog(d, s->home.root() + "/written");
        });
        vortel::FileDialogRequest save;
        save.defaultExtension = "obj";
        save.initialName = "body_VL.obj";
        save.filter = "New MT file (*.obj)|*.obj||";
        save.initialDirectory = existing.toStdString();
        save.overwritePrompt = true;
        auto saved = s->platform.saveFileDialog(save);
        QVERIFY(saved);
        QCOMPARE(offered, QString("body_VL.obj"));
        QCOMPARE(suffix, QString("obj"));
        QCOMPARE(QString::fromStdString(*saved), s->home.root() + "/written.obj");

        vortel::test::onNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        QVERIFY(!s->platform.saveFileDialog(save));  // Cancel answers nothing
    }

    void aboutBox() {
        auto frame = openFrame();
        QString title;
        vortel::test::onNextModal([&](QWidget* w) {
            title = w->windowTitle();
            static_cast<QDialog*>(w)->accept();
        });
        frame->action(cmd::AppAbout)->trigger();
        QCOMPARE(title, QString("About VORTEL I 1.2.5 BETA"));
    }

    void screenshot() {
        // A picture of the window for the eye; written when VORTEL_SCREENSHOT names a file.
        const QByteArray out = qgetenv("VORTEL_SCREENSHOT");
        if (out.isEmpty()) QSKIP("VORTEL_SCREENSHOT not set");
        const QString cube = mesh("cube.obj",
                                  "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                                  "g box\nf 5 6 7 8\nf 1 4 3 2\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n");
        auto frame = openFrame({cube});
        QTRY_COMPARE(frame->windowTitle(), "VORTEL - " + cube);
        QTRY_VERIFY(frame->splashWindow() == nullptr);
        QTest::qWait(300);
        const QString base = QString::fromLocal8Bit(out);
        QVERIFY(frame->grab().save(base));
        s->platform.showProgressBox("MT LOAD OK (V=8)", vortel::kColourSuccess);
        QVERIFY(s->platform.progressBox()->grab().save(QString(base).replace(".png", "-progress.png")));
        s->platform.closeProgressBox();
        QMenu* mode = frame->menuBar()->actions().at(3)->menu();
        mode->popup(frame->mapToGlobal(QPoint(130, 20)));
        QTest::qWait(200);
        QMenu* model = mode->actions().at(1)->menu();
        model->popup(mode->geometry().topRight() + QPoint(0, 24));
        QTest::qWait(200);
        QVERIFY(frame->screen()->grabWindow(0).copy(frame->frameGeometry()).save(QString(base).replace(".png", "-menu.png")));
        model->close();
        mode->close();
        vortel::gui::AboutBox about(frame.get());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY(about.grab().save(QString(base).replace(".png", "-about.png")));
    }
};

QTEST_MAIN(MainFrameTest)
#include "tst_mainframe.moc"
