#include "platform/app.h"

#include <climits>

#include "platform/menu.h"
#include "platform/module.h"
#include "platform/seams.h"
#include "platform/wnd.h"

namespace {

CWinApp* g_currentApp = nullptr;

BOOL CALLBACK SendIdleUpdate(HWND hWnd, LPARAM)
{
    ::SendMessageW(hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    return TRUE;
}

}  // namespace

CWinApp* AfxGetApp() { return g_currentApp; }

CWinThread* AfxGetThread() { return g_currentApp; }

CWnd* AfxGetMainWnd()
{
    CWinThread* thread = AfxGetThread();
    return thread != nullptr ? thread->m_pMainWnd : nullptr;
}

int CWinThread::Run()
{
    bool idle = true;
    for (;;) {
        while (idle && !::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            const LONG count = m_nIdleCount;
            // Only counts 0 and 1 mean anything: a window left in the background for
            // hours climbs to the top and stays there instead of overflowing.
            if (m_nIdleCount < LONG_MAX) {
                ++m_nIdleCount;
            }
            if (!OnIdle(count)) {
                idle = false;
            }
        }
        do {
            if (!PumpMessage()) {
                m_nIdleCount = 0;
                return ExitInstance();
            }
            if (IsIdleMessage(&m_msgCur)) {
                idle = true;
                m_nIdleCount = 0;
            }
        } while (::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage()
{
    const BOOL got = AfxPlatformCalls().getMessage(&m_msgCur, nullptr, 0, 0);
    if (got == -1) {
        // The queue itself failed: end with a failure, not with whatever exit code
        // the last message happened to leave behind.
        m_msgCur = MSG{};
        m_msgCur.message = WM_QUIT;
        m_msgCur.wParam = static_cast<WPARAM>(kLoopFailed);
        return FALSE;
    }
    if (got == 0) {
        return FALSE;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    // From the target window up through its parents to its top-level window.
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr;) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd)) {
            if (wnd->PreTranslateMessage(pMsg)) {
                return TRUE;
            }
        }
        if ((::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
        hWnd = ::GetParent(hWnd);
    }
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(const MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        // Only a move to a new place counts.
        if (pMsg->message == m_nMsgLast && pMsg->pt.x == m_ptCursorLast.x && pMsg->pt.y == m_ptCursorLast.y) {
            return FALSE;
        }
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    constexpr UINT kSystemTimer = 0x0118;
    return pMsg->message != WM_PAINT && pMsg->message != kSystemTimer;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount == 0) {
        CWnd* main = m_pMainWnd;
        if (main != nullptr && main->m_hWnd != nullptr && main->IsWindowVisible()) {
            SendIdleUpdate(main->m_hWnd, 0);
            ::EnumChildWindows(main->m_hWnd, &SendIdleUpdate, 0);
        }
        return TRUE;
    }
    if (lCount == 1) {
        CWnd::DeleteTempMap();
        CMenu::DeleteTempMap();
    }
    return FALSE;
}

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

CWinApp::CWinApp(LPCWSTR lpszAppName) : m_pszAppName(lpszAppName) { g_currentApp = this; }

CWinApp::~CWinApp()
{
    if (g_currentApp == this) {
        g_currentApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() { return TRUE; }

BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

int AfxWinMain(HINSTANCE hInstance, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    app->m_hInstance = hInstance;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd != nullptr) {
            app->m_pMainWnd->DestroyWindow();
        }
        const int code = app->ExitInstance();
        return code != 0 ? code : 1;
    }
    return app->Run();
}
