// Morph target loading and the Poser prop/hair loader.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "doc/PoserPaths.h"

using namespace vortel;
using namespace vortel::test;

namespace {
const char* kTriangleBase = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\nf 1 2 3\n";
}

TEST(MorphLoader, StoresDeltasMovedFlagsAndStartsPlayback) {
    DocFixture& fx = fixture();
    fx.openText("mt_base.obj", kTriangleBase);
    fx.reset();
    const std::string target = writeFile("mt_t.obj", "g other\nv 0 0 0\r\nv 1 2 0\nv 0 1 0\nv 5 5 5\nf 1 2 4\n");
    fx.doc.openByPath(target, "mt_t", 1);
    CVELTADoc& d = fx.doc;
    EXPECT_EQ(d.morphLoadedFlag, 1);
    EXPECT_EQ(d.mtVertexCount, 4);
    EXPECT_EQ(d.mtPath, target);
    EXPECT_EQ(d.morphDeltaArray[1].y, 2.0f * d.displayScale);
    EXPECT_EQ(d.morphDeltaBackup[1].y, d.morphDeltaArray[1].y);
    EXPECT_EQ(std::vector<int>(d.movedFlag.data(), d.movedFlag.data() + 4), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(d.faceMovedFlag[0], 1);
    EXPECT_EQ(d.playbackCommand, cmd::Play);
    EXPECT_TRUE(d.commands().state(cmd::FF).enabled);
    EXPECT_TRUE(d.commands().state(cmd::Play).checked);
    EXPECT_EQ(fx.ui.progressTexts, (std::vector<std::string>{"MT NOW LOADING...", "MT LOAD OK (V=4)"}));

    // An identical target: nothing moved, but a morph is loaded.
    fx.doc.openByPath(writeFile("mt_same.obj", kTriangleBase), "mt_same", 1);
    EXPECT_EQ(d.morphLoadedFlag, 1);
    EXPECT_EQ(d.movedFlag[1], 0);
    EXPECT_EQ(d.faceMovedFlag[0], 0);

    // CR-only line ends load through the CR line mode.
    std::string cr = "v 0 0 0\rv 1 0 0\rv 0 3 0\rv 5 5 5\r" + std::string(1000, '#') + "x";
    fx.doc.openByPath(writeFile("mt_cr.obj", cr), "mt_cr", 1);
    EXPECT_EQ(d.mtVertexCount, 4);
    EXPECT_EQ(d.movedFlag[2], 1);
}

TEST(MorphLoader, FailuresKeepTheLoadedMorph) {
    DocFixture& fx = fixture();
    fx.openText("mt_base2.obj", kTriangleBase);
    fx.doc.openByPath(writeFile("mt_good.obj", "v 0 0 1\nv 1 0 0\nv 0 1 0\nv 5 5 5\n"), "mt_good", 1);
    ASSERT_EQ(fx.doc.morphLoadedFlag, 1);
    const Vec3 kept = fx.doc.morphDeltaArray[0];
    const std::string keptPath = fx.doc.mtPath;
    const char* bad[] = {"v 9 9 9\nv 9 9 9\nv 9 9 9\nv 9 9 9\nv 9 9 9\n",  // one vertex too many
                         "v 9 9 9\nv 9 9 9\n",                                // too few
                         "v 9 9 9\nv 9 9\n",                                  // not 3D
                         "# nothing\n"};
    for (const char* text : bad) {
        fx.reset();
        fx.doc.openByPath(writeFile("mt_bad.obj", text), "mt_bad", 1);
        EXPECT_EQ(fx.ui.progressTexts.back(), "NO MATCH") << text;
        EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
        EXPECT_EQ(fx.doc.playbackCommand, cmd::Stop);
        EXPECT_EQ(fx.doc.morphLoadedFlag, 1);
        EXPECT_EQ(fx.doc.morphDeltaArray[0].z, kept.z) << text;
        EXPECT_EQ(fx.doc.mtVertexCount, 4);
        EXPECT_EQ(fx.doc.mtPath, keptPath);
    }
    fx.reset();
    fx.doc.openByPath(writeFile("mt_bad.obj", "v 1 1 1\nv 1 1 1\nv 1 1 1\nv 1 1 1\nv 1 1 1\n"), "x", 1);
    EXPECT_EQ(fx.doc.loadMessage, "VERTEX MAX ERROR");  // stored, not shown
    fx.doc.openByPath((tempDir() / "mt_missing.obj").string(), "x", 1);
    EXPECT_EQ(fx.ui.messages.back(), "[VORTEL] MT OPEN ERROR");
}

TEST(MorphLoader, DialogModeRefusesTheSameFileAndNeedsABase) {
    DocFixture& fx = fixture();
    fx.openText("mt_base3.obj", kTriangleBase);
    fx.reset();
    fx.ui.openAnswers.push_back(fx.doc.documentPath);
    fx.doc.onCommand(cmd::MtOpen);
    EXPECT_EQ(fx.ui.lastOpen.filter, "for MT OBJ FILE(*.obj)|*.obj||");
    EXPECT_EQ(fx.ui.calls, (std::vector<std::string>{"open-dialog", "progress 802020 SAME", "wait 400", "close"}));

    fx.openText("empty_base.obj", "");
    fx.reset();
    fx.doc.onCommand(cmd::MtOpen);
    EXPECT_EQ(fx.ui.calls,
              (std::vector<std::string>{"progress 800000 BASE OBJ NOT FOUND", "wait 1000", "close"}));
}

TEST(PropLoader, TwoPropsColoursAndIndentation) {
    DocFixture& fx = fixture();
    const std::string pp2 =
        "{\nversion\n\t{\n\tnumber 4.01\n\t}\n"
        "prop first\n\t{\n\tgeomCustom\n\t\t{\n\t\tnumbVerts 3\n"
        "\t\tv 0 0 0\n\t\tv 1 0 0\n\t\tv 0 1 0\n\t\tusemtl red\n\t\tf 1 2 3\n\t\t}\n\t}\n"
        "prop second\n\t{\n\t\tv 0 0 1\n\t\tv 1 0 1\n\t\tv 0 1 1\n\t\tv 1 1 1\n"
        "\t\tusemtl dark\n\t\tf 1 2 4 3\n"
        "           f 1 2 3\n"  // eleven blanks hide the statement
        "\t}\n"
        "material red\n\t{\n\tKdColor 1 0 0 1\n\t}\n"
        "material dark\n\t{\n\tKdColor 0 0 0 1\n\t}\n"
        "material unknown\n\t{\n\tKdColor 0 1 0 1\n\t}\n}\n";
    // Without a view, whose Stop recomputes plain normals, the loader's own normals stay.
    fx.doc.removeView(&fx.view);
    fx.doc.openByPath(writeFile("two.pp2", pp2), "two", 0);
    fx.doc.addView(&fx.view);
    CVELTADoc& d = fx.doc;
    ASSERT_EQ(d.loadStatus, "NORMAL") << d.loadMessage;
    EXPECT_EQ(d.vertexCount, 7);
    EXPECT_EQ(d.groupCount, 2);
    EXPECT_EQ(d.groupNames[1], "second\n");
    EXPECT_EQ(d.faceCount, 2);
    EXPECT_EQ(std::vector<int>(d.cornerVertexList.data() + 3, d.cornerVertexList.data() + 7),
              (std::vector<int>{4, 5, 7, 6}));  // the second prop's numbers are offset by 3
    EXPECT_EQ(d.faceGroup[1], 1);
    EXPECT_EQ(d.materialColourTable[0].x, 1.0f);
    EXPECT_EQ(d.materialColourTable[0].y, 0.0f);
    EXPECT_EQ(d.materialColourTable[1].x, 0.15f);  // black becomes 0.15
    EXPECT_EQ(d.materialColourTable[2].y, 0.8f);   // no such material: untouched default
    EXPECT_EQ(d.fileColoursFlag, 1);
    EXPECT_EQ(fx.ui.progressTexts.back(), "LOAD OK (V=7)");
    EXPECT_EQ(fx.ui.title, "");  // the title is not changed by this loader
    // The quad's normal adds the normal of its second half.
    EXPECT_EQ(d.faceNormalArray[1].z, 2.0f * d.displayScale * d.displayScale);
}

TEST(PropLoader, FailuresAndExternalGeometry) {
    DocFixture& fx = fixture();
    fx.reset();
    fx.doc.openByPath(writeFile("bad.hr2", "prop a\n v 0 0 0\n f 1 2 3\n"), "bad", 0);
    EXPECT_EQ(fx.doc.loadMessage, "POINT ERR E=2 [From 1 To 1]");
    EXPECT_EQ(fx.ui.progressTexts.back(), "POINT ERR E=2 [From 1 To 1]");
    EXPECT_TRUE(fx.ui.messages.empty());
    EXPECT_EQ(fx.doc.vertexCount, 0);

    const std::string dir = (tempDir() / "Runtime" / "Libraries").string();
    std::filesystem::create_directories(dir);
    fx.reset();
    fx.doc.openByPath(writeFile("Runtime/Libraries/ext.pp2",
                                "prop ext\n\t{\n\tobjFileGeom 0 0 :Runtime:Geometries:x.obj\n\t}\n"),
                      "ext", 0);
    ASSERT_EQ(fx.ui.messages.size(), 1u);
    EXPECT_EQ(fx.ui.messages[0], "[VORTEL] 3D data is not included.\nLocation=" + tempDir().string() +
                                     "/Runtime/Geometries/x.obj");
    EXPECT_EQ(resolveRuntimePath("/a/RUNTIME/b.pp2", "/Runtime/g.obj"), "/a/Runtime/g.obj");
    EXPECT_EQ(resolveRuntimePath("/a/b.pp2", "/Runtime/g.obj"), "/Runtime/g.obj");
    EXPECT_EQ(resolveRuntimePath("/a/Runtime/b.pp2", "Geometries/x.obj"), "");
    // A short objFileGeom line names no location and reads nothing outside the line.
    fx.reset();
    fx.doc.openByPath(writeFile("short.pp2", "objFileGeom"), "short", 0);
    EXPECT_EQ(fx.ui.messages.back(), "[VORTEL] 3D data is not included.\nLocation=");
}
