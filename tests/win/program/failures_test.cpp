// What the window system may refuse: a window DC, a memory DC, a bitmap, memory, the
// main window itself. Each refusal costs at most the frames it touches, nothing leaks,
// and a program that cannot start says so in its exit code.
#include <cstdlib>
#include <new>

#include "program_fixture.h"

// This test program's own allocation, so that one allocation can be made to fail, and
// one block can be watched: its deletions are counted, and it is kept until the test
// gives it back, so a second deletion is counted rather than a crash.
namespace {
std::size_t g_failingSize = 0;  // the next allocation of this size throws
std::size_t g_watchedSize = 0;  // the next allocation of this size is watched
void* g_watched = nullptr;
int g_watchedDeletions = 0;
}  // namespace

void* operator new(std::size_t size)
{
    if (size == g_failingSize) {
        g_failingSize = 0;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        if (size == g_watchedSize) {
            g_watchedSize = 0;
            g_watched = memory;
        }
        return memory;
    }
    throw std::bad_alloc();
}
namespace {
void Release(void* memory)
{
    if (memory != nullptr && memory == g_watched) {
        ++g_watchedDeletions;
        return;
    }
    std::free(memory);
}
}  // namespace
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete(void* memory, std::size_t) noexcept { Release(memory); }

namespace {

HDC WINAPI NoDC(HWND) { return nullptr; }
HDC WINAPI NoMemoryDC(HDC) { return nullptr; }
HBITMAP WINAPI NoBitmap(HDC, int, int) { return nullptr; }

class Failures : public Program {
protected:
    void SetUp() override
    {
        Program::SetUp();
        dlg->BuildRotation();
        dlg->DrawFrame();
        dcs = AfxLiveMemoryDCs();
        bitmaps = AfxLiveGdiObjects();
        ASSERT_EQ(dcs, 1);
        ASSERT_EQ(bitmaps, 1);
    }

    // A size notification and a frame: the back buffer must be back and drawn.
    void ExpectDrawsAgain()
    {
        dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 150));
        dlg->DrawFrame();
        ASSERT_NE(dlg->m_dcMem.m_hDC, nullptr);
        ASSERT_NE(dlg->m_pBitmap->m_hObject, nullptr);
        EXPECT_EQ(::GetPixel(dlg->m_dcMem.m_hDC, 100, 75), RGB(0, 0, 0)) << "the sheet's centre";
        EXPECT_EQ(::GetPixel(dlg->m_dcMem.m_hDC, 0, 0), RGB(255, 255, 255));
        EXPECT_EQ(AfxLiveMemoryDCs(), dcs);
        EXPECT_EQ(AfxLiveGdiObjects(), bitmaps);
    }

    long dcs = 0;
    long bitmaps = 0;
};

}  // namespace

TEST_F(Failures, NoWindowDCSkipsTheFrameAndRebuildsLater)
{
    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    {
        Refusal refusal(&PlatformCalls::getDC, &NoDC);
        dlg->DrawFrame();
        dlg->DrawFrame();
    }
    EXPECT_EQ(dlg->m_bRebuildBuffer, 1) << "the rebuild waits for a DC";
    EXPECT_EQ(AfxLiveMemoryDCs(), dcs);
    ExpectDrawsAgain();
}

TEST_F(Failures, NoMemoryDCMeansNoFramesUntilTheNextSize)
{
    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    {
        Refusal refusal(&PlatformCalls::createCompatibleDC, &NoMemoryDC);
        dlg->DrawFrame();
    }
    EXPECT_EQ(dlg->m_dcMem.m_hDC, nullptr);
    EXPECT_EQ(dlg->m_bRebuildBuffer, 0) << "not retried before the next size notification";
    EXPECT_EQ(AfxLiveMemoryDCs(), dcs - 1) << "the old memory DC is gone";
    dlg->DrawFrame();  // still nothing to draw into, and no crash
    ExpectDrawsAgain();
}

TEST_F(Failures, NoBitmapMeansNoFramesUntilTheNextSize)
{
    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    {
        Refusal refusal(&PlatformCalls::createCompatibleBitmap, &NoBitmap);
        dlg->DrawFrame();
    }
    ASSERT_NE(dlg->m_pBitmap, nullptr);
    EXPECT_EQ(dlg->m_pBitmap->m_hObject, nullptr);
    EXPECT_EQ(AfxLiveGdiObjects(), bitmaps - 1) << "the old bitmap is gone";
    dlg->DrawFrame();
    ExpectDrawsAgain();
}

TEST_F(Failures, ExtremeSizesAreSurvived)
{
    for (const SIZE& size : {SIZE{65535, 65535}, SIZE{65535, 1}, SIZE{1, 65535}, SIZE{40000, 40000}}) {
        dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
        EXPECT_EQ(dlg->m_cxClient, size.cx);
        dlg->BuildRotation();
        dlg->StepSheet();
        dlg->DrawFrame();
        EXPECT_LE(AfxLiveMemoryDCs(), dcs);
        EXPECT_LE(AfxLiveGdiObjects(), bitmaps);
    }
    ExpectDrawsAgain();
}

TEST_F(Failures, NoMemoryForTheBitmapObjectLeavesNothingDangling)
{
    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    g_failingSize = sizeof(CBitmap);
    EXPECT_THROW(dlg->DrawFrame(), std::bad_alloc);
    EXPECT_TRUE(dlg->m_pBitmap == nullptr) << "the old bitmap is gone and nothing points to it";
    ExpectDrawsAgain();
}

TEST(FailedStart, AMainWindowThatCannotBeMadeEndsTheProgramWithAFailure)
{
    // The failed creation has let the dialog go, and nothing deletes it again.
    const HINSTANCE saved = theApp.m_hInstance;
    theApp.m_hInstance = ::GetModuleHandleW(L"kernel32.dll");  // has no dialog 102
    g_watchedSize = sizeof(CSurfaceDlg);
    g_watchedDeletions = 0;
    EXPECT_FALSE(theApp.InitInstance());
    theApp.m_hInstance = saved;
    EXPECT_EQ(g_watchedDeletions, 1);
    std::free(g_watched);
    g_watched = nullptr;
    EXPECT_EQ(theApp.m_pDlg, nullptr);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
}
