// What the window system may refuse: a window DC, a memory DC, a bitmap. Each
// refusal costs at most the frames it touches, and nothing leaks.
#include "program_fixture.h"

namespace {

HDC WINAPI NoDC(HWND) { return nullptr; }
HDC WINAPI NoMemoryDC(HDC) { return nullptr; }
HBITMAP WINAPI NoBitmap(HDC, int, int) { return nullptr; }

// Makes the platform refuse one kind of request while it lives.
class Refusal {
public:
    template <class Member, class Replacement>
    Refusal(Member member, Replacement replacement) : saved_(AfxGdiCalls())
    {
        AfxGdiCalls().*member = replacement;
    }
    ~Refusal() { AfxGdiCalls() = saved_; }
    Refusal(const Refusal&) = delete;
    Refusal& operator=(const Refusal&) = delete;

private:
    GdiCalls saved_;
};

class Failures : public Program {
protected:
    void SetUp() override
    {
        Program::SetUp();
        dlg->BuildRotation();
        dlg->DrawFrame();
        dcs = CDC::LiveCount();
        bitmaps = CGdiObject::LiveCount();
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
        EXPECT_EQ(CDC::LiveCount(), dcs);
        EXPECT_EQ(CGdiObject::LiveCount(), bitmaps);
    }

    long dcs = 0;
    long bitmaps = 0;
};

}  // namespace

TEST_F(Failures, NoWindowDCSkipsTheFrameAndRebuildsLater)
{
    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    {
        Refusal refusal(&GdiCalls::getDC, &NoDC);
        dlg->DrawFrame();
        dlg->DrawFrame();
    }
    EXPECT_EQ(dlg->m_bRebuildBuffer, 1) << "the rebuild waits for a DC";
    EXPECT_EQ(CDC::LiveCount(), dcs);
    ExpectDrawsAgain();
}

TEST_F(Failures, NoMemoryDCMeansNoFramesUntilTheNextSize)
{
    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    {
        Refusal refusal(&GdiCalls::createCompatibleDC, &NoMemoryDC);
        dlg->DrawFrame();
    }
    EXPECT_EQ(dlg->m_dcMem.m_hDC, nullptr);
    EXPECT_EQ(dlg->m_bRebuildBuffer, 0) << "not retried before the next size notification";
    EXPECT_EQ(CDC::LiveCount(), dcs - 1) << "the old memory DC is gone";
    dlg->DrawFrame();  // still nothing to draw into, and no crash
    ExpectDrawsAgain();
}

TEST_F(Failures, NoBitmapMeansNoFramesUntilTheNextSize)
{
    dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    {
        Refusal refusal(&GdiCalls::createCompatibleBitmap, &NoBitmap);
        dlg->DrawFrame();
    }
    ASSERT_NE(dlg->m_pBitmap, nullptr);
    EXPECT_EQ(dlg->m_pBitmap->m_hObject, nullptr);
    EXPECT_EQ(CGdiObject::LiveCount(), bitmaps - 1) << "the old bitmap is gone";
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
        EXPECT_LE(CDC::LiveCount(), dcs);
        EXPECT_LE(CGdiObject::LiveCount(), bitmaps);
    }
    ExpectDrawsAgain();
}
