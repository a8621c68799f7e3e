// The file browser's model: where the roots come from (XDG desktop, mount
// table, labels), the listing rules, the path of an item, listing once, the
// show-path descent, and the commands of menu 149 against the document.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestUtil.h"
#include "browser/FileBrowser.h"

namespace fs = std::filesystem;
using namespace vortel;
using vortel::test::fixture;
using vortel::test::tempDir;

namespace {

fs::path freshFolder(const std::string& name) {
    const fs::path dir = tempDir() / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void touch(const fs::path& p, const std::string& text = "") {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

std::vector<std::string> texts(const BrowserNodes& nodes) {
    std::vector<std::string> out;
    for (const auto& n : nodes) out.push_back(n->text);
    return out;
}

BrowserTree::SourceReader sourcesAt(const fs::path& home, const fs::path& desktop, std::vector<MediaMount> media = {}) {
    return [=] { return RootSources{home.string(), desktop.string(), media}; };
}

const char* kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

}  // namespace

TEST(BrowserRoots, DesktopFolderFromUserDirs) {
    const fs::path home = freshFolder("browser_xdg");
    const std::string h = home.string();
    // No desktop anywhere: the home folder.
    EXPECT_EQ(desktopFolderOf(h, ""), h);
    fs::create_directories(home / "Desktop");
    EXPECT_EQ(desktopFolderOf(h, ""), h + "/Desktop");
    fs::create_directories(home / "Mein Schreibtisch");
    const std::string dirs = "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
                             "XDG_DESKTOP_DIR=\"$HOME/Mein Schreibtisch/\"\n";
    EXPECT_EQ(desktopFolderOf(h, dirs), h + "/Mein Schreibtisch");
    // Shell quoting, an absolute path, and the last assignment winning.
    fs::create_directories(home / "a\"b");
    EXPECT_EQ(desktopFolderOf(h, "XDG_DESKTOP_DIR=\"" + h + "/a\\\"b\"\n"), h + "/a\"b");
    EXPECT_EQ(desktopFolderOf(h, dirs + "XDG_DESKTOP_DIR=\"$HOME/gone\"\n"), h + "/Desktop");
    EXPECT_EQ(desktopFolderOf(h, "XDG_DESKTOP_DIR=\"$HOME/\"\n"), h);
}

TEST(BrowserRoots, MediaFromTheMountTable) {
    const std::string mounts =
        "/dev/vda / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdb1 /media/anna/USB\\040STICK vfat rw 0 0\n"
        "/dev/sr0 /run/media/anna/DVD iso9660 ro 0 0\n"
        "tmpfs /mnt/scratch tmpfs rw 0 0\n"
        "server:/export /mnt/share nfs4 rw 0 0\n"
        "/dev/disk/by-uuid/1234 /mnt/backup ext4 rw 0 0\n"
        "/dev/sdc1 /media/anna/USB\\040STICK vfat rw 0 0\n"
        "/dev/sdd1 /mediacentre ext4 rw 0 0\n";
    const std::map<std::string, std::string> labels = {{"/dev/sdb1", "My Stick"}, {"/dev/sdc9", "Backup"}};
    auto resolve = [](const std::string& device) {
        return device == "/dev/disk/by-uuid/1234" ? std::string("/dev/sdc9") : device;
    };
    const std::vector<MediaMount> media = mediaMountsOf(mounts, labels, resolve);
    ASSERT_EQ(media.size(), 4u);
    EXPECT_EQ(media[0].mountPoint, "/media/anna/USB STICK");
    EXPECT_EQ(media[0].label, "My Stick");
    EXPECT_EQ(media[1].mountPoint, "/mnt/backup");
    EXPECT_EQ(media[1].label, "Backup");  // found through the link's target
    EXPECT_EQ(media[2].mountPoint, "/mnt/share");
    EXPECT_EQ(media[2].label, "");
    EXPECT_EQ(media[3].mountPoint, "/run/media/anna/DVD");
    EXPECT_TRUE(media[3].optical);
    EXPECT_FALSE(media[0].optical);

    EXPECT_EQ(decodeLabelName("My\\x20Disk\\x2f2"), "My Disk/2");
    EXPECT_EQ(decodeLabelName("plain\\x2"), "plain\\x2");
    EXPECT_EQ(decodeMountField("a\\134b\\011c\\04"), "a\\b\tc\\04");
}

TEST(BrowserRoots, RootsInTreeOrder) {
    const fs::path home = freshFolder("browser_roots");
    const fs::path stick = home / "stick", dvd = home / "dvd";
    fs::create_directories(stick);
    fs::create_directories(dvd);
    const std::vector<BrowserRoot> roots = browserRoots(RootSources{
        home.string() + "/", (home / "missing").string(),
        {{stick.string(), "STICK", false}, {dvd.string(), "", true}, {(home / "gone").string(), "X", false}}});
    ASSERT_EQ(roots.size(), 5u);
    EXPECT_EQ(roots[0].text, "     [DESKTOP]");
    EXPECT_EQ(roots[0].path, home.string());  // no desktop folder: the home folder
    EXPECT_EQ(roots[0].image, treeimage::Desktop);
    EXPECT_EQ(roots[1].text, home.string());
    EXPECT_EQ(roots[2].text, "/");
    EXPECT_EQ(roots[3].text, stick.string() + " [STICK]");
    EXPECT_EQ(roots[3].path, stick.string());
    EXPECT_EQ(roots[3].image, treeimage::Drive);
    EXPECT_EQ(roots[4].text, dvd.string());
    EXPECT_EQ(roots[4].image, treeimage::Optical);
}

TEST(BrowserListing, FilterAndNameOrder) {
    const fs::path dir = freshFolder("browser_list");
    for (const char* f : {"b", "A", "a", ".hidden", "dir.obj"}) fs::create_directories(dir / f);
    fs::create_directories(dir / "empty");
    touch(dir / "b" / ".only_hidden");
    touch(dir / "A" / "notes.txt");
    for (const char* f : {"Z.OBJ", "a.obj", "A.obj", "x.pp2", "y.HR2", "notes.txt", ".h.obj", "obj", "o.obj.bak"})
        touch(dir / f);
    const std::vector<FolderEntry> entries = readFolder(dir.string());
    std::vector<std::string> names;
    for (const FolderEntry& e : entries) names.push_back(e.name + (e.folder ? "/" : "") + (e.hasEntries ? "+" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"A/+", "a/", "b/+", "dir.obj/", "empty/", "A.obj", "a.obj", "x.pp2",
                                               "y.HR2", "Z.OBJ"}));
    EXPECT_TRUE(readFolder((dir / "missing").string()).empty());

    EXPECT_TRUE(browserNameLess("abc", "ABD"));
    EXPECT_TRUE(browserNameLess("B", "b"));
    EXPECT_FALSE(browserNameLess("b", "B"));
    EXPECT_TRUE(browserNameLess("Ab", "abc"));
    // Case is folded to upper case, as NTFS orders names: '_' sorts after every letter.
    EXPECT_TRUE(browserNameLess("Zebra", "_x"));
    EXPECT_TRUE(browserNameLess("zebra", "_x"));
    EXPECT_EQ(extensionOf("/a.b/name"), "");
    EXPECT_EQ(extensionOf("/a/.obj"), ".obj");
    EXPECT_EQ(extensionOf("x.tar.OBJ"), ".OBJ");
}

TEST(BrowserTree, ListsOnceAndJoinsPaths) {
    const fs::path home = freshFolder("browser_tree");
    touch(home / "Desktop" / "on desk.obj");
    touch(home / "models" / "m.obj");
    BrowserTree tree(sourcesAt(home, home / "Desktop"));
    tree.buildRoots();
    ASSERT_EQ(texts(tree.roots()).size(), 3u);
    for (const auto& r : tree.roots()) {
        ASSERT_EQ(r->children.size(), 1u);
        EXPECT_TRUE(r->children[0]->placeholder);
        EXPECT_EQ(r->children[0]->text, "DUMY");
        EXPECT_EQ(r->param, 0u);
    }
    BrowserNode* desktop = tree.roots()[0].get();
    tree.expand(desktop);
    EXPECT_EQ(desktop->param & kListedBit, kListedBit);
    EXPECT_EQ(texts(desktop->children), std::vector<std::string>{"on desk.obj"});
    // A file on the desktop is reached through the desktop folder, not the item's text.
    EXPECT_EQ(tree.pathOf(desktop->children[0].get()), (home / "Desktop" / "on desk.obj").string());

    BrowserNode* homeRoot = tree.roots()[1].get();
    tree.expand(homeRoot);
    EXPECT_EQ(texts(homeRoot->children), (std::vector<std::string>{"Desktop", "models"}));
    // Listed once: a file made later shows after the next rebuild only.
    touch(home / "late.obj");
    tree.collapse(homeRoot);
    tree.expand(homeRoot);
    EXPECT_EQ(homeRoot->children.size(), 2u);
    EXPECT_TRUE(homeRoot->expanded);
    BrowserNode* slash = tree.roots()[2].get();
    tree.expand(slash);
    BrowserNode* tmp = tree.childWithText(slash, "tmp");
    ASSERT_NE(tmp, nullptr);
    EXPECT_EQ(tree.pathOf(tmp), "/tmp");

    tree.select(tree.childWithText(homeRoot, "models"));
    EXPECT_EQ(tree.selectedPath(), (home / "models").string());
    tree.remove(tree.selected());
    EXPECT_EQ(tree.selected(), nullptr);
    EXPECT_EQ(tree.selectedPath(), "");
    EXPECT_EQ(texts(homeRoot->children), std::vector<std::string>{"Desktop"});
}

TEST(BrowserTree, ShowPathDescent) {
    const fs::path home = freshFolder("browser_show");
    touch(home / "models" / "sub" / "body.obj");
    touch(home / "models" / ".secret" / "hidden.obj");
    touch(home / "models" / "Sub" / "other.obj");
    BrowserTree tree(sourcesAt(home, home));
    const auto before = tree.generation();
    EXPECT_EQ(tree.showPath(""), nullptr);  // nothing at all
    EXPECT_EQ(tree.generation(), before);

    BrowserNode* top = tree.showPath((home / "models" / "sub" / "body.obj").string());
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text, "sub");  // the exact case: "Sub" is another folder
    ASSERT_NE(tree.selected(), nullptr);
    EXPECT_EQ(tree.selected()->text, "body.obj");
    EXPECT_EQ(tree.selectedPath(), (home / "models" / "sub" / "body.obj").string());
    // The descent went through the home root, not the desktop item or "/".
    EXPECT_TRUE(tree.roots()[1]->expanded);
    EXPECT_FALSE(tree.roots()[0]->expanded);
    EXPECT_FALSE(tree.roots()[2]->expanded);

    // A folder the tree does not show ends the descent at the last folder found.
    top = tree.showPath((home / "models" / ".secret" / "hidden.obj").string());
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->text, "models");
    EXPECT_EQ(tree.selected(), top);
    EXPECT_EQ(tree.childWithText(top, ".secret"), nullptr);

    // A relative path is taken from the current directory, which the browser never changes.
    const fs::path cwd = fs::current_path();
    fs::current_path(home / "models");
    tree.showPath("sub/../Sub/other.obj");
    fs::current_path(cwd);
    ASSERT_NE(tree.selected(), nullptr);
    EXPECT_EQ(tree.selectedPath(), (home / "models" / "Sub" / "other.obj").string());
}

TEST(FileBrowserCommands, MenuRulesAndLoads) {
    auto& fx = fixture();
    fx.reset();
    const fs::path dir = freshFolder("browser_menu");
    const std::string ini = (dir / "VELTA.ini").string();
    fx.ui.settings().setPath(ini);
    touch(dir / "base.obj", kTriangle);
    touch(dir / "target.obj", "v 0 0 1\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    touch(dir / "two.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\ng a\nf 1 2 3\ng b\nf 3 2 1\n");
    touch(dir / "prop.pp2", "prop a\n\tv 0 0 0\n\tv 1 0 0\n\tv 0 1 0\n\tf 1 2 3\n");
    FileBrowser browser(fx.doc, sourcesAt(dir, dir));
    BrowserTree& tree = browser.tree();
    tree.buildRoots();
    tree.expand(tree.roots()[1].get());
    auto item = [&](const char* name) { return tree.childWithText(tree.roots()[1].get(), name); };

    EXPECT_TRUE(browser.menuEnabled(browsercmd::Reload));
    EXPECT_TRUE(browser.menuEnabled(browsercmd::DropSeed));
    EXPECT_FALSE(browser.menuEnabled(browsercmd::DeleteFile));  // no settings file
    for (const char* value : {"yes", "YES", "Yes"}) {
        fx.ui.settings().writeString("Excute", "DeleteFile", value);
        EXPECT_TRUE(browser.menuEnabled(browsercmd::DeleteFile)) << value;
    }
    for (const char* value : {"NULL", "Yess", "1"}) {
        fx.ui.settings().writeString("Excute", "DeleteFile", value);
        EXPECT_FALSE(browser.menuEnabled(browsercmd::DeleteFile)) << value;
        EXPECT_FALSE(browser.runMenuCommand(browsercmd::DeleteFile));
    }

    browser.rightClick(item("two.obj"));
    EXPECT_TRUE(browser.openSelected());
    EXPECT_EQ(fx.doc.groupCount, 2);
    EXPECT_FALSE(browser.menuEnabled(browsercmd::Mt));
    browser.rightClick(item("base.obj"));
    EXPECT_TRUE(browser.openSelected());
    EXPECT_EQ(item("base.obj")->image, treeimage::OpenedFile);
    EXPECT_TRUE(browser.menuEnabled(browsercmd::Mt));

    // "MT" and "DROP SEED" only take OBJ files.
    browser.rightClick(item("prop.pp2"));
    EXPECT_TRUE(browser.runMenuCommand(browsercmd::Mt));
    EXPECT_EQ(fx.doc.morphLoadedFlag, 0);
    browser.rightClick(item("target.obj"));
    EXPECT_TRUE(browser.runMenuCommand(browsercmd::Mt));
    EXPECT_EQ(fx.doc.morphLoadedFlag, 1);
    std::string seedPath;
    // The DROP module's own seed loader stands in for later tests: put it back.
    const auto seedLoader = fx.doc.seedOpenHandler;
    fx.doc.seedOpenHandler = [&](CVELTADoc& d) { seedPath = d.documentPath; };
    EXPECT_TRUE(browser.runMenuCommand(browsercmd::DropSeed));
    fx.doc.seedOpenHandler = seedLoader;
    EXPECT_EQ(seedPath, (dir / "target.obj").string());

    fx.ui.settings().setPath("");
}

TEST(FileBrowserCommands, DeleteAsksAndReports) {
    auto& fx = fixture();
    fx.reset();
    const fs::path dir = freshFolder("browser_delete");
    fx.ui.settings().setPath((dir / "VELTA.ini").string());
    fx.ui.settings().writeString("Excute", "DeleteFile", "yes");
    touch(dir / "Keep Me.OBJ", kTriangle);
    touch(dir / "prop.pp2", kTriangle);
    FileBrowser browser(fx.doc, sourcesAt(dir, dir));
    BrowserTree& tree = browser.tree();
    tree.buildRoots();
    BrowserNode* root = tree.roots()[1].get();
    tree.expand(root);

    browser.rightClick(tree.childWithText(root, "prop.pp2"));
    EXPECT_TRUE(browser.runMenuCommand(browsercmd::DeleteFile));
    EXPECT_TRUE(fx.ui.messages.empty());  // not an OBJ file: no question, nothing deleted
    EXPECT_TRUE(fs::exists(dir / "prop.pp2"));

    browser.rightClick(tree.childWithText(root, "Keep Me.OBJ"));
    fx.ui.answers = {MsgAnswer::Cancel};
    browser.runMenuCommand(browsercmd::DeleteFile);
    EXPECT_EQ(fx.ui.messages, std::vector<std::string>{"[VORTEL] DELETE Keep Me.OBJ ? Are You sure?"});
    EXPECT_TRUE(fs::exists(dir / "Keep Me.OBJ"));

    fx.ui.deleteFails = true;
    fx.ui.messages.clear();
    browser.runMenuCommand(browsercmd::DeleteFile);
    EXPECT_EQ(fx.ui.messages.back(), "[VORTEL] DELETE FAIL...");
    EXPECT_NE(tree.childWithText(root, "Keep Me.OBJ"), nullptr);

    fx.ui.deleteFails = false;
    browser.runMenuCommand(browsercmd::DeleteFile);
    EXPECT_FALSE(fs::exists(dir / "Keep Me.OBJ"));
    EXPECT_EQ(texts(root->children), std::vector<std::string>{"prop.pp2"});
    EXPECT_EQ(tree.rightClicked(), nullptr);
    fx.ui.settings().setPath("");
}

TEST(FileBrowserCommands, DropOpensTheFirstMeshFileOnly) {
    auto& fx = fixture();
    fx.reset();
    const fs::path dir = freshFolder("browser_drop");
    touch(dir / "first.obj", kTriangle);
    touch(dir / "second.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 3 4\n");
    touch(dir / "notes.txt", "text");
    fs::create_directories(dir / "folder.obj");
    FileBrowser browser(fx.doc, sourcesAt(dir, dir));
    browser.tree().buildRoots();
    fx.doc.documentPath.clear();

    EXPECT_FALSE(browser.openDropped({(dir / "notes.txt").string(), (dir / "first.obj").string()}));
    EXPECT_FALSE(browser.openDropped({(dir / "folder.obj").string()}));
    EXPECT_EQ(fx.doc.documentPath, "");
    EXPECT_TRUE(browser.openDropped({(dir / "first.obj").string(), (dir / "second.obj").string()}));
    EXPECT_EQ(fx.doc.documentPath, (dir / "first.obj").string());
    EXPECT_EQ(fx.doc.vertexCount, 3);
    // The dropped file is shown in the tree.
    ASSERT_NE(browser.tree().selected(), nullptr);
    EXPECT_EQ(browser.tree().selectedPath(), (dir / "first.obj").string());
}
