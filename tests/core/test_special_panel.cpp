// The special panel's own state: start-up, the three panel states, the
// slider, disabled buttons and the reset that a load runs through the view.
#include <gtest/gtest.h>

#include <vector>

#include "test_special_util.h"

using namespace vortel;
using namespace vortel::test;

namespace {
const int kMirrorButtons[] = {mtm::LeftToRight, mtm::RightToLeft, mtm::Swap, mtm::ResetRight, mtm::ResetLeft};
const char* kTriangle = "v 1 0 0\nv -1 0 0\nv 0 1 0\nf 1 2 3\n";

std::vector<int> enabledButtons(const MtmPanel& p) {
    std::vector<int> on;
    for (int id = mtm::VcmGen; id <= mtm::ButtonC; ++id)
        if (p.isEnabled(id)) on.push_back(id);
    return on;
}
}  // namespace

TEST(MtmPanelState, StartUpShowsTheEdgeMaker) {
    DocFixture& fx = specialDoc();
    MtmPanel panel(fx.doc);
    int notified = 0;
    panel.stateChanged = [&] { ++notified; };
    panel.startUp();
    EXPECT_TRUE(panel.isChecked(mtm::RadioEdgeMaker));
    EXPECT_FALSE(panel.isChecked(mtm::RadioMtMirror));
    EXPECT_EQ(enabledButtons(panel), (std::vector<int>{mtm::Analysis, mtm::Excute}));
    EXPECT_EQ(panel.sliderPosition(), 8);
    EXPECT_TRUE(panel.isEnabled(mtm::Slider));
    EXPECT_EQ(panel.normalsDirtyFlag, 1);
    EXPECT_EQ(panel.edgeCutDoneFlag, 0);
    EXPECT_EQ(panel.vcmValidFlag, 0);
    EXPECT_FALSE(panel.isShown(mtm::StripP));
    EXPECT_FALSE(panel.isShown(mtm::ButtonC));
    EXPECT_EQ(panel.vcmTable()[0], -1);
    EXPECT_GT(notified, 0);
}

TEST(MtmPanelState, RadioStatesAndMirrorButtons) {
    PanelFixture p;
    p.load("tri.obj", kTriangle);
    MtmPanel& panel = p.panel;
    panel.clickRadio(mtm::RadioMtMirror);
    EXPECT_EQ(enabledButtons(panel), (std::vector<int>{mtm::VcmGen}));
    panel.press(mtm::VcmGen);
    for (int id : kMirrorButtons) EXPECT_TRUE(panel.isEnabled(id));
    panel.clickRadio(mtm::RadioFusion);
    EXPECT_EQ(enabledButtons(panel), (std::vector<int>{mtm::Fusion, mtm::ToOriginal}));
    // Back to "MT Mirror": the mirror buttons stay off until the next "VCM GEN".
    panel.clickRadio(mtm::RadioMtMirror);
    EXPECT_EQ(enabledButtons(panel), (std::vector<int>{mtm::VcmGen}));
    EXPECT_EQ(panel.vcmValidFlag, 1);  // the table survives radio changes
    panel.press(mtm::VcmGen);
    panel.clickRadio(mtm::RadioEdgeMaker);
    EXPECT_EQ(enabledButtons(panel), (std::vector<int>{mtm::Analysis, mtm::Excute}));
    EXPECT_TRUE(panel.isChecked(mtm::RadioEdgeMaker));
}

TEST(MtmPanelState, DisabledButtonsDoNothing) {
    PanelFixture p;
    p.load("tri.obj", kTriangle);
    int strips = 0;
    p.panel.stripBuilder = [&] { ++strips; };
    for (int id : {mtm::VcmGen, mtm::Fusion, mtm::ToOriginal, mtm::Swap, mtm::StripP, mtm::ButtonC, 999})
        EXPECT_EQ(p.panel.press(id), CommandResult::Ignored) << id;
    EXPECT_EQ(strips, 0);
    EXPECT_TRUE(p.ui.calls.empty());
    EXPECT_EQ(p.doc.groupNames[0], "");
}

TEST(MtmPanelState, LoadResetsThePanelButKeepsTableAndRadio) {
    PanelFixture p;
    p.load("cube.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 1\nf 1 2 3\nf 1 3 4\nf 1 4 2\n");
    p.panel.setSliderPosition(0);
    p.panel.press(mtm::Analysis);
    ASSERT_GT(p.doc.edgeLineCount, 0);
    EXPECT_EQ(p.panel.normalsDirtyFlag, 0);
    p.panel.sliderReleased();
    EXPECT_EQ(p.panel.normalsDirtyFlag, 1);
    p.panel.press(mtm::Analysis);
    p.panel.press(mtm::Excute);
    EXPECT_EQ(p.panel.edgeCutDoneFlag, 1);
    p.panel.clickRadio(mtm::RadioMtMirror);
    p.panel.fusionCornerCounter = 5;

    p.load("tri.obj", kTriangle);
    p.panel.press(mtm::VcmGen);
    EXPECT_TRUE(p.panel.isEnabled(mtm::Swap));
    p.panel.vcmTable()[0] = 42;
    p.load("tri.obj", kTriangle);  // the view refresh after load runs the panel reset
    EXPECT_EQ(p.doc.edgeLineCount, 0);
    EXPECT_EQ(p.panel.edgeCutDoneFlag, 0);
    EXPECT_EQ(p.panel.normalsDirtyFlag, 1);
    EXPECT_EQ(p.panel.fusionCornerCounter, 0);
    for (int id : kMirrorButtons) EXPECT_FALSE(p.panel.isEnabled(id));
    EXPECT_TRUE(p.panel.isChecked(mtm::RadioMtMirror));
    EXPECT_TRUE(p.panel.isEnabled(mtm::VcmGen));
    EXPECT_EQ(p.panel.vcmValidFlag, 1);
    EXPECT_EQ(p.panel.vcmTable()[0], 42);
    EXPECT_EQ(p.panel.sliderPosition(), 0);
}
