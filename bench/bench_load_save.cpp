// Loading and saving OBJ files at the limits: VORTEL's reader and writer
// against tinyobjloader's LoadObj on the same files, in one run. Both load into
// memory that is already allocated: VORTEL's document is built once, and
// tinyobjloader's output vectors are reused (clear() keeps their capacity).
// Times are wall-clock. The "Memory" runs read the same bytes from memory,
// which leaves out the file system.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "LimitMeshFiles.h"
#include "SilentPlatform.h"
#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"

#ifdef VORTEL_HAVE_TINYOBJLOADER
#include <tiny_obj_loader.h>
#endif

using namespace vortel;

namespace {

using Bench = bench::SilentSession;

Bench& shared() { return Bench::shared(); }

void vortelLoad(benchmark::State& state, const std::string& path, bool fromMemory = false) {
    Bench& b = shared();
    std::string bytes;
    if (fromMemory) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        char buf[1 << 16];
        for (size_t n; f && (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
        if (f) std::fclose(f);
    }
    for (auto _ : state) {
        if (fromMemory)
            b.doc.openFromMemory(path, bytes.data(), bytes.size(), 0);
        else
            b.doc.openByPath(path, "limit", 0);
        if (b.doc.loadStatus != "NORMAL") state.SkipWithError(b.doc.loadMessage.c_str());
        benchmark::DoNotOptimize(b.doc.vertexCount);
    }
    state.counters["vertices"] = b.doc.vertexCount;
    state.counters["faces"] = b.doc.faceCount;
}

// Saves to a new file each time; with overwrite, over the file of the last
// run (ext4 then writes the old blocks back when the file is closed, which
// adds waiting time that is not the writer's work).
void vortelSave(benchmark::State& state, const std::string& path, bool overwrite) {
    Bench& b = shared();
    b.doc.openByPath(path, "limit", 0);
    const std::string out = bench::benchDir() + "/saved.obj";
    std::memset(b.doc.groupVisibleFlag.data(), 1, kMaxGroups);
    for (auto _ : state) {
        if (!overwrite) {
            state.PauseTiming();
            std::remove(out.c_str());
            state.ResumeTiming();
        }
        b.doc.savePath = out;
        b.doc.directSaveFlag = 1;
        b.doc.onSaveAs();
        b.doc.directSaveFlag = 0;
    }
}

void BM_VortelLoad_Quads(benchmark::State& s) { vortelLoad(s, bench::quadLimitFile()); }
void BM_VortelSave_Quads(benchmark::State& s) { vortelSave(s, bench::quadLimitFile(), false); }
void BM_VortelSaveOverwrite_Quads(benchmark::State& s) { vortelSave(s, bench::quadLimitFile(), true); }
void BM_VortelLoad_Triangles(benchmark::State& s) { vortelLoad(s, bench::triangleLimitFile()); }
void BM_VortelLoadMemory_Quads(benchmark::State& s) { vortelLoad(s, bench::quadLimitFile(), true); }
void BM_VortelSave_Triangles(benchmark::State& s) { vortelSave(s, bench::triangleLimitFile(), false); }
BENCHMARK(BM_VortelLoad_Quads)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VortelSave_Quads)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VortelSaveOverwrite_Quads)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VortelLoad_Triangles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VortelSave_Triangles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VortelLoadMemory_Quads)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef VORTEL_HAVE_TINYOBJLOADER
void tinyLoad(benchmark::State& state, const std::string& path) {
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warn, err;
    tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), nullptr, false);
    for (auto _ : state) {
        bool ok = tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), nullptr, false);
        if (!ok) state.SkipWithError(err.c_str());
        benchmark::DoNotOptimize(attrib.vertices.data());
    }
    state.counters["vertices"] = static_cast<double>(attrib.vertices.size() / 3);
}
void BM_TinyObjLoad_Quads(benchmark::State& s) { tinyLoad(s, bench::quadLimitFile()); }
void BM_TinyObjLoad_Triangles(benchmark::State& s) { tinyLoad(s, bench::triangleLimitFile()); }
BENCHMARK(BM_TinyObjLoad_Quads)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TinyObjLoad_Triangles)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace

BENCHMARK_MAIN();
