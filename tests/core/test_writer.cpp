// OBJ writer: exact bytes in dialog and direct mode, renumbering, group subsets,
// vertex only, morph saving, texture numbers out of range and write failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "TestUtil.h"
#include "doc/ObjText.h"

using namespace vortel;
using namespace vortel::test;

namespace {

const char* kTwoGroups =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 9 9 9\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0.5 0.5\n"
    "g a\nusemtl m1\nf 1/1 2/2 3/3\ng b\nusemtl m2\nf 2/2 5/4 3/3\ng a\nf 1/1 3/3 4/1\nl 4 1\n";

std::string saveDirect(DocFixture& fx, const std::string& name, std::vector<int> groups) {
    std::string out = (tempDir() / name).string();
    std::memset(fx.doc.groupVisibleFlag.data(), 0, kMaxGroups);
    for (int g : groups) fx.doc.groupVisibleFlag[g] = 1;
    fx.doc.savePath = out;
    fx.doc.directSaveFlag = 1;
    fx.doc.onSaveAs();
    fx.doc.directSaveFlag = 0;
    return readFile(out);
}

}  // namespace

TEST(ObjWriter, WritesEveryLineFormatByteForByte) {
    DocFixture& fx = fixture();
    fx.openText("two.obj", kTwoGroups);
    ASSERT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(saveDirect(fx, "two_out.obj", {0, 1}),
              "# Convert by TOLK\n"
              "v 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 1.000000 1.000000 0.000000\n"
              "v 0.000000 1.000000 0.000000\nv 2.000000 0.000000 0.000000\n"
              "vt 0.000000 0.000000\nvt 1.000000 0.000000\nvt 1.000000 1.000000\nvt 0.500000 0.500000\n"
              "g a\n\nusemtl m1\n\nf 1/1 2/2 3/3\n"
              "g b\n\nusemtl m2\n\nf 2/2 5/4 3/3\n"
              "g a\n\nf 1/1 3/3 4/1\nf 4 1\n");  // the polyline has no texture numbers
}

TEST(ObjWriter, OneGroupIsRenumberedFromOne) {
    DocFixture& fx = fixture();
    fx.openText("two.obj", kTwoGroups);
    EXPECT_EQ(saveDirect(fx, "b_only.obj", {1}),
              "# Convert by TOLK\n"
              "v 1.000000 0.000000 0.000000\nv 1.000000 1.000000 0.000000\nv 2.000000 0.000000 0.000000\n"
              "vt 1.000000 0.000000\nvt 1.000000 1.000000\nvt 0.500000 0.500000\n"
              "g b\n\nusemtl m2\n\nf 1/1 3/3 2/2\n");
    // The floating flags are the user's again afterwards.
    EXPECT_EQ(fx.doc.floatingFlag[5], 1);
    EXPECT_EQ(fx.doc.floatingFlag[0], 0);
}

TEST(ObjWriter, DialogModeAsksTheDialogsAndMayBeCancelled) {
    DocFixture& fx = fixture();
    fx.doc.openByPath(writeFile("body.obj", kTwoGroups), "body", 0);
    fx.reset();
    fx.ui.saveOptionAnswers.push_back(std::nullopt);
    fx.doc.onCommand(cmd::FileSaveAs);
    EXPECT_EQ(fx.ui.calls, (std::vector<std::string>{"save-options FLOATING Point Num =1"}));
    EXPECT_EQ(fx.ui.lastSaveOptions.groupNames, (std::vector<std::string>{"a\n", "b\n"}));

    const std::string out = (tempDir() / "dialog_out.obj").string();
    fx.ui.saveOptionAnswers.push_back(SaveOptionsAnswer{{false, true}, false});
    fx.ui.saveAnswers.push_back(out);
    fx.doc.onCommand(cmd::FileSaveAs);
    EXPECT_EQ(fx.ui.lastSave.initialName, "body_VL.obj");
    EXPECT_EQ(fx.ui.lastSave.filter, "New MT file (*.obj)|*.obj||");
    EXPECT_EQ(fx.ui.lastSave.defaultExtension, "obj");
    EXPECT_TRUE(fx.ui.lastSave.overwritePrompt);
    EXPECT_EQ(fx.doc.savePath, out);
    EXPECT_EQ(readFile(out).substr(0, 47), "# Convert by TOLK\nv 1.000000 0.000000 0.000000\n");

    // Vertex only: the header and every vertex, floating or not, and nothing else.
    fx.ui.saveOptionAnswers.push_back(SaveOptionsAnswer{{true, false}, true});
    fx.ui.saveAnswers.push_back(out);
    fx.doc.onCommand(cmd::FileSaveAs);
    std::string text = readFile(out);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);
    EXPECT_NE(text.find("v 9.000000 9.000000 9.000000\n"), std::string::npos);

    // A path that cannot be created: a VEL box, nothing written.
    fx.reset();
    fx.ui.saveOptionAnswers.push_back(SaveOptionsAnswer{{true, true}, false});
    fx.ui.saveAnswers.push_back("/nonexistent-dir/x.obj");
    fx.doc.onCommand(cmd::FileSaveAs);
    EXPECT_EQ(fx.ui.messages, (std::vector<std::string>{"[VEL] WRITE ERR/nonexistent-dir/x.obj"}));
}

TEST(ObjWriter, AllFloatingMesh) {
    DocFixture& fx = fixture();
    fx.openText("float.obj", "v 1 2 3\nv 4 5 6\n");
    fx.reset();
    fx.ui.saveOptionAnswers.push_back(std::nullopt);
    fx.doc.onSaveAs();
    EXPECT_EQ(fx.ui.lastSaveOptions.messageText, "ALL POINTS ARE FLOATING P.");
    // Direct mode never forces vertex only: the file holds the header alone.
    EXPECT_EQ(saveDirect(fx, "float_out.obj", {0}), "# Convert by TOLK\n");
    // A direct save to a path that cannot be created reports in the progress box.
    fx.reset();
    saveDirect(fx, "no/such/dir.obj", {0});
    EXPECT_EQ(fx.ui.calls.front(), "progress 800000 WRITE ERR" + (tempDir() / "no/such/dir.obj").string());
}

TEST(ObjWriter, TextureNumbersOutsideTheCoordinatesStayInBounds) {
    DocFixture& fx = fixture();
    fx.openText("baduv.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 1\nf 1/2 2/7 3/1\n");
    ASSERT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(saveDirect(fx, "baduv_out.obj", {0}),
              "# Convert by TOLK\nv 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\n"
              "v 0.000000 1.000000 0.000000\nvt 0.000000 0.000000\nvt 1.000000 1.000000\n"
              "f 1/2 2/7 3/1\n");
}

TEST(ObjWriter, MorphIsSavedAsTheFullTarget) {
    DocFixture& fx = fixture();
    fx.openText("mbase.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    fx.doc.openByPath(writeFile("mtarget.obj", "v 0 0 0\nv 2 0 0\nv 0 1.5 0\nf 1 2 3\n"), "mtarget", 1);
    ASSERT_EQ(fx.doc.morphLoadedFlag, 1);
    fx.doc.onCommand(cmd::Pause);  // whatever the playback state, the target is written
    fx.reset();
    fx.ui.saveOptionAnswers.push_back(std::nullopt);
    fx.doc.onSaveAs();
    EXPECT_EQ(fx.ui.lastSaveOptions.messageText, "MORPH TARGET SAVE DATA");
    EXPECT_EQ(fx.doc.playbackCommand, cmd::FF);
    EXPECT_EQ(saveDirect(fx, "m_out.obj", {0}),
              "# Convert by TOLK\nv 0.000000 0.000000 0.000000\nv 2.000000 0.000000 0.000000\n"
              "v 0.000000 1.500000 0.000000\nf 1 2 3\n");
}

TEST(ObjWriter, FixedSixMatchesPrintf) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<unsigned> bits;
    char mine[400], ref[400];
    for (int i = 0; i < 300000; ++i) {
        unsigned u = bits(rng);
        float f;
        std::memcpy(&f, &u, sizeof f);
        // Display positions divided by the scale plus the centre: doubles from floats.
        double v = i % 3 == 0 ? static_cast<double>(f) : static_cast<double>(f) / 0.0123 + 1.5;
        size_t n = formatFixed6(v, mine);
        mine[n] = '\0';
        std::snprintf(ref, sizeof ref, "%f", v);
        ASSERT_STREQ(mine, ref) << v;
    }
    // Exact ties round to even, as printf rounds them; huge and tiny values too.
    for (double v : {0.0, -0.0, 0.5e-6, 1.5e-6, 2.5e-6, -0.0000005, 1e30, -123.4567885, 1.0 / 128, 3.0 / 128,
                     -5.0 / 128, 1e-300, -1e-300, 9.2e12, 1.8e13, 4294967296.0 * 4294967296.0, 3.4028234663852886e38}) {
        size_t n = formatFixed6(v, mine);
        mine[n] = '\0';
        std::snprintf(ref, sizeof ref, "%f", v);
        EXPECT_STREQ(mine, ref);
    }
    // Numbers of every size and sign for "%d".
    FILE* f = std::tmpfile();
    {
        ObjTextOut out(f);
        for (int v : {0, 7, -7, 10, 99, 100, -100, 123456, 2147483647, -2147483647 - 1}) {
            out.integer(v);
            out.ch(' ');
        }
    }
    std::rewind(f);
    char text[200] = {};
    std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    EXPECT_STREQ(text, "0 7 -7 10 99 100 -100 123456 2147483647 -2147483648 ");
}
