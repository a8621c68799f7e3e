// Collision: the worked cases on loaded meshes, and the grid against the plain
// loop over every face on random meshes - vertices exactly on faces and on
// shared corners, copies of faces (ties in distance), faces facing the vertex
// and turned away, steep and degenerate faces, line faces, and meshes whose
// processed range runs through other groups' vertices, so faces move while
// the vertices are processed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "TestUtil.h"
#include "doc/Text.h"
#include "scatter/Collision.h"
#include "scatter/HairModule.h"
#include "test_collision_reference.h"
#include "test_scatter_meshes.h"

using namespace vortel;
using namespace vortel::test;

namespace {

bool sameBits(const std::vector<Vec3>& a, const Vec3* b, size_t n) {
    return a.size() == n && (n == 0 || std::memcmp(a.data(), b, n * sizeof(Vec3)) == 0);
}

// A mesh with a group per face, as Collision reads it.
struct GroupedMesh {
    ScatterMesh mesh;
    std::vector<int> group;

    CollisionMesh view() {
        return CollisionMesh{mesh.view(), mesh.positions.data(), group.data(), mesh.kind.data()};
    }
};

// Runs the grid and the plain loop on copies of the mesh and requires the same
// moved positions and marker lists, bit for bit. Returns the collided count.
int expectSameAsLoop(GroupedMesh gm, const char* what) {
    GroupedMesh ref = gm;
    CollisionMesh fast = gm.view(), slow = ref.view();
    int lo = 0, hi = 0;
    EXPECT_TRUE(collisionRange(fast, lo, hi)) << what;
    std::vector<Vec3> before(kMarkerSlots), after(kMarkerSlots), refBefore, refAfter;
    const int n = collideRange(fast, lo, hi, before.data(), after.data(), kMarkerSlots, nullptr);
    const int refN = referenceCollide(slow, lo, hi, refBefore, refAfter);
    EXPECT_EQ(n, refN) << what;
    EXPECT_TRUE(sameBits(refBefore, before.data(), static_cast<size_t>(n))) << what << ": marker list 2";
    EXPECT_TRUE(sameBits(refAfter, after.data(), static_cast<size_t>(n))) << what << ": marker list 3";
    for (size_t i = 0; i < gm.mesh.positions.size(); ++i) {
        const Vec3 a = gm.mesh.positions[i], b = ref.mesh.positions[i];
        EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0)
            << what << ": vertex " << i + 1 << " (" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", "
            << b.y << ", " << b.z << ")";
    }
    return n;
}

// Group-0 faces over the given vertices (triangles of consecutive ones), so that
// they make the processed range.
void addFirstGroupFaces(GroupedMesh& gm, const std::vector<int>& vertices) {
    for (size_t i = 0; i + 2 < vertices.size(); i += 3) {
        gm.mesh.addFace({vertices[i], vertices[i + 1], vertices[i + 2]});
        gm.group.push_back(0);
    }
    gm.mesh.computeNormals();
}

// A bumpy surface of the second group, with copies of some faces (equal
// distances), and vertices of the first group aimed at it: at random places,
// exactly on its vertices, straight above or below its vertices and edge
// midpoints (lines through shared corners and edges). FIRST: the first group's
// vertices come before the surface's; otherwise after, with one face of the
// first group reaching back to vertex 1, so that the surface moves too.
GroupedMesh surfaceWithProbes(std::mt19937& rng, int cells, bool triangles, int probes, bool first) {
    GroupedMesh gm;
    ScatterMesh surface = heightField(rng, cells, 1.0f, triangles, 1, 0.3f);
    std::vector<Vec3> aims;
    for (int i = 0; i < probes; ++i) {
        const int kind = static_cast<int>(rng() % 4);
        const Vec3 s = surface.positions[rng() % surface.positions.size()];
        const Vec3 t = surface.positions[rng() % surface.positions.size()];
        if (kind == 0)
            aims.push_back(Vec3{uniform(rng, -1.2f, 1.2f), uniform(rng, -1, 1), uniform(rng, -1.2f, 1.2f)});
        else if (kind == 1)
            aims.push_back(s);  // exactly on the surface
        else if (kind == 2)
            aims.push_back(Vec3{s.x, uniform(rng, -1, 1), s.z});
        else
            aims.push_back(Vec3{(s.x + t.x) * 0.5f, uniform(rng, -1, 1), (s.z + t.z) * 0.5f});
    }
    const int offset = first ? static_cast<int>(aims.size()) : 0;
    std::vector<int> probeIds;
    if (first)
        for (const Vec3& a : aims) probeIds.push_back(gm.mesh.addVertex(a));
    for (const Vec3& p : surface.positions) gm.mesh.addVertex(p);
    if (!first)
        for (const Vec3& a : aims) probeIds.push_back(gm.mesh.addVertex(a));
    for (size_t f = 0; f < surface.first.size(); ++f) {
        const int c = surface.first[f];
        std::vector<int> vs;
        for (int k = 0; k < surface.count[f]; ++k) vs.push_back(surface.corners[static_cast<size_t>(c + k)] + offset);
        for (int copy = 0; copy < (rng() % 7 == 0 ? 2 : 1); ++copy) {
            gm.mesh.first.push_back(static_cast<int>(gm.mesh.corners.size()));
            gm.mesh.count.push_back(static_cast<int>(vs.size()));
            gm.mesh.kind.push_back('P');
            gm.mesh.corners.insert(gm.mesh.corners.end(), vs.begin(), vs.end());
            gm.mesh.normals.push_back(Vec3{});
            gm.group.push_back(1);
        }
    }
    if (!first) probeIds.insert(probeIds.begin() + 1, {1, 2});  // reaches back to vertex 1
    addFirstGroupFaces(gm, probeIds);
    return gm;
}

}  // namespace

TEST(CollisionCases, AVertexInsideABoxMovesOntoTheNearerFaceAlongTheVertical) {
    DocFixture& fx = fixture();
    fx.openText("box.obj",
                "v 0 0.5 0\nv 0.2 -0.8 0.1\nv 0.5 3 0.5\n"
                "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                "g cloth\nf 1 2 3\ng box\nf 4 5 9 8\nf 7 11 10 6\nf 4 7 6 5\nf 8 9 10 11\nf 4 8 11 7\nf 5 6 10 9\n");
    CVELTADoc& d = fx.doc;
    ASSERT_EQ(d.groupCount, 2);
    std::vector<Vec3> start(d.displayVertexArray.data(), d.displayVertexArray.data() + d.vertexCount);
    d.markerPointCount1 = 5;
    fx.reset();
    const CollisionResult r = d.module<HairModule>()->collide();
    EXPECT_EQ(r.processed, 3);
    EXPECT_EQ(r.collided, 2);
    EXPECT_EQ(d.markerPointCount1, 0);
    ASSERT_EQ(d.markerPointCount2, 2);
    ASSERT_EQ(d.markerPointCount3, 2);
    const Vec3* now = d.displayVertexArray.data();
    const float top = (1.0f - d.displayCentre.y) * d.displayScale;
    const float bottom = (-1.0f - d.displayCentre.y) * d.displayScale;
    // Vertex 1 is nearer the top, vertex 2 the bottom: each goes straight onto it.
    EXPECT_EQ(now[0].x, start[0].x);
    EXPECT_EQ(now[0].z, start[0].z);
    EXPECT_NEAR(now[0].y, top, 1e-6);
    EXPECT_EQ(now[1].x, start[1].x);
    EXPECT_EQ(now[1].z, start[1].z);
    EXPECT_NEAR(now[1].y, bottom, 1e-6);
    EXPECT_TRUE(sameBits({start[0], start[1]}, d.markerPointList2.data(), 2));
    EXPECT_TRUE(sameBits({now[0], now[1]}, d.markerPointList3.data(), 2));
    // Vertex 3, above the box, sees the top facing it: 10 % out instead.
    Vec3 out = start[2];
    vecScale(out, 1.1f);
    EXPECT_EQ(std::memcmp(&now[2], &out, sizeof out), 0);
    for (int i = 3; i < 11; ++i) EXPECT_EQ(std::memcmp(&now[i], &start[i], sizeof out), 0) << i;
    EXPECT_EQ(fx.ui.calls.front(), "wait-cursor on");
    EXPECT_EQ(fx.ui.calls.back(), "wait-cursor off");
    EXPECT_EQ(fx.ui.progressPositions.front(), 0);
    EXPECT_EQ(fx.ui.progressPositions.back(), 0);
}

TEST(CollisionCases, ProcessedCornersOfOtherFacesAndTheHighestVertex) {
    DocFixture& fx = fixture();
    // The range 1..11 runs through the box's own corners 2..9. The first, vertex
    // 2, meets its bottom face at distance 0, is not behind it and moves 10 %
    // out; that moves the bottom face's first corner, and with it the plane
    // the later corners are tested against.
    const std::string box =
        "v 0 0.5 0\n"
        "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
        "v 0.3 0.2 -0.4\nv -0.5 -0.9 0.5\n"
        "g cloth\nf 1 10 11\ng box\nf 2 3 7 6\nf 5 9 8 4\nf 2 5 4 3\nf 6 7 8 9\nf 2 6 9 5\nf 3 4 8 7\n";
    fx.openText("boxcorners.obj", box);
    CVELTADoc& d = fx.doc;
    std::vector<Vec3> start(d.displayVertexArray.data(), d.displayVertexArray.data() + d.vertexCount);
    const CollisionResult r = d.module<HairModule>()->collide();
    EXPECT_EQ(r.processed, 11);
    Vec3 out = start[1];
    vecScale(out, 1.1f);
    EXPECT_EQ(std::memcmp(&d.displayVertexArray[1], &out, sizeof out), 0);
    // The highest vertex, inside the box, is processed like the others: it goes
    // onto the bottom face's plane, which now runs through the moved vertex 2.
    EXPECT_EQ(d.displayVertexArray[10].x, start[10].x);
    EXPECT_NEAR(d.displayVertexArray[10].y, out.y, 1e-6);
    const int collided = r.collided;

    // The same through the plain loop, from the loaded positions.
    fx.openText("boxcorners.obj", box);
    GroupedMesh gm;
    gm.mesh.positions.assign(d.displayVertexArray.data(), d.displayVertexArray.data() + d.vertexCount);
    for (int f = 0; f < d.faceCount; ++f) {
        gm.mesh.first.push_back(d.faceFirstCorner[f]);
        gm.mesh.count.push_back(d.faceCornerCount[f]);
        gm.mesh.kind.push_back(d.faceKind[f]);
        gm.mesh.normals.push_back(d.faceNormalArray[f]);
        gm.group.push_back(d.faceGroup[f]);
    }
    gm.mesh.corners.assign(d.cornerVertexList.data(), d.cornerVertexList.data() + d.ownedCornerEnd());
    EXPECT_EQ(expectSameAsLoop(gm, "box corners"), collided);
}

TEST(CollisionCases, OneGroupOrAFacelessFirstGroup) {
    DocFixture& fx = fixture();
    const std::string oneGroup = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 2 4\n";
    fx.openText("one.obj", oneGroup);
    CVELTADoc& d = fx.doc;
    std::vector<Vec3> start(d.displayVertexArray.data(), d.displayVertexArray.data() + d.vertexCount);
    d.markerPointCount2 = 1;
    fx.reset();
    const CollisionResult r = d.module<HairModule>()->collide();
    EXPECT_EQ(r.processed, 0);
    EXPECT_EQ(d.markerPointCount2, 1);  // says nothing, changes nothing
    EXPECT_TRUE(fx.ui.calls.empty());
    EXPECT_TRUE(sameBits(start, d.displayVertexArray.data(), start.size()));

    fx.openText("faceless.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\ng a\ng b\nf 1 2 3\n");
    ASSERT_EQ(d.groupCount, 2);
    start.assign(d.displayVertexArray.data(), d.displayVertexArray.data() + d.vertexCount);
    d.markerPointCount1 = d.markerPointCount2 = d.markerPointCount3 = 4;
    EXPECT_EQ(d.module<HairModule>()->collide().processed, 0);
    EXPECT_EQ(d.markerPointCount1 + d.markerPointCount2 + d.markerPointCount3, 0);
    EXPECT_TRUE(sameBits(start, d.displayVertexArray.data(), start.size()));
}

TEST(CollisionGrid, SameAsTheLoopOverSurfacesWithProbes) {
    std::mt19937 rng(1707);
    for (int round = 0; round < 6; ++round) {
        const bool triangles = round % 2 == 1;
        const bool first = round < 4;
        GroupedMesh gm = surfaceWithProbes(rng, 14, triangles, 500, first);
        const std::string what = formatMessage("surface round %d", round);
        EXPECT_GT(expectSameAsLoop(gm, what.c_str()), 10) << what;
    }
}

TEST(CollisionGrid, SameAsTheLoopOnFaceSoups) {
    // Steep, parallel, degenerate and twisted faces, polygons, copies, lines;
    // every face in a random group, so most faces are in the processed range.
    std::mt19937 rng(2026);
    for (int round = 0; round < 8; ++round) {
        GroupedMesh gm;
        gm.mesh = randomSoup(rng, 600, 1.0f);
        for (size_t f = 0; f < gm.mesh.first.size(); ++f) {
            gm.group.push_back(static_cast<int>(rng() % 3));
            if (rng() % 20 == 0) gm.mesh.kind[f] = 'L';
        }
        // Vertices on other faces' corners, straight above and below them.
        const size_t n = gm.mesh.positions.size();
        for (int i = 0; i < 200; ++i) {
            const Vec3 s = gm.mesh.positions[rng() % n];
            gm.mesh.addVertex(i % 2 ? s : Vec3{s.x, uniform(rng, -1, 1), s.z});
        }
        std::vector<int> probes;
        for (size_t v = n + 1; v <= gm.mesh.positions.size(); ++v) probes.push_back(static_cast<int>(v));
        addFirstGroupFaces(gm, probes);
        expectSameAsLoop(gm, formatMessage("soup round %d", round).c_str());
    }
}

TEST(CollisionGrid, SameAsTheLoopWhileThousandsOfFacesMove) {
    // The first group reaches from vertex 1 to the last: every face of the
    // surface moves while the range is processed, and settles in turn.
    std::mt19937 rng(99);
    GroupedMesh gm = surfaceWithProbes(rng, 40, false, 300, false);
    EXPECT_GT(gm.group.size(), 1700u);
    expectSameAsLoop(gm, "moving surface");
}

// A garment over a body: a smooth closed shell (the first group) around a
// bumpy closed body whose bumps poke through it, both latitude-longitude
// grids. Near the equator the body's quads stand almost upright and their
// second halves are bent: steep faces, thin and turned halves, lines through
// shared corners at the poles' fans.
TEST(CollisionGrid, SameAsTheLoopForAShellAroundABumpyBody) {
    const int columns = 48, rows = 47;
    GroupedMesh gm;
    for (int bumpy = 0; bumpy < 2; ++bumpy)
        for (int r = 0; r < rows; ++r) {
            const double lat = M_PI * (r + 1) / (rows + 1) - M_PI / 2;
            for (int c = 0; c < columns; ++c) {
                const double lon = 2 * M_PI * c / columns;
                const double radius =
                    bumpy ? 0.93 + 0.09 * std::sin(5 * lon) * std::cos(7 * lat) + 0.02 * std::sin(23 * lon + 11 * lat)
                          : 1.0;
                gm.mesh.addVertex(Vec3{static_cast<float>(radius * 0.6 * std::cos(lat) * std::cos(lon)),
                                       static_cast<float>(radius * 1.7 * std::sin(lat)),
                                       static_cast<float>(radius * 0.4 * std::cos(lat) * std::sin(lon))});
            }
        }
    for (int bumpy = 0; bumpy < 2; ++bumpy)
        for (int r = 0; r + 1 < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const int base = bumpy * rows * columns;
                const int a = base + r * columns + c + 1, b = base + r * columns + (c + 1) % columns + 1;
                gm.mesh.addFace({a, a + columns, b + columns, b});
                gm.group.push_back(bumpy);
            }
    gm.mesh.computeNormals();
    // Some of the shell is pushed onto the body, the rest moves out.
    EXPECT_GT(expectSameAsLoop(gm, "shell around a body"), 20);
}
