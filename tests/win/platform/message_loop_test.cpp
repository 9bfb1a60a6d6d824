#include <gtest/gtest.h>

#include "platform/seams.h"
#include "platform_test_resource.h"
#include "win_test_support.h"

TEST(MessageLoop, IdleCountsRiseAndRestartOnlyAfterInput)
{
    ScriptedApp app;
    UINT_PTR timer = 0;
    int pass = 0;
    app.idle = [&](LONG) -> BOOL {
        switch (pass++) {
        case 0:  // count 0: a mouse move to a new place restarts the count
            PostToThread(WM_MOUSEMOVE);
            return TRUE;
        case 1:  // count 0: painting, the system timer and a repeated move do not
            PostToThread(WM_MOUSEMOVE);
            PostToThread(WM_PAINT);
            PostToThread(0x0118);
            return TRUE;
        case 2:  // count 1: a non-client move is a different message, so it restarts
            PostToThread(WM_NCMOUSEMOVE);
            return TRUE;
        case 3:  // count 0
            return TRUE;
        case 4:  // count 1: idle processing stops until the timer's message arrives
            timer = ::SetTimer(nullptr, 0, 30, nullptr);
            return FALSE;
        default:  // count 0 again, after the timer
            ::KillTimer(nullptr, timer);
            ::PostQuitMessage(42);
            return TRUE;
        }
    };

    EXPECT_EQ(app.Run(), 42) << "the quit message's code is the exit code";
    EXPECT_EQ(app.idleCounts, (std::vector<LONG>{0, 0, 1, 0, 1, 0}));
}

TEST(MessageLoop, BaseIdleHandlerDoesHousekeepingOnTheFirstTwoCounts)
{
    ScriptedApp app;
    HWND foreign = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(foreign, nullptr);
    CWnd::DeleteTempMap();
    ASSERT_NE(CWnd::FromHandle(foreign), nullptr);
    ASSERT_EQ(AfxTemporaryWindowCount(), 1u);

    EXPECT_TRUE(app.CWinApp::OnIdle(0));
    EXPECT_EQ(AfxTemporaryWindowCount(), 1u) << "count 0 updates the user interface only";
    EXPECT_FALSE(app.CWinApp::OnIdle(1));
    EXPECT_EQ(AfxTemporaryWindowCount(), 0u) << "count 1 frees the temporary window objects";
    EXPECT_FALSE(app.CWinApp::OnIdle(2));
    ::DestroyWindow(foreign);
}

TEST(MessageLoop, IdleUpdateReachesAVisibleMainWindowOnly)
{
    class Window : public CDialog {
    public:
        Window() : CDialog(IDD_TEST_PLAIN) {}
        int updates = 0;

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            updates += message == WM_IDLEUPDATECMDUI ? 1 : 0;
            return CDialog::WindowProc(message, wParam, lParam);
        }
    };

    ScriptedApp app;
    Window main;
    ASSERT_TRUE(main.Create(IDD_TEST_PLAIN));
    app.m_pMainWnd = &main;
    app.CWinApp::OnIdle(0);
    EXPECT_EQ(main.updates, 0) << "hidden";
    main.ShowWindow(SW_SHOW);
    app.CWinApp::OnIdle(0);
    EXPECT_EQ(main.updates, 1);
    app.CWinApp::OnIdle(1);
    EXPECT_EQ(main.updates, 1);
    app.m_pMainWnd = nullptr;
}

TEST(MessageLoop, EntryRunsInitInstanceThenTheLoop)
{
    class StartingApp : public ScriptedApp {
    public:
        BOOL startOk = TRUE;
        int inits = 0;
        BOOL InitInstance() override
        {
            ++inits;
            ::PostQuitMessage(7);
            return startOk;
        }
    };

    StartingApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), SW_SHOW), 7) << "the loop's exit code";
    EXPECT_EQ(app.inits, 1);

    app.startOk = FALSE;
    app.m_msgCur = {};
    EXPECT_EQ(AfxWinMain(::GetModuleHandleW(nullptr), SW_SHOW), 1) << "a failed start is never a success";
    EXPECT_EQ(app.inits, 2);
}

namespace {

BOOL WINAPI FailingGetMessage(MSG*, HWND, UINT, UINT) { return -1; }

}  // namespace

TEST(MessageLoop, LongIdlingAndAFailedQueueAreSafe)
{
    // A window left in the background for hours: the count has climbed to the top,
    // and stays there. Then the queue fails: the loop ends, and not with success.
    class LongIdleApp : public ScriptedApp {
    public:
        LongIdleApp() { m_nIdleCount = LONG_MAX - 1; }
    } app;
    app.idle = [&](LONG) -> BOOL { return app.idleCounts.size() < 3; };
    app.m_msgCur.wParam = 0;  // the success code a last message would leave behind
    const PlatformCalls saved = AfxPlatformCalls();
    AfxPlatformCalls().getMessage = &FailingGetMessage;
    const int code = app.Run();
    AfxPlatformCalls() = saved;
    EXPECT_EQ(app.idleCounts, (std::vector<LONG>{LONG_MAX - 1, LONG_MAX, LONG_MAX}));
    EXPECT_EQ(code, CWinThread::kLoopFailed);
}
