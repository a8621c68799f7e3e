// Where the home folder is: VORTEL_HOME, a build tree's own folder, or the
// user's data folder of an installed program, prepared on first start.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TestUtil.h"
#include "platform/HomeFolder.h"
#include "platform/Settings.h"

namespace vortel {
namespace {

namespace fs = std::filesystem;
using test::readFile;

// A fresh folder under the test scratch folder, ending in '/'.
std::string freshFolder(const std::string& name) {
    const fs::path p = test::tempDir() / name;
    fs::remove_all(p);
    fs::create_directories(p);
    return p.string() + "/";
}

void writeAt(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// prefix/bin and prefix/share/vortel/preset with two presets.
std::string installedLayout(const std::string& name) {
    const std::string prefix = freshFolder(name);
    fs::create_directories(prefix + "bin");
    writeAt(prefix + "share/vortel/preset/flat.obj", "v 0 0 0\n");
    writeAt(prefix + "share/vortel/preset/shape.obj", "v 1 1 1\n");
    writeAt(prefix + "share/vortel/manual.html", "<html></html>");
    return prefix;
}

TEST(HomeFolder, UserDataFolderFollowsTheBaseDirectoryRules) {
    EXPECT_EQ(userDataFolder("/x/data", "/home/u"), "/x/data/vortel/");
    EXPECT_EQ(userDataFolder("/x/data/", "/home/u"), "/x/data/vortel/");
    // Empty or relative XDG_DATA_HOME is ignored.
    EXPECT_EQ(userDataFolder("", "/home/u"), "/home/u/.local/share/vortel/");
    EXPECT_EQ(userDataFolder("rel/data", "/home/u/"), "/home/u/.local/share/vortel/");
    EXPECT_EQ(userDataFolder(nullptr, "/home/u"), "/home/u/.local/share/vortel/");
    EXPECT_EQ(userDataFolder(nullptr, nullptr), "");
    EXPECT_EQ(userDataFolder(nullptr, ""), "");
}

TEST(HomeFolder, ChoiceBetweenVortelHomeProgramFolderAndDataFolder) {
    const std::string tree = freshFolder("build-tree/bin");
    const std::string data = "/nonexistent/data/vortel/";
    // A build tree the user may write stays the home folder, as it always was.
    EXPECT_EQ(chooseHomeFolder(nullptr, tree, data), tree);
    EXPECT_EQ(chooseHomeFolder("", tree, data), tree);
    // VORTEL_HOME wins over everything, with a slash added.
    EXPECT_EQ(chooseHomeFolder("/some/where", tree, data), "/some/where/");
    // An installed program folder is never a home, writable or not.
    const std::string prefix = installedLayout("installed");
    EXPECT_TRUE(isInstalledLayout(prefix + "bin"));
    EXPECT_FALSE(isInstalledLayout(tree));
    EXPECT_EQ(chooseHomeFolder(nullptr, prefix + "bin/", data), data);
    EXPECT_EQ(chooseHomeFolder("/v", prefix + "bin/", data), "/v/");
    // No data folder known (no HOME): the program folder, where writes then fail quietly.
    EXPECT_EQ(chooseHomeFolder(nullptr, prefix + "bin/", ""), prefix + "bin/");
    // A folder that does not exist cannot be written.
    EXPECT_EQ(chooseHomeFolder(nullptr, "/nonexistent/bin/", data), data);
}

TEST(HomeFolder, ProgramDataFolder) {
    const std::string prefix = installedLayout("installed-data");
    EXPECT_EQ(programDataFolder(prefix + "bin/"), prefix + "share/vortel/");
    EXPECT_EQ(programDataFolder(prefix + "bin"), prefix + "share/vortel/");
    const std::string tree = freshFolder("tree-data/bin");
    EXPECT_EQ(programDataFolder(tree), tree);
}

TEST(HomeFolder, FirstStartCopiesThePresetsLaterStartsKeepTheUsersFiles) {
    const std::string prefix = installedLayout("installed-first");
    const std::string data = prefix + "share/vortel/";
    const std::string home = freshFolder("user") + "deep/.local/share/vortel/";
    ASSERT_TRUE(prepareUserHome(home, data));
    EXPECT_TRUE(fs::is_directory(home + "work"));
    EXPECT_EQ(readFile(home + "preset/flat.obj"), "v 0 0 0\n");
    EXPECT_EQ(readFile(home + "preset/shape.obj"), "v 1 1 1\n");
    EXPECT_FALSE(fs::exists(home + "preset/manual.html"));

    // The user's own changes survive the next start; work/ comes back when removed.
    writeAt(home + "preset/flat.obj", "v 9 9 9\n");
    fs::remove(home + "preset/shape.obj");
    fs::remove_all(home + "work");
    ASSERT_TRUE(prepareUserHome(home, data));
    EXPECT_EQ(readFile(home + "preset/flat.obj"), "v 9 9 9\n");
    EXPECT_FALSE(fs::exists(home + "preset/shape.obj"));
    EXPECT_TRUE(fs::is_directory(home + "work"));

    // Shipped without presets (a data folder that lacks them): an empty preset/, no error.
    const std::string bare = freshFolder("user-bare") + "vortel/";
    EXPECT_TRUE(prepareUserHome(bare, "/nonexistent/share/vortel/"));
    EXPECT_TRUE(fs::is_directory(bare + "preset"));
    EXPECT_TRUE(fs::is_empty(bare + "preset"));

    // A home that cannot be made is reported.
    writeAt(freshFolder("user-blocked") + "file", "x");
    EXPECT_FALSE(prepareUserHome((test::tempDir() / "user-blocked/file/vortel/").string(), data));
}

TEST(HomeFolder, StartUpRecordsTheFolder) {
    const std::string home = freshFolder("record");
    Settings settings(home + "VELTA.ini");
    settings.writeString("Excute", "Applname", "/usr/bin/true");
    recordHomeFolder(settings, home);
    EXPECT_EQ(settings.getString("Locate", "name", ""), home);
    EXPECT_EQ(settings.getInt("Locate", "drive", 0), '/');
    EXPECT_EQ(settings.getString("Excute", "Applname", ""), "/usr/bin/true");
    // No scratch file is left beside the settings.
    int files = 0;
    for (const auto& e : fs::directory_iterator(home)) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace vortel
