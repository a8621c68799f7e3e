// "VCM GEN" with a tolerance (the console's --tolerance): the grid search
// against the all-pairs loop on jittered meshes, its equality with the exact
// search at EPS = 0, and the command's messages and marker points with it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "special/SymmetryMap.h"
#include "special/ToleranceMap.h"
#include "test_special_reference.h"
#include "test_special_util.h"

using namespace vortel;
using namespace vortel::test;

namespace {

struct Match {
    int resolved = 0;
    std::vector<int> table, count;
};

Match gridMatch(const std::vector<Vec3>& v, double eps) {
    Match m;
    const int n = static_cast<int>(v.size());
    m.table.assign(v.size() + 1, 7);
    m.count.assign(v.size() + 1, 7);
    m.resolved = toleranceMatch(v.data(), n, eps, m.table.data(), m.count.data());
    return m;
}

Match referenceMatch(const std::vector<Vec3>& v, double eps) {
    Match m;
    const int n = static_cast<int>(v.size());
    m.table.assign(v.size() + 1, 7);
    m.count.assign(v.size() + 1, 7);
    m.resolved = ref::toleranceSymmetry(v.data(), n, eps, m.table.data(), m.count.data());
    return m;
}

// A symmetric cloud of SCALE: mirror pairs and centre-line vertices, each
// coordinate then moved by up to JITTER, and some vertices copied exactly
// after the jitter (ties at any distance).
std::vector<Vec3> jitteredCloud(std::mt19937& rng, int n, float scale, double jitter) {
    std::uniform_real_distribution<float> coord(-scale, scale);
    std::uniform_real_distribution<double> move(-jitter, jitter);
    std::vector<Vec3> v;
    while (static_cast<int>(v.size()) < n) {
        const Vec3 p{coord(rng), coord(rng), coord(rng)};
        if (rng() % 5 == 0) {
            v.push_back(Vec3{0.0f, p.y, p.z});
        } else {
            v.push_back(p);
            v.push_back(Vec3{-p.x, p.y, p.z});
        }
    }
    v.resize(static_cast<size_t>(n));
    for (Vec3& p : v) {
        p.x = static_cast<float>(p.x + move(rng));
        p.y = static_cast<float>(p.y + move(rng));
        p.z = static_cast<float>(p.z + move(rng));
    }
    for (int k = 0; k < n / 20; ++k) v[rng() % v.size()] = v[rng() % v.size()];
    std::shuffle(v.begin(), v.end(), rng);
    return v;
}

}  // namespace

TEST(ToleranceSearch, EqualsAllPairsLoopWithJitterBelowAndAboveEps) {
    std::mt19937 rng(23);
    const double epsFractions[] = {1e-4, 1e-2, 0.08, 3.0};  // of the cloud's scale; the last takes in every vertex
    const double jitterFactors[] = {0.0, 0.3, 0.9, 1.5, 6.0};  // of eps
    for (int trial = 0; trial < 600; ++trial) {
        const float scale = trial % 3 == 0 ? 1e-3f : (trial % 3 == 1 ? 1.0f : 5e5f);
        const double eps = epsFractions[trial % 4] * scale;
        const double jitter = jitterFactors[(trial / 4) % 5] * eps;
        const int n = static_cast<int>(rng() % 350);
        const std::vector<Vec3> v = jitteredCloud(rng, n, scale, jitter);
        const Match got = gridMatch(v, eps), want = referenceMatch(v, eps);
        ASSERT_EQ(got.resolved, want.resolved) << "trial " << trial;
        ASSERT_EQ(got.table, want.table) << "trial " << trial;
        ASSERT_EQ(got.count, want.count) << "trial " << trial;
    }
}

TEST(ToleranceSearch, TiesOnALatticeKeepTheHighestAndStayUnresolved) {
    // Integer points: many images at exactly the same distance from a vertex.
    std::mt19937 rng(5);
    for (int trial = 0; trial < 300; ++trial) {
        const int n = static_cast<int>(rng() % 120);
        std::vector<Vec3> v;
        for (int i = 0; i < n; ++i)
            v.push_back(Vec3{static_cast<float>(static_cast<int>(rng() % 7) - 3),
                             static_cast<float>(static_cast<int>(rng() % 5) - 2), static_cast<float>(rng() % 3)});
        for (double eps : {0.0, 0.5, 1.0, 1.5, 2.0}) {
            const Match got = gridMatch(v, eps), want = referenceMatch(v, eps);
            ASSERT_EQ(got.table, want.table) << "trial " << trial << " eps " << eps;
            ASSERT_EQ(got.count, want.count) << "trial " << trial << " eps " << eps;
            ASSERT_EQ(got.resolved, want.resolved);
        }
    }
    // The images of 1 and 2 lie 1 away from vertex 0 on either side; 3's lies 1.5 away, outside eps.
    const std::vector<Vec3> v = {{3, 0, 0}, {-3, 1, 0}, {-3, -1, 0}, {-3, 0, 1.5f}};
    const Match m = gridMatch(v, 1.2);
    EXPECT_EQ(m.table, (std::vector<int>{2, 0, 0, -1, 7}));
    EXPECT_EQ(m.count, (std::vector<int>{2, 1, 1, 0, 7}));
    EXPECT_EQ(m.resolved, 2);
}

TEST(ToleranceSearch, EpsZeroEqualsTheExactSearch) {
    // Zeros of both signs, NaNs, infinities, coincident copies, one-step misses.
    std::mt19937 rng(31);
    for (int trial = 0; trial < 400; ++trial) {
        const int n = static_cast<int>(rng() % 300);
        const std::vector<Vec3> v = plantedPositions(rng, n);
        std::vector<int> table(static_cast<size_t>(n) + 1, 7), count(static_cast<size_t>(n) + 1, 7);
        const int resolved = symmetryMatch(v.data(), n, table.data(), count.data());
        const Match got = gridMatch(v, 0.0);
        ASSERT_EQ(got.resolved, resolved) << "trial " << trial;
        ASSERT_EQ(got.table, table) << "trial " << trial;
        ASSERT_EQ(got.count, count) << "trial " << trial;
    }
}

TEST(ToleranceSearch, NearestWithinEpsAndNothingBeyondIt) {
    const float step = 1e-5f;
    // 0/1 a pair off by one step of jitter; 2/3 a pair off by 4e-4; 4 on the centre line, off by 2e-5.
    const std::vector<Vec3> v = {{1, 2, 3}, {-1 - step, 2, 3}, {0.5f, 1, 1}, {-0.5f, 1.0004f, 1}, {2e-5f, 5, 5}};
    const Match tight = gridMatch(v, 1e-4);
    EXPECT_EQ(tight.table, (std::vector<int>{1, 0, -1, -1, 4, 7}));
    EXPECT_EQ(tight.count, (std::vector<int>{1, 1, 0, 0, 1, 7}));
    EXPECT_EQ(tight.resolved, 3);
    const Match loose = gridMatch(v, 1e-3);
    EXPECT_EQ(loose.table, (std::vector<int>{1, 0, 3, 2, 4, 7}));
    EXPECT_EQ(loose.resolved, 5);
    const Match exact = gridMatch(v, 0.0);
    EXPECT_EQ(exact.table, (std::vector<int>{-1, -1, -1, -1, -1, 7}));
}

TEST(ToleranceVcmGen, JitteredMeshIsFlawlessWithTheToleranceAndKeepsMarkersWithout) {
    PanelFixture p;
    // A symmetric strip whose right side carries rounding noise of 2e-6.
    p.load("jitter.obj",
           "v 1 0 0\nv -1.000002 0 0\nv 0 1 0\nv 1 1 1\nv -1 1.000002 1\nv 0.4 2 0\nv -0.4 2 0.000002\n"
           "f 1 2 3\nf 3 4 5\nf 5 6 7\n");
    p.panel.clickRadio(mtm::RadioMtMirror);
    ASSERT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Done);
    EXPECT_EQ(p.ui.messages.back(), "[VORTEL] NOT SYMMETRY");  // exact: only the centre vertex resolves
    EXPECT_EQ(p.doc.markerPointCount1, 6);

    clearUi(p.ui);
    p.panel.mirrorTolerance = 1e-5;
    ASSERT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Done);
    p.panel.mirrorTolerance.reset();
    EXPECT_EQ(p.ui.messages, (std::vector<std::string>{"[VORTEL] FLAWLESS SYMMETRY [7]"}));
    EXPECT_EQ(p.doc.markerPointCount1, 0);
    EXPECT_EQ(p.panel.vcmValidFlag, 1);
    EXPECT_TRUE(p.panel.isEnabled(mtm::LeftToRight));
    const int* t = p.panel.vcmTable();
    EXPECT_EQ(std::vector<int>(t, t + 7), (std::vector<int>{1, 0, 2, 4, 3, 6, 5}));
}
