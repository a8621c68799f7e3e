// The group list pane beside a 3D view: rows and state icons in each colour
// mode, clicks that hide and show groups in the view, the first-selected-row
// rule with several rows selected, "Hide" in the view followed by the list,
// menu 167 with its enable rule, both direct exports from the menu, and the
// main frame's list following the frame's view.
#include <QtTest>

#include <QHeaderView>
#include <QMenu>

#include <cmath>
#include <filesystem>
#include <memory>

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "groups/CLIST3DView.h"
#include "groups/GroupCommandIds.h"
#include "groups/GroupExports.h"
#include "tst_view_fixture.h"

using namespace viewtest;
namespace cmdid = vortel::view::cmdid;
namespace fs = std::filesystem;

namespace {

// Three quads in a row, groups "left", "mid", "right"; materials "skin" (left
// and mid, CR LF line) and "cloth" (right).
const char* kThree =
    "v -1.6 -0.5 0\nv -0.6 -0.5 0\nv -0.6 0.5 0\nv -1.6 0.5 0\n"
    "v -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\nv -0.5 0.5 0\n"
    "v 0.6 -0.5 0\nv 1.6 -0.5 0\nv 1.6 0.5 0\nv 0.6 0.5 0\n"
    "g left\r\nusemtl skin\r\nf 1 2 3 4\ng mid\nf 5 6 7 8\ng right\nusemtl cloth\nf 9 10 11 12\n";

// The list and the view side by side; the list reads the view's colour mode.
struct Pane {
    vortel::test::FakePlatform ui;
    vortel::CVELTADoc doc{ui};
    QWidget window;
    CVELTAView* view = nullptr;
    CLIST3DView* list = nullptr;

    Pane() {
        window.resize(1000, 600);
        list = new CLIST3DView(doc, [this] { return view ? view->colourMode() : 0; }, &window);
        list->setGeometry(0, 0, 200, 600);
        view = new CVELTAView(doc, &window);
        view->setGeometry(200, 0, 800, 600);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        QTest::qWait(50);
    }

    void open(const std::string& name, const std::string& text) {
        doc.openByPath(writeText(name, text), fs::path(name).stem().string(), 0);
    }
    std::vector<char> flags() const {
        return std::vector<char>(doc.groupVisibleFlag.data(), doc.groupVisibleFlag.data() + vortel::kMaxGroups);
    }
    QStringList texts() const {
        QStringList t;
        for (int r = 0; r < list->rowCount(); ++r) t << list->item(r, 0)->text();
        return t;
    }
    QList<int> images() const {
        QList<int> i;
        for (int r = 0; r < list->rowCount(); ++r) i << list->rowImage(r);
        return i;
    }
    void clickRow(int row, Qt::KeyboardModifiers mods = {}) {
        const QRect r = list->visualItemRect(list->item(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, QPoint(r.left() + 40, r.center().y()));
    }
    // Whether the view draws something at the middle of the quad with display
    // centre x (camera at rest: 5 units away, 5 degree half angle, 600 pixels high).
    bool drawnAt(float modelX) {
        vortel::view::ViewState fresh;
        fresh.colourMode = view->colourMode();
        view->state() = fresh;
        view->setDisplayMode(4);
        const float x = (modelX - doc.displayCentre.x) * doc.displayScale;
        const int px = static_cast<int>(std::lround(400.0 + 300.0 * x / (5.0 * std::tan(5.0 * M_PI / 180.0))));
        const QImage img = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        return !isBlack(img.pixel(px, 300));
    }
};

std::unique_ptr<Pane>& paneSlot() {
    static std::unique_ptr<Pane> p;
    return p;
}

Pane& pane() {
    if (!paneSlot()) paneSlot() = std::make_unique<Pane>();
    return *paneSlot();
}

QAction* findAction(QMenu* menu, int id) {
    for (QAction* a : menu->actions()) {
        if (a->menu())
            if (QAction* inner = findAction(a->menu(), id)) return inner;
        if (!a->isSeparator() && a->data().toInt() == id) return a;
    }
    return nullptr;
}

QStringList menuTexts(QMenu* menu) {
    QStringList t;
    for (QAction* a : menu->actions()) t << (a->isSeparator() ? QString("-") : a->text());
    return t;
}

}  // namespace

class TestGroupList : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase() { paneSlot().reset(); }

    void rowsAndIconsInEachColourMode() {
        Pane& p = pane();
        CLIST3DView* l = p.list;
        QVERIFY(l->horizontalHeader()->isHidden());
        QCOMPARE(l->horizontalHeaderItem(0)->text(), QString("GROUP NAME"));
        QCOMPARE(l->columnWidth(0), 400);
        QVERIFY(l->showGrid());
        QCOMPARE(l->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(l->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(l->palette().color(QPalette::Text), QColor(0x40, 0x40, 0x5E));
        // Four different pictures.
        QSet<qint64> keys;
        for (int i = 0; i < 4; ++i) {
            const QImage img = l->stateIcon(i).pixmap(16, 16).toImage();
            QVERIFY(!img.isNull());
            keys << qHash(QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()));
        }
        QCOMPARE(keys.size(), 4);

        p.open("three.obj", kThree);
        QCOMPARE(p.texts(), QStringList({"left  ", "mid ", "right "}));
        QCOMPARE(p.images(), QList<int>({1, 1, 1}));
        QCOMPARE(l->item(0, 0)->icon().cacheKey(), l->stateIcon(1).cacheKey());
        QCOMPARE(l->item(0, 0)->foreground().color(), QColor(0x40, 0x40, 0x5E));

        QVERIFY(p.view->onCommand(cmdid::ColourMaterial));
        QCOMPARE(p.texts(), QStringList({"skin  ", "cloth "}));
        QCOMPARE(p.images(), QList<int>({3, 3}));
        p.clickRow(1);
        QCOMPARE(p.images(), QList<int>({3, 2}));
        QCOMPARE(l->item(1, 0)->icon().cacheKey(), l->stateIcon(2).cacheKey());
        QVERIFY(!p.drawnAt(1.1f));  // the cloth quad is gone
        QVERIFY(p.drawnAt(-1.1f));

        QVERIFY(p.view->onCommand(cmdid::ColourNone));
        QCOMPARE(l->rowCount(), 0);
        // Back to OBJECT: every row is there, shown.
        QVERIFY(p.view->onCommand(cmdid::ColourObject));
        QCOMPARE(p.images(), QList<int>({1, 1, 1}));
        QCOMPARE(p.flags(), std::vector<char>(vortel::kMaxGroups, 1));
    }

    void clickTogglesWhatTheViewDraws() {
        Pane& p = pane();
        p.open("three.obj", kThree);
        QVERIFY(p.drawnAt(1.1f));
        p.clickRow(2);
        QCOMPARE(p.doc.groupVisibleFlag[2], char(0));
        QCOMPARE(p.doc.selectedGroup, 3);
        QCOMPARE(p.images(), QList<int>({1, 1, 0}));
        QCOMPARE(p.list->selectionModel()->selectedRows().size(), 1);  // updated in place, still selected
        QVERIFY(!p.drawnAt(1.1f));
        QVERIFY(p.drawnAt(0.0f));
        p.clickRow(2);
        QCOMPARE(p.doc.groupVisibleFlag[2], char(1));
        QVERIFY(p.drawnAt(1.1f));

        // Below the last row: no row is selected any more, nothing toggles, the list is rebuilt.
        p.clickRow(0);
        QCOMPARE(p.images(), QList<int>({0, 1, 1}));
        const QRect last = p.list->visualItemRect(p.list->item(2, 0));
        QTest::mouseClick(p.list->viewport(), Qt::LeftButton, {}, QPoint(40, last.bottom() + 30));
        QCOMPARE(p.doc.selectedGroup, 0);
        QCOMPARE(p.images(), QList<int>({0, 1, 1}));
        QCOMPARE(p.list->rowCount(), 3);
        QVERIFY(p.list->selectionModel()->selectedRows().isEmpty());
        QVERIFY(!p.drawnAt(-1.1f));

        // A load shows everything again.
        p.open("three.obj", kThree);
        QCOMPARE(p.images(), QList<int>({1, 1, 1}));
        QCOMPARE(p.doc.selectedGroup, -1);
    }

    void severalSelectedRowsToggleTheFirstInListOrder() {
        Pane& p = pane();
        p.open("three.obj", kThree);
        p.clickRow(2);  // right hidden; selection {2}
        QCOMPARE(p.images(), QList<int>({1, 1, 0}));
        p.clickRow(0, Qt::ControlModifier);  // selection {0, 2}: row 0 is first
        QCOMPARE(p.list->selectionModel()->selectedRows().size(), 2);
        QCOMPARE(p.images(), QList<int>({0, 1, 0}));
        QCOMPARE(p.doc.selectedGroup, 1);
        p.clickRow(1, Qt::ControlModifier);  // selection {0, 1, 2}: row 0 again, whichever row was clicked
        QCOMPARE(p.images(), QList<int>({1, 1, 0}));
        p.clickRow(0, Qt::ControlModifier);  // row 0 leaves the selection {1, 2}: row 1 toggles
        QCOMPARE(p.images(), QList<int>({1, 0, 0}));
        QCOMPARE(p.doc.selectedGroup, 2);
        QVERIFY(!p.drawnAt(0.0f));
        QVERIFY(p.drawnAt(-1.1f));
    }

    void hideInTheViewThenTheList() {
        Pane& p = pane();
        p.open("three.obj", kThree);
        p.clickRow(0);
        p.clickRow(0);  // shown again; row 0 selected, selected group 1
        QCOMPARE(p.doc.selectedGroup, 1);
        // "Hide" in the view's menu on the middle quad.
        QTest::mouseClick(p.view, Qt::RightButton, {}, QPoint(400, 300));
        std::unique_ptr<QMenu> menu(p.view->createViewMenu(nullptr));
        QCOMPARE(menu->actions().at(4)->text(), QString("Hide mid"));
        QVERIFY(p.view->onCommand(cmdid::HideSelectObj));
        QCOMPARE(p.images(), QList<int>({1, 0, 1}));
        QCOMPARE(p.doc.selectedGroup, -1);
        QVERIFY(p.list->selectionModel()->selectedRows().isEmpty());
        QVERIFY(!p.drawnAt(0.0f));
        // The list shows the group again with one click on its row.
        p.clickRow(1);
        QCOMPARE(p.images(), QList<int>({1, 1, 1}));
        QCOMPARE(p.doc.selectedGroup, 2);
        QVERIFY(p.drawnAt(0.0f));
    }

    void menuAndItsEnableRule() {
        Pane& p = pane();
        p.open("three.obj", kThree);
        std::unique_ptr<QMenu> menu(p.list->createContextMenu(nullptr));
        QCOMPARE(menu->title(), QString("DUMMY"));
        QCOMPARE(menuTexts(menu.get()), QStringList({"-", "SELECT ALL", "CLEAR ALL", "REVERSE", "-", "DIRECT EXPORT"}));
        QCOMPARE(menuTexts(menu->actions().last()->menu()),
                 QStringList({"save selected groups in obj", "-", "save all parts in CR2 (for morphmanager)", "-"}));
        QVERIFY(findAction(menu.get(), vortel::cmd::ExportGroupObjs)->isEnabled());
        QVERIFY(findAction(menu.get(), vortel::cmd::ExportCr2)->isEnabled());
        for (int mode : {cmdid::ColourMaterial, cmdid::ColourNone}) {
            QVERIFY(p.view->onCommand(mode));
            menu.reset(p.list->createContextMenu(nullptr));
            QVERIFY(!findAction(menu.get(), vortel::cmd::ExportGroupObjs)->isEnabled());
            QVERIFY(findAction(menu.get(), vortel::cmd::ExportCr2)->isEnabled());
            QVERIFY(findAction(menu.get(), vortel::cmd::GroupReverse)->isEnabled());
        }
        QVERIFY(p.view->onCommand(cmdid::ColourObject));

        // A right click opens the menu at the cursor.
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto look = std::make_shared<std::function<void()>>();
            *look = [&, look] {
                if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    shown = menuTexts(popup);
                    popup->close();
                } else {
                    QTimer::singleShot(20, *look);
                }
            };
            (*look)();
        });
        const QRect r = p.list->visualItemRect(p.list->item(1, 0));
        QTest::mouseClick(p.list->viewport(), Qt::RightButton, {}, r.center());
        QTRY_VERIFY(!shown.isEmpty());
        QCOMPARE(shown.mid(1), QStringList({"SELECT ALL", "CLEAR ALL", "REVERSE", "-", "DIRECT EXPORT"}));
        QCOMPARE(p.images(), QList<int>({1, 1, 1}));  // a right click toggles nothing

        // The three commands act on all 220 flags and rebuild the list.
        menu.reset(p.list->createContextMenu(nullptr));
        findAction(menu.get(), vortel::cmd::GroupClearAll)->trigger();
        QCOMPARE(p.flags(), std::vector<char>(vortel::kMaxGroups, 0));
        QCOMPARE(p.images(), QList<int>({0, 0, 0}));
        QVERIFY(!p.drawnAt(0.0f));
        p.doc.groupVisibleFlag[1] = 1;
        p.doc.groupVisibleFlag[219] = 1;
        findAction(menu.get(), vortel::cmd::GroupReverse)->trigger();
        std::vector<char> reversed(vortel::kMaxGroups, 1);
        reversed[1] = reversed[219] = 0;
        QCOMPARE(p.flags(), reversed);
        QCOMPARE(p.images(), QList<int>({1, 0, 1}));
        findAction(menu.get(), vortel::cmd::GroupSelectAll)->trigger();
        QCOMPARE(p.flags(), std::vector<char>(vortel::kMaxGroups, 1));
        QCOMPARE(p.doc.selectedGroup, 0);
        QVERIFY(p.drawnAt(0.0f));
    }

    void bothExportsFromTheMenu() {
        Pane& p = pane();
        p.open("export.obj", kThree);
        p.clickRow(1);  // "mid" hidden: two files
        auto& exports = *p.doc.module<vortel::GroupExports>();
        exports.clock = [] { return std::time_t{1733456767}; };
        const std::string folder = p.doc.documentPath + "20241206034607";
        fs::remove_all(folder);
        std::unique_ptr<QMenu> menu(p.list->createContextMenu(nullptr));
        findAction(menu.get(), vortel::cmd::ExportGroupObjs)->trigger();
        QVERIFY(fs::exists(folder + "/export_left.obj"));
        QVERIFY(!fs::exists(folder + "/export_mid.obj"));
        QVERIFY(fs::exists(folder + "/export_right.obj"));
        QCOMPARE(p.images(), QList<int>({1, 0, 1}));  // the flags are back
        QCOMPARE(p.doc.groupVisibleFlag[1], char(0));

        // CR2: refused without a morph, written beside the morph target with one.
        p.ui.messages.clear();
        findAction(menu.get(), vortel::cmd::ExportCr2)->trigger();
        QCOMPARE(p.ui.messages, std::vector<std::string>{"[VORTEL] NO MORPH TERGET! VORTEL CAN'T EXPORT .CR2"});
        std::string target(kThree);
        target.replace(target.find("v 1.6 0.5 0"), 11, "v 1.6 0.5 1");
        const std::string mt = writeText("smile.obj", target);
        p.doc.openByPath(mt, "smile", 1);
        QCOMPARE(p.doc.morphLoadedFlag, 1);
        fs::remove(mt + ".cr2");
        menu.reset(p.list->createContextMenu(nullptr));
        findAction(menu.get(), vortel::cmd::ExportCr2)->trigger();
        std::ifstream in(mt + ".cr2", std::ios::binary);
        const std::string cr2((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QVERIFY(cr2.find("\nactor right:1\n") != std::string::npos);
        QVERIFY(cr2.find("\t\t\tindexes 1\n\t\t\tnumbDeltas 4\n") != std::string::npos);
        QVERIFY(cr2.find("\t\t\t\t\td 2 0.000000 0.000000 1.000000\n") != std::string::npos);
        QCOMPARE(p.doc.playbackCommand, vortel::cmd::FF);
        QCOMPARE(p.ui.messages.size(), size_t(1));
    }

    void theFramesListFollowsItsView() {
        paneSlot().reset();
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        vortel::test::Session s;
        const QString path = s.home.root() + "/frame.obj";
        vortel::test::writeText(path, kThree);
        vortel::gui::CMainFrame frame(s.doc, s.platform, {path});
        frame.show();
        QTRY_COMPARE(s.doc.vertexCount, 12);
        auto* list = qobject_cast<CLIST3DView*>(frame.lowerPane());
        QVERIFY(list);
        QCOMPARE(list->rowCount(), 3);
        QVERIFY(frame.view3d()->onCommand(cmdid::ColourMaterial));
        QCOMPARE(list->rowCount(), 2);
        // SPECIAL FUNC and back: the new list shows the materials, all shown.
        list->model().click(0);
        frame.action(vortel::cmd::SpecialFunc)->trigger();
        frame.action(vortel::cmd::SpecialFunc)->trigger();
        list = qobject_cast<CLIST3DView*>(frame.lowerPane());
        QVERIFY(list);
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->rowImage(0), 3);
        QCOMPARE(list->rowImage(1), 3);
        std::unique_ptr<QMenu> menu(list->createContextMenu(nullptr));
        QVERIFY(!findAction(menu.get(), vortel::cmd::ExportGroupObjs)->isEnabled());
    }
};

QTEST_MAIN(TestGroupList)
#include "tst_grouplist.moc"
