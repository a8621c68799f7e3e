// "FUSION" and "TO ORIGINAL": the hashed duplicate search and the vertex map
// against the plain loops, the map file byte for byte, the limits, the kept
// map file of a refused fusion, and the whole-file check before a restore.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "special/Fusion.h"
#include "test_special_reference.h"
#include "test_special_util.h"

using namespace vortel;
using namespace vortel::test;

namespace {

// The map file as its layout describes it, built independently of the writer.
struct VcmFields {
    std::string date = "[Sun Dec  6 06:45:41 2026]";
    int V = 0, F = 0, G = 0;
    std::vector<std::string> names;
    std::vector<int> faceGroups, corners;
    std::string marker = "HERE";
    std::vector<int> map;
};

void putInt(std::string& s, int v) {
    const auto u = static_cast<unsigned>(v);
    for (int i = 0; i < 4; ++i) s += static_cast<char>((u >> (8 * i)) & 0xFF);
}

std::string vcmBytes(const VcmFields& f) {
    std::string s = f.date + '\0';
    putInt(s, f.V);
    putInt(s, f.F);
    putInt(s, f.G);
    for (const std::string& n : f.names) s += n + '\0';
    for (int g : f.faceGroups) putInt(s, g);
    for (int c : f.corners) putInt(s, c);
    s += f.marker + '\0';
    for (int m : f.map) putInt(s, m);
    return s;
}

std::string mapPath(const std::string& name) { return (tempDir() / name).string(); }

// What a refused command must not touch.
struct DocSnapshot {
    int vertices, faces, groups, floating;
    std::vector<std::string> names;
    std::vector<int> faceGroups, corners;
    std::vector<float> positions;
    explicit DocSnapshot(const CVELTADoc& d)
        : vertices(d.vertexCount), faces(d.faceCount), groups(d.groupCount), floating(d.floatingCount) {
        for (int g = 0; g < 3; ++g) names.push_back(d.groupNames[g]);
        faceGroups.assign(d.faceGroup.data(), d.faceGroup.data() + d.faceCount);
        corners.assign(d.cornerVertexList.data(), d.cornerVertexList.data() + d.ownedCornerEnd());
        for (int n = 0; n < d.vertexCount; ++n) {
            const Vec3& v = d.vertexArray[n];
            const Vec3& w = d.displayVertexArray[n];
            positions.insert(positions.end(), {v.x, v.y, v.z, w.x, w.y, w.z});
            positions.push_back(static_cast<float>(d.floatingFlag[n]));
        }
    }
    bool operator==(const DocSnapshot&) const = default;
};

// Three groups of 2 x 2 quads side by side; each group has its own copies of
// the border vertices it shares with its neighbour.
std::string groupedObj() {
    std::string s;
    for (int g = 0; g < 3; ++g)
        for (int y = 0; y <= 2; ++y)
            for (int x = 0; x <= 2; ++x) s += "v " + std::to_string(2 * g + x) + " " + std::to_string(y) + " 0.5\n";
    for (int g = 0; g < 3; ++g) {
        s += "g part" + std::to_string(g) + "\n";
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                const int a = 9 * g + 3 * y + x + 1;
                s += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + 4) + " " +
                     std::to_string(a + 3) + "\n";
            }
    }
    return s;
}

}  // namespace

TEST(DuplicateSearch, EqualsPlainScanWithLimitAndVertexMap) {
    std::mt19937 rng(17);
    int trips = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const int n = static_cast<int>(rng() % 300);
        const std::vector<Vec3> v = plantedPositions(rng, n);
        const int maxPairs = (rng() % 3 == 0) ? 1 + static_cast<int>(rng() % 30) : kMaxFusionPairs;
        std::vector<int> pf(kMaxFusionPairs), pd(kMaxFusionPairs), rf(kMaxFusionPairs), rd(kMaxFusionPairs);
        std::vector<unsigned char> mark(static_cast<size_t>(n) + 1, 9), refMark(static_cast<size_t>(n) + 1, 9);
        std::vector<int> firstCopy(static_cast<size_t>(n) + 1, -1);
        const DuplicateSearch mine =
            findDuplicatePairs(v.data(), n, maxPairs, pf.data(), pd.data(), mark.data(), firstCopy.data());
        const DuplicateSearch want = ref::duplicatePairs(v.data(), n, maxPairs, rf.data(), rd.data(), refMark.data());
        ASSERT_EQ(mine.pairs, want.pairs) << "trial " << trial;
        ASSERT_EQ(mine.limitReached, want.limitReached) << "trial " << trial;
        pf.resize(static_cast<size_t>(want.pairs));
        pd.resize(pf.size());
        rf.resize(pf.size());
        rd.resize(pf.size());
        ASSERT_EQ(pf, rf) << "trial " << trial;
        ASSERT_EQ(pd, rd) << "trial " << trial;
        ASSERT_EQ(mark, refMark) << "trial " << trial;
        trips += want.limitReached;
        if (want.limitReached) continue;
        std::vector<int> map(static_cast<size_t>(n)), refMap(static_cast<size_t>(n));
        weldVertexMap(n, mark.data(), firstCopy.data(), map.data());
        ref::vertexMap(n, refMark.data(), rf.data(), rd.data(), want.pairs, refMap.data());
        ASSERT_EQ(map, refMap) << "trial " << trial;
    }
    EXPECT_GT(trips, 50);
}

TEST(Fusion, RandomGroupedMeshesMatchThePlainLoopsAndTheLayout) {
    PanelFixture p;
    std::mt19937 rng(23);
    const std::string path = mapPath("random.vcm");
    for (int trial = 0; trial < 60; ++trial) {
        MeshData m;
        m.vertices = plantedPositions(rng, 1 + static_cast<int>(rng() % 200));
        const int n = static_cast<int>(m.vertices.size());
        m.groupCount = 1 + static_cast<int>(rng() % 4);
        for (int f = 0; f < 1 + static_cast<int>(rng() % 120); ++f) {
            std::vector<int> face;
            for (int c = 0; c < 1 + static_cast<int>(rng() % 5); ++c)
                face.push_back(1 + static_cast<int>(rng() % static_cast<unsigned>(n)));
            m.faces.push_back(face);
            m.faceGroups.push_back(static_cast<int>(rng() % static_cast<unsigned>(m.groupCount)));
        }
        setMesh(p.doc, m);
        p.doc.floatingCount = 0;  // the test for floating points is not what this trial is about
        clearUi(p.ui);
        ASSERT_EQ(p.panel.fusion(path), CommandResult::Done) << trial;

        VcmFields want;
        want.V = n;
        want.F = static_cast<int>(m.faces.size());
        want.G = m.groupCount;
        for (int g = 0; g < m.groupCount; ++g) want.names.push_back("g" + std::to_string(g) + "\n");
        want.faceGroups = m.faceGroups;
        for (const auto& face : m.faces) want.corners.insert(want.corners.end(), face.begin(), face.end());
        std::vector<int> pf(kMaxFusionPairs), pd(kMaxFusionPairs);
        std::vector<unsigned char> mark(static_cast<size_t>(n));
        const DuplicateSearch s = ref::duplicatePairs(m.vertices.data(), n, kMaxFusionPairs, pf.data(), pd.data(),
                                                      mark.data());
        want.map.resize(static_cast<size_t>(n));
        ref::vertexMap(n, mark.data(), pf.data(), pd.data(), s.pairs, want.map.data());
        const std::string bytes = readFile(path);
        want.date = bytes.substr(0, bytes.find('\0'));
        ASSERT_EQ(bytes, vcmBytes(want)) << trial;

        std::vector<int> corners = want.corners;
        bool tripped = false;
        const int counter = ref::repointCorners(corners.data(), static_cast<int>(corners.size()), pf.data(),
                                                pd.data(), s.pairs, kMaxFusionCorners, tripped);
        ASSERT_EQ(std::vector<int>(p.doc.cornerVertexList.data(), p.doc.cornerVertexList.data() + corners.size()),
                  corners);
        EXPECT_EQ(p.panel.fusionCornerCounter, counter);
        EXPECT_EQ(p.doc.floatingCount, s.pairs);
        for (int k = 0; k < n; ++k) ASSERT_EQ(p.doc.floatingFlag[k], mark[k]);
        for (int f = 0; f < want.F; ++f) ASSERT_EQ(p.doc.faceGroup[f], 0);
        EXPECT_EQ(p.doc.groupCount, 1);
        EXPECT_EQ(p.doc.groupNames[0], "FUSIONDATA");
        EXPECT_EQ(p.ui.messages,
                  std::vector<std::string>{"[VORTEL] OK. GENERATE VCM TABLE. PLEASE SAVE FUSION 3D OBJ DATA."});
    }
}

TEST(Fusion, WorkedExamplesAndTheDate) {
    PanelFixture p;
    const std::string path = mapPath("examples.vcm");
    auto mapOf = [&] {
        const std::string b = readFile(path);
        std::vector<int> map;
        for (int j = 0; j < p.doc.vertexCount; ++j) {
            const size_t at = b.size() - 4 * static_cast<size_t>(p.doc.vertexCount - j);
            map.push_back(static_cast<int>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8));
        }
        return map;
    };
    // No duplicates: the identity.
    p.load("plain.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\n");
    ASSERT_EQ(p.panel.fusion(path), CommandResult::Done);
    EXPECT_EQ(mapOf(), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(std::regex_match(readFile(path).substr(0, 26),
                                 std::regex(R"(\[(Sun|Mon|Tue|Wed|Thu|Fri|Sat) [A-Z][a-z]{2} [ 123]\d \d\d:\d\d:\d\d \d{4}\])")));
    // Vertex 4 stands where vertex 2 stands.
    p.load("five.obj", "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 1 0 0\nv 3 0 0\nf 1 2 3\nf 4 5 1\n");
    ASSERT_EQ(p.panel.fusion(path), CommandResult::Done);
    EXPECT_EQ(mapOf(), (std::vector<int>{0, 1, 2, 1, 3}));
    EXPECT_EQ(p.doc.floatingCount, 1);
    EXPECT_EQ(p.doc.cornerVertexList[3], 2);
    EXPECT_EQ(p.panel.fusionCornerCounter, 1);
    // Vertices 4, 9 and 12 coincide: all three go to the welded position of 4.
    std::string text;
    for (int i = 1; i <= 12; ++i) text += (i == 4 || i == 9 || i == 12) ? "v 7 7 7\n" : "v " + std::to_string(i) + " 0 0\n";
    text += "f 1 2 3 4 5 6\nf 7 8 9 10 11 12\n";
    p.load("twelve.obj", text);
    ASSERT_EQ(p.panel.fusion(path), CommandResult::Done);
    EXPECT_EQ(mapOf(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 3, 8, 9, 3}));
    EXPECT_EQ(p.doc.floatingCount, 2);
    EXPECT_EQ(p.doc.floatingFlag[8], 1);
    EXPECT_EQ(p.doc.floatingFlag[11], 1);
}

TEST(Fusion, RefusalsKeepThePreviousMapFileAndTheMesh) {
    PanelFixture p;
    const std::string path = mapPath("kept.vcm");
    const std::string previous = "the user's only copy";
    auto refusedWith = [&](const std::string& text) {
        clearUi(p.ui);
        const DocSnapshot before(p.doc);
        EXPECT_EQ(p.panel.fusion(path), CommandResult::Refused) << text;
        EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] " + text});
        EXPECT_EQ(readFile(path), previous) << text;
        EXPECT_FALSE(std::filesystem::exists(path + ".tmp")) << text;
        EXPECT_TRUE(DocSnapshot(p.doc) == before) << text;
        if (!p.ui.calls.empty() && p.ui.calls.front() == "wait-cursor on") {
            EXPECT_EQ(p.ui.calls.back(), "wait-cursor off") << text;
        }
    };
    writeFile("kept.vcm", previous);

    p.load("floating.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 5 5 5\nf 1 2 3\n");
    refusedWith("NG! TERGET OBJ HAS SOME FLOATING POINTS.");

    p.load("bad.obj", "# no vertex\n");
    refusedWith("OBJECT HAS NOT GROUP.");

    MeshData many;
    many.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
    many.faces = {{1, 2, 3}};
    setMesh(p.doc, many);
    p.doc.groupCount = 249;
    refusedWith("OBJECT GROUP RANGE MAX OVER.(1-248)");

    // 25,000 duplicate pairs.
    MeshData dup;
    for (int i = 0; i < 25000; ++i) {
        const Vec3 v{static_cast<float>(i), 1, 2};
        dup.vertices.push_back(v);
        dup.vertices.push_back(v);
    }
    dup.faces = {{1, 2, 3}};
    setMesh(p.doc, dup);
    p.doc.floatingCount = 0;
    refusedWith("NG. MAX REATCHED!");

    // 25,000 corners to re-point, with a single duplicate.
    MeshData busy;
    busy.vertices = {{0, 0, 0}, {0, 0, 0}, {1, 0, 0}};
    for (int f = 0; f < 6250; ++f) busy.faces.push_back({2, 2, 2, 2});
    busy.faces.push_back({1, 3, 1});
    setMesh(p.doc, busy);
    refusedWith("NG! MAX REATCHED!");
    busy.faces[0] = {2, 2, 2, 3};  // one corner fewer: 24,999 fit
    setMesh(p.doc, busy);
    clearUi(p.ui);
    EXPECT_EQ(p.panel.fusion(path), CommandResult::Done);
    EXPECT_EQ(p.panel.fusionCornerCounter, 24999);

    clearUi(p.ui);
    setMesh(p.doc, many);
    EXPECT_EQ(p.panel.fusion(mapPath("no-such-folder/VCMTEMP.VCM")), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages, std::vector<std::string>{"[VORTEL] WK I/O ERROR"});
}

TEST(ToOriginal, RestoresGroupsCornersAndKeepsWeldedPositionsAndMorph) {
    PanelFixture p;
    const std::string path = mapPath("roundtrip.vcm");
    p.load("grouped.obj", groupedObj());
    const DocSnapshot original(p.doc);
    ASSERT_EQ(p.doc.groupCount, 3);
    p.panel.clickRadio(mtm::RadioFusion);
    ASSERT_EQ(p.panel.fusion(path), CommandResult::Done);
    EXPECT_EQ(p.doc.floatingCount, 6);
    // Right after the fusion the duplicates are floating: refused.
    clearUi(p.ui);
    EXPECT_EQ(p.panel.toOriginal(path), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages.back(), "[VORTEL] NG! TERGET OBJ HAS SOME FLOATING POINTS.");

    p.doc.savePath = (tempDir() / "welded.obj").string();
    p.doc.directSaveFlag = 1;
    p.doc.onSaveAs();
    p.doc.directSaveFlag = 0;
    p.load("welded.obj", readFile(p.doc.savePath));
    ASSERT_EQ(p.doc.vertexCount, 21);
    // A morph on the welded mesh: every vertex moved by its own offset.
    std::string target;
    for (int n = 0; n < 21; ++n) {
        const Vec3& v = p.doc.vertexArray[n];
        target += "v " + std::to_string(v.x) + " " + std::to_string(v.y + 0.25f * static_cast<float>(n)) + " " +
                  std::to_string(v.z) + "\n";
    }
    p.doc.openByPath(writeFile("welded_mt.obj", target), "welded_mt", 1);
    ASSERT_EQ(p.doc.morphLoadedFlag, 1);
    const std::vector<Vec3> weldedDelta(p.doc.morphDeltaArray.data(), p.doc.morphDeltaArray.data() + 21);

    clearUi(p.ui);
    ASSERT_EQ(p.panel.toOriginal(path), CommandResult::Done);
    ASSERT_EQ(p.ui.messages.size(), 1u);
    EXPECT_TRUE(std::regex_match(p.ui.messages[0],
                                 std::regex(R"(\[VORTEL\] VCM INFORMATION\.\n CREATE DATE = \[.{24}\]\n\n  Vertex = 27\n)"
                                            R"(  Face   = 12\n  Group  = 3\n\n\nContinue\?\?)")));
    EXPECT_EQ(p.doc.vertexCount, 27);
    EXPECT_EQ(p.doc.groupCount, 3);
    EXPECT_EQ(p.doc.groupNames[2], "part2\n");
    EXPECT_EQ(p.doc.floatingCount, 0);
    const DocSnapshot restored(p.doc);
    EXPECT_EQ(restored.faceGroups, original.faceGroups);
    EXPECT_EQ(restored.corners, original.corners);
    for (int n = 0; n < 27; ++n)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(restored.positions[7 * n + c], original.positions[7 * n + c]);
    // Vertex 10 (the copy of vertex 3) takes the offsets of the welded vertex that stands for both.
    EXPECT_EQ(p.doc.morphDeltaArray[9].y, p.doc.morphDeltaArray[2].y);
    EXPECT_EQ(p.doc.morphDeltaArray[2].y, weldedDelta[2].y);
    EXPECT_EQ(p.doc.movedFlag[9], 1);
}

TEST(ToOriginal, RefusesEveryDamagedFileAndChangesNothing) {
    PanelFixture p;
    // The open mesh: four vertices, two faces, one group; V = 5 allows one welded duplicate.
    p.load("small.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3\nf 1 3 4\n");
    VcmFields good;
    good.V = 5;
    good.F = 2;
    good.G = 2;
    good.names = {"left\n", "right\n"};
    good.faceGroups = {0, 1};
    good.corners = {1, 2, 3, 5, 3, 4};
    good.map = {0, 1, 2, 3, 0};
    const std::string path = mapPath("damaged.vcm");
    const DocSnapshot before(p.doc);
    auto refuse = [&](const std::string& bytes, const std::string& message, const std::string& what) {
        writeFile("damaged.vcm", bytes);
        clearUi(p.ui);
        EXPECT_EQ(p.panel.toOriginal(path), CommandResult::Refused) << what;
        ASSERT_FALSE(p.ui.messages.empty()) << what;
        EXPECT_EQ(p.ui.messages.back(), "[VORTEL] " + message) << what;
        EXPECT_TRUE(DocSnapshot(p.doc) == before) << what;
    };
    const std::string syntax = "NG! VCM TABLE SYNTAX ERROR. PLEASE REMAKE IT.";
    const std::string unmatch = "NG! VCM TABLE <-> TERGET OBJ UNMATCH.";

    const std::string full = vcmBytes(good);
    for (size_t cut = 0; cut < full.size(); ++cut) refuse(full.substr(0, cut), syntax, "cut at " + std::to_string(cut));

    VcmFields f = good;
    f.map[4] = 4;  // the open mesh has vertices 0 .. 3
    refuse(vcmBytes(f), unmatch, "map entry past the mesh");
    f.map[4] = -1;
    refuse(vcmBytes(f), unmatch, "negative map entry");
    f = good;
    f.corners[3] = 6;
    refuse(vcmBytes(f), syntax, "corner past V");
    f.corners[3] = 0;
    refuse(vcmBytes(f), syntax, "corner 0");
    f = good;
    f.faceGroups[1] = 2;
    refuse(vcmBytes(f), syntax, "face group past G");
    f = good;
    f.names[1] = std::string(1001, 'x');
    refuse(vcmBytes(f), syntax, "overlong name");
    f = good;
    f.V = 3;
    refuse(vcmBytes(f), unmatch, "fewer vertices than the mesh");
    f = good;
    f.F = 3;
    refuse(vcmBytes(f), unmatch, "face count");
    f = good;
    f.V = 130001;
    refuse(vcmBytes(f), syntax, "V past the capacity");
    f = good;
    f.G = 221;
    refuse(vcmBytes(f), syntax, "G past the capacity");
    f = good;
    f.G = -1;
    refuse(vcmBytes(f), syntax, "negative G");
    refuse(full.substr(0, full.find('\0')), syntax, "date without its end");

    clearUi(p.ui);
    writeFile("damaged.vcm", full);
    p.ui.answers = {MsgAnswer::Cancel};
    EXPECT_EQ(p.panel.toOriginal(path), CommandResult::Cancelled);
    EXPECT_TRUE(DocSnapshot(p.doc) == before);
    EXPECT_EQ(p.panel.toOriginal(mapPath("missing.vcm")), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages.back(), "[VORTEL] WK I/O ERROR");

    // The valid file is accepted: five vertices, the fifth a copy of the first.
    clearUi(p.ui);
    ASSERT_EQ(p.panel.toOriginal(path), CommandResult::Done);
    EXPECT_EQ(p.doc.vertexCount, 5);
    EXPECT_EQ(p.doc.vertexArray[4].x, 0.0f);
    EXPECT_EQ(p.doc.cornerVertexList[3], 5);
    EXPECT_EQ(p.doc.faceGroup[1], 1);
    EXPECT_EQ(p.doc.groupNames[1], "right\n");

    // A table without groups is accepted and leaves the document without a group.
    p.load("small.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3\nf 1 3 4\n");
    f = good;
    f.G = 0;
    f.names.clear();
    f.faceGroups = {0, 0};
    writeFile("damaged.vcm", vcmBytes(f));
    EXPECT_EQ(p.panel.toOriginal(path), CommandResult::Done);
    EXPECT_EQ(p.doc.groupCount, 0);

    // More vertices in the open mesh than the table knows: refused.
    p.load("six.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 2 2\nv 3 3 3\nf 1 2 3 5 6\nf 1 3 4\n");
    writeFile("damaged.vcm", full);
    clearUi(p.ui);
    EXPECT_EQ(p.panel.toOriginal(path), CommandResult::Refused);
    EXPECT_EQ(p.ui.messages.back(), "[VORTEL] " + unmatch);
}
