// The file browser `CTTtreeView` without its window: the tree and what the
// user does with it.
//
// - Double-click opens the selected mesh file (".obj", ".pp2", ".hr2") through
//   the document's open-by-path entry (kind 0) and, when the load did not fail,
//   marks it as the file opened last.
// - A drop opens the first dropped file when it is a mesh file, then shows it.
// - Menu 149: "MT" and "DROP SEED" load the selected ".obj" file as morph
//   target (kind 1) or DROP seed (kind 9); "RELOAD" shows the document's path;
//   "DELETE FILE" deletes the selected ".obj" file after asking, through the
//   platform (to the desktop trash where there is one).
// - Show path, after loads and saves: the tree is rebuilt and opened down to the file.
//
// The browser never changes the process's current directory: VORTEL finds its
// own folders from the program folder, and every path the browser opens is a
// full one.
#pragma once

#include <string>
#include <vector>

#include "browser/BrowserTree.h"
#include "doc/CVELTADoc.h"

namespace vortel {

// Menu 149, the browser's context menu: ids, in menu order (0 is a separator).
namespace browsercmd {
inline constexpr int Menu = 149;
inline constexpr int Mt = 32802;          // "MT"
inline constexpr int DropSeed = 32810;    // "DROP SEED"
inline constexpr int Reload = 32795;      // "RELOAD"
inline constexpr int DeleteFile = 32829;  // "DELETE FILE"
}  // namespace browsercmd

struct BrowserMenuItem {
    int id;  // 0: separator
    const char* text;
};
const std::vector<BrowserMenuItem>& browserMenu();

class FileBrowser {
public:
    explicit FileBrowser(CVELTADoc& doc, BrowserTree::SourceReader sources = systemRootSources);

    BrowserTree& tree() { return m_tree; }
    const BrowserTree& tree() const { return m_tree; }

    // Double-click: opens the selected path as a mesh when it is a mesh file;
    // true when it was loaded and is now marked as the file opened last.
    bool openSelected();
    // Dropped files: the first only; a mesh file is opened and then shown.
    // True when it was a mesh file.
    bool openDropped(const std::vector<std::string>& paths);
    // The right button: remembers the item under the cursor and selects it.
    void rightClick(BrowserNode* node);

    // Menu 149: the enabled rule, read as the menu opens, and the commands.
    bool menuEnabled(int id) const;
    // Runs an enabled command of the menu; false when it is unknown or grayed.
    bool runMenuCommand(int id);

    // Rebuilds the roots and opens the tree down to PATH; answers the item to
    // scroll to the top (see BrowserTree::showPath).
    BrowserNode* showPath(const std::string& path) { return m_tree.showPath(path); }

private:
    void loadSelectedAs(int kind);
    void deleteSelected();

    CVELTADoc& m_doc;
    BrowserTree m_tree;
};

}  // namespace vortel
