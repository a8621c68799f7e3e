// DROP at the limit: 40 x 40 lines, seen from the top and from the front,
// on the limit meshes, against the load of the same mesh, in one run; and the
// plain loop (every line against every face) on a slice of the faces,
// scaled to the whole mesh and to the 520,000-face capacity.
//
// Meshes (bench/LimitMeshFiles.h): a torus lying in the x-z plane, as 129,600
// quads (518,400 corners) and as 172,800 triangles. From the top the lines
// meet the ring's upper side; from the front the torus is seen edge-on, with
// many faces nearly parallel to the lines along its rims.
// Seed: a cube of 8 vertices and 6 quads (8 x 40 x 40 = 12,800 copy vertices).
// Both random boxes checked, size slider 50, the generator seeded with 1.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "../tests/core/test_drop_reference.h"
#include "LimitMeshFiles.h"
#include "SilentPlatform.h"
#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"
#include "scatter/DropModule.h"

using namespace vortel;

namespace {

constexpr int kSlice = 10000;
constexpr int kLines = 40;

struct World {
    bench::SilentPlatform ui;
    CVELTADoc doc{ui};
    HeadlessView view{doc};
    std::string quads = bench::quadLimitFile();
    std::string triangles = bench::triangleLimitFile();
    std::string seed = bench::benchDir() + "/cube_seed.obj";

    World() {
        doc.addView(&view);
        bench::writeTextOrAbort(seed,
                                "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
                                "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n");
        doc.openByPath(seed, "cube_seed", 9);
        if (!doc.module<DropModule>()->seed.loaded) std::abort();
        doc.module<DropModule>()->fixedRandomSeed = 1;
    }
    void load(const std::string& path) {
        doc.openByPath(path, "limit", 0);
        if (doc.loadStatus != "NORMAL") std::abort();
    }
    // The torus files wind their faces inward: lines from outside would meet
    // only back faces and place nothing. Turned over, they meet the front.
    void loadOutward(const std::string& path) {
        load(path);
        for (int f = 0; f < doc.faceCount; ++f) {
            int* c = doc.cornerVertexList.data() + doc.faceFirstCorner[f];
            std::reverse(c, c + doc.faceCornerCount[f]);
        }
        doc.computeNormals();
    }
};

World& world() {
    static World* w = new World;
    return *w;
}

const std::string& meshPath(const std::string& name) { return name == "quads" ? world().quads : world().triangles; }

void BM_Load(benchmark::State& state, std::string mesh) {
    World& w = world();
    for (auto _ : state) w.load(meshPath(mesh));
    state.counters["faces"] = w.doc.faceCount;
}

void BM_Drop(benchmark::State& state, std::string mesh, int top) {
    World& w = world();
    w.loadOutward(meshPath(mesh));
    DropModule& m = *w.doc.module<DropModule>();
    for (auto _ : state)
        if (m.dropRoutine(1, 1, kLines, 50, top) != DropOutcome::Dropped) state.SkipWithError("DROP refused");
    state.counters["hits"] = w.doc.markerPointCount2;
    state.counters["faces"] = w.doc.faceCount;
}

// The plain loop for the same 1,600 lines over the first 10,000 faces; its
// time grows with the faces tested, so it is scaled by the face counts.
void BM_PlainSlice(benchmark::State& state, std::string mesh, int top) {
    World& w = world();
    w.loadOutward(meshPath(mesh));
    DropModule& m = *w.doc.module<DropModule>();
    m.dropRoutine(1, 1, kLines, 50, top);  // the line origins, in marker point list 1
    double seconds = 0;
    int hits = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        hits = 0;
        for (int i = 0; i < w.doc.markerPointCount1; ++i) {
            Vec3 h;
            int f;
            hits += ref::plainRayCast(w.doc, w.doc.markerPointList1[i], top != 0, h, f, kSlice) ? 1 : 0;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double perRun = seconds / static_cast<double>(state.iterations());
    state.counters["slice_s"] = perRun;
    state.counters["whole_mesh_s"] = perRun * w.doc.faceCount / kSlice;
    state.counters["at_limit_s"] = perRun * kMaxFaces / kSlice;
    benchmark::DoNotOptimize(hits);
}

void registerAll() {
    const auto ms = benchmark::kMillisecond;
    for (const char* mesh : {"quads", "triangles"}) {
        const std::string name = mesh;
        benchmark::RegisterBenchmark(("Load/" + name).c_str(), BM_Load, name)->Unit(ms);
        benchmark::RegisterBenchmark(("Drop40/top/" + name).c_str(), BM_Drop, name, 1)->Unit(ms);
        benchmark::RegisterBenchmark(("Drop40/front/" + name).c_str(), BM_Drop, name, 0)->Unit(ms);
        benchmark::RegisterBenchmark(("PlainSlice10k/top/" + name).c_str(), BM_PlainSlice, name, 1)
            ->Unit(ms)
            ->Iterations(2);
        benchmark::RegisterBenchmark(("PlainSlice10k/front/" + name).c_str(), BM_PlainSlice, name, 0)
            ->Unit(ms)
            ->Iterations(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    registerAll();
    world();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete &world();
    return 0;
}
