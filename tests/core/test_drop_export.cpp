// Export > "Drop": the file a one-quad seed dropped twice gives, seeds without
// texture coordinates, the mesh's units, the dialog and the failures.
#include <gtest/gtest.h>

#include <cstdio>

#include "test_scatter_util.h"

using namespace vortel;
using namespace vortel::test;

namespace {

// Two floor quads on a diagonal: a 2 x 2 grid of lines hits each once.
void twoQuadMesh() {
    ScatterMesh m;
    m.addFace({m.addVertex({-1, 0, -1}), m.addVertex({-1, 0, 0}), m.addVertex({0, 0, 0}), m.addVertex({0, 0, -1})});
    m.addFace({m.addVertex({0, 0, 0}), m.addVertex({0, 0, 1}), m.addVertex({1, 0, 1}), m.addVertex({1, 0, 0})});
    setDocMesh(fixture().doc, m);
}

std::string vLine(Vec3 v, float scale, Vec3 centre) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "v %f %f %f\n", v.x / scale + centre.x, v.y / scale + centre.y,
                  v.z / scale + centre.z);
    return buf;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        out.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

std::string exportTo(const std::string& name) {
    DocFixture& fx = fixture();
    fx.reset();
    const std::string path = (tempDir() / name).string();
    std::remove(path.c_str());
    fx.ui.saveAnswers.push_back(path);
    fx.doc.commands().run(cmd::ExportDrop);
    return readFile(path);
}

}  // namespace

TEST(DropExport, OneQuadSeedDroppedTwice) {
    CVELTADoc& doc = fixture().doc;
    twoQuadMesh();
    loadSeedText(kQuadSeed);
    doc.fileTitle = "ground";
    ASSERT_EQ(dropModule().dropRoutine(0, 0, 2, 50, 1), DropOutcome::Dropped);
    ASSERT_EQ(doc.dropResultCount, 8);
    ASSERT_TRUE(doc.commands().state(cmd::ExportDrop).enabled);

    const std::string text = exportTo("two_quads_DROP.obj");
    DocFixture& fx = fixture();
    EXPECT_EQ(fx.ui.lastSave.initialName, "ground_DROP.obj");
    EXPECT_EQ(fx.ui.lastSave.defaultExtension, "obj");
    EXPECT_EQ(fx.ui.lastSave.filter, "New MT file (*.obj)|*.obj||");
    EXPECT_TRUE(fx.ui.lastSave.overwritePrompt);
    EXPECT_EQ(doc.savePath, (tempDir() / "two_quads_DROP.obj").string());

    std::string want = "# Convert by TOLK\n";
    for (int i = 0; i < 8; ++i) want += vLine(dropModule().drop.vertexList()[i], 1.0f, Vec3{});
    want += "vt 0.000000 0.000000\nvt 1.000000 0.000000\nvt 1.000000 1.000000\nvt 0.000000 1.000000\n";
    want += "f 1/1 2/2 3/3 4/4\nf 5/1 6/2 7/3 8/4\n";
    EXPECT_EQ(text, want);
    EXPECT_EQ(lines(text).size(), 1u + 8u + 4u + 2u);
}

TEST(DropExport, SeedsWithoutTextureNumbersAndTheMeshsUnits) {
    CVELTADoc& doc = fixture().doc;
    twoQuadMesh();
    loadSeedText("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3\nf 1 3 4\n");
    dropModule().dropRoutine(0, 0, 2, 50, 1);
    // A mesh read at display scale 0.7 / 100 around (5, 6, 7).
    doc.displayScale = 0.7f / 100.0f;
    doc.displayCentre = Vec3{5, 6, 7};
    const std::vector<std::string> got = lines(exportTo("plain_DROP.obj"));
    ASSERT_EQ(got.size(), 1u + 8u + 4u);
    EXPECT_EQ(got[1] + "\n", vLine(dropModule().drop.vertexList()[0], 0.7f / 100.0f, Vec3{5, 6, 7}));
    float x, y, z;
    ASSERT_EQ(std::sscanf(got[1].c_str(), "v %f %f %f", &x, &y, &z), 3);
    EXPECT_NEAR(x, dropModule().drop.vertexList()[0].x * 100.0f / 0.7f + 5.0f, 1e-3f);
    EXPECT_EQ(got[9], "f 1 2 3");
    EXPECT_EQ(got[10], "f 1 3 4");
    EXPECT_EQ(got[11], "f 5 6 7");
    EXPECT_EQ(got[12], "f 5 7 8");
}

TEST(DropExport, FacesWithoutTextureNumbersInATexturedSeedCarryNone) {
    twoQuadMesh();
    // The first face comes before any vt line, the third is written without texture numbers.
    loadSeedText("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1/1 2/1 3/1\nvt 0 0\nvt 1 1\nf 1/2 3/1 4/2\nf 4 3 2\n");
    dropModule().dropRoutine(0, 0, 2, 50, 1);
    const std::vector<std::string> got = lines(exportTo("mixed_DROP.obj"));
    ASSERT_EQ(got.size(), 1u + 8u + 2u + 6u);
    EXPECT_EQ(got[11], "f 1 2 3");
    EXPECT_EQ(got[12], "f 1/2 3/1 4/2");
    EXPECT_EQ(got[13], "f 4 3 2");
    EXPECT_EQ(got[14], "f 5 6 7");
    EXPECT_EQ(got[15], "f 5/2 7/1 8/2");
}

TEST(DropExport, CancelWritesNothingAndAFileThatCannotBeMadeIsAMessage) {
    DocFixture& fx = fixture();
    twoQuadMesh();
    loadSeedText(kQuadSeed);
    dropModule().dropRoutine(0, 0, 2, 50, 1);
    fx.reset();
    fx.doc.savePath = "kept";
    fx.ui.saveAnswers.push_back(std::nullopt);
    EXPECT_EQ(dropModule().exportDrop(), SaveResult::Cancelled);
    EXPECT_EQ(fx.doc.savePath, "kept");

    fx.reset();
    fx.doc.loadMessage = "READ SUCCESSFUL";
    fx.ui.saveAnswers.push_back((tempDir() / "no_such_folder" / "x.obj").string());
    EXPECT_EQ(dropModule().exportDrop(), SaveResult::OpenFailed);
    EXPECT_EQ(fx.ui.messages, std::vector<std::string>{"[DROP] READ SUCCESSFUL"});

    // After RESET the command is disabled.
    dropModule().dropRoutine(0, 0, 0, 0, 0);
    EXPECT_FALSE(fx.doc.commands().state(cmd::ExportDrop).enabled);
}
