// The face grid against the plain loop: every face whose inside test passes
// where a line meets its plane at a finite point must be among the line's
// candidates, the candidates ascending and each once. Random height fields
// and face soups, lines aimed at vertices and shared edges, faces parallel or
// nearly parallel to the line, degenerate and non-finite faces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "scatter/FaceGrid.h"
#include "test_scatter_meshes.h"

using namespace vortel;
using namespace vortel::test;

namespace {

bool finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The plain loop's question for one face.
bool passesAtFinitePoint(const ScatterMesh& m, int f, Vec3 p, Vec3 d) {
    if (!faceHasSurface(m.view(), f)) return false;
    const int c = m.first[static_cast<size_t>(f)];
    auto at = [&](int i) { return m.positions[static_cast<size_t>(m.corners[static_cast<size_t>(c + i)] - 1)]; };
    const Vec3 n = m.normals[static_cast<size_t>(f)];
    Vec3 h;
    if (!rayPlane(p, d, at(0), n, h) || !finite(h)) return false;
    if (m.count[static_cast<size_t>(f)] == 3) return pointInTriangle(at(0), at(1), at(2), h, n) == 1;
    return pointInQuad(at(0), at(1), at(2), at(3), h, n) == 1;
}

LineOriginBox boxOf(const std::vector<Vec3>& origins) {
    LineOriginBox b{origins[0], origins[0]};
    for (const Vec3& o : origins) {
        b.min = Vec3{std::min(b.min.x, o.x), std::min(b.min.y, o.y), std::min(b.min.z, o.z)};
        b.max = Vec3{std::max(b.max.x, o.x), std::max(b.max.y, o.y), std::max(b.max.z, o.z)};
    }
    return b;
}

// Checks every origin against the plain loop; returns the candidates visited in all.
long long checkLines(const ScatterMesh& m, const FaceGrid& grid, LineAxis axis, const std::vector<Vec3>& origins) {
    const Vec3 d = axis == LineAxis::Y ? Vec3{0, 1, 0} : Vec3{0, 0, 1};
    const int faces = static_cast<int>(m.first.size());
    long long visited = 0;
    std::vector<int> got;
    for (const Vec3& p : origins) {
        got.clear();
        grid.forEachCandidate(p, [&](int f) { got.push_back(f); });
        visited += static_cast<long long>(got.size());
        for (size_t i = 1; i < got.size(); ++i) EXPECT_LT(got[i - 1], got[i]) << "order";
        for (int f = 0; f < faces; ++f) {
            if (!passesAtFinitePoint(m, f, p, d)) continue;
            EXPECT_TRUE(std::binary_search(got.begin(), got.end(), f))
                << "face " << f << " missed for line (" << p.x << ", " << p.y << ", " << p.z << ")";
        }
    }
    return visited;
}

// Origins aimed where rounding decides: at every vertex, at the midpoints of
// every face's edges and centroids, and at random points, all within the
// mesh's own box across the line, at heights (or depths) h0..h1.
std::vector<Vec3> aimedOrigins(std::mt19937& rng, const ScatterMesh& m, LineAxis axis, float h0, float h1,
                               int randomCount) {
    std::vector<Vec3> out;
    auto put = [&](float a, float b) {
        const float k = uniform(rng, h0, h1);
        out.push_back(axis == LineAxis::Y ? Vec3{a, k, b} : Vec3{a, b, k});
    };
    auto across = [&](Vec3 v) { return v.x; };
    auto down = [&](Vec3 v) { return axis == LineAxis::Y ? v.z : v.y; };
    for (const Vec3& v : m.positions)
        if (finite(v)) put(across(v), down(v));
    for (size_t f = 0; f < m.first.size(); ++f) {
        const int c = m.first[f], n = m.count[f];
        for (int i = 0; i < n; ++i) {
            const Vec3 a = m.positions[static_cast<size_t>(m.corners[static_cast<size_t>(c + i)] - 1)];
            const Vec3 b = m.positions[static_cast<size_t>(m.corners[static_cast<size_t>(c + (i + 1) % n)] - 1)];
            if (finite(a) && finite(b)) put((across(a) + across(b)) * 0.5f, (down(a) + down(b)) * 0.5f);
        }
    }
    float a0 = 1e30f, a1 = -1e30f, b0 = 1e30f, b1 = -1e30f;
    for (const Vec3& v : m.positions)
        if (finite(v)) {
            a0 = std::min(a0, across(v));
            a1 = std::max(a1, across(v));
            b0 = std::min(b0, down(v));
            b1 = std::max(b1, down(v));
        }
    for (int i = 0; i < randomCount; ++i) put(uniform(rng, a0, a1), uniform(rng, b0, b1));
    return out;
}

}  // namespace

TEST(FaceGrid, HeightFieldsMatchThePlainLoopAtVerticesEdgesAndRandomPoints) {
    std::mt19937 rng(11);
    for (LineAxis axis : {LineAxis::Y, LineAxis::Z})
        for (bool triangles : {false, true})
            for (float bump : {0.0f, 0.02f, 0.5f}) {
                const ScatterMesh m = heightField(rng, 12, 0.35f, triangles, axis == LineAxis::Y ? 1 : 2, bump);
                const std::vector<Vec3> origins = aimedOrigins(rng, m, axis, 0.4f, 0.45f, 300);
                FaceGrid grid;
                grid.build(m.view(), axis, boxOf(origins), static_cast<int>(m.first.size()));
                const long long visited = checkLines(m, grid, axis, origins);
                // A grid that put every face everywhere would pass the check above too.
                EXPECT_TRUE(grid.everywhereFaces().empty());
                EXPECT_LT(visited, static_cast<long long>(origins.size()) * 12);
            }
}

TEST(FaceGrid, FaceSoupsWithAwkwardFacesMatchThePlainLoop) {
    std::mt19937 rng(23);
    for (int round = 0; round < 6; ++round)
        for (LineAxis axis : {LineAxis::Y, LineAxis::Z}) {
            const float s = round % 3 == 0 ? 0.35f : (round % 3 == 1 ? 1e-3f : 2e3f);
            const ScatterMesh m = randomSoup(rng, 300, s);
            // Origins both above the soup and inside it (hits on either side count).
            const std::vector<Vec3> origins = aimedOrigins(rng, m, axis, -1.2f * s, 1.25f * s, 400);
            FaceGrid grid;
            grid.build(m.view(), axis, boxOf(origins), 64 + round * 100);
            checkLines(m, grid, axis, origins);
        }
}

TEST(FaceGrid, ParallelFacesAreNeverVisitedNonFiniteAndHugeOnesEverywhere) {
    ScatterMesh m;
    // 0: a vertical wall (normal without a y part): no line along Y meets it.
    m.addFace({m.addVertex({0, 0, 0}), m.addVertex({1, 0, 0}), m.addVertex({1, 1, 0})});
    // 1: a floor quad whose fourth corner is not a number: its second half passes anywhere.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    m.addFace({m.addVertex({0, 0, 0}), m.addVertex({0, 0, 1}), m.addVertex({1, 0, 1}), m.addVertex({nan, 0, 0})});
    // 2: a floor triangle far from the lines.
    m.addFace({m.addVertex({5, 0, 5}), m.addVertex({5, 0, 6}), m.addVertex({6, 0, 6})});
    // 3: a floor triangle whose normal is not finite.
    m.addFace({m.addVertex({0, 1, 0}), m.addVertex({0, 1, 1}), m.addVertex({1, 1, 1})});
    // 4: a slanted triangle so large that the test's products pass float's range.
    m.addFace(
        {m.addVertex({-3e19f, 1e19f, -3e19f}), m.addVertex({-3e19f, -1e19f, 3e19f}), m.addVertex({3e19f, 0, 3e19f})});
    m.computeNormals();
    m.normals[3].y = std::numeric_limits<float>::infinity();
    m.normals[4] = Vec3{0.1f, 1, 0.2f};
    FaceGrid grid;
    const std::vector<Vec3> origins = {{0.2f, 2, 0.7f}, {0.9f, 2, 0.1f}, {6, 2, 6}, {3, 2, 3}};
    grid.build(m.view(), LineAxis::Y, boxOf(origins), 16);
    EXPECT_EQ(grid.everywhereFaces(), (std::vector<int>{1, 4}));
    EXPECT_EQ(grid.sortedFaces(), (std::vector<int>{1, 2, 4}));
    checkLines(m, grid, LineAxis::Y, origins);
    // Outside the box every sorted face is a candidate.
    std::vector<int> got;
    grid.forEachCandidate(Vec3{100, 2, 100}, [&](int f) { got.push_back(f); });
    EXPECT_EQ(got, (std::vector<int>{1, 2, 4}));
}

TEST(FaceGrid, FacesWithoutASurfaceAreSkippedWithoutReadingPastTheLists) {
    ScatterMesh m;
    const int a = m.addVertex({0, 0, 0}), b = m.addVertex({1, 0, 0}), c = m.addVertex({0, 0, 1});
    m.addFace({a, b, c});
    m.addFace({a, b}, 'L');  // two corners: nothing to test
    m.addFace({a, b, c});
    m.corners.back() = 99;    // a corner naming no vertex
    m.addFace({a, b, c, a});  // four corners, but the list ends before its fourth
    m.computeNormals();
    m.corners.pop_back();
    const FaceGridMesh view = m.view();
    EXPECT_TRUE(faceHasSurface(view, 0));
    EXPECT_FALSE(faceHasSurface(view, 1));
    EXPECT_FALSE(faceHasSurface(view, 2));
    EXPECT_FALSE(faceHasSurface(view, 3));
    FaceGrid grid;
    grid.build(view, LineAxis::Y, LineOriginBox{{0, 1, 0}, {1, 1, 1}}, 4);
    EXPECT_EQ(grid.sortedFaces(), std::vector<int>{0});
}

TEST(FaceGrid, IncludeChoosesTheFaces) {
    std::mt19937 rng(5);
    const ScatterMesh m = heightField(rng, 6, 1.0f, false, 1, 0.1f);
    const std::vector<Vec3> origins = aimedOrigins(rng, m, LineAxis::Y, 2.0f, 2.0f, 50);
    FaceGrid grid;
    grid.build(m.view(), LineAxis::Y, boxOf(origins), 36, [](int f) { return f % 2 == 1; });
    for (int f : grid.sortedFaces()) EXPECT_EQ(f % 2, 1);
    EXPECT_EQ(grid.sortedFaces().size(), m.first.size() / 2);
    for (const Vec3& p : origins) grid.forEachCandidate(p, [&](int f) { EXPECT_EQ(f % 2, 1); });
}

// Where rounding decides: lines a few float steps beyond an enlarged
// triangle's extreme corner, with a cell border exactly at that corner, so a
// reach without its rounding margin would leave the face out of the next cell.
TEST(FaceGrid, LinesAFewStepsPastACornerFindTheFaceAcrossACellBorder) {
    std::mt19937 rng(7);
    int passedBeyond = 0;
    for (int round = 0; round < 400; ++round) {
        ScatterMesh m;
        const float s = round % 2 ? 1.0f : 0.01f;
        auto rv = [&] { return Vec3{uniform(rng, -s, s), uniform(rng, -0.2f * s, 0.2f * s), uniform(rng, -s, s)}; };
        const Vec3 a = rv(), b = rv(), c = rv();
        m.addFace({m.addVertex(a), m.addVertex(b), m.addVertex(c)});
        m.computeNormals();
        // The enlarged corners as the inside test makes them.
        const EnlargedTriangle t = enlargeTriangle(a, b, c);
        const Vec3 big[3] = {t.a, t.b, t.c};
        const Vec3 right = *std::max_element(big, big + 3, [](Vec3 p, Vec3 q) { return p.x < q.x; });
        // Two cells split exactly at the corner's x: a box whose sides lie a
        // power of two away on either side, both exactly representable.
        if (right.x == 0.0f) continue;
        const float w = std::ldexp(1.0f, std::ilogb(right.x) - 1);
        const float lo = right.x - w, hi = right.x + w;
        if (right.x - lo != w || hi - right.x != w) continue;
        const LineOriginBox box{{lo, 1.0f * s, right.z - w / 2}, {hi, 1.0f * s, right.z + w / 2}};
        FaceGrid grid;
        grid.build(m.view(), LineAxis::Y, box, 2);
        ASSERT_EQ(grid.cellsAcross(), 2);
        std::vector<Vec3> origins;
        float x = right.x;
        for (int i = 0; i < 6; ++i) {
            x = std::nextafter(x, 1e30f);
            float z = right.z;
            for (int j = 0; j < 4; ++j) z = std::nextafter(z, -1e30f);
            for (int j = 0; j < 9; ++j, z = std::nextafter(z, 1e30f)) origins.push_back(Vec3{x, 1.0f * s, z});
        }
        for (const Vec3& p : origins) passedBeyond += passesAtFinitePoint(m, 0, p, Vec3{0, 1, 0}) ? 1 : 0;
        checkLines(m, grid, LineAxis::Y, origins);
    }
    // The case is real: the test does pass beyond the corner now and then.
    EXPECT_GT(passedBeyond, 0);
}

TEST(FaceGrid, BuiltForGivenOriginsAnswersThemAndEveryOtherPointWithAllFaces) {
    std::mt19937 rng(31);
    for (LineAxis axis : {LineAxis::Y, LineAxis::Z}) {
        const ScatterMesh m = randomSoup(rng, 300, 0.35f);
        std::vector<Vec3> origins = aimedOrigins(rng, m, axis, 0.5f, 0.5f, 200);
        origins.resize(400);
        FaceGrid grid;
        grid.buildForOrigins(m.view(), axis, origins.data(), static_cast<int>(origins.size()), 300);
        checkLines(m, grid, axis, origins);
        // Fewer entries than cells x faces: the empty cells got none.
        EXPECT_LT(grid.cellEntries(), origins.size() * 40);
        // A point of an empty cell (or outside) still gets every face it could need.
        const std::vector<Vec3> others = aimedOrigins(rng, m, axis, 0.5f, 0.5f, 300);
        checkLines(m, grid, axis, others);
    }
}

namespace {

// Casts every face onto the origins: every origin whose line passes the
// face's test must be visited, each once, and one called sure must pass.
// Returns the visits in all; counts the sure ones into sures.
long long checkFacesOntoOrigins(const ScatterMesh& m, const FaceGrid& grid, LineAxis axis,
                                const std::vector<Vec3>& origins, long long* sureCount = nullptr) {
    long long sures = 0;
    const Vec3 d = axis == LineAxis::Y ? Vec3{0, 1, 0} : Vec3{0, 0, 1};
    long long visits = 0;
    std::vector<int> seen(origins.size()), sure(origins.size());
    for (int f = 0; f < static_cast<int>(m.first.size()); ++f) {
        std::fill(seen.begin(), seen.end(), 0);
        std::fill(sure.begin(), sure.end(), 0);
        grid.forEachOrigin(m.view(), f, [&](int slot, bool passes) {
            ++seen[static_cast<size_t>(grid.originAt(slot))];
            sure[static_cast<size_t>(grid.originAt(slot))] = passes;
        });
        for (size_t i = 0; i < origins.size(); ++i) {
            visits += seen[i];
            EXPECT_LE(seen[i], 1) << "face " << f << " visited origin " << i << " twice";
            const bool passes = passesAtFinitePoint(m, f, origins[i], d);
            if (passes) {
                EXPECT_EQ(seen[i], 1) << "face " << f << " missed origin (" << origins[i].x << ", " << origins[i].y
                                      << ", " << origins[i].z << ")";
            }
            // "Sure" must mean the test passes at the hit point the line gets.
            if (sure[i] && !passes) {
                Vec3 h;
                const int c = m.first[static_cast<size_t>(f)];
                const bool met = rayPlane(origins[i], d,
                                          m.positions[static_cast<size_t>(m.corners[static_cast<size_t>(c)] - 1)],
                                          m.normals[static_cast<size_t>(f)], h);
                EXPECT_TRUE(met && !finite(h)) << "face " << f << " sure at origin " << i << " but fails";
            }
            sures += sure[i];
        }
    }
    if (sureCount) *sureCount = sures;
    return visits;
}

}  // namespace

TEST(FaceGrid, FacesCastOntoGivenOriginsReachEveryLineTheirTestPasses) {
    std::mt19937 rng(41);
    for (LineAxis axis : {LineAxis::Y, LineAxis::Z}) {
        for (float bump : {0.02f, 0.5f}) {
            const ScatterMesh m = heightField(rng, 12, 0.35f, false, axis == LineAxis::Y ? 1 : 2, bump);
            const std::vector<Vec3> origins = aimedOrigins(rng, m, axis, 0.4f, 0.45f, 300);
            FaceGrid grid;
            grid.buildOriginCells(axis, origins.data(), static_cast<int>(origins.size()),
                                  static_cast<int>(origins.size()));
            long long sures = 0;
            const long long visits = checkFacesOntoOrigins(m, grid, axis, origins, &sures);
            // Not every face onto every origin; most lines inside a face known to pass.
            EXPECT_LT(visits, static_cast<long long>(origins.size()) * 12);
            EXPECT_GT(sures, static_cast<long long>(origins.size()) / 4);
        }
        for (float s : {0.35f, 1e-3f, 2e3f}) {
            const ScatterMesh m = randomSoup(rng, 200, s);
            const std::vector<Vec3> origins = aimedOrigins(rng, m, axis, -1.2f * s, 1.25f * s, 400);
            FaceGrid grid;
            grid.buildOriginCells(axis, origins.data(), static_cast<int>(origins.size()), 300);
            checkFacesOntoOrigins(m, grid, axis, origins);
        }
        // Small faces far from the origin, among origins spread thousands to
        // millions of face sizes wide: the check of each origin rounds on
        // coordinates far larger than the face.
        for (float s : {0.35f, 1e-3f}) {
            ScatterMesh m = randomSoup(rng, 120, s);
            for (Vec3& v : m.positions) {
                v.x += 3e3f;
                (axis == LineAxis::Y ? v.z : v.y) -= 2e3f;
            }
            std::vector<Vec3> origins = aimedOrigins(rng, m, axis, -1.2f * s, 1.25f * s, 200);
            origins.push_back(axis == LineAxis::Y ? Vec3{0.0f, 0.0f, 1e3f} : Vec3{0.0f, 1e3f, 0.0f});
            origins.push_back(axis == LineAxis::Y ? Vec3{6e3f, 0.0f, -4e3f} : Vec3{6e3f, -4e3f, 0.0f});
            FaceGrid grid;
            grid.buildOriginCells(axis, origins.data(), static_cast<int>(origins.size()), 300);
            checkFacesOntoOrigins(m, grid, axis, origins);
        }
    }
}

// Steep faces, as round a body's waist: seen along the line each is a
// sliver, and the origins spread tens of times wider than the band. Over the
// whole box the rounding bound of such a face grows past the lines' own
// distance; the lines it reaches must still include every one that passes,
// and most lines inside one must be known to pass.
TEST(FaceGrid, SteepSlenderFacesUnderAWideBoxReachEveryPassingLine) {
    std::mt19937 rng(7);
    for (LineAxis axis : {LineAxis::Y, LineAxis::Z}) {
        for (float tilt : {0.2f, 0.02f, 0.002f}) {
            ScatterMesh m;
            constexpr int kColumns = 48, kRows = 6;
            auto put = [&](float x, float up, float z) {
                return m.addVertex(axis == LineAxis::Y ? Vec3{x, up, z} : Vec3{x, z, up});
            };
            for (int r = 0; r <= kRows; ++r) {
                const float lat = tilt * (static_cast<float>(r) / kRows - 0.5f);
                for (int c = 0; c < kColumns; ++c) {
                    const float lon = 6.2831853f * (c + uniform(rng, -0.1f, 0.1f)) / kColumns;
                    const float radius = 1.0f + uniform(rng, -0.01f, 0.01f);
                    put(0.6f * radius * std::cos(lat) * std::cos(lon), 1.7f * std::sin(lat),
                        0.4f * radius * std::cos(lat) * std::sin(lon));
                }
            }
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c) {
                    const int a = r * kColumns + c + 1, b = r * kColumns + (c + 1) % kColumns + 1;
                    if (c % 4 == 0) {
                        m.addFace({a, a + kColumns, b + kColumns});
                        m.addFace({a, b + kColumns, b});
                    } else {
                        m.addFace({a, a + kColumns, b + kColumns, b});
                    }
                }
            m.computeNormals();
            std::vector<Vec3> origins = aimedOrigins(rng, m, axis, -2.0f, 2.0f, 600);
            for (float far : {-30.0f, 30.0f})
                origins.push_back(axis == LineAxis::Y ? Vec3{far, far, -far} : Vec3{far, -far, far});
            FaceGrid grid;
            grid.buildOriginCells(axis, origins.data(), static_cast<int>(origins.size()),
                                  static_cast<int>(origins.size()));
            long long sures = 0;
            checkFacesOntoOrigins(m, grid, axis, origins, &sures);
            // Every vertex and edge midpoint lies inside the enlarged halves
            // of the faces round it, and most are known to pass there.
            EXPECT_GT(sures, 3 * static_cast<long long>(m.first.size())) << "tilt " << tilt;
        }
    }
}

// A quad whose second half, seen along the normal of its first, is a line:
// its test passes along the whole diagonal x = z, so the bounding rectangle
// of its reach is the whole grid, while the rows it reaches hold a thin band.
TEST(FaceGrid, AFaceWhoseReachIsABandIsCastOntoTheBandOnly) {
    ScatterMesh m;
    m.addFace({m.addVertex({0, 0, 0}), m.addVertex({1, 0, 0}), m.addVertex({1, 0, 1}), m.addVertex({0.5f, 5, 0.5f})});
    m.computeNormals();
    std::vector<Vec3> origins;
    for (int i = 0; i <= 60; ++i)
        for (int j = 0; j <= 60; ++j) origins.push_back(Vec3{-2 + i / 12.0f, 1, -2 + j / 12.0f});
    FaceGrid grid;
    grid.buildOriginCells(LineAxis::Y, origins.data(), static_cast<int>(origins.size()),
                          static_cast<int>(origins.size()));
    const long long visits = checkFacesOntoOrigins(m, grid, LineAxis::Y, origins);
    int passing = 0;
    for (const Vec3& p : origins) passing += passesAtFinitePoint(m, 0, p, Vec3{0, 1, 0}) ? 1 : 0;
    // The diagonal's own points pass far from the quad itself.
    EXPECT_GT(passing, 30);
    EXPECT_LT(visits, static_cast<long long>(origins.size()) / 8);
}
