// HAIR: the strip builder, the hair operation of the HAIR window's requests,
// the export and its whole-face rule, the hair lists' limits, the window's
// model and the commands the module registers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestUtil.h"
#include "doc/Text.h"
#include "scatter/Hair.h"
#include "scatter/HairModule.h"
#include "scatter/HairPanel.h"

using namespace vortel;
using namespace vortel::test;

namespace {

struct HairFixture {
    DocFixture& fx = fixture();
    CVELTADoc& doc = fx.doc;
    HairModule& hair = *fx.doc.module<HairModule>();

    HairFixture() { hair.hairOperation(kHairRequestReset); }
    void load(const std::string& name, const std::string& text) {
        fx.reset();
        doc.openByPath(writeFile(name, text), fileTitleOf(name), 0);
        ASSERT_EQ(doc.loadStatus, "NORMAL") << doc.loadMessage;
        fx.ui.messages.clear();
    }
    // Export > "HAIR" to PATH, through its dialog; the file's text.
    std::string exportTo(const std::string& name) {
        const std::string path = (tempDir() / name).string();
        fx.ui.saveAnswers.push_back(path);
        EXPECT_EQ(hair.exportHair(), HairExportResult::Written);
        return readFile(path);
    }
    Vec3 display(int vertex) const { return doc.displayVertexArray[vertex - 1]; }
};

Vec3 scaled(Vec3 v) {
    vecScale(v, 1.01f);
    return v;
}

void expectSame(Vec3 a, Vec3 b) {
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << a.x << " " << a.y << " " << a.z << " vs " << b.x << " " << b.y
                                                 << " " << b.z;
}

// "v %f %f %f" of a display position taken back to file units.
std::string vLine(const CVELTADoc& d, Vec3 v) {
    return formatMessage("v %f %f %f\n", static_cast<double>(v.x) / d.displayScale + d.displayCentre.x,
                         static_cast<double>(v.y) / d.displayScale + d.displayCentre.y,
                         static_cast<double>(v.z) / d.displayScale + d.displayCentre.z);
}

}  // namespace

TEST(HairStrips, ALineOfThreeCornersGivesTwoStripsAndEightVertices) {
    HairFixture h;
    h.load("hair3.obj", "v 0 0 0\nv 1 0 0\nv 1 2 0\nv 3 3 3\nl 1 2 3\n");
    EXPECT_EQ(h.hair.buildStrips(), HairResult::Done);
    EXPECT_EQ(h.fx.ui.messages, std::vector<std::string>{"[VORTEL] 2"});
    EXPECT_EQ(h.doc.hairStrandCount, 2);
    const HairMesh& m = h.hair.mesh();
    ASSERT_EQ(m.vertexCount, 8);
    const Vec3 expected[8] = {h.display(1), h.display(2), scaled(h.display(2)), scaled(h.display(1)),
                              h.display(2), h.display(3), scaled(h.display(3)), scaled(h.display(2))};
    for (int i = 0; i < 8; ++i) expectSame(m.vertices[i], expected[i]);
    EXPECT_TRUE(h.doc.commands().state(cmd::ExportHair).enabled);
    h.fx.ui.messages.clear();

    std::string want = "# Convert by TOLK\n";
    for (const Vec3& v : expected) want += vLine(h.doc, v);
    want += "f 1 2 3 4\nf 5 6 7 8\n";
    EXPECT_EQ(h.exportTo("hair3_HAIR.obj"), want);
    EXPECT_TRUE(h.fx.ui.messages.empty());
    EXPECT_EQ(h.fx.ui.lastSave.initialName, "hair3_HAIR.obj");
    EXPECT_EQ(h.fx.ui.lastSave.defaultExtension, "obj");
    EXPECT_EQ(h.fx.ui.lastSave.filter, "New HAIR file (*.obj)|*.obj||");
    EXPECT_TRUE(h.fx.ui.lastSave.overwritePrompt);
    EXPECT_EQ(h.doc.savePath, (tempDir() / "hair3_HAIR.obj").string());
}

TEST(HairStrips, EachSegmentRunsTowardTheNextVertexNumber) {
    HairFixture h;
    // A line from vertex 5 to vertex 9 builds toward vertex 6; a line through the
    // model's centre gives a strip of no width there.
    h.load("hair59.obj",
           "v -1 -1 -1\nv 1 1 1\nv 0 0 0\nv 0.5 0 0\nv 0.2 0.4 0.6\nv 0.9 0.1 0.3\nv 0 0 0\nv 0 0 0\nv -0.7 0.2 0.1\n"
           "l 5 9\nl 3 4\n");
    h.hair.buildStrips();
    const HairMesh& m = h.hair.mesh();
    ASSERT_EQ(h.doc.hairStrandCount, 2);
    expectSame(m.vertices[0], h.display(5));
    expectSame(m.vertices[1], h.display(6));
    expectSame(m.vertices[2], scaled(h.display(6)));
    // Vertex 3 sits at the model's centre, the display origin.
    expectSame(m.vertices[4], Vec3{0, 0, 0});
    expectSame(m.vertices[7], Vec3{0, 0, 0});
    expectSame(m.vertices[5], h.display(4));
}

TEST(HairStrips, OnlyLinesOfTwoCornersOrMoreAndNeverPastTheLastVertex) {
    HairFixture h;
    // Vertex 4 is the last: its segment has no vertex 5 and gives no strip.
    // Polygons and a one-corner line add nothing.
    h.load("hairlast.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\nf 1 2 3\nl 2\nl 4 1\nl 3 4 2\nl 2 1\n");
    h.hair.buildStrips();
    EXPECT_EQ(h.doc.hairStrandCount, 2);  // 3 -> 4, then 2 -> 3
    EXPECT_EQ(h.hair.mesh().vertexCount, 8);
    expectSame(h.hair.mesh().vertices[0], h.display(3));
    expectSame(h.hair.mesh().vertices[1], h.display(4));
    expectSame(h.hair.mesh().vertices[4], h.display(2));

    h.load("nolines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    h.hair.buildStrips();
    EXPECT_EQ(h.fx.ui.messages, std::vector<std::string>{"[VORTEL] 0"});
    EXPECT_EQ(h.doc.hairStrandCount, 0);
    EXPECT_FALSE(h.doc.commands().state(cmd::ExportHair).enabled);
    EXPECT_FALSE(h.doc.commands().state(cmd::HairDialog).enabled);
}

TEST(HairOperation, DoneCollectsLinePointsResetEmptiesAndTheExportWritesWholeFaces) {
    HairFixture h;
    h.load("collect.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 2 2 2\nv 5 5 5\nv 4 4 4\nf 1 2 4\nl 1 2 3\nl 5 4\n");
    h.hair.buildStrips();
    ASSERT_EQ(h.doc.hairStrandCount, 3);
    h.fx.ui.messages.clear();
    // DONE with any position: the line points, corner by corner, replace the strip vertices.
    EXPECT_EQ(h.hair.hairOperation(57), HairResult::Done);
    const HairMesh& m = h.hair.mesh();
    ASSERT_EQ(m.vertexCount, 5);
    const int order[5] = {1, 2, 3, 5, 4};
    for (int i = 0; i < 5; ++i) expectSame(m.vertices[i], h.display(order[i]));
    EXPECT_EQ(h.doc.hairStrandCount, 3);  // the faces stay

    // Face 1 (hair vertices 1..4) is whole; faces 2 and 3 name hair vertices 5..12.
    std::string want = "# Convert by TOLK\n";
    for (int v : order) want += vLine(h.doc, h.display(v));
    want += "f 1 2 3 4\n";
    EXPECT_EQ(h.exportTo("collect_HAIR.obj"), want);
    EXPECT_EQ(h.fx.ui.messages,
              std::vector<std::string>{"[HAIR] 2 OF 3 HAIR FACES NOT WRITTEN: THEIR POINTS ARE GONE"});

    h.fx.ui.messages.clear();
    h.hair.hairOperation(kHairRequestReset);
    EXPECT_EQ(m.vertexCount, 0);
    EXPECT_TRUE(h.doc.commands().state(cmd::ExportHair).enabled);
    EXPECT_EQ(h.exportTo("reset_HAIR.obj"), "# Convert by TOLK\n");
    EXPECT_EQ(h.fx.ui.messages,
              std::vector<std::string>{"[HAIR] 3 OF 3 HAIR FACES NOT WRITTEN: THEIR POINTS ARE GONE"});
}

TEST(HairExport, CancelWritesNothingAndAFailedOpenShowsTheLoadMessage) {
    HairFixture h;
    h.load("fail.obj", "v 0 0 0\nv 1 0 0\nl 1 2\n");
    h.hair.buildStrips();
    h.fx.ui.messages.clear();
    h.fx.ui.saveAnswers.push_back(std::nullopt);
    const std::string before = h.doc.savePath;
    EXPECT_EQ(h.hair.exportHair(), HairExportResult::Cancelled);
    EXPECT_EQ(h.doc.savePath, before);
    h.fx.ui.saveAnswers.push_back(std::string("/nonexistent-dir/x.obj"));
    EXPECT_EQ(h.hair.exportHair(), HairExportResult::OpenFailed);
    EXPECT_EQ(h.fx.ui.messages, std::vector<std::string>{"[HAIR] READ SUCCESSFUL"});
    EXPECT_EQ(h.doc.savePath, "/nonexistent-dir/x.obj");
}

TEST(HairExport, WritesFileUnitsOfTheTransformThePointsWereTakenWith) {
    HairFixture h;
    h.load("units.obj", "v 0 0 0\nv 10 0 0\nv 0 4 0\ng a\nl 1 2\ng b\nf 1 2 3\n");
    h.hair.buildStrips();
    const std::string first = h.exportTo("units1.obj");
    EXPECT_NE(first.find("v 10.000000 0.000000 0.000000\n"), std::string::npos) << first;
    // Selecting a group refits the display; the strips are still written where they are.
    h.doc.displayTransform(1);
    EXPECT_EQ(h.exportTo("units2.obj"), first);
}

TEST(HairLimits, MoreStripsOrPointsThanTheListsHoldAreRefused) {
    HairFixture h;
    h.load("small.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\n");
    h.hair.buildStrips();
    h.fx.ui.messages.clear();
    CVELTADoc& d = h.doc;
    // Lines can only share the corner list, so only a face table that names the
    // same corners more than once passes the limits.
    for (int k = 0; k < kMaxCorners; ++k) d.cornerVertexList[k] = 1 + (k % 2);
    for (int f = 0; f < 5; ++f) {
        d.faceFirstCorner[f] = 0;
        d.faceCornerCount[f] = kMaxCorners;
        d.faceKind[f] = 'L';
    }
    d.faceCount = 2;
    EXPECT_EQ(countHairStrips(LineFaceTable::of(d), d.vertexCount), 2LL * (kMaxCorners - 1));
    EXPECT_EQ(h.hair.buildStrips(), HairResult::Refused);
    EXPECT_EQ(h.fx.ui.messages, std::vector<std::string>{"[VORTEL] TOO MANY HAIR STRIPS [1039998/520000]"});
    EXPECT_EQ(d.hairStrandCount, 1);  // the earlier strips stay
    EXPECT_EQ(h.hair.mesh().vertexCount, 4);

    h.fx.ui.messages.clear();
    d.faceCount = 5;
    EXPECT_EQ(h.hair.hairOperation(10), HairResult::Refused);
    EXPECT_EQ(h.fx.ui.messages, std::vector<std::string>{"[HAIR] TOO MANY HAIR POINTS [2600000/2080000]"});
    EXPECT_EQ(h.hair.mesh().vertexCount, 4);
    d.faceCount = 4;  // exactly the capacity
    EXPECT_EQ(h.hair.hairOperation(10), HairResult::Done);
    EXPECT_EQ(h.hair.mesh().vertexCount, kMaxHairVertices);
    d.faceCount = 0;
    h.load("small.obj", "v 0 0 0\nv 1 0 0\nl 1 2\n");
}

TEST(HairPanelModel, TrackbarRequestsAndPlacement) {
    HairPanel panel;
    EXPECT_EQ(panel.trackbarPosition(), 10);
    panel.setTrackbarPosition(0);
    EXPECT_EQ(panel.trackbarPosition(), 1);
    panel.setTrackbarPosition(250);
    EXPECT_EQ(panel.trackbarPosition(), 100);
    panel.setTrackbarPosition(37);

    std::vector<std::string> log;
    panel.postRequest = [&](int w, int l) { log.push_back(formatMessage("post %d %d", w, l)); };
    panel.endDialog = [&] { log.push_back("end"); };
    panel.stripBuilder = [&] { log.push_back("strips"); };
    for (int id : {hairdlg::Done, hairdlg::Reset, hairdlg::Close, hairdlg::StripP, hairdlg::Trackbar, 3})
        panel.press(id);
    EXPECT_EQ(log, (std::vector<std::string>{"post 37 0", "post 9999 0", "post 0 0", "end", "strips"}));

    const std::string ini = writeFile("hwindow.ini", "[Other]\nleft=1\n");
    Settings s(ini);
    EXPECT_EQ(HairPanel::readPlacement(s), (WindowRect{134, 267, 394, 394}));
    HairPanel::writePlacement(s, WindowRect{10, 20, 300, 200});
    EXPECT_EQ(HairPanel::readPlacement(s), (WindowRect{10, 20, 300, 200}));
    EXPECT_NE(readFile(ini).find("[Other]\nleft=1\n"), std::string::npos);
    EXPECT_TRUE((WindowRect{5, 5, 5, 90}).isEmpty());
}

TEST(HairCommands, ToggleExportAndCollisionRules) {
    HairFixture h;
    CommandTable& t = h.doc.commands();
    h.load("plain.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_FALSE(t.state(cmd::HairDialog).enabled);
    h.load("lined.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nl 1 3\n");
    EXPECT_TRUE(t.state(cmd::HairDialog).enabled);
    EXPECT_FALSE(t.state(cmd::HairDialog).checked);

    std::vector<std::string> log;
    h.hair.createWindow = [&] { log.push_back("create"); };
    h.hair.destroyWindow = [&] { log.push_back("destroy"); };
    t.run(cmd::HairDialog);
    EXPECT_EQ(h.hair.windowOpenFlag, 1);
    EXPECT_TRUE(t.state(cmd::HairDialog).checked);
    // Open, the toggle stays enabled on a mesh without lines, so the window can be closed.
    h.load("plain.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_TRUE(t.state(cmd::HairDialog).enabled);
    t.run(cmd::HairDialog);
    EXPECT_EQ(h.hair.windowOpenFlag, 0);
    t.run(cmd::HairDialog);
    // CLOSE's request (0) redraws and destroys the window.
    h.hair.hairOperation(kHairRequestClose);
    EXPECT_EQ(h.hair.windowOpenFlag, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"create", "destroy", "create", "destroy"}));
    h.hair.createWindow = nullptr;
    h.hair.destroyWindow = nullptr;

    // Collision follows "Function"/"Coligion": anything but "NONE" switches it on.
    const std::string ini = writeFile("coligion.ini", "");
    h.fx.ui.settings().setPath(ini);
    EXPECT_FALSE(t.state(cmd::Collision).enabled);
    h.fx.ui.settings().writeString("Function", "Coligion", "NONE");
    EXPECT_FALSE(t.state(cmd::Collision).enabled);
    h.fx.ui.settings().writeString("Function", "Coligion", "ON");
    EXPECT_TRUE(t.state(cmd::Collision).enabled);
    h.fx.ui.settings().setPath("");
}
