// Morph mirroring: the five commands on a loaded morph, their silent
// refusals, and the per-vertex pass against the plain table loop.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "special/MorphMirror.h"
#include "test_special_reference.h"
#include "test_special_util.h"

using namespace vortel;
using namespace vortel::test;

namespace {
// 1/2 and 5/6 mirror each other, 3 sits on the centre line, 4 has no partner.
const char* kBase = "v 1 0 0\nv -1 0 0\nv 0 1 0\nv 0.5 2 0\nv 1 3 1\nv -1 3 1\nf 1 2 3\nf 4 5 6\n";
const char* kTarget = "v 1.5 0.25 0\nv -1 0.5 0.125\nv 0.25 1.5 -0.5\nv 0.5 2.75 0\nv 1 3 1\nv -1.25 3 1.75\n";

struct MirrorFixture : PanelFixture {
    std::vector<Vec3> backup;
    MirrorFixture() {
        load("mirror_base.obj", kBase);
        doc.openByPath(writeFile("mirror_target.obj", kTarget), "mirror_target", 1);
        backup.assign(doc.morphDeltaBackup.data(), doc.morphDeltaBackup.data() + 6);
        panel.clickRadio(mtm::RadioMtMirror);
        panel.press(mtm::VcmGen);
        clearUi(ui);
    }
    Vec3 d(int vertex) const { return doc.morphDeltaArray[vertex - 1]; }
    Vec3 b(int vertex) const { return backup[vertex - 1]; }
};

void expectVec(Vec3 got, Vec3 want, const char* what) {
    EXPECT_EQ(got.x, want.x) << what;
    EXPECT_EQ(got.y, want.y) << what;
    EXPECT_EQ(got.z, want.z) << what;
}
Vec3 flip(Vec3 v) { return Vec3{-v.x, v.y, v.z}; }
}  // namespace

TEST(MorphMirror, EachCommandRebuildsFromTheBackup) {
    MirrorFixture m;
    ASSERT_EQ(m.doc.morphLoadedFlag, 1);
    ASSERT_EQ(m.panel.vcmValidFlag, 1);

    ASSERT_EQ(m.panel.press(mtm::LeftToRight), CommandResult::Done);
    EXPECT_EQ(m.doc.playbackCommand, cmd::Play);
    expectVec(m.d(1), m.b(1), "left kept");
    expectVec(m.d(2), flip(m.b(1)), "right from left");
    expectVec(m.d(3), flip(m.b(3)), "centre line negates x");
    expectVec(m.d(4), m.b(4), "no partner");
    expectVec(m.d(6), flip(m.b(5)), "right from left");

    ASSERT_EQ(m.panel.press(mtm::RightToLeft), CommandResult::Done);
    expectVec(m.d(1), flip(m.b(2)), "left from right");
    expectVec(m.d(2), m.b(2), "right kept");
    expectVec(m.d(3), flip(m.b(3)), "centre line negates x");
    expectVec(m.d(4), m.b(4), "no partner keeps its offsets");
    expectVec(m.d(5), flip(m.b(6)), "left from right");

    ASSERT_EQ(m.panel.press(mtm::Swap), CommandResult::Done);
    std::vector<Vec3> once(m.doc.morphDeltaArray.data(), m.doc.morphDeltaArray.data() + 6);
    expectVec(m.d(1), flip(m.b(2)), "swap");
    expectVec(m.d(2), flip(m.b(1)), "swap");
    expectVec(m.d(3), flip(m.b(3)), "swap centre");
    expectVec(m.d(4), m.b(4), "swap no partner");
    m.panel.press(mtm::Swap);
    for (int k = 1; k <= 6; ++k) expectVec(m.d(k), once[k - 1], "swap twice is swap once");

    // "L->R" then "RESET L": the loaded morph with its left side (and the centre line) cleared.
    m.panel.press(mtm::LeftToRight);
    m.panel.press(mtm::ResetLeft);
    expectVec(m.d(1), Vec3{}, "left cleared");
    expectVec(m.d(2), m.b(2), "right as loaded");
    expectVec(m.d(3), Vec3{}, "centre cleared");
    expectVec(m.d(6), m.b(6), "right as loaded");
    EXPECT_EQ(m.doc.movedFlag[0], 0);
    EXPECT_EQ(m.doc.movedFlag[1], 1);
    EXPECT_EQ(m.doc.faceMovedFlag[0], 1);  // vertex 2 still moves

    m.panel.press(mtm::ResetRight);
    expectVec(m.d(2), Vec3{}, "right cleared");
    expectVec(m.d(3), Vec3{}, "centre cleared");
    expectVec(m.d(1), m.b(1), "left as loaded");
    EXPECT_EQ(m.doc.movedFlag[2], 0);
    EXPECT_TRUE(m.ui.messages.empty());
}

TEST(MorphMirror, DoesNothingWithoutMorphOrTableOrMatchingCount) {
    MirrorFixture m;
    const std::vector<Vec3> before(m.doc.morphDeltaArray.data(), m.doc.morphDeltaArray.data() + 6);
    m.doc.mtVertexCount = 5;  // a morph of another vertex count
    EXPECT_EQ(m.panel.press(mtm::LeftToRight), CommandResult::Ignored);
    m.doc.mtVertexCount = 6;
    m.panel.vcmValidFlag = 0;
    EXPECT_EQ(m.panel.press(mtm::ResetRight), CommandResult::Ignored);
    for (int k = 1; k <= 6; ++k) expectVec(m.d(k), before[k - 1], "unchanged");
    EXPECT_TRUE(m.ui.messages.empty());
    EXPECT_TRUE(m.ui.calls.empty());

    PanelFixture p;
    p.load("nomorph.obj", kBase);
    p.panel.clickRadio(mtm::RadioMtMirror);
    p.panel.press(mtm::VcmGen);
    clearUi(p.ui);
    EXPECT_EQ(p.panel.press(mtm::Swap), CommandResult::Ignored);
    EXPECT_TRUE(p.ui.calls.empty());
    EXPECT_EQ(p.doc.playbackCommand, cmd::Stop);
}

TEST(MorphMirror, PassEqualsTableLoopOnRandomTables) {
    std::mt19937 rng(5);
    const MirrorMode modes[] = {MirrorMode::LeftToRight, MirrorMode::RightToLeft, MirrorMode::Swap,
                                MirrorMode::ResetRight, MirrorMode::ResetLeft};
    for (int trial = 0; trial < 300; ++trial) {
        const int n = 1 + static_cast<int>(rng() % 60);
        std::vector<Vec3> display(static_cast<size_t>(n)), backup(static_cast<size_t>(n));
        std::vector<int> table(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k) {
            display[k] = Vec3{poolValue(rng), 0, 0};
            backup[k] = Vec3{static_cast<float>(rng() % 9) - 4, static_cast<float>(k), 1};
            // Any partner, on either side, itself, or none: chains show the in-place reading.
            table[k] = static_cast<int>(rng() % static_cast<unsigned>(n + 1)) - 1;
        }
        for (MirrorMode mode : modes) {
            std::vector<Vec3> mine = backup, want = backup;
            mirrorMorph(mode, n, display.data(), table.data(), mine.data(), backup.data());
            ref::mirror(mode, n, display.data(), table.data(), want.data(), backup.data());
            for (int k = 0; k < n; ++k) {
                ASSERT_EQ(mine[k].x, want[k].x) << trial;
                ASSERT_EQ(mine[k].y, want[k].y) << trial;
            }
        }
    }
}

TEST(MorphMirror, PartnerOutsideTheMeshCountsAsNone) {
    const Vec3 display[2] = {{-1, 0, 0}, {1, 0, 0}};
    const Vec3 backup[2] = {{1, 2, 3}, {4, 5, 6}};
    const int table[2] = {7, 130000};  // a table left from a larger mesh
    Vec3 delta[2] = {backup[0], backup[1]};
    mirrorMorph(MirrorMode::Swap, 2, display, table, delta, backup);
    EXPECT_EQ(delta[0].x, 1.0f);
    EXPECT_EQ(delta[1].z, 6.0f);
}
