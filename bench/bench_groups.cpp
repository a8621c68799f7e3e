// The group list's CR2 export of a morph of the limit mesh cut into 220 groups,
// against loading that mesh, in one run. The mesh is the 360 x 360 quad torus
// (129,600 vertices, 129,600 quads) with a new group every 590 faces; its morph
// target moves every vertex, so every group writes its actor block and the
// file lists all 129,600 vertices plus the ones on group borders again.
// fresh:0 writes over the file of the last run, as a second export does;
// fresh:1 removes it first (untimed), as the first export of a morph.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "LimitMeshFiles.h"
#include "SilentPlatform.h"
#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"
#include "groups/GroupExports.h"

using namespace vortel;

namespace {

constexpr int kSide = 360;
constexpr int kGroups = 220;

// Base (bulge 0) or morph target (every vertex pushed out along the tube).
std::string writeTorus220(const std::string& path, double bulge, bool faces) {
    if (std::filesystem::exists(path)) return path;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    const double pi = 3.14159265358979323846;
    for (int j = 0; j < kSide; ++j)
        for (int i = 0; i < kSide; ++i) {
            const double u = 2 * pi * i / kSide, v = 2 * pi * j / kSide;
            const double tube = 0.35 * (1.0 + bulge * std::sin(3 * u));
            const double r = 1.0 + tube * std::cos(v);
            std::fprintf(f, "v %f %f %f\n", r * std::cos(u), tube * std::sin(v), r * std::sin(u));
        }
    if (faces) {
        const int total = kSide * kSide;
        int group = -1;
        for (int k = 0; k < total; ++k) {
            const int g = static_cast<int>(static_cast<long long>(k) * kGroups / total);
            if (g != group) std::fprintf(f, "g part%d\n", group = g);
            const int j = k / kSide, i = k % kSide;
            const int a = j * kSide + i + 1, b = j * kSide + (i + 1) % kSide + 1;
            const int c = ((j + 1) % kSide) * kSide + (i + 1) % kSide + 1, d = ((j + 1) % kSide) * kSide + i + 1;
            std::fprintf(f, "f %d %d %d %d\n", a, b, c, d);
        }
    }
    std::fclose(f);
    return path;
}

std::string baseFile() { return writeTorus220(bench::benchDir() + "/limit_220groups.obj", 0.0, true); }
std::string targetFile() { return writeTorus220(bench::benchDir() + "/limit_220groups_mt.obj", 0.1, false); }

using Bench = bench::SilentSession;

Bench& shared() { return Bench::shared(); }

void BM_Load220Groups(benchmark::State& state) {
    Bench& b = shared();
    const std::string path = baseFile();
    for (auto _ : state) {
        b.doc.openByPath(path, "limit_220groups", 0);
        if (b.doc.loadStatus != "NORMAL") state.SkipWithError(b.doc.loadMessage.c_str());
    }
    state.counters["groups"] = b.doc.groupCount;
    state.counters["vertices"] = b.doc.vertexCount;
}

void BM_Cr2Export220Groups(benchmark::State& state) {
    Bench& b = shared();
    b.doc.openByPath(baseFile(), "limit_220groups", 0);
    b.doc.openByPath(targetFile(), "limit_220groups_mt", 1);
    if (b.doc.morphLoadedFlag != 1) {
        state.SkipWithError("morph target not loaded");
        return;
    }
    Cr2ExportResult r;
    const bool fresh = state.range(0) != 0;
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            std::remove((b.doc.documentPath + ".cr2").c_str());
            state.ResumeTiming();
        }
        r = b.doc.module<GroupExports>()->saveCr2();
        if (!r.written) state.SkipWithError("CR2 not written");
    }
    state.counters["actors"] = r.actors;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(r.path)) / 1e6;
}

}  // namespace

BENCHMARK(BM_Load220Groups)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Cr2Export220Groups)->ArgName("fresh")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
