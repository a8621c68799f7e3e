// DROP: the drop routine against the plain loop over every face, on random
// meshes and on the worked cases (RESET, CLOSE, the 1-radian tilt, a back
// face met first, the capacity refusals); the window's rule and the relay.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scatter/DropPanel.h"
#include "scatter/DropRandom.h"
#include "scatter/DropRequest.h"
#include "test_drop_reference.h"
#include "test_scatter_util.h"

using namespace vortel;
using namespace vortel::test;
using vortel::ref::PlainDrop;
using vortel::ref::plainDrop;

namespace {

bool sameBits(const Vec3& a, const Vec3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expectDropEquals(const PlainDrop& want, const std::string& what) {
    const CVELTADoc& doc = fixture().doc;
    const DropModule& m = dropModule();
    ASSERT_EQ(doc.markerPointCount1, static_cast<int>(want.origins.size())) << what;
    ASSERT_EQ(doc.markerPointCount2, static_cast<int>(want.hits.size())) << what;
    EXPECT_EQ(doc.markerPointCount3, 0);
    for (size_t i = 0; i < want.origins.size(); ++i)
        ASSERT_TRUE(sameBits(doc.markerPointList1[static_cast<int>(i)], want.origins[i])) << what;
    for (size_t i = 0; i < want.hits.size(); ++i)
        ASSERT_TRUE(sameBits(doc.markerPointList2[static_cast<int>(i)], want.hits[i])) << what << " hit " << i;
    ASSERT_EQ(doc.dropResultCount, static_cast<int>(want.vertices.size())) << what;
    for (size_t i = 0; i < want.vertices.size(); ++i)
        ASSERT_TRUE(sameBits(m.drop.vertexList()[i], want.vertices[i])) << what;
    ASSERT_EQ(doc.dropFaceCount, static_cast<int>(want.faceFirst.size())) << what;
    for (size_t i = 0; i < want.corners.size(); ++i)
        ASSERT_EQ(m.drop.cornerList[static_cast<int>(i)], want.corners[i]) << what;
    for (size_t f = 0; f < want.faceFirst.size(); ++f) {
        const int fi = static_cast<int>(f);
        ASSERT_EQ(m.drop.faceFirstCorner[fi], want.faceFirst[f]);
        ASSERT_EQ(m.drop.faceCornerCount[fi], want.faceCorners[f]);
        ASSERT_TRUE(sameBits(m.drop.faceNormal[fi], want.faceNormals[f]));
    }
}

// Runs DROP through the module with a fixed generator seed and compares it with the plain loop.
void dropAndCompare(int sizeRandom, int locationRandom, int n, int d, int top, std::uint32_t randomSeed,
                    const std::string& what) {
    DropModule& m = dropModule();
    const PlainDrop want = plainDrop(fixture().doc, m.seed, sizeRandom, locationRandom, n, d, top, randomSeed);
    m.fixedRandomSeed = randomSeed;
    EXPECT_EQ(m.dropRoutine(sizeRandom, locationRandom, n, d, top), DropOutcome::Dropped) << what;
    m.fixedRandomSeed.reset();
    expectDropEquals(want, what);
}

}  // namespace

TEST(DropRandom, IsTheCStandardsExampleGenerator) {
    DropRandom r;
    r.seed(1);
    const int expected[] = {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419, 16212, 4086};
    for (int e : expected) EXPECT_EQ(r.draw(), e);
    r.seed(12345);
    int lo = 32767, hi = 0;
    for (int i = 0; i < 200000; ++i) {
        const int v = r.draw();
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 32767);
    EXPECT_EQ(32767 * 0.000030518509f, 1.0f);
}

TEST(DropRelay, WindowEncodesAndFrameDecodes) {
    EXPECT_EQ(decodeDropRequest(1234, 507), (std::array<int, 5>{1, 2, 34, 50, 7}));
    // DONE with every control at its start: Size and Location checked, n 10, Top, Size slider 50.
    DropPanel panel;
    const DropRequest start = *panel.done(4);
    EXPECT_EQ(start, (DropRequest{1110, 501}));
    EXPECT_EQ(decodeDropRequest(start.wParam, start.lParam), (std::array<int, 5>{1, 1, 10, 50, 1}));
    panel.sizeCheck = 0;
    panel.locationCheck = 0;
    panel.top = 0;
    panel.setNum(40);
    panel.setSizeSlider(99);
    const DropRequest r = *panel.done(4);
    EXPECT_EQ(decodeDropRequest(r.wParam, r.lParam), (std::array<int, 5>{0, 0, 40, 1, 0}));
    EXPECT_EQ(panel.reset(), (DropRequest{0, 0}));
    EXPECT_EQ(panel.close(), (DropRequest{1, 0}));
    EXPECT_EQ(DropPanel::presetIndex(dropwin::PresetF), 0);
    EXPECT_EQ(DropPanel::presetIndex(dropwin::PresetC), 1);
    EXPECT_EQ(DropPanel::presetIndex(dropwin::PresetS), 2);
    EXPECT_EQ(DropPanel::presetIndex(dropwin::Done), -1);
    // The trackbars keep their ranges.
    panel.setNum(3);
    EXPECT_EQ(panel.num(), 10);
    panel.setSizeSlider(100);
    EXPECT_EQ(panel.sizeSlider(), 99);
}

TEST(DropRelay, DoneRefusesMoreThan130000CopyVertices) {
    DropPanel panel;
    panel.setNum(36);
    EXPECT_TRUE(panel.done(100).has_value());  // 129,600
    panel.setNum(37);
    EXPECT_FALSE(panel.done(100).has_value());  // 136,900
    EXPECT_TRUE(panel.done(0).has_value());
    panel.setNum(40);
    EXPECT_FALSE(panel.done(5000).has_value());
}

TEST(Drop, MatchesThePlainLoopOnHeightFieldsThroughVerticesAndSharedEdges) {
    std::mt19937 rng(3);
    loadSeedText(kQuadSeed);
    CVELTADoc& doc = fixture().doc;
    for (int top : {1, 0})
        for (bool triangles : {false, true})
            for (float bump : {0.0f, 0.1f, 0.6f}) {
                // 16 cells over [-1, 1]: with n = 8 and no random offset every
                // line passes through a vertex; with n = 16 through face centres,
                // with n = 4 through shared edges' ends again.
                const ScatterMesh m = heightField(rng, 16, 1.0f, triangles, top ? 1 : 2, bump);
                setDocMesh(doc, m);
                for (int n : {4, 8, 16}) {
                    const std::string what = "top " + std::to_string(top) + " tri " + std::to_string(triangles) +
                                             " bump " + std::to_string(bump) + " n " + std::to_string(n);
                    dropAndCompare(0, 0, n, 50, top, 1, what);
                    dropAndCompare(1, 1, n, 7, top, 99 + n, what + " random");
                }
            }
}

TEST(Drop, MatchesThePlainLoopOnFaceSoups) {
    std::mt19937 rng(17);
    CVELTADoc& doc = fixture().doc;
    loadSeedText(kQuadSeed);
    for (int round = 0; round < 8; ++round) {
        ScatterMesh m = randomSoup(rng, 400, round % 2 ? 0.35f : 3.0f);
        // A line face at the very end of the lists: never read past them.
        const int a = m.addVertex({0, 0, 0}), b = m.addVertex({0.1f, 0.2f, 0.3f});
        m.addFace({a, b}, 'L');
        setDocMesh(doc, m);
        for (int top : {1, 0}) {
            dropAndCompare(0, 0, 40, 50, top, 5, "soup " + std::to_string(round));
            dropAndCompare(1, 1, 37, 1, top, static_cast<std::uint32_t>(round), "soup random " + std::to_string(round));
        }
    }
}

TEST(Drop, BackFaceMetFirstPlacesNothing) {
    CVELTADoc& doc = fixture().doc;
    loadSeedText(kQuadSeed);
    ScatterMesh m;
    // Upper floor facing down (a back face to lines from above), lower floor facing up.
    m.addFace({m.addVertex({-1, 0.5f, -1}), m.addVertex({1, 0.5f, -1}), m.addVertex({1, 0.5f, 1}),
               m.addVertex({-1, 0.5f, 1})});
    m.addFace({m.addVertex({-1, 0, -1}), m.addVertex({-1, 0, 1}), m.addVertex({1, 0, 1}), m.addVertex({1, 0, -1})});
    setDocMesh(doc, m);
    ASSERT_LT(doc.faceNormalArray[0].y, 0.0f);
    EXPECT_EQ(dropModule().dropRoutine(0, 0, 10, 50, 1), DropOutcome::Dropped);
    EXPECT_EQ(doc.markerPointCount1, 100);
    EXPECT_EQ(doc.markerPointCount2, 0);
    EXPECT_EQ(doc.dropResultCount, 0);
    // Turned over, the same lines land on the upper floor.
    std::swap(m.corners[1], m.corners[3]);
    setDocMesh(doc, m);
    dropModule().dropRoutine(0, 0, 10, 50, 1);
    EXPECT_EQ(doc.markerPointCount2, 100);
    EXPECT_EQ(doc.markerPointList2[0].y, 0.5f);
}

TEST(Drop, TenByTenWithoutRandomHitsCellCentresWithEqualSizes) {
    CVELTADoc& doc = fixture().doc;
    loadSeedText(kQuadSeed);
    ScatterMesh m;
    m.addFace({m.addVertex({-1, 0, -1}), m.addVertex({-1, 0, 1}), m.addVertex({1, 0, 1}), m.addVertex({1, 0, -1})});
    setDocMesh(doc, m);
    ASSERT_EQ(dropModule().dropRoutine(0, 0, 10, 50, 1), DropOutcome::Dropped);
    ASSERT_EQ(doc.markerPointCount2, 100);
    EXPECT_FLOAT_EQ(doc.markerPointList1[0].x, -0.9f);
    EXPECT_FLOAT_EQ(doc.markerPointList1[0].z, -0.9f);
    EXPECT_NEAR(doc.markerPointList1[99].x, 0.9f, 1e-6f);
    EXPECT_NEAR(doc.markerPointList1[99].z, 0.9f, 1e-6f);
    EXPECT_EQ(doc.markerPointList1[0].y, 0.0f);  // 1.25 x a maximum of 0
    // Every copy the same size: the same offsets from its hit point.
    const Vec3* v = dropModule().drop.vertexList();
    for (int k = 1; k < 100; ++k)
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(v[4 * k + i].x - doc.markerPointList2[k].x, v[i].x - doc.markerPointList2[0].x, 1e-7f);
            EXPECT_NEAR(v[4 * k + i].z - doc.markerPointList2[k].z, v[i].z - doc.markerPointList2[0].z, 1e-7f);
        }
    EXPECT_EQ(doc.dropFaceCount, 100);
    EXPECT_EQ(dropModule().drop.faceFirstCorner[99], 99 * 4);
    EXPECT_EQ(dropModule().drop.cornerList[99 * 4], 99 * 4 + 1);
}

TEST(Drop, ANormalAlongZTiltsTheCopyByOneRadian) {
    CVELTADoc& doc = fixture().doc;
    loadSeedText("v 0 0 0\nv 0 1 0\nf 1 2 1\n");  // a stick along +y from the origin, after normalising
    ScatterMesh m;
    // A wall facing +z, seen from the front.
    m.addFace({m.addVertex({-1, -1, 0}), m.addVertex({1, -1, 0}), m.addVertex({1, 1, 0}), m.addVertex({-1, 1, 0})});
    setDocMesh(doc, m);
    ASSERT_EQ(doc.faceNormalArray[0].x, 0.0f);
    ASSERT_EQ(doc.faceNormalArray[0].y, 0.0f);
    ASSERT_GT(doc.faceNormalArray[0].z, 0.0f);
    ASSERT_EQ(dropModule().dropRoutine(0, 0, 10, 33, 0), DropOutcome::Dropped);
    ASSERT_EQ(doc.markerPointCount2, 100);
    const Vec3* v = dropModule().drop.vertexList();
    // The stick from (0, -0.35, 0) to (0, 0.35, 0) turned 1 radian about x, shrunk by 99.
    const Vec3 stick{v[1].x - v[0].x, v[1].y - v[0].y, v[1].z - v[0].z};
    EXPECT_NEAR(stick.x, 0.0f, 1e-7f);
    EXPECT_NEAR(stick.y, 0.7f * std::cos(1.0f) / 99.0f, 1e-6f);
    EXPECT_NEAR(stick.z, 0.7f * std::sin(1.0f) / 99.0f, 1e-6f);
}

TEST(Drop, ResetAndCloseThroughTheRequests) {
    CVELTADoc& doc = fixture().doc;
    RecordingHost host;
    DropModule& m = dropModule();
    m.setWindowHost(&host);
    doc.dropDialogOpenFlag = 0;
    m.toggleWindow();
    EXPECT_TRUE(doc.commands().state(cmd::Drop).checked);
    loadSeedText(kQuadSeed);
    ScatterMesh mesh;
    mesh.addFace({mesh.addVertex({-1, 0, -1}), mesh.addVertex({-1, 0, 1}), mesh.addVertex({1, 0, 1}),
                  mesh.addVertex({1, 0, -1})});
    setDocMesh(doc, mesh);
    const DropRequest done = *DropPanel().done(m.seed.usableVertexCount());
    const auto a = decodeDropRequest(done.wParam, done.lParam);
    EXPECT_EQ(m.dropRoutine(a[0], a[1], a[2], a[3], a[4]), DropOutcome::Dropped);
    const int dropped = doc.dropResultCount;
    // Random offsets push some lines of the last row and column past the quad.
    EXPECT_GT(doc.markerPointCount2, 50);
    EXPECT_EQ(dropped, 4 * doc.markerPointCount2);
    EXPECT_TRUE(doc.commands().state(cmd::ExportDrop).enabled);

    // CLOSE keeps the drop mesh and closes the window.
    const auto c = decodeDropRequest(kCloseRequest.wParam, kCloseRequest.lParam);
    EXPECT_EQ(m.dropRoutine(c[0], c[1], c[2], c[3], c[4]), DropOutcome::Closed);
    EXPECT_EQ(doc.dropResultCount, dropped);
    EXPECT_EQ(doc.markerPointCount1, 0);
    EXPECT_EQ(doc.dropDialogOpenFlag, 0);
    EXPECT_FALSE(doc.commands().state(cmd::Drop).checked);
    EXPECT_EQ(host.calls.back(), "destroy");

    // RESET empties it, and Export > Drop is disabled.
    m.dropRoutine(a[0], a[1], a[2], a[3], a[4]);
    const auto r = decodeDropRequest(kResetRequest.wParam, kResetRequest.lParam);
    EXPECT_EQ(m.dropRoutine(r[0], r[1], r[2], r[3], r[4]), DropOutcome::Reset);
    EXPECT_EQ(doc.dropResultCount, 0);
    EXPECT_EQ(doc.dropFaceCount, 0);
    EXPECT_EQ(doc.markerPointCount1 + doc.markerPointCount2 + doc.markerPointCount3, 0);
    EXPECT_FALSE(doc.commands().state(cmd::ExportDrop).enabled);
    m.setWindowHost(nullptr);
    doc.dropDialogOpenFlag = 0;
}

TEST(Drop, CopiesThatWouldPassTheListsAreRefusedBeforeAnythingChanges) {
    DocFixture& fx = fixture();
    CVELTADoc& doc = fx.doc;
    ScatterMesh mesh;
    mesh.addFace({mesh.addVertex({-1, 0, -1}), mesh.addVertex({-1, 0, 1}), mesh.addVertex({1, 0, 1}),
                  mesh.addVertex({1, 0, -1})});
    setDocMesh(doc, mesh);
    loadSeedText(kQuadSeed);
    ASSERT_EQ(dropModule().dropRoutine(0, 0, 10, 50, 1), DropOutcome::Dropped);
    const Vec3 kept = dropModule().drop.vertexList()[5];
    // 100 vertices x 40 x 40 = 160,000 copy vertices (the window would refuse
    // it; the routine refuses it too).
    std::string seed;
    for (int i = 0; i < 100; ++i) seed += "v " + std::to_string(i) + " " + std::to_string(i % 3) + " 0\n";
    seed += "f 1 2 3\n";
    loadSeedText(seed);
    fx.reset();
    EXPECT_EQ(dropModule().dropRoutine(0, 0, 40, 50, 1), DropOutcome::Refused);
    EXPECT_EQ(fx.ui.messages, std::vector<std::string>{"[DROP] DROP MAX ERROR V=160000 C=4800 F=1600"});
    EXPECT_EQ(doc.dropResultCount, 400);
    EXPECT_EQ(doc.markerPointCount1, 100);
    EXPECT_TRUE(sameBits(dropModule().drop.vertexList()[5], kept));
    EXPECT_EQ(fx.ui.progressPositions.back(), 0);
    EXPECT_EQ(fx.ui.calls.back(), "box [DROP] DROP MAX ERROR V=160000 C=4800 F=1600");

    // Corners: 1,666 triangles (4,998 corners) x 105 hits would pass 520,000.
    std::string many = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int i = 0; i < 1666; ++i) many += "f 1 2 3\n";
    loadSeedText(many);
    fx.reset();
    EXPECT_EQ(dropModule().dropRoutine(0, 0, 11, 50, 1), DropOutcome::Refused);  // 121 hits
    EXPECT_EQ(fx.ui.messages.size(), 1u);
    EXPECT_EQ(doc.dropResultCount, 400);
    EXPECT_EQ(dropModule().dropRoutine(0, 0, 10, 50, 1), DropOutcome::Dropped);  // 100 hits: 499,800 corners
    EXPECT_EQ(doc.dropFaceCount, 166600);

    // A seed face naming a vertex the seed does not have.
    loadSeedText("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n");
    fx.reset();
    EXPECT_EQ(dropModule().dropRoutine(0, 0, 10, 50, 1), DropOutcome::Refused);
    EXPECT_EQ(fx.ui.messages, std::vector<std::string>{"[DROP] SEED POINT ERR E=4 [From 1 To 3]"});
    EXPECT_EQ(doc.dropFaceCount, 166600);
}

TEST(Drop, AFailedOrCancelledSeedPlacesNothing) {
    CVELTADoc& doc = fixture().doc;
    ScatterMesh mesh;
    mesh.addFace({mesh.addVertex({-1, 0, -1}), mesh.addVertex({-1, 0, 1}), mesh.addVertex({1, 0, 1}),
                  mesh.addVertex({1, 0, -1})});
    setDocMesh(doc, mesh);
    // Three vertices read, then a malformed line: the partly read seed is not used.
    loadSeedText("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nv 1 1\n");
    ASSERT_EQ(dropModule().seed.vertexCount, 3);
    EXPECT_TRUE(DropPanel().done(dropModule().seed.usableVertexCount()).has_value());
    EXPECT_EQ(dropModule().dropRoutine(0, 0, 10, 50, 1), DropOutcome::Dropped);
    EXPECT_EQ(doc.markerPointCount2, 100);
    EXPECT_EQ(doc.dropResultCount, 0);
    EXPECT_EQ(doc.dropFaceCount, 0);
    EXPECT_FALSE(doc.commands().state(cmd::ExportDrop).enabled);
}

TEST(Drop, OnlyLineFacesGiveNoHitsAndAMeshLoadEmptiesTheDropMesh) {
    DocFixture& fx = fixture();
    CVELTADoc& doc = fx.doc;
    loadSeedText(kQuadSeed);
    ScatterMesh mesh;
    const int a = mesh.addVertex({-1, 0, -1}), b = mesh.addVertex({1, 0, 1}), c = mesh.addVertex({1, 0, -1});
    mesh.addFace({a, b, c}, 'L');
    mesh.addFace({a, b}, 'L');
    setDocMesh(doc, mesh);
    EXPECT_EQ(dropModule().dropRoutine(0, 0, 10, 50, 1), DropOutcome::Dropped);
    EXPECT_EQ(doc.markerPointCount2, 0);

    mesh.kind[0] = 'P';
    setDocMesh(doc, mesh);
    dropModule().dropRoutine(0, 0, 10, 50, 1);
    ASSERT_GT(doc.dropResultCount, 0);
    ASSERT_GT(doc.markerPointCount1, 0);
    fx.openText("after_drop.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_EQ(doc.dropResultCount, 0);
    EXPECT_EQ(doc.dropFaceCount, 0);
    EXPECT_EQ(doc.markerPointCount1 + doc.markerPointCount2 + doc.markerPointCount3, 0);
    EXPECT_FALSE(doc.commands().state(cmd::ExportDrop).enabled);
}

TEST(Drop, AFixedGeneratorSeedRepeatsTheDrop) {
    CVELTADoc& doc = fixture().doc;
    loadSeedText(kQuadSeed);
    std::mt19937 rng(9);
    setDocMesh(doc, heightField(rng, 10, 0.35f, false, 1, 0.05f));
    DropModule& m = dropModule();
    m.fixedRandomSeed = 77;
    m.dropRoutine(1, 1, 20, 10, 1);
    const std::vector<Vec3> first(m.drop.vertexList(), m.drop.vertexList() + doc.dropResultCount);
    ASSERT_FALSE(first.empty());
    m.dropRoutine(1, 1, 20, 10, 1);
    ASSERT_EQ(doc.dropResultCount, static_cast<int>(first.size()));
    for (size_t i = 0; i < first.size(); ++i) EXPECT_TRUE(sameBits(first[i], m.drop.vertexList()[i]));
    m.fixedRandomSeed = 78;
    m.dropRoutine(1, 1, 20, 10, 1);
    EXPECT_FALSE(sameBits(first[0], m.drop.vertexList()[0]));
    m.fixedRandomSeed.reset();
}
