// The file browser pane on a temporary folder tree with HOME pointing there:
// the roots, lazy listing with placeholders, the filter and the order, the
// double-click that loads and marks, drops, menu 149 ("MT", "DELETE FILE",
// "RELOAD"), and show path after a load, including a descent that stops.
#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

#include "GuiTestSupport.h"
#include "browser/CTTtreeView.h"

using vortel::test::writeText;

namespace {

const QByteArray kOneGroup = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
const QByteArray kTwoGroups = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\ng a\nf 1 2 3\ng b\nf 2 4 3\n";

QStringList rowTexts(QTreeWidgetItem* parent) {
    QStringList out;
    for (int i = 0; i < parent->childCount(); ++i) out << parent->child(i)->text(0);
    return out;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& text) {
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text) return parent->child(i);
    return nullptr;
}

int imageOf(QTreeWidgetItem* row) { return row ? row->data(0, CTTtreeView::ImageRole).toInt() : -1; }

// Runs ACT on every modal window that shows until the watcher goes.
std::unique_ptr<QTimer> watchModals(std::function<void(QWidget*)> act) {
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [act] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) act(modal);
    });
    timer->start(20);
    return timer;
}

void clickBoxButton(QWidget* w, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box && box->button(which)) box->button(which)->click();
    else w->close();
}

}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_home;
    std::unique_ptr<vortel::test::Session> s;
    std::unique_ptr<CTTtreeView> view;

    QString models(const QString& name = {}) const { return m_home + "/models" + (name.isEmpty() ? "" : "/" + name); }
    QTreeWidgetItem* homeRow() const { return view->topLevelItem(1); }
    QTreeWidgetItem* modelsRow() {
        homeRow()->setExpanded(true);
        QTreeWidgetItem* row = childNamed(homeRow(), "models");
        if (row) row->setExpanded(true);
        return row;
    }

    // Right-clicks ROW, reads menu 149 while it shows, then chooses CHOOSE
    // (or closes the menu). Answers each item's enabled state.
    QMap<QString, bool> rightClick(QTreeWidgetItem* row, const QString& choose = {}) {
        QMap<QString, bool> states;
        QTimer timer;
        int ticks = 0;
        connect(&timer, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible()) {
                if (++ticks > 500) timer.stop();
                return;
            }
            timer.stop();
            QAction* pick = nullptr;
            for (QAction* a : menu->actions()) {
                if (a->isSeparator()) continue;
                states[a->text()] = a->isEnabled();
                if (a->text() == choose) pick = a;
            }
            if (pick && pick->isEnabled()) {
                menu->setActiveAction(pick);
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
        timer.start(20);
        view->scrollToItem(row);
        const QPoint pos = view->visualItemRect(row).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(view->viewport(), &event);
        return states;
    }

    void dropUrls(const QList<QUrl>& urls, bool* enterAccepted = nullptr) {
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint pos = view->viewport()->rect().center();
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        if (enterAccepted) *enterAccepted = enter.isAccepted();
        QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drop);
    }

private slots:
    void initTestCase() {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        m_home = m_tmp.path() + "/home";
        qputenv("HOME", m_home.toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        for (const char* f : {"Desktop", "models/A", "models/b", "models/empty", "models/texts", "models/.cache",
                              ".local/share"})
            QVERIFY(QDir().mkpath(m_home + "/" + f));
        writeText(m_home + "/Desktop/desk.obj", kOneGroup);
        writeText(models("Body.obj"), kOneGroup);
        writeText(models("two.obj"), kTwoGroups);
        writeText(models("victim.obj"), kOneGroup);
        writeText(models("prop.pp2"), "prop a\n\tv 0 0 0\n\tv 1 0 0\n\tv 0 1 0\n\tf 1 2 3\n");
        writeText(models("hair.HR2"), "x");
        writeText(models("Zeta.OBJ"), kOneGroup);
        writeText(models("readme.txt"), "x");
        writeText(models(".hidden.obj"), kOneGroup);
        writeText(models("A/a.obj"), kOneGroup);
        writeText(models("b/x.obj"), kOneGroup);
        writeText(models("texts/notes.txt"), "only text");
        s = std::make_unique<vortel::test::Session>();
        view = std::make_unique<CTTtreeView>(s->doc);
        view->resize(360, 700);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void cleanupTestCase() { view.reset(); }

    void rootsAreDesktopHomeSlashAndMedia() {
        QVERIFY(view->topLevelItemCount() >= 3);  // mounted media may follow
        QCOMPARE(view->topLevelItem(0)->text(0), QString("     [DESKTOP]"));
        QCOMPARE(view->topLevelItem(1)->text(0), m_home);
        QCOMPARE(view->topLevelItem(2)->text(0), QString("/"));
        QCOMPARE(imageOf(view->topLevelItem(0)), 12);
        QCOMPARE(imageOf(view->topLevelItem(1)), 0);
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            QTreeWidgetItem* root = view->topLevelItem(i);
            QCOMPARE(rowTexts(root), QStringList{"DUMY"});
            QVERIFY(!root->isExpanded());
        }
        QCOMPARE(QString::fromStdString(view->browser().tree().desktopPath()), m_home + "/Desktop");
        // The desktop item opens the desktop folder; its file's path is the real one.
        QTreeWidgetItem* desktop = view->topLevelItem(0);
        desktop->setExpanded(true);
        QCOMPARE(rowTexts(desktop), QStringList{"desk.obj"});
        view->setCurrentItem(desktop->child(0));
        QCOMPARE(QString::fromStdString(view->browser().tree().selectedPath()), m_home + "/Desktop/desk.obj");
    }

    void listsLazilyWithFilterAndOrder() {
        QCOMPARE(rowTexts(homeRow()), QStringList{"DUMY"});
        vortel::BrowserNode* homeNode = view->nodeOf(homeRow());
        QCOMPARE(homeNode->param & vortel::kListedBit, 0u);
        homeRow()->setExpanded(true);
        QCOMPARE(homeNode->param & vortel::kListedBit, vortel::kListedBit);
        QCOMPARE(rowTexts(homeRow()), (QStringList{"Desktop", "models"}));  // ".config" and the like stay out
        QTreeWidgetItem* dir = childNamed(homeRow(), "models");
        QCOMPARE(rowTexts(dir), QStringList{"DUMY"});
        dir->setExpanded(true);
        // Folders first, then mesh files, each by name; hidden and text files are left out.
        QCOMPARE(rowTexts(dir), (QStringList{"A", "b", "empty", "texts", "Body.obj", "hair.HR2", "prop.pp2",
                                             "two.obj", "victim.obj", "Zeta.OBJ"}));
        QCOMPARE(imageOf(childNamed(dir, "A")), 2);
        QCOMPARE(imageOf(childNamed(dir, "two.obj")), 4);
        QCOMPARE(childNamed(dir, "empty")->childCount(), 0);  // no expand button
        // A folder with text files only has an expand button and lists nothing.
        QTreeWidgetItem* texts = childNamed(dir, "texts");
        QCOMPARE(rowTexts(texts), QStringList{"DUMY"});
        view->scrollToItem(texts);
        QVERIFY(view->visualItemRect(texts).isValid());
        texts->setExpanded(true);
        QCOMPARE(texts->childCount(), 0);
        QVERIFY(view->nodeOf(texts)->param & vortel::kListedBit);
    }

    void doubleClickLoadsAndMarks() {
        QTreeWidgetItem* dir = modelsRow();
        auto doubleClick = [&](const QString& name) {
            QTreeWidgetItem* row = childNamed(dir, name);
            view->scrollToItem(row);
            // As a hand does it: the first click selects, the second is the double-click.
            const QPoint at = view->visualItemRect(row).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
            return row;
        };
        QTreeWidgetItem* body = doubleClick("Body.obj");
        QCOMPARE(QString::fromStdString(s->doc.documentPath), models("Body.obj"));
        QCOMPARE(s->doc.loadStatus, std::string("NORMAL"));
        QCOMPARE(s->doc.vertexCount, 3);
        QCOMPARE(imageOf(body), 10);
        QTreeWidgetItem* prop = doubleClick("prop.pp2");
        QCOMPARE(QString::fromStdString(s->doc.documentPath), models("prop.pp2"));
        QCOMPARE(imageOf(prop), 10);
        QCOMPARE(imageOf(body), 4);
        // A load that fails leaves the marks alone.
        QTreeWidgetItem* hair = doubleClick("hair.HR2");
        QCOMPARE(s->doc.loadStatus, std::string("ERROR"));
        QCOMPARE(imageOf(hair), 4);
        QCOMPARE(imageOf(prop), 10);
        // A double-clicked folder opens like any folder and loads nothing.
        QTreeWidgetItem* a = doubleClick("A");
        QVERIFY(a->isExpanded());
        QCOMPARE(rowTexts(a), QStringList{"a.obj"});
        QCOMPARE(QString::fromStdString(s->doc.documentPath), models("hair.HR2"));
    }

    void dropOpensTheFirstLocalFile() {
        bool accepted = false;
        dropUrls({QUrl::fromLocalFile(models("readme.txt")), QUrl::fromLocalFile(models("Body.obj"))}, &accepted);
        QVERIFY(!accepted);
        QCOMPARE(QString::fromStdString(s->doc.documentPath), models("hair.HR2"));  // nothing opened

        dropUrls({QUrl("https://example.com/remote.obj"), QUrl::fromLocalFile(models("two.obj")),
                  QUrl::fromLocalFile(models("Body.obj")), QUrl::fromLocalFile(models("A/a.obj"))},
                 &accepted);
        QVERIFY(accepted);
        QCOMPARE(QString::fromStdString(s->doc.documentPath), models("two.obj"));
        QCOMPARE(s->doc.groupCount, 2);
        // Then the tree shows the dropped file.
        QVERIFY(view->currentItem());
        QCOMPARE(view->currentItem()->text(0), QString("two.obj"));
        QCOMPARE(view->currentItem()->parent()->text(0), QString("models"));
    }

    void mtOnlyForOneGroupAndReload() {
        s->doc.openByPath(models("two.obj").toStdString(), "two", 0);
        QTreeWidgetItem* dir = modelsRow();
        QMap<QString, bool> states = rightClick(childNamed(dir, "Body.obj"));
        QCOMPARE(states.keys(), (QStringList{"DELETE FILE", "DROP SEED", "MT", "RELOAD"}));
        QVERIFY(!states["MT"]);
        QVERIFY(states["DROP SEED"]);
        QVERIFY(states["RELOAD"]);
        QCOMPARE(view->currentItem()->text(0), QString("Body.obj"));  // the right-clicked row is selected

        s->doc.openByPath(models("Body.obj").toStdString(), "Body", 0);
        states = rightClick(childNamed(dir, "victim.obj"), "MT");
        QVERIFY(states["MT"]);
        QCOMPARE(s->doc.morphLoadedFlag, 1);
        QCOMPARE(QString::fromStdString(s->doc.mtPath), models("victim.obj"));

        // "RELOAD" shows the document's path: the tree is rebuilt down to it.
        s->doc.documentPath = models("b/x.obj").toStdString();
        rightClick(childNamed(dir, "Body.obj"), "RELOAD");
        QVERIFY(view->currentItem());
        QCOMPARE(view->currentItem()->text(0), QString("x.obj"));
        QCOMPARE(view->currentItem()->parent()->text(0), QString("b"));
    }

    void deleteFileFollowsTheSettingAndUsesTheTrash() {
        QFile::remove(s->home.ini());
        QTreeWidgetItem* dir = modelsRow();
        QVERIFY(!rightClick(childNamed(dir, "victim.obj"))["DELETE FILE"]);
        // The same rule answers in the command table while the browser is the active view.
        vortel::CommandTable& table = s->doc.commands();
        table.setActiveView(static_cast<vortel::DocumentView*>(view.get()));
        QVERIFY(!table.state(vortel::browsercmd::DeleteFile).enabled);
        s->platform.settings().writeString("Excute", "DeleteFile", "yes");
        QVERIFY(table.state(vortel::browsercmd::DeleteFile).enabled);
        table.setActiveView(nullptr);
        QVERIFY(!table.state(vortel::browsercmd::DeleteFile).handled);
        QStringList questions;
        auto watcher = watchModals([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            questions << (box ? box->windowTitle() + ": " + box->text() : QString("?"));
            clickBoxButton(w, QMessageBox::Ok);
        });
        // Not an OBJ file: no question, nothing deleted.
        QVERIFY(rightClick(childNamed(dir, "prop.pp2"), "DELETE FILE")["DELETE FILE"]);
        QVERIFY(questions.isEmpty());
        QVERIFY(QFile::exists(models("prop.pp2")));

        rightClick(childNamed(dir, "victim.obj"), "DELETE FILE");
        QCOMPARE(questions, QStringList{"VORTEL: DELETE victim.obj ? Are You sure?"});
        QVERIFY(!QFile::exists(models("victim.obj")));
        QVERIFY(QFile::exists(m_home + "/.local/share/Trash/files/victim.obj"));
        QVERIFY(!childNamed(dir, "victim.obj"));
        watcher.reset();
        QFile::remove(s->home.ini());
    }

    void showPathAfterALoad() {
        view->resize(360, 140);  // short enough for the tree to scroll
        QString chosen = models("b/x.obj");
        auto watcher = watchModals([&](QWidget* w) {
            if (auto* d = qobject_cast<QFileDialog*>(w)) vortel::test::acceptFileDialog(d, chosen);
        });
        s->doc.commands().run(vortel::cmd::FileOpen);
        watcher.reset();
        QCOMPARE(QString::fromStdString(s->doc.documentPath), chosen);
        QCOMPARE(QString::fromStdString(view->shownPath()), chosen);
        QTreeWidgetItem* row = view->currentItem();
        QVERIFY(row);
        QCOMPARE(row->text(0), QString("x.obj"));
        QCOMPARE(row->parent()->text(0), QString("b"));
        QVERIFY(row->parent()->isExpanded());
        QCOMPARE(row->parent()->parent()->text(0), QString("models"));
        QCOMPARE(row->parent()->parent()->parent(), homeRow());
        QVERIFY(homeRow()->isExpanded());
        QVERIFY(!view->topLevelItem(2)->isExpanded());  // not through "/"
        QCOMPARE(QString::fromStdString(view->browser().tree().selectedPath()), chosen);
        // The last folder found is scrolled to the top, the file is in sight.
        QCOMPARE(view->itemAt(QPoint(40, 2)), row->parent());
        QVERIFY(view->viewport()->rect().contains(view->visualItemRect(row)));
        view->resize(360, 700);
    }

    void descentStopsAtAMissingFolder() {
        // ".cache" is not in the tree (hidden): the descent stops at "models".
        view->onTreePath(models(".cache/x.obj").toStdString());
        QTreeWidgetItem* row = view->currentItem();
        QVERIFY(row);
        QCOMPARE(row->text(0), QString("models"));
        QVERIFY(row->isExpanded());
        // A folder name differing in case is another folder: nothing is selected.
        view->onTreePath((m_home + "/Models/b/x.obj").toStdString());
        QVERIFY(!view->currentItem());
        QVERIFY(homeRow()->isExpanded());
        QCOMPARE(QString::fromStdString(view->browser().tree().selectedPath()), QString());
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
