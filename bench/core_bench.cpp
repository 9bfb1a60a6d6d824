// Costs of the per-tick core work. Run: build/native/bin/sorvel_bench
// (scripts/bench runs it with repetitions and prints medians).
#include <benchmark/benchmark.h>

#include <memory>

#include "reference_step.h"
#include "sim/scene.h"
#include "view/segments.h"

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

}  // namespace

BENCHMARK_MAIN();
