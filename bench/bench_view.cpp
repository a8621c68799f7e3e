// 3D view speed on the limit mesh (129,600 vertices, 128,881 quads) at 800 x 600:
// the F8 benchmark's 36 paints with the immediate-mode reference and with the
// fast drawing, one playback tick, and one double-click pick.
// Run under Xvfb with Mesa, e.g. xvfb-run -a -s "-screen 0 1280x1024x24" bench_view
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "../tests/core/FakePlatform.h"
#include "doc/CVELTADoc.h"
#include "view3d/CVELTAView.h"
#include "view3d/Picking.h"

namespace {

constexpr int kGrid = 360;  // 360 x 360 vertices, 359 x 359 quads

// A bumpy closed-looking body: latitude rings from -80 to 80 degrees around the Y axis.
void writeLimitMesh(const std::string& path, float bumpScale) {
    std::ofstream o(path, std::ios::binary);
    char line[128];
    for (int i = 0; i < kGrid; ++i)
        for (int j = 0; j < kGrid; ++j) {
            const double th = (-80.0 + 160.0 * i / (kGrid - 1)) * M_PI / 180.0;
            const double ph = 2.0 * M_PI * j / (kGrid - 1);
            const double r = 1.0 + bumpScale * std::sin(7.0 * ph) * std::cos(5.0 * th);
            std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", r * std::cos(th) * std::cos(ph), r * std::sin(th) * 1.6,
                          r * std::cos(th) * std::sin(ph));
            o << line;
        }
    for (int i = 0; i + 1 < kGrid; ++i)
        for (int j = 0; j + 1 < kGrid; ++j) {
            const int a = i * kGrid + j + 1, b = a + 1, c = a + kGrid + 1, d = a + kGrid;
            std::snprintf(line, sizeof line, "f %d %d %d %d\n", a, d, c, b);
            o << line;
        }
}

struct Bench {
    vortel::test::FakePlatform ui;
    vortel::CVELTADoc doc{ui};
    QWidget window;
    CVELTAView* view = nullptr;

    Bench() {
        const auto dir = std::filesystem::temp_directory_path() / ("vortel-bench-view-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const std::string base = (dir / "limit.obj").string(), target = (dir / "limit_mt.obj").string();
        writeLimitMesh(base, 0.05f);
        writeLimitMesh(target, 0.12f);
        window.resize(800, 600);
        view = new CVELTAView(doc, &window);
        view->setGeometry(0, 0, 800, 600);
        window.show();
        for (int i = 0; i < 400 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        doc.openByPath(base, "limit", 0);
        doc.openByPath(target, "limit_mt", 1);
        doc.onCommand(vortel::cmd::Stop);
        QCoreApplication::processEvents();
        std::filesystem::remove_all(dir);
        std::fprintf(stderr, "limit mesh: %d vertices, %d faces, morph %d\n", doc.vertexCount, doc.faceCount,
                     doc.morphLoadedFlag);
    }
};

Bench* g_bench = nullptr;

// F8: 36 synchronous paints of one full turn, in the view's start-up state (SMOOTH, ADD WIRE on).
void BM_F8(benchmark::State& state) {
    Bench& b = *g_bench;
    const bool reference = state.range(0) != 0;
    b.view->state() = vortel::view::ViewState{};
    b.view->state().addWireFlag = static_cast<int>(state.range(1));
    b.view->setReferenceDrawing(reference);
    b.view->repaintNow();  // warm: buffers sent, caches filled
    double total = 0.0;
    for (auto _ : state) {
        const int ms = b.view->runDrawingBenchmark();
        total += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["score_ms"] = total / static_cast<double>(state.iterations());
    state.counters["ms_per_paint"] = total / static_cast<double>(state.iterations()) / 36.0;
    b.view->setReferenceDrawing(false);
}
BENCHMARK(BM_F8)
    ->ArgNames({"reference", "wire"})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({0, 0})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// F8 with the two drawings taking turns, so that a change of machine load between
// the separate runs above does not bend the ratio; fast_speedup = reference / fast.
void BM_F8Alternating(benchmark::State& state) {
    Bench& b = *g_bench;
    b.view->state() = vortel::view::ViewState{};
    b.view->state().addWireFlag = static_cast<int>(state.range(0));
    double reference = 0.0, fast = 0.0;
    for (auto _ : state) {
        b.view->setReferenceDrawing(true);
        b.view->repaintNow();
        reference += b.view->runDrawingBenchmark();
        b.view->setReferenceDrawing(false);
        b.view->repaintNow();
        const int ms = b.view->runDrawingBenchmark();
        fast += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["reference_ms"] = reference / n;
    state.counters["fast_ms"] = fast / n;
    state.counters["fast_speedup"] = fast > 0.0 ? reference / fast : 0.0;
}
BENCHMARK(BM_F8Alternating)->ArgName("wire")->Arg(1)->Arg(0)->UseManualTime()->Iterations(4)->Unit(benchmark::kMillisecond);

// One playback tick: display positions + normals of the whole mesh.
void BM_PlaybackTick(benchmark::State& state) {
    Bench& b = *g_bench;
    b.view->playbackModel().setTickCounter(0);
    for (auto _ : state) {
        if (b.view->playbackModel().tickCounter() >= 20) b.view->playbackModel().setTickCounter(0);
        b.view->playbackTick();
    }
    b.doc.onCommand(vortel::cmd::Play);
    b.doc.onCommand(vortel::cmd::Stop);
}
BENCHMARK(BM_PlaybackTick)->Unit(benchmark::kMillisecond);

// One playback tick and the frame it asks for (positions and normals re-sent, fast drawing).
void BM_PlaybackTickAndPaint(benchmark::State& state) {
    Bench& b = *g_bench;
    b.view->state() = vortel::view::ViewState{};
    b.view->state().addWireFlag = static_cast<int>(state.range(0));
    b.view->playbackModel().setTickCounter(0);
    for (auto _ : state) {
        if (b.view->playbackModel().tickCounter() >= 20) b.view->playbackModel().setTickCounter(0);
        b.view->playbackTick();
        b.view->repaintNow();
    }
    b.doc.onCommand(vortel::cmd::Play);
    b.doc.onCommand(vortel::cmd::Stop);
}
BENCHMARK(BM_PlaybackTickAndPaint)->ArgName("wire")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// One double-click at the centre: pick, label, framing of the group (or of the model on the second).
void BM_DoubleClick(benchmark::State& state) {
    Bench& b = *g_bench;
    b.view->state() = vortel::view::ViewState{};
    b.view->repaintNow();
    int hits = 0;
    for (auto _ : state) {
        b.view->selectGroupAt(400, 300);
        hits += b.view->state().lastPickResult > 0 ? 1 : 0;
    }
    state.counters["hit"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DoubleClick)->Unit(benchmark::kMillisecond);

// The selection pass alone, with and without the window-space pre-cull.
void BM_Pick(benchmark::State& state) {
    Bench& b = *g_bench;
    const bool preCull = state.range(0) != 0;
    b.view->state() = vortel::view::ViewState{};
    b.view->repaintNow();
    b.view->makeCurrent();
    int hits = 0;
    for (auto _ : state) {
        const auto r = vortel::view::pickFaces(b.doc, b.view->state(), 400, 300, preCull);
        hits += r.hits > 0 ? 1 : 0;
    }
    b.view->doneCurrent();
    state.counters["hit"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Pick)->ArgName("precull")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    auto bench = std::make_unique<Bench>();
    g_bench = bench.get();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_bench = nullptr;
    bench.reset();
    return 0;
}
