// The real program started in-process: theApp's start-up creates the main dialog,
// which the tests then drive directly. GDI deletes as Windows does, so a bitmap freed
// while still selected shows in the live counts, which must be back where they were
// once the dialog is gone.
#pragma once

#include <gtest/gtest.h>

#include "app/surface_app.h"
#include "platform/seams.h"
#include "keys.h"
#include "program_support.h"
#include "ui/surface_dlg.h"

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        ReleaseAllKeys();
        dcsAtStart = AfxLiveMemoryDCs();
        gdiObjectsAtStart = AfxLiveGdiObjects();
        ASSERT_TRUE(theApp.InitInstance());
        dlg = theApp.m_pDlg;
        ASSERT_NE(dlg, nullptr);
        ASSERT_EQ(theApp.m_pMainWnd, dlg);
        Focus();
    }

    void TearDown() override
    {
        ReleaseAllKeys();
        if (theApp.m_pDlg != nullptr) {
            theApp.m_pDlg->DestroyWindow();
        }
        EXPECT_EQ(theApp.m_pDlg, nullptr) << "the dialog unregisters itself when it goes";
        EXPECT_EQ(theApp.m_pMainWnd, nullptr);
        EXPECT_EQ(AfxLiveMemoryDCs(), dcsAtStart);
        EXPECT_EQ(AfxLiveGdiObjects(), gdiObjectsAtStart);
        // Whatever is left, the quit message included, must not reach the next test.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    void Focus()
    {
        ::SetForegroundWindow(dlg->m_hWnd);
        ::SetFocus(dlg->m_hWnd);
        ASSERT_EQ(::GetFocus(), dlg->m_hWnd);
        // The X server answers a focus change with the real keyboard's state, which
        // would wipe keys injected before it arrives: let it arrive first.
        Settle();
    }

    void Settle()
    {
        const DWORD until = ::GetTickCount() + 150;
        while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
        }
    }

    // Handles what is waiting without ticking, the way the loop's pump phase does.
    void Pump()
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
            theApp.PumpMessage();
        }
    }

    CSurfaceDlg* dlg = nullptr;

private:
    Refusal asOnWindows{&PlatformCalls::deleteObject, &DeleteObjectAsOnWindows};
    long dcsAtStart = 0;
    long gdiObjectsAtStart = 0;
};
