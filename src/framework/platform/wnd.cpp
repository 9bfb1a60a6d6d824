#include "platform/wnd.h"

#include <algorithm>

#include "platform/app.h"
#include "platform/create_hook.h"
#include "platform/handle_map.h"
#include "platform/menu.h"
#include "platform/seams.h"

namespace {

// The window objects of this thread: the framework's own (permanent) and the
// temporary ones that FromHandle makes for other windows.
using WindowMap = afx_detail::HandleMap<HWND, CWnd, &CWnd::m_hWnd>;

// The message being handled now on this thread, for CWnd::Default.
thread_local MSG t_currentMessage = {};

class CurrentMessageScope {
public:
    CurrentMessageScope(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) : saved_(t_currentMessage)
    {
        t_currentMessage.hwnd = hWnd;
        t_currentMessage.message = message;
        t_currentMessage.wParam = wParam;
        t_currentMessage.lParam = lParam;
    }
    ~CurrentMessageScope() { t_currentMessage = saved_; }
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

private:
    MSG saved_;
};

// The work area of the monitor that the window to centre over is on, or with none,
// of the main window's monitor (the primary monitor when there is no main window).
RECT WorkAreaFor(HWND center)
{
    const PlatformCalls& calls = AfxPlatformCalls();
    HMONITOR monitor;
    if (center != nullptr) {
        monitor = calls.monitorFromWindow(center, MONITOR_DEFAULTTONEAREST);
    } else {
        const CWnd* mainWnd = AfxGetMainWnd();
        monitor = calls.monitorFromWindow(mainWnd != nullptr ? mainWnd->m_hWnd : nullptr, MONITOR_DEFAULTTOPRIMARY);
    }
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !calls.getMonitorInfo(monitor, &info)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return info.rcWork;
}

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd == nullptr) {
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    CurrentMessageScope scope(hWnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        return wnd->OnNcDestroy();
    }
    return wnd->WindowProc(message, wParam, lParam);
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        // The object goes first: its window goes with it.
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        WindowMap::ForThisThread().RemovePermanent(m_hWnd);
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) { return WindowMap::ForThisThread().Lookup(hWnd); }

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd == nullptr ? nullptr : WindowMap::ForThisThread().LookupPermanent(hWnd);
}

void CWnd::DeleteTempMap() { WindowMap::ForThisThread().DeleteTemporary(); }

std::size_t AfxTemporaryWindowCount() { return WindowMap::ForThisThread().TemporaryCount(); }

void CWnd::AttachPermanent(HWND hWnd)
{
    m_hWnd = hWnd;
    WindowMap::ForThisThread().SetPermanent(hWnd, this);
}

void CWnd::RestoreWindowProc()
{
    if (m_pfnSuper != nullptr && ::IsWindow(m_hWnd) &&
        ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc)) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
}

void CWnd::DetachPermanent()
{
    WindowMap::ForThisThread().RemovePermanent(m_hWnd);
    m_hWnd = nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            return 0;
        }
        return DefWindowProc(message, wParam, lParam);
    }
    if (const MessageMapEntry* entry = GetMessageMap()->Find(message, 0)) {
        return entry->handler(*this, wParam, lParam);
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr) {
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_currentMessage.message, t_currentMessage.wParam, t_currentMessage.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    // Menus (code 0), accelerators (code 1) and button clicks are commands; other
    // notifications from controls are not.
    if (id == 0 || (lParam != 0 && code != BN_CLICKED)) {
        return FALSE;
    }
    return OnCmdMsg(id);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::PostNcDestroy() {}

LRESULT CWnd::OnNcDestroy()
{
    // The end of the thread's main window is the end of the thread's message loop.
    CWinThread* thread = AfxGetThread();
    if (thread != nullptr && thread->m_pMainWnd == this) {
        ::PostQuitMessage(0);
        thread->m_pMainWnd = nullptr;
    }
    const LRESULT result = Default();
    RestoreWindowProc();
    DetachPermanent();
    // A creation still running for this object must not let it go a second time.
    WindowCreation::WindowDestroyed(this);
    PostNcDestroy();  // may delete this
    return result;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    return ::DestroyWindow(m_hWnd);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

UINT CWnd::GetDpi() const
{
    // Looked up at run time: Windows 7 and 8 lack the function.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(m_hWnd); dpi != 0) {
            return dpi;
        }
    }
    const HDC dc = ::GetDC(m_hWnd);
    const int dpi = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSX) : 0;
    if (dc != nullptr) {
        ::ReleaseDC(m_hWnd, dc);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    const DWORD style = GetStyle();
    HWND center = pAlternateOwner != nullptr ? pAlternateOwner->m_hWnd : nullptr;
    if (pAlternateOwner == nullptr) {
        center = (style & WS_CHILD) != 0 ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    }

    RECT dialog;
    GetWindowRect(&dialog);
    RECT area;
    RECT target;
    if ((style & WS_CHILD) != 0) {
        // A child is centred in its parent's client area, in the parent's coordinates.
        const HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        if (center == nullptr) {
            center = parent;
        }
        ::GetClientRect(center, &target);
        ::MapWindowPoints(center, parent, reinterpret_cast<POINT*>(&target), 2);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&dialog), 2);
    } else {
        // Never centre over a window that cannot be seen.
        if (center != nullptr) {
            const LONG_PTR centerStyle = ::GetWindowLongPtrW(center, GWL_STYLE);
            if ((centerStyle & WS_VISIBLE) == 0 || (centerStyle & WS_MINIMIZE) != 0) {
                center = nullptr;
            }
        }
        area = WorkAreaFor(center);
        if (center == nullptr) {
            target = area;
        } else {
            ::GetWindowRect(center, &target);
        }
    }

    // Centred over the target, then moved inside the area; a window larger than the
    // area keeps its left or top edge on the area's.
    const auto place = [](LONG targetLow, LONG targetHigh, LONG areaLow, LONG areaHigh, LONG size) {
        const LONG centred = (targetLow + targetHigh) / 2 - size / 2;
        return std::max(areaLow, std::min(centred, areaHigh - size));
    };
    const LONG left = place(target.left, target.right, area.left, area.right, dialog.right - dialog.left);
    const LONG top = place(target.top, target.bottom, area.top, area.bottom, dialog.bottom - dialog.top);
    ::SetWindowPos(m_hWnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
