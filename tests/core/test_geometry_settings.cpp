// Geometry helpers, the settings file and the document's command table.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "TestUtil.h"
#include "geometry/Vector.h"
#include "platform/Settings.h"

using namespace vortel;
using namespace vortel::test;

TEST(Geometry, RayPlaneAndSides) {
    Vec3 out{7, 7, 7};
    EXPECT_EQ(rayPlane({0, 0, 0}, {1, 0, 0}, {0, 5, 0}, {0, 1, 0}, out), 0);  // parallel
    EXPECT_EQ(out.x, 7.0f);
    ASSERT_EQ(rayPlane({0, 1, 0}, {0, 1, 0}, {0, -2, 0}, {0, 1, 0}, out), 1);  // behind the point
    EXPECT_EQ(out.y, -2.0f);
    EXPECT_EQ(sideOfPlane({0, 3, 0}, {0, 1, 0}, {0, 2, 0}), 1);
    EXPECT_EQ(sideOfPlane({0, 1, 0}, {0, 1, 0}, {0, 2, 0}), 0);
    EXPECT_EQ(sideOfPlane({0, -3, 0}, {0, 1, 0}, {0, 2, 0}), -1);
    Vec3 n;
    faceNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, n);
    EXPECT_EQ(n.z, 1.0f);  // counter-clockwise faces the viewer
    vecNormalise({0, 0, 0}, n);
    EXPECT_FALSE(std::isfinite(n.x));
}

TEST(Geometry, InsideTestsEnlargeByOneThousandth) {
    const Vec3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0}, nrm{0, 0, 1};
    EXPECT_EQ(pointInTriangle(a, b, c, {0.5f, 0.0f, 0}, nrm), 1);  // on an edge
    // Centroid (1/3, 1/3): just outside the edge y = 0 by less than 0.1 % of the way to it.
    EXPECT_EQ(pointInTriangle(a, b, c, {0.5f, -0.0003f, 0}, nrm), 1);
    EXPECT_EQ(pointInTriangle(a, b, c, {0.5f, -0.001f, 0}, nrm), 0);
    EXPECT_EQ(pointInTriangle(a, b, c, {0.6f, 0.6f, 0}, nrm), 0);
    // The quad is split into (V1, V2, V3) and (V1, V3, V4).
    const Vec3 v4{-1, 1, 0};
    EXPECT_EQ(pointInQuad(a, b, c, v4, {-0.4f, 0.5f, 0}, nrm), 1);
    EXPECT_EQ(pointInQuad(a, b, c, v4, {0.6f, 0.6f, 0}, nrm), 0);
}

TEST(Geometry, OrientUsesDirectionCosinesAsAngles) {
    Vec3 out;
    orientByNormal({0, 1, 0}, {0, 1, 0}, out);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 1.0f);
    Vec3 five;
    orientByNormal({0, 1, 0}, {0, 0, 1}, out);
    orientByNormal({0, 1, 0}, {0, 0, 5}, five);
    EXPECT_EQ(out.y, five.y);
    EXPECT_EQ(out.z, five.z);
    EXPECT_NEAR(out.y, 0.540302f, 1e-6f);
    EXPECT_NEAR(out.z, 0.841471f, 1e-6f);
    orientByNormal({0, 1, 0}, {1, 0, 0}, out);  // -1 radian about Z
    EXPECT_NEAR(out.x, std::sin(1.0f), 1e-6f);
}

TEST(Geometry, SharedEdgeNeedsExactlyTwoPairs) {
    int e1 = -1, e2 = -1;
    const int a[] = {1, 2, 3}, b[] = {3, 2, 4}, c[] = {1, 2, 3, 5}, d[] = {7, 8, 9}, r[] = {2, 2, 5};
    EXPECT_EQ(sharedEdge(a, 3, b, 3, e1, e2), 1);
    EXPECT_EQ(e1, 2);
    EXPECT_EQ(e2, 3);
    EXPECT_EQ(sharedEdge(a, 3, c, 4, e1, e2), 0);  // three shared vertices
    EXPECT_EQ(e1, 0);
    EXPECT_EQ(sharedEdge(a, 3, d, 3, e1, e2), 0);
    // A vertex repeated within a face counts every pair: (2, 2) is not an edge.
    EXPECT_EQ(sharedEdge(a, 3, r, 3, e1, e2), 1);
    EXPECT_EQ(e1, 2);
    EXPECT_EQ(e2, 2);
}

TEST(Settings, PrivateProfileSemantics) {
    const std::string path = (tempDir() / "VELTA.ini").string();
    std::remove(path.c_str());
    Settings s(path);
    EXPECT_EQ(s.getInt("Window", "pane", 0), 0);  // missing file: defaults
    EXPECT_EQ(s.getString("Excute", "Applname", "NULL"), "NULL");
    ASSERT_TRUE(s.writeInt("Window", "left", 10));
    ASSERT_TRUE(s.writeString("Excute", "Applname", "/usr/bin/tool"));
    ASSERT_TRUE(s.writeInt("window", "TOP", -4));  // names match without regard to case
    EXPECT_EQ(readFile(path), "[Window]\nleft=10\nTOP=-4\n[Excute]\nApplname=/usr/bin/tool\n");
    // A hand edit is seen at once and other lines are kept byte for byte.
    std::ofstream(path, std::ios::app) << "; note\n[Function]\nColigion = ON \n";
    EXPECT_EQ(s.getString("function", "coligion", "NONE"), "ON");
    ASSERT_TRUE(s.writeInt("Window", "left", 12));
    EXPECT_EQ(readFile(path),
              "[Window]\nleft=12\nTOP=-4\n[Excute]\nApplname=/usr/bin/tool\n; note\n[Function]\nColigion = ON \n");
    EXPECT_EQ(s.getInt("Window", "left", 0), 12);
    EXPECT_EQ(s.getInt("Excute", "Applname", 5), 0);  // no digits
    // A failed write is ignored.
    Settings bad("/nonexistent-dir/VELTA.ini");
    EXPECT_FALSE(bad.writeInt("Window", "left", 1));
    EXPECT_EQ(bad.getInt("Window", "left", 3), 3);
}

TEST(CommandTable, RulesFollowTheDocument) {
    DocFixture& fx = fixture();
    CVELTADoc& d = fx.doc;
    EXPECT_FALSE(d.commands().state(cmd::FileNew).enabled);
    EXPECT_FALSE(d.commands().state(cmd::FileSave).enabled);
    EXPECT_TRUE(d.commands().state(cmd::FileOpen).enabled);
    EXPECT_FALSE(d.commands().state(12345).handled);
    fx.openText("cmd2.obj", "v 0 0 0\ng a\nf 1 1 1\ng b\nf 1 1 1\n");
    EXPECT_FALSE(d.commands().state(cmd::MtOpen).enabled);  // two groups
    EXPECT_TRUE(d.commands().state(cmd::FileSaveAs).enabled);
    EXPECT_FALSE(d.commands().state(cmd::Play).enabled);  // no morph
    EXPECT_FALSE(d.commands().state(cmd::ViewSmooth).handled);  // MODEL VIEW belongs to the 3D view
    fx.openText("cmd0.obj", "");
    EXPECT_FALSE(d.commands().state(cmd::FileSaveAs).enabled);
    EXPECT_FALSE(d.commands().state(cmd::MtOpen).enabled);
}

TEST(CommandTable, PlaybackCommandsReachEverySubscriber) {
    struct View : DocumentView {
        std::vector<int> playbacks;
        void onPlayback(int m) override { playbacks.push_back(m); }
    };
    FakePlatform ui;
    static CVELTADoc* doc = new CVELTADoc(ui);  // a document without views
    View v, w;
    doc->addView(&v);
    doc->addView(&w);
    doc->openByPath(writeFile("pb.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"), "pb", 0);
    doc->openByPath(writeFile("pb_t.obj", "v 0 0 0\nv 2 0 0\nv 0 1 0\n"), "pb_t", 1);
    v.playbacks.clear();
    w.playbacks.clear();
    doc->displayVertexArray[1].x = 99.0f;  // as a playback step would leave it
    doc->onCommand(cmd::Play);  // already playing
    doc->onCommand(cmd::Pause);
    doc->onCommand(cmd::FF);
    EXPECT_EQ(doc->displayVertexArray[1].x, (1.0f - doc->displayCentre.x) * doc->displayScale);  // reset from the base
    doc->onCommand(cmd::Stop);
    EXPECT_EQ(v.playbacks, (std::vector<int>{3, 4, 0}));
    EXPECT_EQ(w.playbacks, v.playbacks);
    EXPECT_EQ(doc->playbackCommand, cmd::Stop);
    EXPECT_TRUE(doc->commands().state(cmd::Stop).checked);
    doc->removeView(&v);
    doc->removeView(&w);
}

TEST(MorphPlayback, TicksReachTheTargetAndStopRestoresTheBase) {
    DocFixture& fx = fixture();
    fx.openText("tick.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    fx.doc.openByPath(writeFile("tick_t.obj", "v 0 0 0\nv 1.5 0.25 0\nv 0 1 0\n"), "tick_t", 1);
    CVELTADoc& d = fx.doc;
    MorphPlayback& pb = fx.view.model();
    const Vec3 base = d.displayVertexArray[1];
    const Vec3 full{base.x + d.morphDeltaArray[1].x, base.y + d.morphDeltaArray[1].y, 0};
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(pb.tick());
    EXPECT_NEAR(d.displayVertexArray[1].x, full.x, 1e-6f);
    EXPECT_NEAR(d.displayVertexArray[1].y, full.y, 1e-6f);
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(pb.tick());  // held
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(pb.tick());   // back
    EXPECT_NEAR(d.displayVertexArray[1].x, base.x, 1e-6f);
    EXPECT_FALSE(pb.tick());  // tick 51 restarts
    EXPECT_EQ(pb.tickCounter(), 0);
    pb.tick();
    d.onCommand(cmd::Stop);
    EXPECT_EQ(d.displayVertexArray[1].x, base.x);  // exactly the base
    EXPECT_EQ(pb.tickCounter(), 0);
    d.onCommand(cmd::FF);
    EXPECT_EQ(pb.tickCounter(), 30);
    EXPECT_EQ(d.displayVertexArray[1].x, base.x + d.morphDeltaArray[1].x);
}
