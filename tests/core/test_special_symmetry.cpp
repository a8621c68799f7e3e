// "VCM GEN": the hashed symmetry search against the all-pairs loop, and the
// command's refusals, marker points, progress and messages.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "special/SymmetryMap.h"
#include "test_special_reference.h"
#include "test_special_util.h"

using namespace vortel;
using namespace vortel::test;

TEST(SymmetrySearch, EqualsAllPairsLoopOnPlantedRandomMeshes) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 400; ++trial) {
        const int n = static_cast<int>(rng() % 300);
        const std::vector<Vec3> v = plantedPositions(rng, n);
        std::vector<int> table(static_cast<size_t>(n) + 1, 7), count(static_cast<size_t>(n) + 1, 7);
        std::vector<int> refTable(static_cast<size_t>(n) + 1, 7), refCount(static_cast<size_t>(n) + 1, 7);
        const int resolved = symmetryMatch(v.data(), n, table.data(), count.data());
        const int refResolved = ref::symmetry(v.data(), n, refTable.data(), refCount.data());
        ASSERT_EQ(resolved, refResolved) << "trial " << trial;
        ASSERT_EQ(table, refTable) << "trial " << trial;
        ASSERT_EQ(count, refCount) << "trial " << trial;
    }
}

TEST(SymmetrySearch, ZeroSignsNanAndRepeatedMatches) {
    const float nan = std::nanf("");
    // 0: centre line (+0); 1: centre line (-0) at the same place: each matches both.
    // 2 and 3 mirror each other; 4 is a coincident copy of 3; 5 has a NaN; 6 is one step off 2's mirror.
    const std::vector<Vec3> v = {{0.0f, 1, 1}, {-0.0f, 1, 1}, {1, 2, 3}, {-1, 2, 3}, {-1, 2, 3}, {nan, 0, 0},
                                 {std::nextafter(-1.0f, 0.0f), 2, 3}};
    int table[7], count[7];
    const int resolved = symmetryMatch(v.data(), 7, table, count);
    EXPECT_EQ(table[0], 1);
    EXPECT_EQ(count[0], 2);
    EXPECT_EQ(table[1], 1);
    EXPECT_EQ(table[2], 4);  // the higher of the two coincident copies
    EXPECT_EQ(count[2], 2);
    EXPECT_EQ(table[3], 2);
    EXPECT_EQ(count[3], 1);
    EXPECT_EQ(table[4], 2);
    EXPECT_EQ(table[5], -1);
    EXPECT_EQ(count[5], 0);
    EXPECT_EQ(table[6], -1);
    EXPECT_EQ(resolved, 2);
}

namespace {
// A symmetric one-group mesh: pairs (x, y, z) / (-x, y, z) and one centre-line vertex.
std::string symmetricObj(int pairs) {
    std::string s;
    for (int i = 0; i < pairs; ++i) {
        const std::string y = std::to_string(i), z = std::to_string(i % 7);
        s += "v 1.5 " + y + " " + z + "\nv -1.5 " + y + " " + z + "\n";
    }
    s += "v 0 0 9\n";
    for (int i = 0; i + 1 < pairs; ++i) {
        const int a = 2 * i + 1;
        s += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + 3) + " " +
             std::to_string(a + 2) + "\n";
    }
    s += "f 1 2 " + std::to_string(2 * pairs + 1) + "\n";
    return s;
}
}  // namespace

TEST(VcmGen, FlawlessSymmetryTableMarkersAndButtons) {
    PanelFixture p;
    p.load("sym.obj", symmetricObj(600));
    p.panel.clickRadio(mtm::RadioMtMirror);
    EXPECT_FALSE(p.panel.isEnabled(mtm::LeftToRight));
    ASSERT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Done);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] FLAWLESS SYMMETRY [1201]"});
    EXPECT_EQ(p.panel.vcmTable()[0], 1);
    EXPECT_EQ(p.panel.vcmTable()[1], 0);
    EXPECT_EQ(p.panel.vcmTable()[1200], 1200);  // the centre-line vertex is its own partner
    EXPECT_EQ(p.doc.markerPointCount1, 0);
    EXPECT_EQ(p.panel.vcmValidFlag, 1);
    for (int id : {mtm::LeftToRight, mtm::RightToLeft, mtm::Swap, mtm::ResetRight, mtm::ResetLeft})
        EXPECT_TRUE(p.panel.isEnabled(id));
    // Progress every 250 vertices, then back to 0; the wait cursor around it all.
    EXPECT_EQ(p.ui.progressPositions, (std::vector<int>{0, 20, 41, 62, 83, 0}));
    EXPECT_EQ(p.ui.calls.front(), "wait-cursor on");
    EXPECT_EQ(p.ui.calls.back(), "wait-cursor off");
}

TEST(VcmGen, PartialSymmetryAsksAndCancelKeepsMirrorUnavailable) {
    PanelFixture p;
    // Vertex 3 lies one float step off the mirror image of vertex 4; 5 and 6 coincide.
    p.load("partial.obj",
           "v 1 0 0\nv -1 0 0\nv 2 1 0\nv -2.0000002 1 0\nv 3 2 0\nv 3 2 0\nv -3 2 0\nf 1 2 3\nf 4 5 6 7\n");
    p.panel.clickRadio(mtm::RadioMtMirror);
    p.ui.answers = {MsgAnswer::Cancel};
    EXPECT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Cancelled);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] NOT SYMMETRY. DO YOU TRY AGAIN?"});
    EXPECT_EQ(p.panel.vcmValidFlag, 0);
    EXPECT_FALSE(p.panel.isEnabled(mtm::Swap));
    // Markers: 3 and 4 (no partner), 7 (two partners), in vertex order, at display positions.
    ASSERT_EQ(p.panel.markerVertexCount, 3);
    EXPECT_EQ(p.panel.markerVertices()[0], 3);
    EXPECT_EQ(p.panel.markerVertices()[1], 4);
    EXPECT_EQ(p.panel.markerVertices()[2], 7);
    ASSERT_EQ(p.doc.markerPointCount1, 3);
    EXPECT_EQ(p.doc.markerPointList1[2].x, p.doc.displayVertexArray[6].x);
    EXPECT_EQ(p.panel.vcmTable()[6], 5);  // the higher of the coincident copies
    EXPECT_EQ(p.ui.calls.back(), "wait-cursor off");

    clearUi(p.ui);
    p.ui.answers = {MsgAnswer::Ok};
    EXPECT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Done);
    EXPECT_EQ(p.ui.messages,
              (std::vector<std::string>{"[VORTEL] NOT SYMMETRY. DO YOU TRY AGAIN?", "[VORTEL] Symmetry [4/7]"}));
    EXPECT_EQ(p.panel.vcmValidFlag, 1);
    EXPECT_TRUE(p.panel.isEnabled(mtm::Swap));
}

TEST(VcmGen, OneResolvedVertexSaysNotSymmetryWithoutAsking) {
    PanelFixture p;
    p.load("one.obj", "v 0 0 0\nv 1 2 3\nv 4 5 6\nf 1 2 3\n");
    p.panel.clickRadio(mtm::RadioMtMirror);
    EXPECT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Done);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] NOT SYMMETRY"});
    EXPECT_TRUE(p.panel.isEnabled(mtm::LeftToRight));
    EXPECT_EQ(p.panel.vcmValidFlag, 1);
}

TEST(VcmGen, RefusesTwoGroupsAndCutEdgesAndAcceptsEmptyDocument) {
    PanelFixture p;
    p.load("two.obj", "v 1 0 0\nv -1 0 0\nv 0 1 0\ng a\nf 1 2 3\ng b\nf 3 2 1\n");
    p.panel.vcmValidFlag = 1;
    p.panel.clickRadio(mtm::RadioMtMirror);
    EXPECT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] MTM CAN USE 1 GROUP OBJECT ONLY."});
    EXPECT_EQ(p.panel.vcmValidFlag, 0);
    EXPECT_FALSE(p.panel.isEnabled(mtm::LeftToRight));

    p.load("one.obj", "v 1 0 0\nv -1 0 0\nv 0 1 0\nf 1 2 3\n");
    p.panel.clickRadio(mtm::RadioEdgeMaker);
    p.panel.press(mtm::Excute);
    p.panel.clickRadio(mtm::RadioMtMirror);
    clearUi(p.ui);
    EXPECT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages,
              std::vector<std::string>{"[VORTEL] EXCUTE EDGE CUT ALREADY. CAN NOT FUSION OPERATION."});
    // A load resets the panel, and the command runs again.
    p.load("one.obj", "v 1 0 0\nv -1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Done);

    p.load("empty.obj", "# nothing\n");  // a failed load: no vertices, no groups
    ASSERT_EQ(p.doc.vertexCount, 0);
    EXPECT_EQ(p.panel.press(mtm::VcmGen), CommandResult::Done);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] FLAWLESS SYMMETRY [0]"});
    EXPECT_TRUE(p.panel.isEnabled(mtm::ResetLeft));
}
