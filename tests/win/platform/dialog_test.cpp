#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>

#include "platform/seams.h"
#include "platform_test_resource.h"
#include "win_test_support.h"

namespace {

RECT WorkArea()
{
    RECT area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void ExpectCentredOver(const RECT& inner, const RECT& outer)
{
    SCOPED_TRACE(::testing::Message() << "inner " << inner.left << "," << inner.top << "-" << inner.right << ","
                                      << inner.bottom << " outer " << outer.left << "," << outer.top << "-"
                                      << outer.right << "," << outer.bottom);
    EXPECT_LE(std::abs(CentreX(inner) - CentreX(outer)), 1);
    EXPECT_LE(std::abs(CentreY(inner) - CentreY(outer)), 1);
}

// A dialog whose initialisation and commands the test scripts.
class ScriptedDialog : public CDialog {
public:
    explicit ScriptedDialog(UINT id) : CDialog(id) {}
    std::function<void(ScriptedDialog&)> init;
    int oks = 0;
    int cancels = 0;
    RECT endRect = {};  // where the window stood when it ended

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (init) {
            init(*this);
        }
        return TRUE;
    }
    void OnOK() override
    {
        ++oks;
        GetWindowRect(&endRect);
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++cancels;
        GetWindowRect(&endRect);
        CDialog::OnCancel();
    }
};

}  // namespace

TEST(Dialog, ModelessDialogWithoutOwnerIsCentredOnTheWorkArea)
{
    ScriptedApp app;
    ScriptedDialog dialog(IDD_TEST_PLAIN);
    ASSERT_TRUE(dialog.Create(IDD_TEST_PLAIN));
    ExpectCentredOver(WindowRect(dialog.m_hWnd), WorkArea());
}

TEST(Dialog, NotCentredWhenPlacedByTemplateOrMovedDuringInitialisation)
{
    ScriptedApp app;
    ScriptedDialog placed(IDD_TEST_PLACED);
    ASSERT_TRUE(placed.Create(IDD_TEST_PLACED));
    const RECT p = WindowRect(placed.m_hWnd);
    EXPECT_LT(p.left, 100) << "left where the template put it";
    EXPECT_LT(p.top, 100);

    ScriptedDialog moved(IDD_TEST_PLAIN);
    moved.init = [](ScriptedDialog& d) {
        ::SetWindowPos(d.m_hWnd, nullptr, 7, 9, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    ASSERT_TRUE(moved.Create(IDD_TEST_PLAIN));
    const RECT m = WindowRect(moved.m_hWnd);
    EXPECT_EQ(m.left, 7);
    EXPECT_EQ(m.top, 9);
}

TEST(Dialog, ModalDialogDisablesItsOwnerAndRunsWithoutIdlePasses)
{
    ScriptedApp app;
    ScriptedDialog main(IDD_TEST_PLAIN);
    ASSERT_TRUE(main.Create(IDD_TEST_PLAIN));
    ::SetWindowPos(main.m_hWnd, nullptr, 60, 40, 700, 500, SWP_NOZORDER);
    main.ShowWindow(SW_SHOW);
    app.m_pMainWnd = &main;

    bool modalOpen = false;
    int idleWhileModal = 0;
    BOOL ownerEnabledInside = TRUE;
    INT_PTR results[2] = {};
    int openings = 0;

    ScriptedDialog box(IDD_TEST_MODAL);
    box.init = [&](ScriptedDialog& d) {
        modalOpen = true;
        ownerEnabledInside = main.IsWindowEnabled();
        // The first time Esc ends it, the second time the OK button.
        if (openings == 1) {
            d.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        } else {
            d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    };
    app.idle = [&](LONG) -> BOOL {
        if (modalOpen) {
            ++idleWhileModal;
        }
        if (openings < 2) {
            ++openings;
            results[openings - 1] = box.DoModal();
            modalOpen = false;
            EXPECT_TRUE(main.IsWindowEnabled()) << "owner enabled again";
            EXPECT_EQ(::GetActiveWindow(), main.m_hWnd) << "owner active again";
            EXPECT_EQ(box.m_hWnd, nullptr) << "the box's window is gone";
            return TRUE;
        }
        ::PostQuitMessage(0);
        return TRUE;
    };

    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(results[0], IDCANCEL);
    EXPECT_EQ(results[1], IDOK);
    EXPECT_EQ(box.cancels, 1);
    EXPECT_EQ(box.oks, 1);
    EXPECT_FALSE(ownerEnabledInside) << "owner disabled while the box is open";
    EXPECT_EQ(idleWhileModal, 0);
    ExpectCentredOver(box.endRect, WindowRect(main.m_hWnd));
    app.m_pMainWnd = nullptr;
}

TEST(Dialog, DoModalWithoutTemplateReturnsMinusOne)
{
    ScriptedApp app;
    ScriptedDialog missing(IDD_TEST_MISSING);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create(IDD_TEST_MISSING));
}

TEST(Dialog, EscAndEnterReachTheModelessDialogThroughTheLoop)
{
    ScriptedApp app;
    ScriptedDialog main(IDD_TEST_PLAIN);
    ASSERT_TRUE(main.Create(IDD_TEST_PLAIN));
    main.ShowWindow(SW_SHOW);
    app.m_pMainWnd = &main;

    int pass = 0;
    app.idle = [&](LONG) -> BOOL {
        switch (pass++) {
        case 0:
            main.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case 1:
            main.PostMessage(WM_KEYDOWN, VK_RETURN, 0);
            break;
        default:
            ::PostQuitMessage(0);
        }
        return TRUE;
    };
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(main.cancels, 1);
    EXPECT_EQ(main.oks, 1);
    app.m_pMainWnd = nullptr;
}

namespace {

// A dialog that lets itself go when its window does, and counts how often it went.
class SelfDeletingDialog : public CDialog {
public:
    static inline int deleted = 0;
    explicit SelfDeletingDialog(bool refuseCreate = false) : CDialog(IDD_TEST_PLAIN), refuse_(refuseCreate) {}
    ~SelfDeletingDialog() override { ++deleted; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return message == WM_CREATE && refuse_ ? -1 : CDialog::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { delete this; }

private:
    bool refuse_;
};

LRESULT CALLBACK VetoCreation(int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_CREATEWND ? 1 : ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(Dialog, AFailedCreateLetsTheObjectGoExactlyOnce)
{
    ScriptedApp app;
    SelfDeletingDialog::deleted = 0;
    // No template: the window never comes into being.
    EXPECT_FALSE((new SelfDeletingDialog)->Create(IDD_TEST_MISSING));
    // Refused after the object was bound to it: the window is destroyed again.
    EXPECT_FALSE((new SelfDeletingDialog(true))->Create(IDD_TEST_PLAIN));
    // Vetoed by a hook after the object was bound, without a destruction message.
    const HHOOK veto = ::SetWindowsHookExW(WH_CBT, &VetoCreation, nullptr, ::GetCurrentThreadId());
    EXPECT_FALSE((new SelfDeletingDialog)->Create(IDD_TEST_PLAIN));
    ::UnhookWindowsHookEx(veto);
    EXPECT_EQ(SelfDeletingDialog::deleted, 3);
    EXPECT_FALSE(AfxCreationHookInstalled());
}

TEST(Dialog, CreationHookGoesOnceTheObjectIsBoundAndCreationsNest)
{
    ScriptedApp app;
    ScriptedDialog inner(IDD_TEST_PLAIN), box(IDD_TEST_MODAL);
    bool hookedDuringInit = true;
    box.init = [&](ScriptedDialog& d) {
        hookedDuringInit = AfxCreationHookInstalled();
        EXPECT_TRUE(inner.Create(IDD_TEST_PLAIN));  // made from inside the modal box, bound to its own window
        EXPECT_EQ(CWnd::FromHandlePermanent(inner.m_hWnd), &inner);
        d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    EXPECT_EQ(box.DoModal(), IDOK);
    EXPECT_FALSE(hookedDuringInit) << "no hook once the box's object was bound";
}

namespace {

// What the memory of a deleted dialog may hold next: another window object, bound
// to a hidden window where the dialog stood. A call the framework still makes on the
// deleted dialog lands here and is counted.
class ReusedMemory : public CDialog {
public:
    static inline int calls = 0;
    explicit ReusedMemory(HWND hWnd) : CDialog(IDD_TEST_PLAIN) { m_hWnd = hWnd; }

protected:
    BOOL CheckAutoCenter() override { return ++calls, FALSE; }
    void PostNcDestroy() override { ++calls; }
};

// Makes and ends another dialog, then destroys its own window, all during its
// initialisation; it is deleted with its window.
class GoneDuringInit : public SelfDeletingDialog {
public:
    static inline HWND standIn = nullptr;
    static inline void* memory = nullptr;
    static void operator delete(void* p)
    {
        memory = p;
        new (p) ReusedMemory(standIn);
    }

protected:
    BOOL OnInitDialog() override
    {
        ScriptedDialog(IDD_TEST_PLAIN).Create(IDD_TEST_PLAIN);
        const RECT r = WindowRect(m_hWnd);
        standIn = ::CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, r.left, r.top, r.right - r.left,
                                    r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow();
        return TRUE;
    }
};
static_assert(sizeof(ReusedMemory) <= sizeof(GoneDuringInit));

}  // namespace

TEST(Dialog, ADialogThatEndsItselfDuringInitialisationIsNotTouchedAfterwards)
{
    ScriptedApp app;
    SelfDeletingDialog::deleted = 0;
    EXPECT_FALSE((new GoneDuringInit)->Create(IDD_TEST_PLAIN));
    EXPECT_EQ(SelfDeletingDialog::deleted, 1);
    EXPECT_EQ(ReusedMemory::calls, 0) << "the deleted dialog was used";
    static_cast<ReusedMemory*>(GoneDuringInit::memory)->~ReusedMemory();
    ::operator delete(GoneDuringInit::memory);
    ::DestroyWindow(GoneDuringInit::standIn);
}

namespace {

HHOOK WINAPI NoHook(int, HOOKPROC, HINSTANCE, DWORD) { return nullptr; }

// The hook is set, and then some other window is made on the thread first.
HWND g_otherWindow = nullptr;
HHOOK WINAPI HookThenAnotherWindow(int id, HOOKPROC proc, HINSTANCE module, DWORD threadId)
{
    const HHOOK hook = ::SetWindowsHookExW(id, proc, module, threadId);
    g_otherWindow = ::CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                      nullptr);
    return hook;
}

int ThreadDialogs()
{
    int count = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hWnd, LPARAM counter) { return *reinterpret_cast<int*>(counter) += ClassName(hWnd) == L"#32770", TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

TEST(Dialog, NoDialogIsLeftWithoutItsObject)
{
    ScriptedApp app;
    SelfDeletingDialog::deleted = 0;
    {
        Refusal refusal(&PlatformCalls::setWindowsHookEx, &NoHook);
        EXPECT_FALSE((new SelfDeletingDialog)->Create(IDD_TEST_PLAIN));
        EXPECT_EQ(ScriptedDialog(IDD_TEST_MODAL).DoModal(), -1);
    }
    {
        Refusal refusal(&PlatformCalls::setWindowsHookEx, &HookThenAnotherWindow);
        EXPECT_FALSE((new SelfDeletingDialog)->Create(IDD_TEST_PLAIN));
    }
    EXPECT_EQ(SelfDeletingDialog::deleted, 2);
    EXPECT_EQ(ThreadDialogs(), 0);
    EXPECT_EQ(CWnd::FromHandlePermanent(g_otherWindow), nullptr);
    EXPECT_NE(::GetWindowLongPtrW(g_otherWindow, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&AfxWndProc))
        << "the other window has its own window procedure back";
    ::DestroyWindow(g_otherWindow);
}

namespace {

// A second monitor to the right of the primary one (Xvfb has one screen only): the
// work area of a 1920 x 1080 screen with a taskbar at its bottom.
constexpr RECT kSecondWorkArea = {4000, 0, 5920, 1040};
const HMONITOR kSecond = reinterpret_cast<HMONITOR>(0x5EC0);

HMONITOR WINAPI MonitorOfTwo(HWND hWnd, DWORD flags)
{
    return WindowRect(hWnd).left >= kSecondWorkArea.left ? kSecond : ::MonitorFromWindow(hWnd, flags);
}

BOOL WINAPI MonitorInfoOfTwo(HMONITOR monitor, MONITORINFO* info)
{
    if (monitor == kSecond) {
        info->rcWork = kSecondWorkArea;
    }
    return monitor == kSecond || ::GetMonitorInfoW(monitor, info);
}

}  // namespace

TEST(Dialog, AModalBoxOpensOverItsOwnerOnTheOwnersMonitor)
{
    ScriptedApp app;
    Refusal monitors(&PlatformCalls::monitorFromWindow, &MonitorOfTwo);
    Refusal monitorInfo(&PlatformCalls::getMonitorInfo, &MonitorInfoOfTwo);
    ScriptedDialog main(IDD_TEST_PLAIN), box(IDD_TEST_MODAL);
    ASSERT_TRUE(main.Create(IDD_TEST_PLAIN));
    // Near the right edge of the second monitor, a little beyond it.
    ::SetWindowPos(main.m_hWnd, nullptr, 5500, 300, 700, 500, SWP_NOZORDER);
    main.ShowWindow(SW_SHOW);
    app.m_pMainWnd = &main;
    box.init = [](ScriptedDialog& d) { d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
    EXPECT_EQ(box.DoModal(), IDOK);
    app.m_pMainWnd = nullptr;
    EXPECT_EQ(box.endRect.right, kSecondWorkArea.right) << "kept inside the owner's monitor";
    EXPECT_LE(std::abs(CentreY(box.endRect) - CentreY(WindowRect(main.m_hWnd))), 1);
}
