// The file browser's tree without its window: items, lazy folder listing, the
// path of an item, the remembered items and the show-path descent.
//
// Every item's text is one path component below its root; a root knows the
// folder it stands for, so the path of an item is that folder followed by the
// texts from the root down, joined with '/'. An item that may have children
// gets one placeholder child "DUMY" so that the tree shows an expand button;
// the first expansion replaces it by the folder's subfolders and mesh files and
// sets bit 0 of the item's parameter, and later expansions list nothing again
// until the roots are rebuilt.
//
// A folder lists its subfolders first, then its files ending in ".obj", ".pp2"
// or ".hr2" (any case); names beginning with "." are left out. Each group is in
// name order, without regard to case first and then with it, so a folder reads
// the same on every file system instead of in the order its directory hashes. A subfolder gets a placeholder when it holds
// at least one entry of any kind.
//
// Windows show the tree through `serial` numbers, which stay unique for the
// tree's lifetime; every change goes through this class.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browser/BrowserRoots.h"

namespace vortel {

inline constexpr const char* kPlaceholderText = "DUMY";
inline constexpr unsigned kListedBit = 1;  // bit 0 of an item's parameter

struct BrowserNode {
    std::string text;
    int image = treeimage::Folder;  // the selected image is image + 1
    unsigned param = 0;
    bool expanded = false;
    bool placeholder = false;
    std::uint64_t serial = 0;
    std::string rootPath;  // top-level items only: the folder they stand for
    BrowserNode* parent = nullptr;
    std::vector<std::unique_ptr<BrowserNode>> children;
};

using BrowserNodes = std::vector<std::unique_ptr<BrowserNode>>;

// ---- listing rules ----

// Equal texts without regard to (ASCII) case.
bool equalsIgnoringCase(const std::string& a, const std::string& b);
// The extension of a path's file name: from its last '.', dot included; empty without one.
std::string extensionOf(const std::string& path);
// ".obj", ".pp2" or ".hr2", without regard to case.
bool isMeshExtension(const std::string& extension);
// Name order: without regard to (ASCII) case, letters compared as upper case
// (so "_" sorts after "Z"), then with regard to case ("B" before "b").
bool browserNameLess(const std::string& a, const std::string& b);

struct FolderEntry {
    std::string name;
    bool folder = false;
    bool hasEntries = false;  // folders: holds at least one entry
};
// What the browser lists of a folder, in tree order; nothing when it cannot be read.
std::vector<FolderEntry> readFolder(const std::string& path);

class BrowserTree {
public:
    using SourceReader = std::function<RootSources()>;
    explicit BrowserTree(SourceReader sources = systemRootSources);

    // Deletes every item and inserts the roots, each with a placeholder; the
    // remembered items and the selected path are forgotten.
    void buildRoots();
    const BrowserNodes& roots() const { return m_roots; }
    // Counts the rebuilds: an item known from before a rebuild is gone.
    std::uint64_t generation() const { return m_generation; }
    // The desktop item's folder, taken when the roots were built.
    const std::string& desktopPath() const { return m_desktopPath; }

    std::string pathOf(const BrowserNode* node) const;
    // The child of PARENT (the top level for nullptr) whose text is TEXT exactly.
    BrowserNode* childWithText(const BrowserNode* parent, const std::string& text) const;
    // Whether NODE is an item of the tree (searched, never dereferenced).
    bool contains(const BrowserNode* node) const;

    // An item with children opens; its folder is listed the first time.
    void expand(BrowserNode* node);
    void collapse(BrowserNode* node);
    // Lists the item's folder unless bit 0 of its parameter says it was listed.
    void list(BrowserNode* node);

    // Selection change: the selected path follows the item (empty for none).
    void select(BrowserNode* node);
    BrowserNode* selected() const { return m_selected; }
    const std::string& selectedPath() const { return m_selectedPath; }

    void setRightClicked(BrowserNode* node) { m_rightClicked = node; }
    BrowserNode* rightClicked() const { return m_rightClicked; }

    // The file opened last shows images 10/11; the one before goes back to 4/5.
    void markOpened(BrowserNode* node);
    BrowserNode* opened() const { return m_opened; }

    // Takes the item and its children out of the tree.
    void remove(BrowserNode* node);

    // Rebuilds the roots and opens the tree down to the file at PATH (an empty
    // path does nothing). The root is the one, after the desktop item, whose
    // folder holds the path most closely; each folder of the path is then
    // found among the children by its exact text, opened and selected. A folder
    // that is not in the tree ends the descent there. Last, the file itself is
    // selected when it is found. Answers the item to scroll to the top: the last
    // folder found, or nullptr.
    BrowserNode* showPath(const std::string& path);
    // The item the last show path put at the top, while it is in the tree.
    BrowserNode* topItem() const { return m_top; }

private:
    std::unique_ptr<BrowserNode> makeNode(std::string text, int image, BrowserNode* parent);
    void addPlaceholder(BrowserNode* node);
    // Forgets the remembered items that are NODE or lie below it.
    void forgetBelow(const BrowserNode* node);

    SourceReader m_sources;
    BrowserNodes m_roots;
    std::string m_desktopPath;
    BrowserNode* m_selected = nullptr;
    BrowserNode* m_rightClicked = nullptr;
    BrowserNode* m_opened = nullptr;
    BrowserNode* m_top = nullptr;
    std::string m_selectedPath;
    std::uint64_t m_nextSerial = 1;
    std::uint64_t m_generation = 0;
};

}  // namespace vortel
