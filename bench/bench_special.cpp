// Special functions panel at the 130,000-vertex limit: every command against
// the load of the mesh it works on, and the plain all-pairs loops on a slice,
// extrapolated to the full meshes and to the capacities.
//
// Meshes, made here and written as OBJ files into a temporary folder:
//   quad   a tube of 360 columns x 360 rows: 129,600 vertices, 129,240 quads,
//          exactly symmetric in x, with a sharp ridge along the centre line
//          over the first 60 rows (the edges that "1.ANALYSIS" finds at 80');
//   tri    the tube with 240 rows, every quad split in two: 86,400 vertices,
//          172,080 triangles, 516,240 corners (three corners a triangle: the
//          520,000-corner capacity allows at most 173,333 triangles);
//   grouped-quad / grouped-tri   the tube in 8 groups of 45 columns, each group
//          with its own copies of its border columns: 352 rows, 129,536
//          vertices, 2,816 duplicates, 126,360 quads; 241 rows, 88,688
//          vertices, 1,928 duplicates, 172,800 triangles ("FUSION" works on these);
//   welded-quad / welded-tri     the grouped meshes after "FUSION" and Save As
//          ("TO ORIGINAL" works on these);
//   noisy  a tube of 400 columns x 325 rows: exactly 130,000 vertices, the
//          right side moved by up to 5e-6 in every coordinate (rounding noise),
//          for the console's "vcm --tolerance"; the vertex spacing is about 0.016.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../tests/core/test_special_reference.h"
#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"
#include "platform/Settings.h"
#include "special/MtmPanel.h"
#include "special/SymmetryMap.h"
#include "special/ToleranceMap.h"
#include "SilentPlatform.h"

using namespace vortel;

namespace {

using BenchPlatform = bench::SilentPlatform;

constexpr int kColumns = 360;
constexpr int kQuadRows = 360;
constexpr int kTriRows = 240;
constexpr int kGroups = 8;
constexpr int kGroupColumns = kColumns / kGroups;  // 45 quads wide, 46 vertex columns
constexpr int kGroupQuadRows = 352;                // 8 x 46 x 352 = 129,536 vertices
constexpr int kGroupTriRows = 241;                 // 8 x 45 x 240 x 2 triangles x 3 = 518,400 corners
constexpr int kRidgeRows = 60;
constexpr int kSlice = 10000;

// Column k of row r. Columns 181 .. 359 are the exact mirror images of 179 .. 1;
// columns 0 and 180 lie on the centre line.
void tubePoint(int k, int row, double out[3]) {
    const int half = k <= 180 ? k : 360 - k;
    const double angle = half * 2.0 * M_PI / 360.0;
    double x = (half == 0 || half == 180) ? 0.0 : std::sin(angle);
    double y = std::cos(angle);
    double radius = 1.0 + 0.2 * std::sin(row * 0.05);
    if (half == 0 && row < kRidgeRows) radius *= 1.05;  // the ridge
    x *= radius;
    y *= radius;
    out[0] = k <= 180 ? x : -x;
    out[1] = y;
    out[2] = row * 0.02;
}

void appendVertex(std::string& s, const double p[3]) {
    char line[96];
    std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", p[0], p[1], p[2]);
    s += line;
}

void appendFace(std::string& s, bool triangles, int a, int b, int c, int d) {
    char line[96];
    if (triangles)
        std::snprintf(line, sizeof line, "f %d %d %d\nf %d %d %d\n", a, b, c, a, c, d);
    else
        std::snprintf(line, sizeof line, "f %d %d %d %d\n", a, b, c, d);
    s += line;
}

std::string tubeObj(bool triangles, int rows) {
    std::string s;
    double p[3];
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < kColumns; ++k) {
            tubePoint(k, r, p);
            appendVertex(s, p);
        }
    for (int r = 0; r + 1 < rows; ++r)
        for (int k = 0; k < kColumns; ++k) {
            const int a = r * kColumns + k + 1, b = r * kColumns + (k + 1) % kColumns + 1;
            appendFace(s, triangles, a, b, b + kColumns, a + kColumns);
        }
    return s;
}

std::string groupedObj(bool triangles, int rows) {
    std::string s;
    double p[3];
    const int width = kGroupColumns + 1;
    for (int g = 0; g < kGroups; ++g)
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < width; ++c) {
                tubePoint((g * kGroupColumns + c) % kColumns, r, p);
                appendVertex(s, p);
            }
    for (int g = 0; g < kGroups; ++g) {
        s += "g part" + std::to_string(g) + "\n";
        const int base = g * rows * width;
        for (int r = 0; r + 1 < rows; ++r)
            for (int c = 0; c < kGroupColumns; ++c) {
                const int a = base + r * width + c + 1;
                appendFace(s, triangles, a, a + 1, a + 1 + width, a + width);
            }
    }
    return s;
}

// 400 columns (0 and 200 on the centre line) x 325 rows; the right side (x < 0)
// carries noise below 5e-6, written with seven decimals so that it survives.
constexpr int kNoisyColumns = 400;
constexpr int kNoisyRows = 325;
std::string noisyObj() {
    std::string s;
    std::uint32_t seed = 12345;
    auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (static_cast<double>(seed >> 8) / (1 << 24) - 0.5) * 1e-5;
    };
    char line[112];
    for (int r = 0; r < kNoisyRows; ++r)
        for (int k = 0; k < kNoisyColumns; ++k) {
            const int half = k <= 200 ? k : 400 - k;
            const double angle = half * 2.0 * M_PI / 400.0;
            const double radius = 1.0 + 0.2 * std::sin(r * 0.05);
            double p[3] = {(half == 0 || half == 200) ? 0.0 : std::sin(angle) * radius, std::cos(angle) * radius,
                           r * 0.02};
            if (k > 200) {
                p[0] = -p[0];
                for (double& c : p) c += noise();
            }
            std::snprintf(line, sizeof line, "v %.7f %.7f %.7f\n", p[0], p[1], p[2]);
            s += line;
        }
    for (int r = 0; r + 1 < kNoisyRows; ++r)
        for (int k = 0; k < kNoisyColumns; ++k) {
            const int a = r * kNoisyColumns + k + 1, b = r * kNoisyColumns + (k + 1) % kNoisyColumns + 1;
            appendFace(s, false, a, b, b + kNoisyColumns, a + kNoisyColumns);
        }
    return s;
}

// The morph target: the left side swells, the right side stays.
std::string targetObj(int rows) {
    std::string s;
    double p[3];
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < kColumns; ++k) {
            tubePoint(k, r, p);
            if (p[0] > 0) {
                p[0] *= 1.1;
                p[1] += 0.05;
            }
            appendVertex(s, p);
        }
    return s;
}

struct World {
    BenchPlatform ui;
    CVELTADoc doc{ui};
    HeadlessView view{doc};
    MtmPanel panel{doc};
    MtmPanelView panelView{doc, panel};
    std::string dir;
    std::map<std::string, std::string> meshes;  // name -> OBJ path
    std::map<std::string, std::string> targets;  // mesh name -> morph target path

    World() {
        doc.addView(&view);
        dir = (std::filesystem::temp_directory_path() / ("vortel-bench-special-" + std::to_string(::getpid())))
                  .string();
        std::filesystem::create_directories(dir + "/work");
        ui.home = dir + "/";
        panel.startUp();
        auto add = [&](const std::string& name, const std::string& text) {
            meshes[name] = dir + "/" + name + ".obj";
            bench::writeTextOrAbort(meshes[name], text);
        };
        add("quad", tubeObj(false, kQuadRows));
        add("tri", tubeObj(true, kTriRows));
        add("grouped-quad", groupedObj(false, kGroupQuadRows));
        add("grouped-tri", groupedObj(true, kGroupTriRows));
        add("noisy", noisyObj());
        targets["quad"] = dir + "/target-quad.obj";
        bench::writeTextOrAbort(targets["quad"], targetObj(kQuadRows));
        targets["tri"] = dir + "/target-tri.obj";
        bench::writeTextOrAbort(targets["tri"], targetObj(kTriRows));
        for (const char* kind : {"quad", "tri"}) {
            load(std::string("grouped-") + kind);
            if (panel.fusion(mapPath(kind)) != CommandResult::Done) {
                std::fprintf(stderr, "FUSION of the grouped %s mesh refused: %s\n", kind, ui.lastMessage.c_str());
                std::abort();
            }
            meshes[std::string("welded-") + kind] = dir + "/welded-" + kind + ".obj";
            doc.savePath = meshes[std::string("welded-") + kind];
            doc.directSaveFlag = 1;
            doc.onSaveAs();
            doc.directSaveFlag = 0;
        }
    }
    ~World() { std::filesystem::remove_all(dir); }

    std::string mapPath(const std::string& kind) const { return dir + "/work/" + kind + ".vcm"; }
    void load(const std::string& name) {
        bench::loadOrAbort(doc, meshes.at(name), name);
    }
};

World& world() {
    static World* w = new World;
    return *w;
}

void BM_Load(benchmark::State& state, std::string mesh) {
    World& w = world();
    for (auto _ : state) w.load(mesh);
    state.counters["vertices"] = w.doc.vertexCount;
    state.counters["faces"] = w.doc.faceCount;
}

void BM_VcmGen(benchmark::State& state, std::string mesh) {
    World& w = world();
    w.load(mesh);
    w.panel.clickRadio(mtm::RadioMtMirror);
    for (auto _ : state)
        if (w.panel.vcmGen() != CommandResult::Done) state.SkipWithError("VCM GEN refused");
    state.counters["resolved"] = w.panel.resolvedCount;
    state.counters["flawless"] = w.ui.lastMessage == "FLAWLESS SYMMETRY [" + std::to_string(w.doc.vertexCount) + "]";
}

// "VCM GEN" on the noisy mesh: exact (almost nothing resolves) and with the
// console's tolerance (every vertex resolves).
void BM_VcmGenNoisy(benchmark::State& state, std::optional<double> eps) {
    World& w = world();
    w.load("noisy");
    w.panel.clickRadio(mtm::RadioMtMirror);
    w.panel.mirrorTolerance = eps;
    for (auto _ : state)
        if (w.panel.vcmGen() != CommandResult::Done) state.SkipWithError("VCM GEN refused");
    w.panel.mirrorTolerance.reset();
    state.counters["vertices"] = w.doc.vertexCount;
    state.counters["resolved"] = w.panel.resolvedCount;
}

// The grid search alone at several tolerances, up to about the vertex spacing,
// where each vertex finds several mirror images within eps.
void BM_ToleranceSearch(benchmark::State& state, double eps) {
    World& w = world();
    w.load("noisy");
    const int n = w.doc.vertexCount;
    std::vector<int> table(static_cast<size_t>(n)), count(static_cast<size_t>(n));
    int resolved = 0;
    for (auto _ : state) resolved = toleranceMatch(w.doc.vertexArray.data(), n, eps, table.data(), count.data());
    state.counters["resolved"] = resolved;
}

void BM_MirrorLeftToRight(benchmark::State& state, std::string mesh) {
    World& w = world();
    w.load(mesh);
    w.doc.openByPath(w.targets.at(mesh), "target", 1);
    w.panel.clickRadio(mtm::RadioMtMirror);
    if (w.doc.morphLoadedFlag != 1 || w.panel.vcmGen() != CommandResult::Done) state.SkipWithError("no morph");
    for (auto _ : state)
        if (w.panel.mirror(MirrorMode::LeftToRight) != CommandResult::Done) state.SkipWithError("mirror ignored");
}

void BM_Analysis(benchmark::State& state, std::string mesh) {
    World& w = world();
    w.load(mesh);
    w.panel.clickRadio(mtm::RadioEdgeMaker);
    w.panel.setSliderPosition(8);
    for (auto _ : state) {
        w.panel.sliderReleased();  // normalise the face normals every time, as after a slider move
        if (w.panel.edgeAnalysis() != CommandResult::Done) state.SkipWithError("analysis refused");
    }
    state.counters["hits"] = w.doc.edgeLineCount;
}

void BM_Excute(benchmark::State& state, std::string mesh) {
    World& w = world();
    int hits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.load(mesh);
        w.panel.setSliderPosition(8);
        w.panel.edgeAnalysis();
        hits = w.doc.edgeLineCount;
        state.ResumeTiming();
        if (w.panel.edgeExecute() != CommandResult::Done) state.SkipWithError("cut refused");
    }
    state.counters["hits"] = hits;
    state.counters["vertices_after"] = w.doc.vertexCount;
}

void BM_Fusion(benchmark::State& state, std::string kind) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        w.load("grouped-" + kind);
        state.ResumeTiming();
        if (w.panel.fusion(w.mapPath(kind + "-bench")) != CommandResult::Done) state.SkipWithError("fusion refused");
    }
    state.counters["pairs"] = w.doc.floatingCount;
    state.counters["corners"] = w.panel.fusionCornerCounter;
}

void BM_ToOriginal(benchmark::State& state, std::string kind) {
    World& w = world();
    for (auto _ : state) {
        state.PauseTiming();
        w.load("welded-" + kind);
        state.ResumeTiming();
        if (w.panel.toOriginal(w.mapPath(kind)) != CommandResult::Done) state.SkipWithError("restore refused");
    }
    state.counters["vertices_after"] = w.doc.vertexCount;
    state.counters["groups_after"] = w.doc.groupCount;
}

// The plain loops on the first 10,000 vertices or faces; counters give the
// seconds one run would take on the whole mesh and at the capacity, by the
// square of the size.
double secondsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void setExtrapolation(benchmark::State& state, double seconds, long long iterations, double whole, double limit) {
    const double perRun = seconds / static_cast<double>(iterations);
    state.counters["slice_s"] = perRun;
    state.counters["whole_mesh_s"] = perRun * (whole / kSlice) * (whole / kSlice);
    state.counters["at_limit_s"] = perRun * (limit / kSlice) * (limit / kSlice);
}

void BM_ReferenceSymmetry(benchmark::State& state) {
    World& w = world();
    w.load("quad");
    std::vector<int> table(kSlice), count(kSlice);
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ref::symmetry(w.doc.vertexArray.data(), kSlice, table.data(), count.data()));
        seconds += secondsSince(t0);
    }
    setExtrapolation(state, seconds, state.iterations(), w.doc.vertexCount, kMaxVertices);
}

void BM_ReferenceTolerance(benchmark::State& state) {
    World& w = world();
    w.load("noisy");
    std::vector<int> table(kSlice), count(kSlice);
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ref::toleranceSymmetry(w.doc.vertexArray.data(), kSlice, 1e-4, table.data(), count.data()));
        seconds += secondsSince(t0);
    }
    setExtrapolation(state, seconds, state.iterations(), w.doc.vertexCount, kMaxVertices);
}

void BM_ReferenceEdges(benchmark::State& state, std::string mesh) {
    World& w = world();
    w.load(mesh);
    const double faces = w.doc.faceCount;
    for (int f = 0; f < w.doc.faceCount; ++f)
        vecNormalise(w.doc.faceNormalArray[f], w.doc.faceNormalArray[f]);
    FaceTableView slice{w.doc.faceFirstCorner.data(), w.doc.faceCornerCount.data(), kSlice,
                        w.doc.cornerVertexList.data()};
    std::vector<int> a(kEdgeLineSlots), b(kEdgeLineSlots), c(kEdgeLineSlots);
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(ref::edgeLines(slice, w.doc.faceNormalArray.data(), edgeThreshold(8), kMaxEdgeLines,
                                                a.data(), b.data(), c.data()));
        seconds += secondsSince(t0);
    }
    setExtrapolation(state, seconds, state.iterations(), faces, kMaxFaces);
}

void BM_ReferenceDuplicates(benchmark::State& state) {
    World& w = world();
    w.load("grouped-quad");
    std::vector<int> first(kMaxFusionPairs), dup(kMaxFusionPairs);
    std::vector<unsigned char> mark(kSlice);
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(
            ref::duplicatePairs(w.doc.vertexArray.data(), kSlice, kMaxFusionPairs, first.data(), dup.data(), mark.data()));
        seconds += secondsSince(t0);
    }
    setExtrapolation(state, seconds, state.iterations(), w.doc.vertexCount, kMaxVertices);
}

void registerAll() {
    const auto ms = benchmark::kMillisecond;
    for (const char* mesh : {"quad", "tri", "grouped-quad", "grouped-tri", "welded-quad", "welded-tri", "noisy"})
        benchmark::RegisterBenchmark((std::string("Load/") + mesh).c_str(), BM_Load, std::string(mesh))->Unit(ms);
    for (const char* mesh : {"quad", "tri"}) {
        benchmark::RegisterBenchmark((std::string("VcmGen/") + mesh).c_str(), BM_VcmGen, std::string(mesh))->Unit(ms);
        benchmark::RegisterBenchmark((std::string("MirrorLtoR/") + mesh).c_str(), BM_MirrorLeftToRight,
                                     std::string(mesh))
            ->Unit(ms);
        benchmark::RegisterBenchmark((std::string("Analysis/") + mesh).c_str(), BM_Analysis, std::string(mesh))
            ->Unit(ms);
        benchmark::RegisterBenchmark((std::string("Excute/") + mesh).c_str(), BM_Excute, std::string(mesh))
            ->Unit(ms)
            ->Iterations(10);
        benchmark::RegisterBenchmark((std::string("Fusion/grouped-") + mesh).c_str(), BM_Fusion, std::string(mesh))
            ->Unit(ms)
            ->Iterations(10);
        benchmark::RegisterBenchmark((std::string("ToOriginal/welded-") + mesh).c_str(), BM_ToOriginal,
                                     std::string(mesh))
            ->Unit(ms)
            ->Iterations(10);
    }
    benchmark::RegisterBenchmark("VcmGen/noisy/exact", BM_VcmGenNoisy, std::nullopt)->Unit(ms);
    benchmark::RegisterBenchmark("VcmGen/noisy/tolerance_1e-4", BM_VcmGenNoisy, std::optional<double>(1e-4))->Unit(ms);
    for (double eps : {0.0, 1e-5, 1e-4, 1e-3, 0.02})
        benchmark::RegisterBenchmark(("ToleranceSearch/noisy/eps_" + std::to_string(eps)).c_str(), BM_ToleranceSearch, eps)
            ->Unit(ms);
    benchmark::RegisterBenchmark("Reference/Symmetry10k", BM_ReferenceSymmetry)->Unit(ms)->Iterations(3);
    benchmark::RegisterBenchmark("Reference/Tolerance10k", BM_ReferenceTolerance)->Unit(ms)->Iterations(3);
    benchmark::RegisterBenchmark("Reference/Edges10k/quad", BM_ReferenceEdges, std::string("quad"))
        ->Unit(ms)
        ->Iterations(2);
    benchmark::RegisterBenchmark("Reference/Edges10k/tri", BM_ReferenceEdges, std::string("tri"))
        ->Unit(ms)
        ->Iterations(2);
    benchmark::RegisterBenchmark("Reference/Duplicates10k", BM_ReferenceDuplicates)->Unit(ms)->Iterations(3);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    registerAll();
    world();  // make the meshes before the first timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete &world();
    return 0;
}
