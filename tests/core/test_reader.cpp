// OBJ reader: statements, names, every limit at capacity and one past it, the
// CR line mode, the messages and boxes, and the document state after a load.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "TestUtil.h"
#include "doc/Text.h"

using namespace vortel;
using namespace vortel::test;

namespace {

std::string repeatLines(const std::string& line, int n) {
    std::string s;
    s.reserve(line.size() * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) s += line;
    return s;
}

struct ListView : DocumentView {
    int refreshes = 0;
    void onLoadRefresh() override { ++refreshes; }
};

}  // namespace

TEST(ObjReader, ReadsStatementsGroupsAndMaterials) {
    DocFixture& fx = fixture();
    fx.openText("basic.obj",
                "# comment\nmtllib x.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvn 0 0 1\nvt 0 0\nvt 1 0\nvt 1 1\n"
                "g body\nusemtl skin\nf 1/1 2/2 3/3\ng arm\r\nusemtl cloth\nfo 1/1/1 3/3/3 4/2/2\ng body\nl 1 4\n");
    CVELTADoc& d = fx.doc;
    EXPECT_EQ(d.loadStatus, "NORMAL");
    EXPECT_EQ(d.loadMessage, "READ SUCCESSFUL");
    EXPECT_EQ(d.vertexCount, 4);
    EXPECT_EQ(d.uvCount, 3);
    EXPECT_EQ(d.faceCount, 3);
    ASSERT_EQ(d.groupCount, 2);
    EXPECT_EQ(d.groupNames[0], "body\n");
    EXPECT_EQ(d.groupNames[1], "arm\r\n");  // names keep their line ends
    EXPECT_EQ(d.materialCount, 2);
    EXPECT_EQ(d.materialNames[1], "cloth\n");
    EXPECT_EQ(d.faceGroup[2], 0);
    EXPECT_EQ(d.faceKind[2], 'L');
    EXPECT_EQ(d.faceKind[1], 'P');
    EXPECT_EQ(d.faceFirstCorner[1], 3);
    EXPECT_EQ(d.cornerUvList[3], 1);
    EXPECT_EQ(d.cornerUvList[5], 2);
    EXPECT_EQ(d.cornerVertexList[7], 4);
    EXPECT_EQ(d.floatingCount, 0);
    EXPECT_EQ(fx.ui.title, "VORTEL - " + d.documentPath);
    EXPECT_EQ(d.playbackCommand, cmd::Stop);
    EXPECT_EQ(d.morphLoadedFlag, 0);
    EXPECT_EQ(d.fileColoursFlag, 0);
    // The loading box opens and closes; no message box on success.
    EXPECT_EQ(fx.ui.calls.front(), "progress 202080 NOW LOADING...");
    EXPECT_TRUE(fx.ui.messages.empty());
}

TEST(ObjReader, CornerFormsStoreTheRightTextureNumbers) {
    DocFixture& fx = fixture();
    fx.openText("forms.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1/1/1 2/2/2 3/3/3\nf 1//4 2//5 3//6\nf 1 2 -1\nf 0 1 2\n");
    CVELTADoc& d = fx.doc;
    ASSERT_EQ(d.loadStatus, "NORMAL");
    ASSERT_EQ(d.faceCount, 4);
    EXPECT_EQ(std::vector<int>(d.cornerUvList.data(), d.cornerUvList.data() + 6), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(d.faceCornerCount[2], 2);
    EXPECT_EQ(d.faceCornerCount[3], 0);
    EXPECT_EQ(d.cornerSum(), 8);
}

TEST(ObjReader, EveryMessage) {
    DocFixture& fx = fixture();
    struct Row {
        const char* text;
        const char* message;
    } rows[] = {
        {"v 0 0 0\nv 1 2\n", "INPUT ERR:Vertex NON 3D"},
        {"v 1 2\n", "Vertex Num is Zero"},  // no vertex read: the zero count decides the message
        {"v 0 0 0\nvt 0.123456789012345678901 0\n", "UV Format ERROR"},
        {"v 0 0 0\nf 1 2 3\n", "POINT ERR E=2 [From 1 To 1]"},
        {"v 0 0 0\nf 1 1 5\nv 1 1 1\nv 2 2 2\n", "POINT ERR E=5 [From 1 To 1]"},  // reading goes on
        {"", "Vertex Num is Zero"},
        {"# only a comment\n", "Vertex Num is Zero"},
        {"v 0 0 0\nf 1 9 1\nv 1 2\n", "INPUT ERR:Vertex NON 3D"},  // a stopping error replaces POINT ERR
    };
    for (const Row& r : rows) {
        fx.openText("msg.obj", r.text);
        EXPECT_EQ(fx.doc.loadStatus, "ERROR") << r.text;
        EXPECT_EQ(fx.doc.loadMessage, r.message) << r.text;
        ASSERT_EQ(fx.ui.messages.size(), 1u);
        EXPECT_EQ(fx.ui.messages[0], std::string("[VEL] ") + r.message);
        EXPECT_EQ(fx.doc.vertexCount, 0);
        EXPECT_EQ(fx.doc.groupCount, 0);
    }
    // A file that cannot be opened: the error box for 700 ms, no message box.
    fx.reset();
    fx.doc.openByPath((tempDir() / "missing.obj").string(), "missing", 0);
    EXPECT_EQ(fx.doc.loadMessage, "OPEN ERROR");
    EXPECT_EQ(fx.doc.loadStatus, "ERROR");
    EXPECT_TRUE(fx.ui.messages.empty());
    EXPECT_EQ(fx.ui.calls, (std::vector<std::string>{"progress 202080 NOW LOADING...", "progress 800000 OPEN ERROR",
                                                      "wait 700", "close"}));
}

TEST(ObjReader, VertexLimit) {
    DocFixture& fx = fixture();
    fx.openText("vmax.obj", repeatLines("v 1 2 3\n", kMaxVertices));
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.vertexCount, kMaxVertices);
    EXPECT_EQ(fx.doc.floatingCount, kMaxVertices);  // only v lines: all floating
    fx.openText("vmax1.obj", repeatLines("v 1 2 3\n", kMaxVertices + 1));
    EXPECT_EQ(fx.doc.loadMessage, "VERTEX MAX ERROR");
}

TEST(ObjReader, UvFaceAndCornerLimits) {
    DocFixture& fx = fixture();
    fx.openText("uvmax.obj", "v 0 0 0\n" + repeatLines("vt 0.5 0.5\n", kMaxUvs));
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.uvCount, kMaxUvs);
    fx.openText("uvmax1.obj", "v 0 0 0\n" + repeatLines("vt 0.5 0.5\n", kMaxUvs + 1));
    EXPECT_EQ(fx.doc.loadMessage, "UV MAX ERROR");

    fx.openText("fmax.obj", "v 0 0 0\n" + repeatLines("f 1\n", kMaxFaces));
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.faceCount, kMaxFaces);
    fx.openText("fmax1.obj", "v 0 0 0\n" + repeatLines("f 1\n", kMaxFaces) + "f 1/1/1 1/1/1\n");
    EXPECT_EQ(fx.doc.loadMessage, "Face Max Error Num=6 FlineType=3");
    fx.openText("lmax1.obj", "v 0 0 0\n" + repeatLines("l 1\n", kMaxFaces) + "l 1 1\n");
    EXPECT_EQ(fx.doc.loadMessage, "Line Max Error Num=2 FlineType=1");

    // Corners: 130,000 quads fill the corner list exactly; one more corner does not fit.
    const std::string quads = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n" + repeatLines("f 1 2 3 4\n", kMaxCorners / 4);
    fx.openText("cmax.obj", quads);
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.cornerSum(), kMaxCorners);
    fx.openText("cmax1.obj", quads + "f 1\n");
    EXPECT_EQ(fx.doc.loadMessage, "INPUT VARIDATE ERR V=4 F=520000");
}

TEST(ObjReader, GroupAndMaterialLimits) {
    DocFixture& fx = fixture();
    auto names = [](const char* prefix, int n) {
        std::string s = "v 0 0 0\n";
        for (int i = 0; i < n; ++i) s += std::string(prefix) + std::to_string(i) + "\nf 1 1 1\n";
        return s;
    };
    fx.openText("gmax.obj", names("g n", kMaxGroups));
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.groupCount, kMaxGroups);
    fx.openText("gmax1.obj", names("g n", kMaxGroups + 1));
    EXPECT_EQ(fx.doc.loadMessage, "OBJ GROUP MAX ERR:[220]");
    fx.openText("mmax.obj", names("usemtl n", kMaxMaterials));
    EXPECT_EQ(fx.doc.materialCount, kMaxMaterials);
    fx.openText("mmax1.obj", names("usemtl n", kMaxMaterials + 1));
    EXPECT_EQ(fx.doc.loadMessage, "OBJ MAT MAX ERR:[220]");
}

TEST(ObjReader, ShortStatementLinesGiveEmptyNames) {
    DocFixture& fx = fixture();
    fx.openText("short.obj", "v 0 0 0\nu\ng");  // "g" at the very end, no line end
    ASSERT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.groupCount, 1);
    EXPECT_EQ(fx.doc.groupNames[0], "");
    EXPECT_EQ(fx.doc.materialNames[0], "");
    fx.openText("noname.obj", "v 0 0 0\nf 1 1 1\n");
    EXPECT_EQ(fx.doc.groupCount, 1);  // no g line: one group with an empty name
    EXPECT_EQ(fx.doc.groupNames[0], "");
    EXPECT_TRUE(fx.doc.commands().state(cmd::MtOpen).enabled);
}

TEST(ObjReader, CrLineMode) {
    DocFixture& fx = fixture();
    std::string cr;
    for (int i = 0; i < 200; ++i) cr += "v " + std::to_string(i) + " 0 0\r";
    cr += "f 1 2 3\rv 9 9 9";  // the last line has no CR and is not read
    fx.openText("mac.obj", cr);
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.crLineMode, 1);
    EXPECT_EQ(fx.doc.vertexCount, 200);
    EXPECT_EQ(fx.doc.faceCount, 1);
    // A CR line of 990 characters or more cannot be read in either mode.
    fx.openText("mac2.obj", "v 0 0 0\r" + std::string(995, '#') + "\r");
    EXPECT_EQ(fx.doc.loadMessage, "INPUT ERR:MAC FILE FORMAT ERROR");
    // LF lines of 989 characters are fine.
    fx.openText("long.obj", "v 0 0 0" + std::string(981, ' ') + "\n");
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.crLineMode, 0);
}

TEST(ObjReader, PoserExtensionsOnlyInTheirFourForms) {
    DocFixture& fx = fixture();
    fx.openText("mixed.Pp2", "v 0 0 0\nv 1 1 1\n");
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");  // read as OBJ
    EXPECT_EQ(fx.doc.fileColoursFlag, 0);
    fx.openText("upper.PP2", "prop a\nv 0 0 0\nv 1 1 1\n");
    EXPECT_EQ(fx.doc.fileColoursFlag, 1);
}

TEST(ObjReader, DisplayTransformAndNormals) {
    DocFixture& fx = fixture();
    fx.openText("box.obj", "v -1 0 0\nv 3 0 0\nv 3 2 0\nv -1 2 1\nf 1 2 3\nl 3 4\n");
    CVELTADoc& d = fx.doc;
    EXPECT_EQ(d.displayScale, 0.7f / 4.0f);
    EXPECT_EQ(d.displayCentre.x, 1.0f);
    EXPECT_EQ(d.displayCentre.y, 1.0f);
    EXPECT_EQ(d.displayCentre.z, 0.5f);
    EXPECT_EQ(d.displayVertexArray[0].x, (-1.0f - 1.0f) * (0.7f / 4.0f));
    // Face 1: (P1 - P0) x (P2 - P0) points along +z.
    EXPECT_GT(d.faceNormalArray[0].z, 0.0f);
    // The polyline is the last face: it has no third corner of its own and gets no normal.
    EXPECT_EQ(d.faceNormalArray[1].x, 0.0f);
    EXPECT_EQ(d.faceNormalArray[1].y, 0.0f);
    EXPECT_EQ(d.faceNormalArray[1].z, 0.0f);
    EXPECT_EQ(d.vertexNormalSums[0].z, d.faceNormalArray[0].z);
    EXPECT_EQ(d.cornerNormalList[2].z, d.vertexNormalSums[2].z);

    // A single point has no extent; the display must stay finite.
    fx.openText("point.obj", "v 5 5 5\n");
    EXPECT_TRUE(std::isfinite(d.displayScale));
    EXPECT_EQ(d.displayVertexArray[0].x, 0.0f);
    d.displayTransform(3);  // a group with no faces
    EXPECT_TRUE(std::isfinite(d.displayVertexArray[0].x));
}

TEST(ObjReader, TextureFlagFollowsAnyGroupWithTextureNumbers) {
    DocFixture& fx = fixture();
    fx.openText("mixeduv.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\n"
                               "g a\nf 1/1 2/2 3/3\ng b\nf 1 2 3\n");
    EXPECT_EQ(fx.doc.groupHasUvFlag[0], 1);
    EXPECT_EQ(fx.doc.groupHasUvFlag[1], 0);
    EXPECT_EQ(fx.doc.hasUvFlag, 1);
}

TEST(ObjReader, LoadRefreshesTheViewsAndCancelKeepsEverything) {
    DocFixture& fx = fixture();
    ListView list;
    fx.doc.addView(&list);
    fx.doc.selectedGroup = 3;
    fx.doc.groupVisibleFlag[5] = 0;
    fx.openText("refresh.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/1\n");
    EXPECT_EQ(list.refreshes, 1);
    EXPECT_EQ(fx.doc.selectedGroup, -1);
    EXPECT_EQ(fx.doc.groupVisibleFlag[5], 1);
    // A failed load refreshes too.
    fx.openText("refresh2.obj", "v 1\n");
    EXPECT_EQ(list.refreshes, 2);
    fx.doc.removeView(&list);

    // File > Open with the dialog: Cancel leaves mesh, path and texture flag alone.
    fx.openText("keep.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/1\n");
    const std::string path = fx.doc.documentPath;
    fx.reset();
    fx.ui.openAnswers.push_back(std::nullopt);
    fx.doc.onCommand(cmd::FileOpen);
    EXPECT_EQ(fx.ui.lastOpen.filter, "OBJ Format or PP2 HR2 (*.obj;*.pp2;*.hr2)|*.obj||");
    EXPECT_EQ(fx.ui.lastOpen.initialName, "*.obj;*.pp2;*.hr2");
    EXPECT_EQ(fx.doc.documentPath, path);
    EXPECT_EQ(fx.doc.hasUvFlag, 1);
    EXPECT_EQ(fx.doc.vertexCount, 3);
    // OK stores the path and the title, and the file browser is asked to show it.
    fx.ui.openAnswers.push_back(path);
    fx.doc.onCommand(cmd::FileOpen);
    EXPECT_EQ(fx.doc.fileTitle, "keep");
}

TEST(ObjReader, NormalsEqualTheFaceNormalOperation) {
    DocFixture& fx = fixture();
    std::string text;
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> coord(-3.0f, 3.0f);
    for (int i = 0; i < 300; ++i) text += "v " + std::to_string(coord(rng)) + " " + std::to_string(coord(rng)) + " " + std::to_string(coord(rng)) + "\n";
    for (int i = 0; i < 400; ++i) {
        int n = 3 + static_cast<int>(rng() % 3);
        text += "f";
        for (int k = 0; k < n; ++k) text += " " + std::to_string(1 + rng() % 300);
        text += "\n";
    }
    fx.openText("normals.obj", text);
    ASSERT_EQ(fx.doc.loadStatus, "NORMAL");
    CVELTADoc& d = fx.doc;
    for (int f = 0; f < d.faceCount; ++f) {
        const int c = d.faceFirstCorner[f];
        Vec3 ref;
        faceNormal(d.displayVertexArray[d.cornerVertexList[c] - 1], d.displayVertexArray[d.cornerVertexList[c + 1] - 1],
                   d.displayVertexArray[d.cornerVertexList[c + 2] - 1], ref);
        ASSERT_EQ(std::memcmp(&ref, &d.faceNormalArray[f], sizeof ref), 0) << f;
    }
}

TEST(ObjReader, GroupAndMaterialBoxesCoverTheirFacesCorners) {
    // Boxes widened corner by corner, with signed zeros, NaN and shared vertices.
    DocFixture& fx = fixture();
    std::mt19937 rng(21);
    const char* values[] = {"0", "-0", "1.5", "-2", "nan", "3", "-0.0", "1e12", "-1e12", "0.25"};
    std::string text;
    for (int i = 0; i < 60; ++i) {
        text += "v";
        for (int k = 0; k < 3; ++k) text += std::string(" ") + values[rng() % 10];
        text += "\n";
    }
    for (int i = 0; i < 200; ++i) {
        if (rng() % 7 == 0) text += "g g" + std::to_string(rng() % 4) + "\n";
        if (rng() % 5 == 0) text += "usemtl m" + std::to_string(rng() % 3) + "\n";
        text += rng() % 6 == 0 ? "l" : "f";
        for (int k = 0, n = 1 + static_cast<int>(rng() % 5); k < n; ++k) text += " " + std::to_string(1 + rng() % 60);
        text += "\n";
    }
    fx.openText("boxes.obj", text);
    CVELTADoc& d = fx.doc;
    ASSERT_EQ(d.loadStatus, "NORMAL");
    std::vector<Vec3> gmax(kMaxGroups, Vec3{-1e12f, -1e12f, -1e12f}), gmin(kMaxGroups, Vec3{1e12f, 1e12f, 1e12f});
    std::vector<Vec3> mmax = gmax, mmin = gmin;
    auto widen = [](Vec3& mx, Vec3& mn, const Vec3& p) {
        if (p.x > mx.x) mx.x = p.x;
        if (p.y > mx.y) mx.y = p.y;
        if (p.z > mx.z) mx.z = p.z;
        if (p.x < mn.x) mn.x = p.x;
        if (p.y < mn.y) mn.y = p.y;
        if (p.z < mn.z) mn.z = p.z;
    };
    for (int f = 0; f < d.faceCount; ++f) {
        if (d.faceKind[f] != 'P') continue;
        for (int c = 0; c < d.faceCornerCount[f]; ++c) {
            const Vec3& p = d.vertexArray[d.cornerVertexList[d.faceFirstCorner[f] + c] - 1];
            widen(gmax[d.faceGroup[f]], gmin[d.faceGroup[f]], p);
            widen(mmax[d.faceMaterial[f]], mmin[d.faceMaterial[f]], p);
        }
    }
    for (int g = 0; g < 4; ++g) {
        EXPECT_EQ(std::memcmp(&gmax[g], &d.groupBoxMax[g], sizeof(Vec3)), 0) << g;
        EXPECT_EQ(std::memcmp(&gmin[g], &d.groupBoxMin[g], sizeof(Vec3)), 0) << g;
    }
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(std::memcmp(&mmax[m], &d.materialBoxMax[m], sizeof(Vec3)), 0) << m;
        EXPECT_EQ(std::memcmp(&mmin[m], &d.materialBoxMin[m], sizeof(Vec3)), 0) << m;
    }
}

namespace {

// What a load leaves behind that a reader's source could change.
std::string loadRecord(const CVELTADoc& d, const FakePlatform& ui) {
    std::ostringstream o;
    o << d.loadStatus << '|' << d.loadMessage << '|' << d.vertexCount << ',' << d.uvCount << ',' << d.faceCount << ','
      << d.groupCount << ',' << d.materialCount << ',' << d.mtVertexCount << ',' << d.morphLoadedFlag << '|';
    for (int n = 0; n < d.vertexCount; ++n) o << d.vertexArray[n].x << ' ' << d.vertexArray[n].y << ' ' << d.vertexArray[n].z << ';';
    for (int f = 0; f < d.faceCount; ++f) {
        o << d.faceKind[f] << d.faceGroup[f] << '/' << d.faceMaterial[f] << ':';
        for (int c = 0; c < d.faceCornerCount[f]; ++c) o << d.cornerVertexList[d.faceFirstCorner[f] + c] << ',';
    }
    for (int n = 0; n < d.vertexCount && d.morphLoadedFlag; ++n) o << d.morphDeltaArray[n].x << ';';
    for (int g = 0; g < d.groupCount; ++g) o << d.groupNames[g] << '|';
    for (const std::string& call : ui.calls) o << call << '\n';
    return o.str();
}

}  // namespace

// Every reader takes the same lines from memory as from the file: LF and CR
// line ends (the switch to CR line mode restarts the read), a mesh, a morph
// target, a prop file, and the errors.
TEST(Reader, MemoryAndFileSourcesLoadTheSame) {
    DocFixture& fx = fixture();
    std::string crMesh = "v 0 0 0\rv 1 0 0\rv 0 1 0\rg a\rf 1 2 3\r";
    crMesh += std::string(1200, ' ') + "\r";
    const std::string base = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    struct Case {
        const char* name;
        std::string text;
        int kind;
    } cases[] = {
        {"m.obj", base, 0},
        {"cr.obj", crMesh, 0},
        {"bad.obj", "v 1 2\n", 0},
        {"long.obj", "v 0 0 0\n" + std::string(1500, 'x') + "\n", 0},
        {"t.obj", "v 0 0 0\nv 2 0 0\nv 0 1 0\n", 1},
        {"tcr.obj", "v 0 0 0\rv 2 0 0\r" + std::string(1100, '#') + "\rv 0 3 0\r", 1},
        {"few.obj", "v 0 0 0\n", 1},
        {"p.pp2", "prop a\n\tv 0 0 0\n\tv 1 0 0\n\tv 0 1 0\n\tf 1 2 3\n", 0},
        {"ext.pp2", "prop a\nobjFileGeom 0 0 :Runtime:x.obj\n", 0},
    };
    for (const Case& c : cases) {
        std::string fromFile, fromMemory;
        for (int memory = 0; memory < 2; ++memory) {
            if (c.kind == 1) fx.doc.openByPath(writeFile("memory_base.obj", base), "memory_base", 0);
            fx.reset();
            const std::string path = writeFile(c.name, c.text);
            if (memory)
                fx.doc.openFromMemory(path, c.text.data(), c.text.size(), c.kind);
            else
                fx.doc.openByPath(path, fileTitleOf(path), c.kind);
            (memory ? fromMemory : fromFile) = loadRecord(fx.doc, fx.ui);
        }
        EXPECT_EQ(fromMemory, fromFile) << c.name;
        EXPECT_EQ(fx.doc.memorySource(), nullptr);  // the bytes are not kept past the load
    }
    // A memory source is never the file: a path that does not exist still loads.
    fx.reset();
    fx.doc.openFromMemory((tempDir() / "nowhere" / "n.obj").string(), base.data(), base.size(), 0);
    EXPECT_EQ(fx.doc.loadStatus, "NORMAL");
    EXPECT_EQ(fx.doc.vertexCount, 3);
}
