// Every bundled sample, cut short, must load or fail cleanly: run under
// AddressSanitizer and UndefinedBehaviorSanitizer by ./test.sh. The cuts are
// read from memory, each from a buffer of exactly its length, so a read past
// the end is caught. Files up to
// 20 KB are cut at every byte; larger ones at every byte of their first 4 KB
// and last 1 KB, at every byte of one line of each statement kind and at an
// even spread of points between.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

#include "TestUtil.h"
#include "scatter/DropModule.h"

using namespace vortel;
using namespace vortel::test;

namespace {

std::set<size_t> cutPoints(const std::string& bytes) {
    std::set<size_t> cuts;
    const size_t n = bytes.size();
    // VORTEL_CUT_EVERY_BYTE=1 cuts every file at every byte (a long run).
    if (n <= 20000 || std::getenv("VORTEL_CUT_EVERY_BYTE")) {
        for (size_t i = 0; i <= n; ++i) cuts.insert(i);
        return cuts;
    }
    for (size_t i = 0; i <= 4096; ++i) cuts.insert(i);
    for (size_t i = n - 1024; i <= n; ++i) cuts.insert(i);
    // One line of each statement kind, cut at every byte of it.
    for (const char* kind : {"\nv ", "\nvt ", "\nf ", "\ng ", "\nusemtl ", "\nl ", "\nprop ", "\n\tv "}) {
        size_t at = bytes.find(kind, n / 2);
        if (at == std::string::npos) at = bytes.find(kind);
        if (at == std::string::npos) continue;
        const size_t end = std::min(n, bytes.find('\n', at + 1) + 2);
        for (size_t i = at; i <= end; ++i) cuts.insert(i);
    }
    for (size_t i = 0; i < 300; ++i) cuts.insert(i * n / 300);
    return cuts;
}

void loadEveryCut(const std::string& sample, int kind, const std::string& base = {}) {
    DocFixture& fx = fixture();
    const std::string bytes = readFile(sourcePath(sample));
    ASSERT_FALSE(bytes.empty()) << sample;
    const std::string ext = sample.substr(sample.find_last_of('.'));
    const std::string cutPath = (tempDir() / ("cut" + ext)).string();
    if (!base.empty()) fx.doc.openByPath(sourcePath(base), "base", 0);
    for (size_t cut : cutPoints(bytes)) {
        const std::unique_ptr<char[]> piece(new char[cut ? cut : 1]);
        std::memcpy(piece.get(), bytes.data(), cut);
        fx.reset();
        fx.doc.openFromMemory(cutPath, piece.get(), cut, kind);
        ASSERT_TRUE(fx.doc.loadStatus == "NORMAL" || fx.doc.loadStatus == "ERROR") << sample << " cut at " << cut;
        if (kind == 0 && fx.doc.loadStatus == "NORMAL") {
            // The invariants every view relies on.
            const CVELTADoc& d = fx.doc;
            ASSERT_GT(d.vertexCount, 0);
            for (int f = 0; f < d.faceCount; ++f)
                for (int c = 0; c < d.faceCornerCount[f]; ++c) {
                    const int v = d.cornerVertexList[d.faceFirstCorner[f] + c];
                    ASSERT_TRUE(v >= 1 && v <= d.vertexCount) << sample << " cut at " << cut;
                }
            ASSERT_TRUE(d.groupCount >= 1 && d.groupCount <= kMaxGroups);
            // And a direct save of what was read.
            fx.doc.savePath = (tempDir() / "cut_saved.obj").string();
            fx.doc.directSaveFlag = 1;
            fx.doc.onSaveAs();
            fx.doc.directSaveFlag = 0;
        }
        if (kind == 9) {
            // What a seed load leaves, whole or cut short, stays inside the seed's lists.
            const SeedMesh& seed = fx.doc.module<DropModule>()->seed;
            ASSERT_TRUE(seed.vertexCount >= 0 && seed.vertexCount <= kMaxSeedVertices);
            ASSERT_TRUE(seed.cornerTotal >= 0 && seed.cornerTotal <= kMaxSeedCorners);
            ASSERT_TRUE(seed.faceCount >= 0 && seed.faceCount <= kMaxSeedFaces);
            for (int f = 0; f < seed.faceCount; ++f)
                ASSERT_LE(seed.faceFirstCorner[f] + seed.faceCornerCount[f], seed.cornerTotal);
            if (seed.loaded) {
                ASSERT_GT(seed.vertexCount, 0);
            }
        }
        if (kind == 1 && !base.empty() && fx.doc.vertexCount == 0) fx.doc.openByPath(sourcePath(base), "base", 0);
    }
}

}  // namespace

TEST(SampleCuts, Figure) { loadEveryCut("data/samples/figure.obj", 0); }
TEST(SampleCuts, FigureMorphTarget) { loadEveryCut("data/samples/figure_mt.obj", 1, "data/samples/figure.obj"); }
TEST(SampleCuts, Parts) { loadEveryCut("data/samples/parts.obj", 0); }
TEST(SampleCuts, Hair) { loadEveryCut("data/samples/hair.obj", 0); }
TEST(SampleCuts, Props) { loadEveryCut("data/samples/props.pp2", 0); }
TEST(SampleCuts, Presets) {
    loadEveryCut("preset/shape.obj", 0);
    loadEveryCut("preset/flat.obj", 0);
    loadEveryCut("preset/pyl.obj", 0);
}
TEST(SampleCuts, Seeds) {
    loadEveryCut("preset/shape.obj", 9);
    loadEveryCut("preset/flat.obj", 9);
    loadEveryCut("preset/pyl.obj", 9);
    loadEveryCut("data/samples/parts.obj", 9);
}
