#include <chrono>
#include <cmath>

#include "platform/seams.h"
#include "program_fixture.h"
#include "scene_support.h"

namespace sorvel {

namespace {

bool InBlock(int i, int j) { return i >= 18 && i <= 22 && j >= 18 && j <= 22; }

}  // namespace

TEST_F(Program, StartsWithTheSceneReadyAndTheWindowShown)
{
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(dlg->m_bRebuildBuffer, 1);
    EXPECT_EQ(dlg->m_angleX, -0.4);
    EXPECT_EQ(dlg->m_angleZ, 7.2);
    EXPECT_TRUE(FlatAndAtRest(*dlg));
    RECT client;
    dlg->GetClientRect(&client);
    EXPECT_EQ(dlg->m_cxClient, client.right) << "the first size notification came during creation";
    EXPECT_EQ(dlg->m_cyClient, client.bottom);
    EXPECT_EQ(::GetWindow(dlg->m_hWnd, GW_OWNER), nullptr) << "a top-level window without owner";
}

TEST_F(Program, IdlePassesDoTheHousekeepingThenTick)
{
    theApp.m_pDlg = nullptr;
    EXPECT_FALSE(theApp.OnIdle(1)) << "without a dialog only the housekeeping runs";
    theApp.m_pDlg = dlg;
    dlg->PokeSheet();
    for (LONG count : {0L, 1L, 500L}) {
        const double z = dlg->m_pos[PointIndex(20, 20)].z;
        EXPECT_TRUE(theApp.OnIdle(count));
        EXPECT_NE(dlg->m_pos[PointIndex(20, 20)].z, z) << "count " << count << " ticked";
    }
    // Count 1 first frees the temporary window objects (the desktop's), then the tick
    // makes one for the window that has the focus, which stays.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                                   nullptr, nullptr);
    ::SetFocus(other);
    CWnd::FromHandle(::GetDesktopWindow());
    EXPECT_TRUE(theApp.OnIdle(1)) << "unfocused, the pass asks for more all the same";
    EXPECT_EQ(AfxTemporaryWindowCount(), 1u);
    ::DestroyWindow(other);
}

TEST_F(Program, ATickPausesOnlyWithTheFocus)
{
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
                                   nullptr, nullptr);
    ::SetFocus(other);
    ASSERT_EQ(::GetFocus(), other);
    dlg->PokeSheet();
    const double angleZ = dlg->m_angleZ;

    HeldKeys keys{VK_LEFT, VK_SPACE};
    auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < 50; ++n) {
        dlg->Tick();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(250)) << "50 focused ticks would sleep 500 ms";
    EXPECT_EQ(dlg->m_angleZ, angleZ);
    EXPECT_EQ(dlg->m_vel[PointIndex(20, 20)].z, 1.0) << "no key acted";
    EXPECT_EQ(dlg->m_pos[PointIndex(20, 20)].z, 0.0) << "no step";
    EXPECT_EQ(dlg->m_bRebuildBuffer, 1) << "no frame";
    ::DestroyWindow(other);

    Focus();
    start = std::chrono::steady_clock::now();
    for (int n = 0; n < 20; ++n) {
        dlg->Tick();
    }
    // Without the pause a tick takes well under a millisecond; allow for a coarse clock.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20 * 9));
}

TEST_F(Program, ArrowsTurnTheViewOneTenthPerTick)
{
    double z = 7.2, x = -0.4;
    {
        HeldKeys keys{VK_LEFT};
        for (int n = 0; n < 3; ++n) {
            dlg->Tick();
            z -= 0.1;
        }
    }
    EXPECT_EQ(dlg->m_angleZ, z);
    {
        HeldKeys keys{VK_RIGHT};
        dlg->Tick();
        z += 0.1;
    }
    EXPECT_EQ(dlg->m_angleZ, z);
    {
        HeldKeys keys{VK_DOWN};
        for (int n = 0; n < 5; ++n) {
            dlg->Tick();
            x += 0.1;
        }
    }
    EXPECT_EQ(dlg->m_angleX, x);
    EXPECT_NEAR(dlg->m_angleX, 0.1, 1e-12);
    {
        HeldKeys keys{VK_UP};
        dlg->Tick();
        x -= 0.1;
    }
    EXPECT_EQ(dlg->m_angleX, x);
    {
        HeldKeys keys{VK_LEFT, VK_RIGHT};
        dlg->Tick();
        z = (z - 0.1) + 0.1;
    }
    EXPECT_EQ(dlg->m_angleZ, z) << "left first, then right, in the same tick";
    EXPECT_EQ(dlg->m_angleY, 0.0);
    Pump();
}

TEST_F(Program, SpacePokesAndCLaysTheSheetFlat)
{
    {
        HeldKeys keys{VK_SPACE};
        dlg->Tick();
        dlg->Tick();
    }
    EXPECT_EQ(dlg->m_vel[PointIndex(20, 20)].z, 2.0) << "one poke per tick while held";
    EXPECT_FALSE(FlatAndAtRest(*dlg));
    for (int n = 0; n < 20; ++n) {
        dlg->Tick();
    }
    {
        HeldKeys keys{'C'};
        dlg->Tick();
    }
    EXPECT_TRUE(FlatAndAtRest(*dlg)) << "a flat sheet at rest does not move in the step";

    for (int n = 0; n < 20; ++n) {
        dlg->PokeSheet();
        dlg->StepSheet();
    }
    {
        HeldKeys keys{'C', VK_SPACE};
        dlg->Tick();
    }
    // Reset, then poke, then one step: only the block has moved, by one tenth.
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize; ++j) {
            const int k = PointIndex(i, j);
            ASSERT_EQ(dlg->m_pos[k].z, InBlock(i, j) ? 0.1 : 0.0) << i << "," << j;
            ASSERT_EQ(dlg->m_vel[k].z, InBlock(i, j) ? 1.0 : 0.0) << i << "," << j;
            ASSERT_EQ(dlg->m_pos[k].x, j - 20);
        }
    }
    Pump();
}

TEST_F(Program, AKeyPressedAndReleasedBetweenTicksActsOnce)
{
    SendKey(VK_RIGHT, true);
    SendKey(VK_RIGHT, false);
    dlg->Tick();
    EXPECT_EQ(dlg->m_angleZ, 7.2 + 0.1);
    dlg->Tick();
    EXPECT_EQ(dlg->m_angleZ, 7.2 + 0.1);
    Pump();
}

TEST_F(Program, EscEndsTheProgramWithExitCodeZero)
{
    dlg->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(theApp.Run(), 0);
    EXPECT_EQ(theApp.m_pDlg, nullptr);
}

TEST_F(Program, CloseCommandEndsTheProgramWithExitCodeZero)
{
    // What the close box, Alt+F4 and the system menu's Close all send.
    dlg->PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(theApp.Run(), 0);
    EXPECT_EQ(theApp.m_pDlg, nullptr);
}

TEST_F(Program, EnterIsIgnored)
{
    MSG enter = {};
    enter.hwnd = dlg->m_hWnd;
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_TRUE(theApp.PreTranslateMessage(&enter)) << "the dialog manager takes Enter";
    dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(theApp.m_pDlg, dlg);
    HeldKeys keys{VK_LEFT};
    dlg->Tick();
    EXPECT_EQ(dlg->m_angleZ, 7.2 - 0.1) << "still animating";
}

TEST_F(Program, HelpCommandIsHarmless)
{
    dlg->SendMessage(WM_COMMAND, ID_HELP, 0);
    EXPECT_TRUE(dlg->IsWindowVisible());
}

}  // namespace sorvel
