// The file browser's actions: double-click, drop, menu 149 and show path.
#include "browser/FileBrowser.h"

#include <filesystem>
#include <system_error>

#include "doc/Text.h"
#include "platform/Settings.h"

namespace vortel {
namespace {

bool isObjExtension(const std::string& extension) { return equalsIgnoringCase(extension, ".obj"); }

// A mesh file by its name; a folder whose name ends in ".obj" is not one.
bool isMeshFilePath(const std::string& path) {
    std::error_code ec;
    return isMeshExtension(extensionOf(path)) && !std::filesystem::is_directory(path, ec);
}

}  // namespace

const std::vector<BrowserMenuItem>& browserMenu() {
    static const std::vector<BrowserMenuItem> menu = {
        {browsercmd::Mt, "MT"}, {browsercmd::DropSeed, "DROP SEED"}, {0, nullptr},
        {browsercmd::Reload, "RELOAD"}, {0, nullptr}, {browsercmd::DeleteFile, "DELETE FILE"},
    };
    return menu;
}

FileBrowser::FileBrowser(CVELTADoc& doc, BrowserTree::SourceReader sources) : m_doc(doc), m_tree(std::move(sources)) {}

bool FileBrowser::openSelected() {
    const std::string path = m_tree.selectedPath();
    if (!isMeshFilePath(path)) return false;
    BrowserNode* node = m_tree.selected();
    const auto generation = m_tree.generation();
    m_doc.openByPath(path, fileTitleOf(path), 0);
    if (m_doc.loadStatus == "ERROR") return false;
    // A notification during the load may have rebuilt the tree; the item is gone then.
    if (generation != m_tree.generation() || !node) return false;
    m_tree.markOpened(node);
    return true;
}

bool FileBrowser::openDropped(const std::vector<std::string>& paths) {
    if (paths.empty() || !isMeshFilePath(paths.front())) return false;
    const std::string path = paths.front();
    m_doc.openByPath(path, fileTitleOf(path), 0);
    m_tree.showPath(path);
    return true;
}

void FileBrowser::rightClick(BrowserNode* node) {
    m_tree.setRightClicked(node);
    m_tree.select(node);
}

bool FileBrowser::menuEnabled(int id) const {
    switch (id) {
    case browsercmd::Mt: return m_doc.groupCount == 1;
    case browsercmd::DropSeed:
    case browsercmd::Reload: return true;
    case browsercmd::DeleteFile:
        return equalsIgnoringCase(m_doc.platform().settings().getString("Excute", "DeleteFile", "NULL"), "Yes");
    default: return false;
    }
}

bool FileBrowser::runMenuCommand(int id) {
    if (!menuEnabled(id)) return false;
    switch (id) {
    case browsercmd::Mt: loadSelectedAs(1); break;
    case browsercmd::DropSeed: loadSelectedAs(9); break;
    case browsercmd::Reload: m_tree.showPath(m_doc.documentPath); break;
    case browsercmd::DeleteFile: deleteSelected(); break;
    default: return false;
    }
    return true;
}

void FileBrowser::loadSelectedAs(int kind) {
    const std::string path = m_tree.selectedPath();
    if (!isObjExtension(extensionOf(path))) return;
    m_doc.openByPath(path, fileTitleOf(path), kind);
}

void FileBrowser::deleteSelected() {
    const std::string path = m_tree.selectedPath();
    const std::string extension = extensionOf(path);
    if (!isObjExtension(extension)) return;
    const size_t slash = path.find_last_of('/');
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string name = file.substr(0, file.size() - extension.size());
    Platform& ui = m_doc.platform();
    const std::string question = "DELETE " + name + "." + extension.substr(1) + " ? Are You sure?";
    if (ui.messageBox("VORTEL", question, MsgButtons::OkCancel, MsgIcon::Information) != MsgAnswer::Ok) return;
    if (!ui.deleteFile(path)) {
        ui.messageBox("VORTEL", "DELETE FAIL...", MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    m_tree.remove(m_tree.rightClicked());
}

}  // namespace vortel
