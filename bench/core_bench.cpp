// Costs of the per-tick core work. Run: build/native/bin/sorvel_bench
// (scripts/bench runs it with repetitions and prints medians).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "reference_step.h"
#include "render/raster.h"
#include "sim/scene.h"
#include "view/segments.h"

namespace sorvel {

namespace {

// A sheet some way into a held poke: everything is moving.
std::unique_ptr<SceneState> MovingSheet()
{
    auto s = std::make_unique<SceneState>();
    s->InitScene();
    s->m_cxClient = 550;
    s->m_cyClient = 400;
    for (int n = 0; n < 40; ++n) {
        if (n < 10) {
            s->PokeSheet();
        }
        s->StepSheet();
    }
    s->BuildRotation();
    return s;
}

void BM_StepSheet(benchmark::State& state)
{
    auto s = MovingSheet();
    for (auto _ : state) {
        s->StepSheet();
        benchmark::DoNotOptimize(s->m_pos);
    }
}
BENCHMARK(BM_StepSheet);

// The same step written plainly, four springs per point: the baseline for the ratio.
void BM_StepSheetPlain(benchmark::State& state)
{
    auto s = MovingSheet();
    for (auto _ : state) {
        reference::StepSheet(*s);
        benchmark::DoNotOptimize(s->m_pos);
    }
}
BENCHMARK(BM_StepSheetPlain);

void BM_ProjectSheet(benchmark::State& state)
{
    auto s = MovingSheet();
    static Vector3 rotated[kPointCount];
    static Vector3 projected[kPointCount];
    auto segments = std::make_unique<sorvel::SegmentList>();
    for (auto _ : state) {
        for (int k = 0; k < kPointCount; ++k) {
            s->RotatePoint(s->m_pos[k], rotated[k]);
            s->ProjectPoint(rotated[k], projected[k]);
        }
        sorvel::BuildSegmentList(projected, *segments);
        benchmark::DoNotOptimize(segments->segments);
    }
}
BENCHMARK(BM_ProjectSheet);

void BM_BuildRotation(benchmark::State& state)
{
    auto s = MovingSheet();
    for (auto _ : state) {
        s->m_angleZ += 0.1;
        s->BuildRotation();
        benchmark::DoNotOptimize(s->m_rot);
    }
}
BENCHMARK(BM_BuildRotation);

// What an edition without GDI does per step: the step, then the frame drawn by the line
// renderer into a pixel buffer of the given size (the opening client area, 481 x 330,
// and 1920 x 1080). bench/web_bench.mjs measures the same in the web page's module;
// win_bench's TickWork the Windows program's GDI frame under Wine.
void BM_StepAndFrame(benchmark::State& state)
{
    auto s = MovingSheet();
    s->m_cxClient = static_cast<int>(state.range(0));
    s->m_cyClient = static_cast<int>(state.range(1));
    std::vector<uint32_t> pixels(static_cast<std::size_t>(s->m_cxClient) * static_cast<std::size_t>(s->m_cyClient));
    const sorvel::Raster raster{pixels.data(), s->m_cxClient, s->m_cyClient, s->m_cxClient};
    auto segments = std::make_unique<sorvel::SegmentList>();
    for (auto _ : state) {
        s->BuildRotation();
        s->StepSheet();
        sorvel::BuildFrameSegments(*s, *segments);
        sorvel::DrawSegments(raster, *segments);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_StepAndFrame)->Args({481, 330})->Args({1920, 1080});

}  // namespace

}  // namespace sorvel

BENCHMARK_MAIN();
