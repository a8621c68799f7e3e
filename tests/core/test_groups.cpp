// The group list model and its two direct exports: rows per colour mode, the
// click and multi-selection rule, the three menu commands on all 220 flags;
// the CR2 text byte for byte, the group vertex lists against the plain
// per-group walk, and the per-group OBJ files against vortel-cli save.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>

#include "TestUtil.h"
#include "groups/GroupCommandIds.h"
#include "groups/GroupExports.h"
#include "groups/GroupList.h"

using namespace vortel;
using namespace vortel::test;
namespace fs = std::filesystem;

namespace {

// Three quads side by side: g0 uses vertices 1-4, g1 2 5 6 3, g2 5 7 8 6.
// Vertices 2, 3 are shared by g0 and g1; 5, 6 by g1 and g2. The model is 3 wide,
// so its display scale is 0.7 / 3.
const char* kStrip =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 0\nv 3 0 0\nv 3 1 0\n"
    "g g0\nf 1 2 3 4\ng g1\nf 2 5 6 3\ng g2\nf 5 7 8 6\n";

// A morph target of kStrip: the vertices, with the given ones replaced.
std::string stripTarget(const std::vector<std::pair<int, std::string>>& moved) {
    const char* base[] = {"0 0 0", "1 0 0", "1 1 0", "0 1 0", "2 0 0", "2 1 0", "3 0 0", "3 1 0"};
    std::string out;
    for (int n = 1; n <= 8; ++n) {
        std::string v = base[n - 1];
        for (const auto& [k, text] : moved)
            if (k == n) v = text;
        out += "v " + v + "\n";
    }
    return out;
}

GroupExports& exportsOf(CVELTADoc& d) { return *d.module<GroupExports>(); }

// Opens TEXT, written to NAME.obj, with title NAME, for a per-group export
// whose clock reads STAMP; returns the export's folder, not there yet.
std::string openForGroupExport(const std::string& name, const std::string& text, std::time_t stamp) {
    DocFixture& fx = fixture();
    fx.reset();
    fx.doc.openByPath(writeFile(name + ".obj", text), name, 0);
    exportsOf(fx.doc).clock = [stamp] { return stamp; };
    const std::string folder = fx.doc.documentPath + groupFolderStamp(stamp);
    fs::remove_all(folder);
    return folder;
}

GroupList& listOf(CVELTADoc& d) { return *d.module<GroupList>(); }

// Opens BASE, then TARGET through the open-by-path entry with kind 1, as the
// file browser's "MT Open" does; returns the morph target's path.
std::string openWithMorph(DocFixture& fx, const std::string& name, const std::string& base,
                          const std::string& target) {
    fx.openText(name + ".obj", base);
    const std::string mt = writeFile(name + "_mt.obj", target);
    fx.doc.openByPath(mt, name + "_mt", 1);
    return mt;
}

const char* kHead = "\tchannels\n\t\t{\n\t\ttargetGeom %s\n\t\t\t{\n\t\t\tname %s\n";

// One actor block as the morph manager reads it.
std::string actor(const std::string& name, const std::string& morph, int indexes, int numbDeltas,
                  const std::string& deltaLines) {
    char head[512];
    std::snprintf(head, sizeof head, kHead, morph.c_str(), morph.c_str());
    return "\nactor " + name + ":1\n\t{\n" + head +
           "\t\t\tinitValue 0\n\t\t\thidden 0\n\t\t\tforceLimits 4\n"
           "\t\t\tmin -100000\n\t\t\tmax 100000\n\t\t\ttrackingScale 0.02\n"
           "\t\t\tkeys\n\t\t\t\t{\n\t\t\t\tstatic  0\n\t\t\t\tk  0  0\n"
           "\t\t\t\t}\n\t\t\tinterpStyleLocked 0\n"
           "\t\t\tindexes " + std::to_string(indexes) + "\n\t\t\tnumbDeltas " + std::to_string(numbDeltas) + "\n" +
           "\t\t\tdeltas\n\t\t\t\t\t{\n" + deltaLines + "\t\t\t\t\t}\n\t\t\t}\n\t\t}\n\t}\n";
}

}  // namespace

// ---------------------------------------------------------------- the list

TEST(GroupList, RowsFollowTheColourModeWithTheirLineEndsAsBlanks) {
    DocFixture& fx = fixture();
    fx.openText("rows.obj",
                "v 0 0 0\nv 1 0 0\nv 0 1 0\ng arm\r\nusemtl skin\r\nf 1 2 3\ng leg\nusemtl cloth\nf 1 2 3\ng tail");
    CVELTADoc& d = fx.doc;
    ASSERT_EQ(d.groupCount, 3);
    GroupList& list = listOf(d);
    d.groupVisibleFlag[1] = 0;
    list.rebuild(kListColourObject);
    EXPECT_EQ(list.rows(), (std::vector<GroupListRow>{{"arm  ", kImageGroupShown},
                                                      {"leg ", kImageGroupHidden},
                                                      {"tail", kImageGroupShown}}));
    list.rebuild(kListColourMaterial);
    EXPECT_EQ(list.rows(), (std::vector<GroupListRow>{{"skin  ", kImageMaterialShown},
                                                      {"cloth ", kImageMaterialHidden}}));
    list.rebuild(kListColourNone);
    EXPECT_TRUE(list.rows().empty());
    EXPECT_FALSE(d.commands().state(cmd::ExportGroupObjs).enabled);  // the list shows no groups
    list.rebuild(kListColourMaterial);
    EXPECT_FALSE(d.commands().state(cmd::ExportGroupObjs).enabled);
    list.rebuild(kListColourObject);
    EXPECT_TRUE(d.commands().state(cmd::ExportGroupObjs).enabled);
    EXPECT_TRUE(d.commands().state(cmd::ExportCr2).enabled);

    // Texts of one or no character, and a carriage return not followed by a line feed.
    EXPECT_EQ(GroupList::rowText(""), "");
    EXPECT_EQ(GroupList::rowText("\n"), " ");
    EXPECT_EQ(GroupList::rowText("a"), "a");
    EXPECT_EQ(GroupList::rowText("a\rb"), "a b");
    EXPECT_EQ(GroupList::rowText("a\r"), "a\r");
}

TEST(GroupList, ClickTogglesTheFirstSelectedRowAndSetsTheSelectedGroup) {
    DocFixture& fx = fixture();
    fx.openText("click.obj", kStrip);
    CVELTADoc& d = fx.doc;
    GroupList& list = listOf(d);
    list.rebuild(kListColourObject);
    EXPECT_EQ(d.selectedGroup, -1);

    struct Redraws : DocumentView {
        int n = 0;
        void onRedraw() override { ++n; }
    } redraws;
    d.addView(&redraws);
    EXPECT_EQ(list.click(1), 1);
    EXPECT_EQ(d.selectedGroup, 2);
    EXPECT_EQ(d.groupVisibleFlag[1], 0);
    EXPECT_EQ(list.rows()[1], (GroupListRow{"g1 ", kImageGroupHidden}));
    EXPECT_EQ(redraws.n, 1);
    EXPECT_EQ(list.click(1), 1);
    EXPECT_EQ(d.groupVisibleFlag[1], 1);
    EXPECT_EQ(list.rows()[1].image, kImageGroupShown);
    // Any value other than 1 counts as hidden.
    d.groupVisibleFlag[2] = 7;
    list.click(2);
    EXPECT_EQ(d.groupVisibleFlag[2], 1);

    // No row selected (a click below the last row): nothing toggles, the list is rebuilt.
    d.groupVisibleFlag[0] = 0;  // changed behind the list's back
    EXPECT_EQ(list.click(-1), -1);
    EXPECT_EQ(d.selectedGroup, 0);
    EXPECT_EQ(list.rows()[0].image, kImageGroupHidden);
    EXPECT_EQ(redraws.n, 3);
    d.removeView(&redraws);

    // In MATERIAL mode the same flags stand for materials.
    fx.openText("clickm.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl a\nf 1 2 3\nusemtl b\nf 1 2 3\n");
    list.rebuild(kListColourMaterial);
    list.click(1);
    EXPECT_EQ(list.rows()[1], (GroupListRow{"b ", kImageMaterialHidden}));
}

TEST(GroupList, MenuCommandsActOnAll220Flags) {
    DocFixture& fx = fixture();
    fx.openText("menu.obj", kStrip);
    CVELTADoc& d = fx.doc;
    GroupList& list = listOf(d);
    list.rebuild(kListColourObject);
    auto flags = [&] { return std::vector<char>(d.groupVisibleFlag.data(), d.groupVisibleFlag.data() + kMaxGroups); };

    d.commands().run(cmd::GroupClearAll);
    EXPECT_EQ(flags(), std::vector<char>(kMaxGroups, 0));
    EXPECT_EQ(list.rows()[2].image, kImageGroupHidden);  // rebuilt
    d.groupVisibleFlag[5] = 1;
    d.groupVisibleFlag[219] = 3;
    d.selectedGroup = 4;
    d.commands().run(cmd::GroupReverse);
    std::vector<char> reversed(kMaxGroups, 1);
    reversed[5] = 0;
    EXPECT_EQ(flags(), reversed);  // 3 was not 1, so it becomes 1
    EXPECT_EQ(d.selectedGroup, 4);
    d.commands().run(cmd::GroupReverse);
    std::vector<char> back(kMaxGroups, 0);
    back[5] = 1;
    EXPECT_EQ(flags(), back);  // twice: the flags that were 0 or 1 are back
    d.commands().run(cmd::GroupSelectAll);
    EXPECT_EQ(flags(), std::vector<char>(kMaxGroups, 1));
    EXPECT_EQ(d.selectedGroup, 0);
    EXPECT_EQ(list.rows()[0].image, kImageGroupShown);
}

TEST(GroupList, LoadShowsEveryGroupAndAHiddenGroupEndsTheSelection) {
    DocFixture& fx = fixture();
    fx.openText("refresh.obj", kStrip);
    CVELTADoc& d = fx.doc;
    GroupList& list = listOf(d);
    list.rebuild(kListColourObject);
    list.click(0);
    d.groupVisibleFlag[200] = 0;
    // The 3D view's "HIDE SELECT OBJ": the flag goes to 0 and the list hears of it.
    d.groupVisibleFlag[2] = 0;
    d.groupListNotify(2, 0);
    EXPECT_EQ(d.selectedGroup, -1);
    EXPECT_EQ(d.groupVisibleFlag[0], 0);  // the other flags stay
    // A colour-mode change runs the refresh after load: everything is shown again.
    d.viewRefreshAfterLoad();
    EXPECT_EQ(std::count(d.groupVisibleFlag.data(), d.groupVisibleFlag.data() + kMaxGroups, 1), kMaxGroups);
}

// ---------------------------------------------------------------- CR2

TEST(Cr2Export, MorphOfOneGroupGivesOneActorBlockByteForByte) {
    DocFixture& fx = fixture();
    const std::string mt = openWithMorph(fx, "only2", kStrip, stripTarget({{7, "3.5 -0.25 0.125"}, {8, "3 1 -1.5"}}));
    CVELTADoc& d = fx.doc;
    ASSERT_EQ(d.morphLoadedFlag, 1);
    EXPECT_NE(d.displayScale, 1.0f);
    EXPECT_EQ(d.documentPath, mt);  // MT Open names the target's file
    d.onCommand(cmd::Stop);
    const Cr2ExportResult r = exportsOf(d).saveCr2();
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.path, mt + ".cr2");
    EXPECT_EQ(r.actors, 1);
    EXPECT_EQ(d.playbackCommand, cmd::FF);  // the full morph is shown
    EXPECT_EQ(readFile(r.path),
              "{\n"
              "\nactor g2:1\n\t{\n"
              "\tchannels\n\t\t{\n\t\ttargetGeom only2_mt\n\t\t\t{\n\t\t\tname only2_mt\n"
              "\t\t\tinitValue 0\n\t\t\thidden 0\n\t\t\tforceLimits 4\n"
              "\t\t\tmin -100000\n\t\t\tmax 100000\n\t\t\ttrackingScale 0.02\n"
              "\t\t\tkeys\n\t\t\t\t{\n\t\t\t\tstatic  0\n\t\t\t\tk  0  0\n"
              "\t\t\t\t}\n\t\t\tinterpStyleLocked 0\n"
              "\t\t\tindexes 2\n"
              "\t\t\tnumbDeltas 4\n"
              "\t\t\tdeltas\n\t\t\t\t\t{\n"
              "\t\t\t\t\td 2 0.500000 -0.250000 0.125000\n"
              "\t\t\t\t\td 3 0.000000 0.000000 -1.500000\n"
              "\t\t\t\t\t}\n\t\t\t}\n\t\t}\n\t}\n"
              "}\n");
    EXPECT_TRUE(fx.ui.messages.empty());
}

TEST(Cr2Export, SharedVertexIsListedInBothGroupsWithItsOwnLocalIndex) {
    DocFixture& fx = fixture();
    // Vertex 5 is the third vertex of g1 (2 3 5 6) and the first of g2 (5 6 7 8).
    const std::string mt = openWithMorph(fx, "shared", kStrip, stripTarget({{5, "2.25 0 0"}}));
    const Cr2ExportResult r = exportsOf(fx.doc).saveCr2();
    EXPECT_EQ(r.actors, 2);
    EXPECT_EQ(readFile(r.path), "{\n" + actor("g1", "shared_mt", 1, 4, "\t\t\t\t\td 2 0.250000 0.000000 0.000000\n") +
                                    actor("g2", "shared_mt", 1, 4, "\t\t\t\t\td 0 0.250000 0.000000 0.000000\n") +
                                    "}\n");
}

TEST(Cr2Export, NamesLoseTheirLineEndsAndKeepTheirSlashes) {
    DocFixture& fx = fixture();
    // CR LF lines; the morph moves a vertex of the second group only; the
    // display scale is 0.7 / 0.5.
    const std::string base = "v 0 0 0\r\nv 0.5 0 0\r\nv 0 0.5 0\r\nv 0.5 0.5 0\r\n"
                             "g left/arm\r\nf 1 2 3\r\ng right arm\r\nf 2 4 3\r\n";
    const std::string mt = openWithMorph(fx, "crlf", base, "v 0 0 0\r\nv 0.5 0 0\r\nv 0 0.5 0\r\nv 0.75 0.5 0.25\r\n");
    CVELTADoc& d = fx.doc;
    ASSERT_EQ(d.groupNames[0], "left/arm\r\n");
    EXPECT_FLOAT_EQ(d.displayScale, 1.4f);
    Cr2ExportResult r = exportsOf(d).saveCr2();
    EXPECT_EQ(readFile(r.path), "{\n" +
                                    actor("right arm", "crlf_mt", 1, 3,
                                          "\t\t\t\t\td 2 0.250000 0.000000 0.250000\n") +
                                    "}\n");
    // Moving the first group too: its actor line keeps the slash.
    d.morphDeltaArray[0].x = 0.7f;
    r = exportsOf(d).saveCr2();
    EXPECT_EQ(r.actors, 2);
    EXPECT_NE(readFile(r.path).find("\nactor left/arm:1\n\t{\n"), std::string::npos);
    EXPECT_NE(readFile(r.path).find("\t\t\tindexes 1\n\t\t\tnumbDeltas 3\n\t\t\tdeltas\n\t\t\t\t\t{\n"
                                    "\t\t\t\t\td 0 0.500000 0.000000 0.000000\n"),
              std::string::npos);
}

TEST(Cr2Export, AMorphThatMovesNothingWritesTheFileFrame) {
    DocFixture& fx = fixture();
    const std::string mt = openWithMorph(fx, "still", kStrip, stripTarget({}));
    const Cr2ExportResult r = exportsOf(fx.doc).saveCr2();
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.actors, 0);
    EXPECT_EQ(readFile(r.path), "{\n}\n");
}

TEST(Cr2Export, NoMorphOrNoFileIsReportedAndWritesNothing) {
    DocFixture& fx = fixture();
    fx.openText("nomorph.obj", kStrip);
    CVELTADoc& d = fx.doc;
    Cr2ExportResult r = exportsOf(d).saveCr2();
    EXPECT_FALSE(r.written);
    EXPECT_EQ(fx.ui.messages, std::vector<std::string>{"[VORTEL] NO MORPH TERGET! VORTEL CAN'T EXPORT .CR2"});
    EXPECT_FALSE(fs::exists(d.documentPath + ".cr2"));

    // The file cannot be created: a folder of that name is in the way.
    const std::string mt = openWithMorph(fx, "blocked", kStrip, stripTarget({{1, "0.5 0 0"}}));
    fs::create_directories(mt + ".cr2");
    fx.reset();
    r = exportsOf(d).saveCr2();
    EXPECT_FALSE(r.written);
    EXPECT_EQ(fx.ui.messages, std::vector<std::string>{"[VORTEL] CR2 WRITE ERR:" + mt + ".cr2"});
    EXPECT_TRUE(fs::is_directory(mt + ".cr2"));
    // Through the command table, as the list's menu runs it.
    fx.reset();
    EXPECT_TRUE(d.commands().run(cmd::ExportCr2));
    EXPECT_EQ(fx.ui.messages.size(), 1u);
}

// The plain reference: per group, clear the marks, mark the group's corners, walk all slots.
TEST(Cr2Export, GroupVertexListsEqualThePlainPerGroupWalk) {
    std::mt19937 rng(14);
    static GroupVertexLists lists;
    for (int round = 0; round < 60; ++round) {
        const int vertices = 1 + static_cast<int>(rng() % (round < 50 ? 40 : kMaxVertices));
        const int faces = static_cast<int>(rng() % (round < 50 ? 60 : 3000));
        const int groups = 1 + static_cast<int>(rng() % (round % 7 == 0 ? kMaxGroups : 6));
        std::vector<int> group(faces), first(faces), count(faces), corners;
        for (int f = 0; f < faces; ++f) {
            // Now and then a group outside the list, or a face of no corners.
            group[f] = rng() % 13 == 0 ? groups + static_cast<int>(rng() % 3) : static_cast<int>(rng() % groups);
            first[f] = static_cast<int>(corners.size());
            count[f] = rng() % 17 == 0 ? 0 : 2 + static_cast<int>(rng() % 4);
            for (int c = 0; c < count[f]; ++c) corners.push_back(1 + static_cast<int>(rng() % vertices));
        }
        corners.push_back(0);
        lists.build(group.data(), first.data(), count.data(), faces, corners.data(), static_cast<int>(corners.size()),
                    groups);
        std::vector<char> mark(kVertexSlots);
        for (int g = 0; g < groups; ++g) {
            std::fill(mark.begin(), mark.end(), 0);
            for (int f = 0; f < faces; ++f)
                if (group[f] == g)
                    for (int c = 0; c < count[f]; ++c) mark[corners[first[f] + c] - 1] = 1;
            std::vector<int> expected;
            for (int s = 0; s < kMaxVertices; ++s)
                if (mark[s]) expected.push_back(s);
            const int* slots = nullptr;
            const int n = lists.vertices(g, slots);
            ASSERT_EQ(std::vector<int>(slots, slots + n), expected) << "round " << round << " group " << g;
        }
    }
}

// ---------------------------------------------------------------- per-group OBJ files

TEST(GroupObjExport, FileNamesStayInTheFolder) {
    EXPECT_EQ(groupFileName("body", "arm\n"), "body_arm.obj");
    EXPECT_EQ(groupFileName("body", "arm\r\n"), "body_arm.obj");
    EXPECT_EQ(groupFileName("body", "arm"), "body_arm.obj");  // the last line of a file
    EXPECT_EQ(groupFileName("body", "a\n"), "body_a.obj");
    EXPECT_EQ(groupFileName("body", ""), "body_.obj");
    EXPECT_EQ(groupFileName("body", "l/r\\x\"y:z,;*?<>|\n"), "body_l r x y z       .obj");
    for (const char* name : {"..", ".", "../..", "/../x\n", "..\r\n"}) {
        const std::string file = groupFileName("", name);
        EXPECT_EQ(file.find('/'), std::string::npos) << name;
        EXPECT_EQ(fs::path("/folder/" + file).lexically_normal().parent_path(), fs::path("/folder")) << name;
    }
    EXPECT_EQ(groupFolderStamp(0), "19700101000000");
    EXPECT_EQ(groupFolderStamp(1733456767), "20241206034607");
}

TEST(GroupObjExport, EachShownGroupIsWrittenIntoTheTimeStampedFolder) {
    const std::string folder = openForGroupExport("split",
                                                  "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 0\n"
                                                  "g a/b\nf 1 2 3 4\ng c\nf 2 5 6 3\ng d\nf 5 6 4\n",
                                                  1733456767);
    DocFixture& fx = fixture();
    CVELTADoc& d = fx.doc;
    GroupExports& ex = exportsOf(d);
    EXPECT_EQ(folder, d.documentPath + "20241206034607");
    d.groupVisibleFlag[1] = 0;
    d.groupVisibleFlag[150] = 0;
    const std::vector<char> before(d.groupVisibleFlag.data(), d.groupVisibleFlag.data() + kMaxGroups);
    GroupObjExportResult r = ex.saveSelectedGroups();
    EXPECT_EQ(r.folder, folder);
    EXPECT_EQ(r.files, (std::vector<std::string>{folder + "/split_a b.obj", folder + "/split_d.obj"}));
    EXPECT_EQ(std::vector<char>(d.groupVisibleFlag.data(), d.groupVisibleFlag.data() + kMaxGroups), before);
    EXPECT_EQ(d.directSaveFlag, 0);
    EXPECT_EQ(readFile(r.files[1]), "# Convert by TOLK\nv 0.000000 1.000000 0.000000\nv 2.000000 0.000000 0.000000\n"
                                    "v 2.000000 1.000000 0.000000\ng d\n\nf 2 3 1\n");
    EXPECT_TRUE(fx.ui.messages.empty());

    // The same second: the folder is there already and the files go into it.
    d.groupVisibleFlag[1] = 1;
    r = ex.saveSelectedGroups();
    EXPECT_EQ(r.files.size(), 3u);
    EXPECT_TRUE(fs::exists(folder + "/split_c.obj"));

    // Nothing shown: nothing happens, no message.
    std::memset(d.groupVisibleFlag.data(), 0, 3);
    fs::remove_all(folder);
    r = ex.saveSelectedGroups();
    EXPECT_TRUE(r.folder.empty() && r.files.empty());
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(fx.ui.messages.empty());

    // The folder cannot be created: a file of that name is in the way.
    d.groupVisibleFlag[0] = 1;
    writeFile("split.obj20241206034607", "x");
    r = ex.saveSelectedGroups();
    EXPECT_TRUE(r.folderFailed);
    EXPECT_TRUE(r.files.empty());
    EXPECT_EQ(fx.ui.messages, std::vector<std::string>{"[VORTEL] FOLDER CREATE ERR:" + folder});
    EXPECT_EQ(d.groupVisibleFlag[0], 1);
    fs::remove(folder);
}

TEST(GroupObjExport, NamesThatCleanToTheSameFileKeepEveryGroup) {
    const std::string folder = openForGroupExport(
        "same", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\ng a/b\nf 1 2 3\ng a:b\nf 1 3 4\ng a b_2\nf 2 3 4\n"
                "g a/b\nf 1 2 4\n",
        1733456700);
    DocFixture& fx = fixture();
    ASSERT_EQ(fx.doc.groupCount, 3);  // the second "a/b" is the first group again
    GroupExports& ex = exportsOf(fx.doc);
    GroupObjExportResult r = ex.saveSelectedGroups();
    ASSERT_EQ(r.files, (std::vector<std::string>{folder + "/same_a b.obj", folder + "/same_a b_2.obj",
                                                 folder + "/same_a b_2_2.obj"}));
    EXPECT_NE(readFile(r.files[0]).find("g a/b\n"), std::string::npos);
    EXPECT_NE(readFile(r.files[1]).find("g a:b\n"), std::string::npos);
    EXPECT_NE(readFile(r.files[2]).find("g a b_2\n"), std::string::npos);
    // A second export in the same second writes the same three names again.
    r = ex.saveSelectedGroups();
    EXPECT_EQ(r.files.size(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
    fs::remove_all(folder);
}

TEST(GroupObjExport, FilesEqualTheDirectSaveOfEachGroup) {
    // The sample figure's parts, and a mesh with texture numbers, a polyline, a
    // floating vertex and a morph target.
    const std::string parts = sourcePath("data/samples/parts.obj");
    const std::string mesh = writeFile("perg.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 9 9 9\nv 2 1 0\n"
                                                   "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                                   "g a\nusemtl m\nf 1/1 2/2 3/3 4/4\ng b\nf 2 5 7 3\nl 5 7\n"
                                                   "g a\nusemtl n\nf 4/4 3/3 1/1\n");
    for (const std::string& path : {parts, mesh}) {
        DocFixture& fx = fixture();
        fx.reset();
        const std::string copy = writeFile("perg_" + fs::path(path).filename().string(), readFile(path));
        fx.doc.openByPath(copy, fs::path(copy).stem().string(), 0);
        ASSERT_EQ(fx.doc.loadStatus, "NORMAL");
        GroupExports& ex = exportsOf(fx.doc);
        ex.clock = [] { return std::time_t{1000000000}; };
        fs::remove_all(copy + groupFolderStamp(1000000000));
        const GroupObjExportResult r = ex.saveSelectedGroups();
        ASSERT_EQ(static_cast<int>(r.files.size()), fx.doc.groupCount);
        for (int g = 0; g < fx.doc.groupCount; ++g) {
            const std::string out = (tempDir() / ("perg_cli_" + std::to_string(g) + ".obj")).string();
            ASSERT_EQ(runCli("save '" + copy + "' '" + out + "' --direct --groups " + std::to_string(g)), 0);
            EXPECT_EQ(readFile(r.files[g]), readFile(out)) << path << " group " << g;
        }
    }
}
