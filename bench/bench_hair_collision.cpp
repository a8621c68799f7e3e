// HAIR and Collision at the limits, each against the load of the mesh it works on.
//
// Meshes, made here and written as OBJ files into a temporary folder:
//   shell  a bumpy closed body (latitude-longitude grid, 256 columns x 253
//          rows) inside a smooth shell of the same grid that the body's bumps
//          poke through: 129,536 vertices, 129,024 quads, 516,096 corners, the
//          shell first (group 0, the processed range: 64,768 vertices), the
//          body second (64,512 quads);
//   hair   10,000 strands of 11 consecutively numbered vertices over a head:
//          110,000 vertices, 100,000 line segments.
// Collision/shell runs the command on the loaded mesh (reloaded, untimed,
// before each run). Reference/CollisionSlice runs the plain loop over every
// body face for the first 500 vertices of the range; its counters give the
// seconds one run would take on the whole range and at the capacities
// (130,000 vertices against 520,000 faces), by the number of vertex-face tests.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/core/test_collision_reference.h"
#include "SilentPlatform.h"
#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"
#include "scatter/HairModule.h"

using namespace vortel;

namespace {

constexpr int kColumns = 256;
constexpr int kRows = 253;
constexpr int kStrands = 10000;
constexpr int kStrandCorners = 11;
constexpr int kSlice = 500;

void appendVertex(std::string& s, double x, double y, double z) {
    char line[96];
    std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", x, y, z);
    s += line;
}

// A latitude-longitude grid around the origin; rows run from near one pole to near the other.
void appendGrid(std::string& s, bool bumpy) {
    for (int r = 0; r < kRows; ++r) {
        const double lat = M_PI * (r + 1) / (kRows + 1) - M_PI / 2;
        for (int c = 0; c < kColumns; ++c) {
            const double lon = 2 * M_PI * c / kColumns;
            double radius = 1.0;
            if (bumpy)
                radius = 0.93 + 0.09 * std::sin(5 * lon) * std::cos(7 * lat) + 0.02 * std::sin(23 * lon + 11 * lat);
            appendVertex(s, radius * 0.6 * std::cos(lat) * std::cos(lon), radius * 1.7 * std::sin(lat),
                         radius * 0.4 * std::cos(lat) * std::sin(lon));
        }
    }
}

void appendGridFaces(std::string& s, int base) {
    char line[96];
    for (int r = 0; r + 1 < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const int a = base + r * kColumns + c + 1, b = base + r * kColumns + (c + 1) % kColumns + 1;
            // Outward: counter-clockwise seen from outside.
            std::snprintf(line, sizeof line, "f %d %d %d %d\n", a, a + kColumns, b + kColumns, b);
            s += line;
        }
}

std::string shellObj() {
    std::string s;
    appendGrid(s, false);
    appendGrid(s, true);
    s += "g shell\n";
    appendGridFaces(s, 0);
    s += "g body\n";
    appendGridFaces(s, kRows * kColumns);
    return s;
}

std::string hairObj() {
    std::string s;
    for (int k = 0; k < kStrands; ++k) {
        const double lon = 2 * M_PI * (k % 100) / 100, lat = 0.1 + 1.3 * (k / 100) / 100.0;
        for (int j = 0; j < kStrandCorners; ++j) {
            const double r = 1.0 + 0.05 * j;
            appendVertex(s, r * std::cos(lat) * std::cos(lon), r * std::sin(lat) - 0.02 * j * j,
                         r * std::cos(lat) * std::sin(lon));
        }
    }
    char line[32];
    for (int k = 0; k < kStrands; ++k) {
        s += "l";
        for (int j = 0; j < kStrandCorners; ++j) {
            std::snprintf(line, sizeof line, " %d", k * kStrandCorners + j + 1);
            s += line;
        }
        s += "\n";
    }
    return s;
}

struct World {
    bench::SilentPlatform ui;
    CVELTADoc doc{ui};
    HeadlessView view{doc};
    HairModule& hair = *doc.module<HairModule>();
    std::string dir, shell, hairMesh;

    World() {
        doc.addView(&view);
        dir = (std::filesystem::temp_directory_path() / ("vortel-bench-hair-" + std::to_string(::getpid()))).string();
        std::filesystem::create_directories(dir);
        shell = dir + "/shell.obj";
        hairMesh = dir + "/hair.obj";
        bench::writeTextOrAbort(shell, shellObj());
        bench::writeTextOrAbort(hairMesh, hairObj());
    }
    ~World() { std::filesystem::remove_all(dir); }

    void load(const std::string& path) {
        bench::loadOrAbort(doc, path, "bench");
    }
};

World& world() {
    static World* w = new World;
    return *w;
}

void BM_Load(benchmark::State& state, std::string which) {
    World& w = world();
    const std::string& path = which == "shell" ? w.shell : w.hairMesh;
    for (auto _ : state) w.load(path);
    state.counters["vertices"] = w.doc.vertexCount;
    state.counters["faces"] = w.doc.faceCount;
}

void BM_Collision(benchmark::State& state) {
    World& w = world();
    CollisionResult r;
    for (auto _ : state) {
        state.PauseTiming();
        w.load(w.shell);
        state.ResumeTiming();
        r = w.hair.collide();
    }
    state.counters["processed"] = r.processed;
    state.counters["collided"] = r.collided;
}

void BM_StripBuilder(benchmark::State& state) {
    World& w = world();
    w.load(w.hairMesh);
    for (auto _ : state)
        if (w.hair.buildStrips() != HairResult::Done) state.SkipWithError("refused");
    state.counters["strands"] = w.doc.hairStrandCount;
}

void BM_ReferenceCollisionSlice(benchmark::State& state) {
    World& w = world();
    double seconds = 0;
    int faces = 0, range = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.load(w.shell);
        const CollisionMesh m = collisionMeshOf(w.doc);
        int lo = 0, hi = 0;
        collisionRange(m, lo, hi);
        range = hi - lo + 1;
        faces = 0;
        for (int f = 0; f < m.faces.faceCount; ++f) faces += isCollisionFace(m, f) ? 1 : 0;
        std::vector<Vec3> before, after;
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(test::referenceCollide(m, lo, lo + kSlice - 1, before, after));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double perTest = seconds / static_cast<double>(state.iterations()) / (static_cast<double>(kSlice) * faces);
    state.counters["slice_s"] = seconds / static_cast<double>(state.iterations());
    state.counters["whole_range_s"] = perTest * range * faces;
    state.counters["at_limit_s"] = perTest * kMaxVertices * static_cast<double>(kMaxFaces);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Load/shell", BM_Load, std::string("shell"))->Unit(ms);
    benchmark::RegisterBenchmark("Collision/shell", BM_Collision)->Unit(ms)->Iterations(5);
    benchmark::RegisterBenchmark("Load/hair", BM_Load, std::string("hair"))->Unit(ms);
    benchmark::RegisterBenchmark("StripBuilder/hair", BM_StripBuilder)->Unit(ms);
    benchmark::RegisterBenchmark("Reference/CollisionSlice/shell", BM_ReferenceCollisionSlice)->Unit(ms)->Iterations(2);
    world();  // make the meshes before the first timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete &world();
    return 0;
}
