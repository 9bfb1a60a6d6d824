// One tick's work on the real main dialog under Wine (or Windows): the rotation, one
// spring step and one frame, without the 10 ms pause; and whole ticks with it.
// Run through scripts/bench, which starts a display large enough for 3840 x 2160.
#include <benchmark/benchmark.h>

#include "app/surface_app.h"
#include "reference_draw.h"
#include "ui/surface_dlg.h"

namespace {

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

CSurfaceDlg* Program()
{
    static CSurfaceDlg* dlg = [] {
        theApp.InitInstance();
        return theApp.m_pDlg;
    }();
    return dlg;
}

// Gives the window the client size asked for (0 x 0: the size it opens with).
bool PrepareWindow(CSurfaceDlg* dlg, int cx, int cy)
{
    static SIZE initial = {dlg->m_cxClient, dlg->m_cyClient};
    if (cx == 0) {
        cx = initial.cx;
        cy = initial.cy;
    }
    RECT rect = {0, 0, cx, cy};
    ::AdjustWindowRectEx(&rect, dlg->GetStyle(), FALSE, static_cast<DWORD>(::GetWindowLongPtrW(dlg->m_hWnd, GWL_EXSTYLE)));
    ::SetWindowPos(dlg->m_hWnd, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOZORDER | SWP_NOMOVE);
    ::SetForegroundWindow(dlg->m_hWnd);
    ::SetFocus(dlg->m_hWnd);
    Pump();
    return dlg->m_cxClient == cx && dlg->m_cyClient == cy;
}

// A sheet some way into a poke, so every frame differs.
void MovingSheet(CSurfaceDlg* dlg)
{
    dlg->InitScene();
    for (int n = 0; n < 40; ++n) {
        if (n < 8) {
            dlg->PokeSheet();
        }
        dlg->StepSheet();
    }
}

// The dialog at the client size the benchmark's arguments give, its sheet moving and
// its back buffer made (outside the timing); null if the display is too small.
CSurfaceDlg* ReadyForTicks(benchmark::State& state)
{
    CSurfaceDlg* dlg = Program();
    if (!PrepareWindow(dlg, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))) {
        state.SkipWithError("the display is too small for this client size");
        return nullptr;
    }
    MovingSheet(dlg);
    dlg->DrawFrame();
    return dlg;
}

// A tick's work without the pause, the frame drawn by draw(dlg).
template <class Draw>
void TickWork(benchmark::State& state, Draw draw)
{
    CSurfaceDlg* dlg = ReadyForTicks(state);
    if (dlg == nullptr) {
        return;
    }
    for (auto _ : state) {
        dlg->BuildRotation();
        dlg->StepSheet();
        draw(*dlg);
    }
    state.counters["width"] = dlg->m_cxClient;
    state.counters["height"] = dlg->m_cyClient;
}

void BM_TickWork(benchmark::State& state)
{
    TickWork(state, [](CSurfaceDlg& dlg) { dlg.DrawFrame(); });
}
// The client sizes: the one the window opens with, then full HD, QHD and 4K. The
// sheet keeps its size, so the work should too.
void ClientSizes(benchmark::internal::Benchmark* b)
{
    b->Args({0, 0})->Args({1920, 1080})->Args({2560, 1440})->Args({3840, 2160});
}
BENCHMARK(BM_TickWork)->Apply(ClientSizes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same work with every segment drawn by its own MoveTo and LineTo: the baseline.
void BM_TickWorkLineByLine(benchmark::State& state)
{
    TickWork(state, [](CSurfaceDlg& dlg) {
        CClientDC dc(&dlg);
        DrawFrameLineByLine(dlg, dlg.m_dcMem);
        dc.BitBlt(0, 0, dlg.m_cxClient, dlg.m_cyClient, &dlg.m_dcMem, 0, 0, SRCCOPY);
    });
}
BENCHMARK(BM_TickWorkLineByLine)->Args({0, 0})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

// Whole focused ticks, pause included: the animation's rate.
void BM_Tick(benchmark::State& state)
{
    CSurfaceDlg* dlg = ReadyForTicks(state);
    if (dlg == nullptr) {
        return;
    }
    if (::GetFocus() != dlg->m_hWnd) {
        state.SkipWithError("the dialog did not get the focus");
        return;
    }
    for (auto _ : state) {
        dlg->Tick();
    }
    state.counters["ticks_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Tick)->Apply(ClientSizes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    if (Program() == nullptr) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Program()->DestroyWindow();
    return 0;
}
