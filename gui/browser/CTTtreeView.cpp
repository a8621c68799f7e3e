// CTTtreeView: rows for the browser's items, and the user's actions on them.
#include "browser/CTTtreeView.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/Resources.h"

namespace {

// The pictures of the image list, in image order (two per kind of item).
constexpr const char* kImageFiles[vortel::treeimage::Count] = {
    "drive",   "drive",            // 0, 1: roots and media
    "folder",  "folder_open",      // 2, 3
    "mesh",    "mesh_selected",    // 4, 5
    "floppy",  "floppy",           // 6, 7
    "optical", "optical",          // 8, 9
    "opened",  "opened_selected",  // 10, 11: the file opened last
    "desktop", "desktop",          // 12, 13
};

std::string toLocal(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The local files of a drop, in the order they were dropped.
std::vector<std::string> localFiles(const QMimeData* mime) {
    std::vector<std::string> files;
    if (!mime || !mime->hasUrls()) return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) files.push_back(toLocal(url.toLocalFile()));
    return files;
}

// A drag is welcome when its first local file is one the drop opens.
bool opensAsMesh(const QMimeData* mime) {
    const std::vector<std::string> files = localFiles(mime);
    return !files.empty() && vortel::isMeshExtension(vortel::extensionOf(files.front()));
}

}  // namespace

CTTtreeView::CTTtreeView(vortel::CVELTADoc& doc, QWidget* parent)
    : QTreeWidget(parent), m_doc(doc), m_browser(doc) {
    vortel::gui::initResources();
    setObjectName("CTTtreeView");
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    for (int kind = 0; kind < vortel::treeimage::Count / 2; ++kind) {
        m_icons[kind].addFile(imageFile(2 * kind), QSize(), QIcon::Normal);
        m_icons[kind].addFile(imageFile(2 * kind + 1), QSize(), QIcon::Selected);
    }

    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (m_syncing) return;
        m_browser.tree().expand(nodeOf(item));
        showTree();
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!m_syncing) m_browser.tree().collapse(nodeOf(item));
    });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (!m_syncing) m_browser.tree().select(nodeOf(current));
    });

    m_browser.tree().buildRoots();
    showTree();
    m_doc.addView(this);
    // Menu 149's commands answer while the browser is the active view.
    for (const vortel::BrowserMenuItem& entry : vortel::browserMenu())
        if (entry.id)
            m_doc.commands().add(
                entry.id, vortel::CommandLevel::View,
                [this, id = entry.id] { return vortel::CommandRule{m_browser.menuEnabled(id)}; },
                [this, id = entry.id] { runMenuCommand(id); }, static_cast<vortel::DocumentView*>(this));
}

CTTtreeView::~CTTtreeView() {
    m_doc.removeView(this);
    m_doc.commands().removeOwner(static_cast<vortel::DocumentView*>(this));
}

QString CTTtreeView::imageFile(int n) {
    if (n < 0 || n >= vortel::treeimage::Count) return {};
    return QString(":/vortel/tree/%1.png").arg(kImageFiles[n]);
}

QTreeWidgetItem* CTTtreeView::itemOf(const vortel::BrowserNode* node) const {
    auto it = m_itemOf.find(node);
    return it == m_itemOf.end() ? nullptr : it->second;
}

vortel::BrowserNode* CTTtreeView::nodeOf(QTreeWidgetItem* item) const {
    auto it = m_nodeOf.find(item);
    return it == m_nodeOf.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- rows

void CTTtreeView::showTree() {
    m_syncing = true;
    m_itemOf.clear();
    m_nodeOf.clear();
    syncChildren(nullptr, m_browser.tree().roots());
    QTreeWidgetItem* current = itemOf(m_browser.tree().selected());
    if (currentItem() != current) setCurrentItem(current);
    if (!current) selectionModel()->clearSelection();
    m_syncing = false;
}

void CTTtreeView::syncChildren(QTreeWidgetItem* parent, const vortel::BrowserNodes& nodes) {
    const int count = parent ? parent->childCount() : topLevelItemCount();
    auto rowAt = [this, parent](int i) { return parent ? parent->child(i) : topLevelItem(i); };
    bool same = count == static_cast<int>(nodes.size());
    for (int i = 0; same && i < count; ++i)
        same = rowAt(i)->data(0, SerialRole).toULongLong() == nodes[static_cast<size_t>(i)]->serial;
    if (!same) {
        // Listing a folder or rebuilding the roots: the rows of the level are made anew.
        if (parent)
            qDeleteAll(parent->takeChildren());
        else
            clear();
        QList<QTreeWidgetItem*> rows;
        rows.reserve(static_cast<qsizetype>(nodes.size()));
        for (const auto& node : nodes) {
            auto* row = new QTreeWidgetItem;
            row->setData(0, SerialRole, static_cast<qulonglong>(node->serial));
            rows.append(row);
        }
        if (parent)
            parent->addChildren(rows);
        else
            addTopLevelItems(rows);
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        vortel::BrowserNode* node = nodes[i].get();
        QTreeWidgetItem* row = rowAt(static_cast<int>(i));
        m_itemOf[node] = row;
        m_nodeOf[row] = node;
        const QString text = QFile::decodeName(QByteArray::fromStdString(node->text));
        if (row->text(0) != text) row->setText(0, text);
        if (row->data(0, ImageRole) != QVariant(node->image)) {
            row->setData(0, ImageRole, node->image);
            row->setIcon(0, m_icons[static_cast<size_t>(node->image / 2)]);
        }
        syncChildren(row, node->children);
        if (row->isExpanded() != node->expanded) row->setExpanded(node->expanded);
    }
}

void CTTtreeView::showTreeAfterShowPath() {
    showTree();
    if (QTreeWidgetItem* top = itemOf(m_browser.tree().topItem())) scrollToItem(top, QAbstractItemView::PositionAtTop);
    if (QTreeWidgetItem* file = itemOf(m_browser.tree().selected())) scrollToItem(file);
}

void CTTtreeView::onTreePath(const std::string& path) {
    m_shownPath = path;
    if (path.empty()) return;
    m_browser.showPath(path);
    showTreeAfterShowPath();
}

// ---------------------------------------------------------------- actions

void CTTtreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_browser.openSelected()) showTree();
    // Then what a double-click does in any tree: a folder opens or closes.
    QTreeWidget::mouseDoubleClickEvent(event);
}

QMenu* CTTtreeView::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString("Menu%1").arg(vortel::browsercmd::Menu));
    for (const vortel::BrowserMenuItem& entry : vortel::browserMenu()) {
        if (entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(QString::fromUtf8(entry.text));
        a->setData(entry.id);
        a->setEnabled(m_browser.menuEnabled(entry.id));
    }
    return menu;
}

void CTTtreeView::contextMenuEvent(QContextMenuEvent* event) {
    // The item under the cursor is remembered and selected first.
    QTreeWidgetItem* row = event->reason() == QContextMenuEvent::Mouse ? itemAt(event->pos()) : currentItem();
    m_browser.rightClick(nodeOf(row));
    showTree();
    QMenu* menu = createContextMenu(this);
    QAction* chosen = menu->exec(event->globalPos());
    const int id = chosen ? chosen->data().toInt() : 0;
    delete menu;
    event->accept();
    if (id) runMenuCommand(id);
}

void CTTtreeView::runMenuCommand(int id) {
    const auto generation = m_browser.tree().generation();
    m_browser.runMenuCommand(id);
    if (generation != m_browser.tree().generation())
        showTreeAfterShowPath();
    else
        showTree();
}

void CTTtreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (opensAsMesh(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CTTtreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (opensAsMesh(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CTTtreeView::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = localFiles(event->mimeData());
    if (files.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (m_browser.openDropped(files)) showTreeAfterShowPath();
}
