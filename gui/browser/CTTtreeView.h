// CTTtreeView: the file browser pane (top left). It shows the tree of
// `FileBrowser` - the desktop, the home folder, "/" and mounted media, with
// their folders and mesh files - and forwards expansions, selections,
// double-clicks, drops and the context menu 149 to it. The document asks it
// to show a path after loads and saves.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <array>
#include <string>
#include <unordered_map>

class QMenu;

#include "browser/FileBrowser.h"
#include "doc/CVELTADoc.h"

class CTTtreeView : public QTreeWidget, public vortel::DocumentView {
    Q_OBJECT
public:
    // Item data: the image number (normal image; the selected one is the next)
    // and the serial of the browser item the row shows.
    static constexpr int ImageRole = Qt::UserRole + 1;
    static constexpr int SerialRole = Qt::UserRole + 2;

    explicit CTTtreeView(vortel::CVELTADoc& doc, QWidget* parent = nullptr);
    ~CTTtreeView() override;

    void onTreePath(const std::string& path) override;
    void onRedraw() override { viewport()->update(); }

    // The path the document asked the tree to show last.
    const std::string& shownPath() const { return m_shownPath; }
    vortel::FileBrowser& browser() { return m_browser; }
    QTreeWidgetItem* itemOf(const vortel::BrowserNode* node) const;
    vortel::BrowserNode* nodeOf(QTreeWidgetItem* item) const;

    // Menu 149 with its items enabled as the rules say now, not yet shown.
    QMenu* createContextMenu(QWidget* parent);
    // Runs a command of menu 149 on the selected item (grayed ones do nothing).
    void runMenuCommand(int id);
    // The picture of image N of the image list, 0..13 (an even N is a kind's
    // normal image, the next its selected one); a "@2x" twin serves dense screens.
    static QString imageFile(int n);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Makes the rows match the browser's items, keeping the rows of items
    // that are still there, then the current row match its selection.
    void showTree();
    // After a show path: the last folder found at the top, the file in sight.
    void showTreeAfterShowPath();
    void syncChildren(QTreeWidgetItem* parent, const vortel::BrowserNodes& nodes);

    vortel::CVELTADoc& m_doc;
    vortel::FileBrowser m_browser;
    std::string m_shownPath;
    std::array<QIcon, vortel::treeimage::Count / 2> m_icons;
    std::unordered_map<const vortel::BrowserNode*, QTreeWidgetItem*> m_itemOf;
    std::unordered_map<const QTreeWidgetItem*, vortel::BrowserNode*> m_nodeOf;
    bool m_syncing = false;
};
