// Edge maker: the threshold table, the adjacency analysis against the
// all-pairs scan, the command's messages and limits, and the cut.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "special/EdgeMaker.h"
#include "test_special_reference.h"
#include "test_special_util.h"

using namespace vortel;
using namespace vortel::test;

TEST(EdgeThreshold, TableOfTheThirteenSliderPositions) {
    const double want[] = {1.0,      0.82633,   0.657937,  0.499941,  0.357143, 0.233883, 0.133907,
                           0.060253, 0.015161, 0.0,       -0.015232, -0.060393, -0.13411};
    for (int p = 0; p <= 12; ++p) EXPECT_NEAR(edgeThreshold(p), want[p], 6e-7) << "p=" << p;
    EXPECT_EQ(edgeThreshold(0), 1.0f);
    EXPECT_GT(edgeThreshold(9), 0.0f);  // sin(90 x 0.017455555) falls just short of 1
}

namespace {
struct RandomFaces {
    std::vector<int> first, count, corners;
    std::vector<Vec3> normals;
    FaceTableView view() const {
        return FaceTableView{first.data(), count.data(), static_cast<int>(count.size()), corners.data()};
    }
};

// Faces over a small vertex pool, so that many share edges; repeated corners,
// polylines, one-corner and empty faces, numbers outside the mesh, and normals
// that are equal, opposite, tilted or zero (NaN once normalised).
// With `crowded`, thousands of faces over a handful of vertices: the lists
// past a face grow long enough for the ordered walk with its early exit.
RandomFaces randomFaces(std::mt19937& rng, bool crowded = false) {
    RandomFaces r;
    const int pool = crowded ? 3 + static_cast<int>(rng() % 3) : 3 + static_cast<int>(rng() % 25);
    const int faces = crowded ? 3000 + static_cast<int>(rng() % 1000) : static_cast<int>(rng() % 160);
    static const Vec3 dirs[] = {{0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {0, 0, 0}, {0, 0.2f, 1}};
    for (int f = 0; f < faces; ++f) {
        static const int sizes[] = {3, 3, 4, 4, 4, 2, 1, 0, 5, 6};
        const int n = sizes[rng() % 10];
        r.first.push_back(static_cast<int>(r.corners.size()));
        r.count.push_back(n);
        for (int c = 0; c < n; ++c) {
            int v = 1 + static_cast<int>(rng() % static_cast<unsigned>(pool));
            if (c > 0 && rng() % 8 == 0) v = r.corners.back();  // repeated corner
            if (rng() % 97 == 0) v = (rng() & 1) ? 0 : 200000;   // outside 1 .. 130,000
            r.corners.push_back(v);
        }
        Vec3 nrm = dirs[rng() % (sizeof dirs / sizeof dirs[0])];
        vecNormalise(nrm, nrm);
        r.normals.push_back(nrm);
    }
    return r;
}
}  // namespace

TEST(EdgeAnalysisScan, EqualsAllPairsScanOnRandomFaces) {
    std::mt19937 rng(3);
    int trips = 0, hitsSeen = 0;
    std::vector<int> a1(kEdgeLineSlots), a2(kEdgeLineSlots), a3(kEdgeLineSlots);
    std::vector<int> b1(kEdgeLineSlots), b2(kEdgeLineSlots), b3(kEdgeLineSlots);
    for (int trial = 0; trial < 1500; ++trial) {
        const RandomFaces r = randomFaces(rng, trial % 100 == 99);
        const float t = edgeThreshold(static_cast<int>(rng() % 13));
        const int maxHits = (rng() % 4 == 0) ? static_cast<int>(rng() % 20) : kMaxEdgeLines;
        const EdgeScan mine = findEdgeLines(r.view(), r.normals.data(), t, maxHits, a1.data(), a2.data(), a3.data());
        const EdgeScan want = ref::edgeLines(r.view(), r.normals.data(), t, maxHits, b1.data(), b2.data(), b3.data());
        ASSERT_EQ(mine.hits, want.hits) << "trial " << trial;
        ASSERT_EQ(mine.limitReached, want.limitReached) << "trial " << trial;
        for (int h = 0; h < want.hits; ++h) {
            ASSERT_EQ(a1[h], b1[h]) << "trial " << trial << " hit " << h;
            ASSERT_EQ(a2[h], b2[h]) << "trial " << trial << " hit " << h;
            ASSERT_EQ(a3[h], b3[h]) << "trial " << trial << " hit " << h;
        }
        trips += want.limitReached;
        hitsSeen += want.hits;
    }
    EXPECT_GT(trips, 50);  // the limit is exercised, not only the plain path
    EXPECT_GT(hitsSeen, 10000);
}

TEST(EdgeAnalysisScan, OppositeCornersAndRepeatedVerticesCountAsSharedEdge) {
    // A quad and a triangle sharing its opposite corners 1 and 3; a face
    // repeating vertex 5 against a face holding 5 once: two pairs, edge (5, 5).
    const std::vector<int> first = {0, 4, 7, 10};
    const std::vector<int> count = {4, 3, 3, 3};
    const std::vector<int> corners = {1, 2, 3, 4, 3, 9, 1, 5, 5, 6, 5, 7, 8};
    const Vec3 normals[4] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}};
    int u[8], v[8], f[8];
    const EdgeScan s = findEdgeLines(FaceTableView{first.data(), count.data(), 4, corners.data()}, normals, 0.5f,
                                     kMaxEdgeLines, u, v, f);
    ASSERT_EQ(s.hits, 2);
    EXPECT_EQ(u[0], 1);
    EXPECT_EQ(v[0], 3);
    EXPECT_EQ(f[0], 1);
    EXPECT_EQ(u[1], 5);
    EXPECT_EQ(v[1], 5);
    EXPECT_EQ(f[1], 3);
}

namespace {
const char* kCube =
    "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

// A flat grid of w x h quads in the plane z = 0.
std::string flatGrid(int w, int h) {
    std::string s;
    for (int y = 0; y <= h; ++y)
        for (int x = 0; x <= w; ++x) s += "v " + std::to_string(x) + " " + std::to_string(y) + " 0\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = y * (w + 1) + x + 1;
            s += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + w + 2) + " " +
                 std::to_string(a + w + 1) + "\n";
        }
    return s;
}
}  // namespace

TEST(EdgeAnalysis, CubeHasTwelveHitsAndTheCutSplitsEveryFace) {
    PanelFixture p;
    p.load("cube.obj", kCube);
    ASSERT_EQ(p.panel.press(mtm::Analysis), CommandResult::Done);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] HIT LINE NUM = [12]"});
    EXPECT_EQ(p.doc.edgeLineCount, 12);
    EXPECT_EQ(p.panel.normalsDirtyFlag, 0);
    EXPECT_NEAR(vecDot(p.doc.faceNormalArray[0], p.doc.faceNormalArray[0]), 1.0f, 1e-6f);
    // Faces 1 and 3 share edge 1-2; face 3 (0-based 2) is the later one.
    EXPECT_EQ(p.doc.edgeLineFirst[0], 1);
    EXPECT_EQ(p.doc.edgeLineSecond[0], 2);
    EXPECT_EQ(p.doc.edgeLineFace[0], 2);

    const Vec3 corner1 = p.doc.displayVertexArray[0];
    clearUi(p.ui);
    ASSERT_EQ(p.panel.press(mtm::Excute), CommandResult::Done);
    EXPECT_TRUE(p.ui.messages.empty());
    EXPECT_EQ(p.doc.vertexCount, 24);
    EXPECT_EQ(p.doc.edgeLineCount, 0);
    EXPECT_EQ(p.panel.edgeCutDoneFlag, 1);
    EXPECT_EQ(p.panel.normalsDirtyFlag, 1);
    // Face 6 (4 1 5 8) is the later face of four hits: (1,4) and (5,8) take
    // all its corners, so (1,5) and (4,8) find none left.
    const int f6 = p.doc.faceFirstCorner[5];
    const std::vector<int> face6(p.doc.cornerVertexList.data() + f6, p.doc.cornerVertexList.data() + f6 + 4);
    EXPECT_EQ(face6, (std::vector<int>{15, 16, 23, 24}));
    const int f3 = p.doc.faceFirstCorner[2];
    EXPECT_EQ(p.doc.cornerVertexList[f3], 9);
    EXPECT_EQ(p.doc.displayVertexArray[8].x, corner1.x);
    // The new vertices are full copies: a reset from the base keeps them in place.
    p.doc.resetDisplayFromBase();
    EXPECT_EQ(p.doc.displayVertexArray[8].y, corner1.y);
    EXPECT_EQ(p.doc.displayVertexArray[8].z, corner1.z);
    EXPECT_EQ(p.doc.floatingFlag[8], 0);
}

TEST(EdgeAnalysis, SliderPositionsAndMorphRefusal) {
    PanelFixture p;
    p.load("flat.obj", flatGrid(3, 3));
    p.panel.setSliderPosition(9);
    p.panel.press(mtm::Analysis);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] HIT LINE NUM = [0]"});
    clearUi(p.ui);
    p.panel.setSliderPosition(0);  // t = 1: a flat shared edge is a hit unless rounding lifts the dot above 1
    p.panel.press(mtm::Analysis);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] HIT LINE NUM = [12]"});

    p.load("cube.obj", kCube);
    p.panel.setSliderPosition(12);  // right angles are no longer sharp enough
    p.panel.press(mtm::Analysis);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] HIT LINE NUM = [0]"});
    p.panel.setSliderPosition(40);
    EXPECT_EQ(p.panel.sliderPosition(), 12);

    p.doc.openByPath(writeFile("cube_mt.obj", kCube), "cube_mt", 1);
    ASSERT_EQ(p.doc.morphLoadedFlag, 1);
    clearUi(p.ui);
    EXPECT_EQ(p.panel.press(mtm::Analysis), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] MT exist. this operation can not choice"});
}

TEST(EdgeAnalysis, TooManyHitsKeepsThePreviousList) {
    PanelFixture p;
    p.load("cube.obj", kCube);
    p.panel.press(mtm::Analysis);
    ASSERT_EQ(p.doc.edgeLineCount, 12);
    // 130,002 faces alternating over four vertices: every face finds three
    // neighbours at once, far more than 130,000 hits at slider 0.
    MeshData m;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    for (int f = 0; f < 130002; ++f) m.faces.push_back(f % 2 ? std::vector<int>{2, 1, 4} : std::vector<int>{1, 2, 3});
    setMesh(p.doc, m);
    p.doc.edgeLineCount = 12;  // the list of the cube, as a load would not have cleared it here
    clearUi(p.ui);
    p.panel.setSliderPosition(0);
    EXPECT_EQ(p.panel.press(mtm::Analysis), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] NG! MAX REATCHED!"});
    EXPECT_EQ(p.doc.edgeLineCount, 12);
    EXPECT_EQ(p.doc.edgeLineFirst[0], 1);
    EXPECT_EQ(p.doc.edgeLineSecond[0], 2);
    EXPECT_EQ(p.doc.edgeLineFace[0], 2);
    EXPECT_EQ(p.ui.progressPositions.back(), 0);
}

TEST(EdgeCut, LimitsCountEveryNewVertex) {
    PanelFixture p;
    MeshData m;
    m.vertices.resize(129990, Vec3{});
    for (int i = 0; i < 129990; ++i) m.vertices[i] = Vec3{static_cast<float>(i), 0, 0};
    // A face that repeats vertex 1 nine times: one line through it makes ten new vertices.
    m.faces = {{1, 1, 1, 1, 1, 1, 1, 1, 1, 2}, {1, 2, 3}};
    setMesh(p.doc, m);
    p.doc.edgeLineCount = 1;
    p.doc.edgeLineFirst[0] = 1;
    p.doc.edgeLineSecond[0] = 2;
    p.doc.edgeLineFace[0] = 0;
    const std::vector<int> before(p.doc.cornerVertexList.data(), p.doc.cornerVertexList.data() + 13);
    p.doc.vertexCount = 129991;  // 129,991 + 10 > 130,000 although 129,991 + 2 x 1 is not
    EXPECT_EQ(p.panel.press(mtm::Excute), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] NG! MAX REATCHED!"});
    EXPECT_EQ(std::vector<int>(p.doc.cornerVertexList.data(), p.doc.cornerVertexList.data() + 13), before);
    EXPECT_EQ(p.doc.vertexCount, 129991);
    EXPECT_EQ(p.panel.edgeCutDoneFlag, 0);

    p.doc.vertexCount = 129990;  // exactly fits
    clearUi(p.ui);
    EXPECT_EQ(p.panel.press(mtm::Excute), CommandResult::Done);
    EXPECT_EQ(p.doc.vertexCount, 130000);
    EXPECT_EQ(p.doc.cornerVertexList[9], 130000);

    p.doc.edgeLineCount = 65000;  // n + 2h above the limit
    clearUi(p.ui);
    EXPECT_EQ(p.panel.press(mtm::Excute), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] NG! MAX REATCHED!"});
}
