// The seed loader: its limits and messages, CR line ends, normals and
// normalisation, texture numbers, the dialog, presets and the window it opens.
#include <gtest/gtest.h>

#include <cmath>

#include "test_scatter_util.h"

using namespace vortel;
using namespace vortel::test;

namespace {

std::string vertices(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "v " + std::to_string(i % 7) + " " + std::to_string(i % 5) + " 0\n";
    return s;
}

struct HostScope {
    RecordingHost host;
    HostScope() {
        fixture().doc.dropDialogOpenFlag = 0;
        dropModule().setWindowHost(&host);
    }
    ~HostScope() {
        dropModule().setWindowHost(nullptr);
        fixture().doc.dropDialogOpenFlag = 0;
    }
};

}  // namespace

TEST(SeedLoader, OneQuadLoadsNormalisedWithItsSummedNormalAndOpensTheWindow) {
    HostScope scope;
    loadSeedText("v 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 0\nf 1 2 3 4\n");
    const SeedMesh& s = dropModule().seed;
    DocFixture& fx = fixture();
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.vertexCount, 4);
    EXPECT_EQ(s.faceCount, 1);
    // Two triangle normals of area 2 each (cross products, not normalised), from the file's coordinates.
    EXPECT_EQ(s.faceNormal[0].z, 4.0f);
    // Longest side 0.7, centred on the origin.
    EXPECT_FLOAT_EQ(s.vertexList[0].x, -0.35f);
    EXPECT_FLOAT_EQ(s.vertexList[2].x, 0.35f);
    EXPECT_FLOAT_EQ(s.vertexList[0].y, -0.175f);
    EXPECT_FLOAT_EQ(s.vertexList[2].y, 0.175f);
    EXPECT_EQ(fx.ui.progressTexts, (std::vector<std::string>{"SEED NOW LOADING...", "SEED LOAD OK (V=4)"}));
    EXPECT_EQ(fx.ui.calls.back(), "close");
    EXPECT_EQ(scope.host.calls, (std::vector<std::string>{"create", "notice"}));
    EXPECT_EQ(fx.doc.dropDialogOpenFlag, 1);
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.fileTitle, "seed");

    // With the window open, the next load only repaints it.
    scope.host.calls.clear();
    loadSeedText(kQuadSeed);
    EXPECT_EQ(scope.host.calls, std::vector<std::string>{"notice"});
}

TEST(SeedLoader, LimitsEndTheLoadWithTheirMessages) {
    HostScope scope;
    struct Case {
        std::string text;
        std::string message;
    };
    std::string faces5001 = vertices(3);
    for (int i = 0; i < 5001; ++i) faces5001 += "f 1\n";  // one corner each: the face limit comes first
    std::string corners = vertices(3);
    for (int i = 0; i < 1666; ++i) corners += "f 1 2 3\n";  // 4998 corners
    corners += "f 1/1 2/2 3/3\n";                           // 5001: past the list
    std::string uvs = vertices(3);
    for (int i = 0; i < 130001; ++i) uvs += "vt 0.5 0.5\n";
    const Case cases[] = {
        {vertices(5001), "Vertex Limit is 5000"},
        {faces5001, "Face Max Error Num=1 FlineType=1"},
        {corners, "INPUT VARIDATE ERR V=3 F=4998"},
        {uvs, "UV MAX ERROR"},
        {"v 1 2\n", "INPUT ERR:Vertex NON 3D"},
        {"v 1 2 3\nvt 0.5\n", "UV Format ERROR"},
        {"# no vertex\nf 1 2 3\n", "READ SUCCESSFUL"},
        {"v 1 2 3\r" + std::string(1000, 'x') + "\r", "INPUT ERR:MAC FILE FORMAT ERROR"},
    };
    for (const Case& c : cases) {
        loadSeedText(c.text);
        DocFixture& fx = fixture();
        EXPECT_EQ(fx.doc.loadMessage, c.message);
        EXPECT_EQ(fx.doc.loadStatus, "NORMAL") << c.message;  // set back after the box
        ASSERT_FALSE(fx.ui.progressTexts.empty());
        EXPECT_EQ(fx.ui.progressTexts.back(), c.message);
        EXPECT_NE(std::find(fx.ui.calls.begin(), fx.ui.calls.end(), "progress 800000 " + c.message), fx.ui.calls.end());
        EXPECT_NE(std::find(fx.ui.calls.begin(), fx.ui.calls.end(), "wait 1000"), fx.ui.calls.end());
        EXPECT_FALSE(dropModule().seed.loaded) << c.message;
    }
    EXPECT_TRUE(scope.host.calls.empty());  // no notice, no window after a failure

    // Exactly 5000 vertices load; what a failure read stays in the lists.
    loadSeedText(vertices(5000));
    EXPECT_TRUE(dropModule().seed.loaded);
    EXPECT_EQ(dropModule().seed.vertexCount, 5000);
    loadSeedText(vertices(5001));
    EXPECT_EQ(dropModule().seed.vertexCount, 5000);
    EXPECT_EQ(dropModule().seed.usableVertexCount(), 0);
}

TEST(SeedLoader, MissingFileIsAMessageBoxAndKeepsTheErrorStatus) {
    HostScope scope;
    DocFixture& fx = fixture();
    fx.reset();
    fx.doc.openByPath((tempDir() / "no_such_seed.obj").string(), "no_such_seed", 9);
    EXPECT_EQ(fx.ui.messages, std::vector<std::string>{"[VORTEL] SEED OPEN ERROR"});
    EXPECT_EQ(fx.doc.loadStatus, "ERROR");
    EXPECT_EQ(dropModule().seed.vertexCount, 0);
}

TEST(SeedLoader, CrLineEndsRestartWithEverythingReset) {
    // No LF in 999 bytes: the LF reader fills its buffer and the loader switches.
    const std::string text = "v 0 0 0\rv 1 0 0\rv 0 1 0\rvt 0 0\rf 1/1 2/1 3/1\r" + std::string(1000, '#');
    loadSeedText(text);
    const SeedMesh& s = dropModule().seed;
    EXPECT_TRUE(s.loaded);
    EXPECT_EQ(s.vertexCount, 3);
    EXPECT_EQ(s.faceCount, 1);
    EXPECT_EQ(s.uvCount, 1);
    EXPECT_EQ(fixture().doc.crLineMode, 1);
}

TEST(SeedLoader, TextureNumbersOnlyAfterTheFirstVtLine) {
    loadSeedText(
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/5 2/6 3/7\nvt 0 0\nvt 1 0\nf 1/1 2/2 3/2\nf 3 2 1\nf 1/2/9 2/1/9 3/1/9\n");
    const SeedMesh& s = dropModule().seed;
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.hasUvFlag, 1);
    EXPECT_EQ(s.uvCount, 2);
    // Before the first vt line: none; then the second value of each corner;
    // a face without texture numbers carries none.
    EXPECT_EQ(std::vector<int>(s.cornerUvList.data(), s.cornerUvList.data() + 12),
              (std::vector<int>{0, 0, 0, 1, 2, 2, 0, 0, 0, 2, 1, 1}));
    EXPECT_EQ(std::vector<int>(s.cornerList.data(), s.cornerList.data() + 12),
              (std::vector<int>{1, 2, 3, 1, 2, 3, 3, 2, 1, 1, 2, 3}));
    // Vertices after the faces are fine: corners are only stored.
    loadSeedText("f 1 2 3\nv 0 0 0\nv 1 0 0\nv 0 1 0\n");
    EXPECT_TRUE(dropModule().seed.loaded);
    EXPECT_EQ(dropModule().seed.faceNormal[0].z, 1.0f);
}

TEST(SeedLoader, OnePointSeedStaysFinite) {
    loadSeedText("v 3 3 3\n");
    const SeedMesh& s = dropModule().seed;
    ASSERT_TRUE(s.loaded);
    EXPECT_EQ(s.vertexList[0].x, 0.0f);
    EXPECT_TRUE(std::isfinite(s.vertexList[0].y));
}

TEST(SeedLoader, SeedOpenDialogAndCancel) {
    DocFixture& fx = fixture();
    loadSeedText(kQuadSeed);
    ASSERT_TRUE(dropModule().seed.loaded);
    // Cancel empties the seed.
    fx.reset();
    fx.ui.openAnswers.push_back(std::nullopt);
    fx.doc.commands().run(cmd::SeedOpen);
    EXPECT_EQ(fx.ui.lastOpen.filter, "for Drop OBJ FILE(*.obj)|*.obj||");
    EXPECT_EQ(fx.ui.lastOpen.initialName, "*.obj");
    EXPECT_EQ(fx.ui.lastOpen.defaultExtension, "obj");
    EXPECT_EQ(dropModule().seed.vertexCount, 0);
    EXPECT_FALSE(dropModule().seed.loaded);
    EXPECT_TRUE(fx.ui.progressTexts.empty());
    // OK loads the chosen file and makes it the document path.
    const std::string path = writeFile("dialog_seed.obj", kQuadSeed);
    fx.reset();
    fx.ui.openAnswers.push_back(path);
    EXPECT_TRUE(fx.doc.commands().state(cmd::SeedOpen).enabled);
    fx.doc.commands().run(cmd::SeedOpen);
    EXPECT_TRUE(dropModule().seed.loaded);
    EXPECT_EQ(fx.doc.documentPath, path);
}

TEST(SeedLoader, PresetsComeFromTheHomeFolder) {
    DocFixture& fx = fixture();
    fx.reset();
    fx.ui.home = std::string(VORTEL_SOURCE_DIR) + "/";
    DropModule& m = dropModule();
    EXPECT_EQ(m.presetPath(0), fx.ui.home + "preset/shape.obj");
    EXPECT_EQ(m.presetPath(1), fx.ui.home + "preset/flat.obj");
    EXPECT_EQ(m.presetPath(2), fx.ui.home + "preset/pyl.obj");
    EXPECT_EQ(m.presetPath(3), "");
    for (int i = 0; i < 3; ++i) {
        m.presetSeedLoad(i);
        EXPECT_TRUE(m.seed.loaded) << i;
        EXPECT_EQ(m.presetMode, 0);
        EXPECT_EQ(fx.doc.documentPath, m.presetPath(i));
        EXPECT_GT(m.seed.faceCount, 0);
    }
    EXPECT_TRUE(fx.ui.openAnswers.empty());
    EXPECT_EQ(std::count(fx.ui.calls.begin(), fx.ui.calls.end(), "open-dialog"), 0);
}
