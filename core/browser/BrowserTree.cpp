// The browser tree: roots, listing, paths, remembered items, show path.
#include "browser/BrowserTree.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vortel {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// Names compare in upper case, the order NTFS keeps a folder in: "_" after "Z".
char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool folderHasEntries(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    return !ec && it != fs::directory_iterator();
}

std::vector<std::string> splitComponents(const std::string& rest) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t slash = rest.find('/', start);
        if (slash == std::string::npos) slash = rest.size();
        if (slash > start) parts.push_back(rest.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

// Whether the folder ROOT holds PATH (both absolute, without trailing slash).
bool holds(const std::string& root, const std::string& path) {
    if (root == "/") return !path.empty() && path.front() == '/';
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '/');
}

}  // namespace

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string extensionOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return path.substr(dot);
}

bool isMeshExtension(const std::string& extension) {
    return equalsIgnoringCase(extension, ".obj") || equalsIgnoringCase(extension, ".pp2") ||
           equalsIgnoringCase(extension, ".hr2");
}

bool browserNameLess(const std::string& a, const std::string& b) {
    const bool shorter = a.size() < b.size();
    const size_t n = shorter ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const char x = upperAscii(a[i]), y = upperAscii(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size()) return shorter;
    return a < b;
}

std::vector<FolderEntry> readFolder(const std::string& path) {
    std::vector<FolderEntry> folders, files;
    std::error_code ec;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        FolderEntry e;
        e.name = it->path().filename().string();
        if (e.name.empty() || e.name.front() == '.') continue;
        std::error_code kindError;
        if (it->is_directory(kindError)) {  // a link to a folder counts as a folder
            e.folder = true;
            e.hasEntries = folderHasEntries(it->path());
            folders.push_back(std::move(e));
        } else if (isMeshExtension(extensionOf(e.name))) {
            files.push_back(std::move(e));
        }
    }
    auto byName = [](const FolderEntry& a, const FolderEntry& b) { return browserNameLess(a.name, b.name); };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    folders.insert(folders.end(), std::make_move_iterator(files.begin()), std::make_move_iterator(files.end()));
    return folders;
}

BrowserTree::BrowserTree(SourceReader sources) : m_sources(std::move(sources)) {}

std::unique_ptr<BrowserNode> BrowserTree::makeNode(std::string text, int image, BrowserNode* parent) {
    auto node = std::make_unique<BrowserNode>();
    node->text = std::move(text);
    node->image = image;
    node->parent = parent;
    node->serial = m_nextSerial++;
    return node;
}

void BrowserTree::addPlaceholder(BrowserNode* node) {
    auto dummy = makeNode(kPlaceholderText, treeimage::Folder, node);
    dummy->placeholder = true;
    node->children.push_back(std::move(dummy));
}

void BrowserTree::buildRoots() {
    m_roots.clear();
    ++m_generation;
    m_selected = m_rightClicked = m_opened = m_top = nullptr;
    m_selectedPath.clear();
    const std::vector<BrowserRoot> roots = browserRoots(m_sources ? m_sources() : RootSources{});
    m_desktopPath = roots.empty() ? std::string() : roots.front().path;
    for (const BrowserRoot& r : roots) {
        auto node = makeNode(r.text, r.image, nullptr);
        node->rootPath = r.path;
        addPlaceholder(node.get());
        m_roots.push_back(std::move(node));
    }
}

std::string BrowserTree::pathOf(const BrowserNode* node) const {
    if (!node) return {};
    std::vector<const std::string*> texts;
    const BrowserNode* n = node;
    for (; n->parent; n = n->parent) texts.push_back(&n->text);
    std::string path = n->rootPath;
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
        if (path.empty() || path.back() != '/') path += '/';
        path += **it;
    }
    return path;
}

BrowserNode* BrowserTree::childWithText(const BrowserNode* parent, const std::string& text) const {
    const BrowserNodes& list = parent ? parent->children : m_roots;
    for (const auto& child : list)
        if (!child->placeholder && child->text == text) return child.get();
    return nullptr;
}

bool BrowserTree::contains(const BrowserNode* node) const {
    if (!node) return false;
    std::vector<const BrowserNodes*> pending{&m_roots};
    while (!pending.empty()) {
        const BrowserNodes* list = pending.back();
        pending.pop_back();
        for (const auto& n : *list) {
            if (n.get() == node) return true;
            if (!n->children.empty()) pending.push_back(&n->children);
        }
    }
    return false;
}

void BrowserTree::expand(BrowserNode* node) {
    if (!node || node->children.empty()) return;  // nothing to open: no listing either
    list(node);
    node->expanded = !node->children.empty();
}

void BrowserTree::collapse(BrowserNode* node) {
    if (node) node->expanded = false;
}

void BrowserTree::list(BrowserNode* node) {
    if (!node || (node->param & kListedBit)) return;
    node->param |= kListedBit;
    if (!node->children.empty() && node->children.front()->placeholder) {
        forgetBelow(node->children.front().get());
        node->children.erase(node->children.begin());
    }
    for (const FolderEntry& e : readFolder(pathOf(node))) {
        auto child = makeNode(e.name, e.folder ? treeimage::Folder : treeimage::MeshFile, node);
        if (e.hasEntries) addPlaceholder(child.get());
        node->children.push_back(std::move(child));
    }
}

void BrowserTree::select(BrowserNode* node) {
    m_selected = node;
    m_selectedPath = pathOf(node);
}

void BrowserTree::markOpened(BrowserNode* node) {
    if (m_opened) m_opened->image = treeimage::MeshFile;
    m_opened = node;
    if (node) node->image = treeimage::OpenedFile;
}

void BrowserTree::forgetBelow(const BrowserNode* node) {
    auto below = [node](const BrowserNode* n) {
        for (; n; n = n->parent)
            if (n == node) return true;
        return false;
    };
    if (below(m_selected)) {
        m_selected = nullptr;
        m_selectedPath.clear();
    }
    if (below(m_rightClicked)) m_rightClicked = nullptr;
    if (below(m_opened)) m_opened = nullptr;
    if (below(m_top)) m_top = nullptr;
}

void BrowserTree::remove(BrowserNode* node) {
    if (!contains(node)) return;
    forgetBelow(node);
    BrowserNodes& list = node->parent ? node->parent->children : m_roots;
    std::erase_if(list, [node](const std::unique_ptr<BrowserNode>& n) { return n.get() == node; });
}

BrowserNode* BrowserTree::showPath(const std::string& path) {
    if (path.empty()) return nullptr;
    buildRoots();
    std::error_code ec;
    std::string target = fs::absolute(fs::path(path), ec).lexically_normal().string();
    if (ec) return nullptr;
    while (target.size() > 1 && target.back() == '/') target.pop_back();

    // The root whose folder holds the path most closely; the desktop item is passed over.
    BrowserNode* root = nullptr;
    for (size_t i = 1; i < m_roots.size(); ++i) {
        const std::string& folder = m_roots[i]->rootPath;
        if (holds(folder, target) && (!root || folder.size() > root->rootPath.size())) root = m_roots[i].get();
    }
    if (!root) return nullptr;
    std::vector<std::string> parts = splitComponents(target.substr(root->rootPath.size()));
    if (parts.empty()) return nullptr;
    const std::string fileName = parts.back();
    parts.pop_back();

    expand(root);
    BrowserNode* current = root;
    for (const std::string& folder : parts) {
        BrowserNode* child = childWithText(current, folder);
        if (!child) {
            current = nullptr;  // the descent ends; only the top level is searched for the file
            break;
        }
        expand(child);
        select(child);
        m_top = child;
        current = child;
    }
    if (BrowserNode* file = childWithText(current, fileName)) {
        expand(file);
        select(file);
    }
    return m_top;
}

}  // namespace vortel
