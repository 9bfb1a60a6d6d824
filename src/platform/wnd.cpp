#include "platform/wnd.h"

#include "platform/app.h"
#include "platform/handle_map.h"
#include "platform/menu.h"
#include "platform/seams.h"

namespace {

using WindowMap = afx_detail::HandleMap<HWND, CWnd, &CWnd::m_hWnd>;
using MenuMap = afx_detail::HandleMap<HMENU, CMenu, &CMenu::m_hMenu>;

WindowMap& Windows()
{
    thread_local WindowMap map;
    return map;
}

MenuMap& Menus()
{
    thread_local MenuMap map;
    return map;
}

// The innermost creation in progress on this thread, and the hook that serves it.
thread_local CWnd::Creation* t_pCreation = nullptr;
thread_local HHOOK t_hHookCbt = nullptr;

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

// Input-method windows are made by the platform behind the program's back; they
// must never be taken for the window being created.
bool IsImeWindow(HWND hWnd)
{
    if ((::GetClassLongPtrW(hWnd, GCL_STYLE) & CS_IME) != 0) {
        return true;
    }
    wchar_t name[8] = {};
    ::GetClassNameW(hWnd, name, 8);
    return ::lstrcmpiW(name, L"IME") == 0;
}

}  // namespace

// Every window the framework makes has this window procedure from its first message.
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

void CWnd::Creation::UnhookWhenNoneWaits()
{
    for (const Creation* c = t_pCreation; c != nullptr; c = c->m_pOuter) {
        if (!c->m_bBound) {
            return;
        }
    }
    if (t_hHookCbt != nullptr) {
        ::UnhookWindowsHookEx(t_hHookCbt);
        t_hHookCbt = nullptr;
    }
}

// Binds the waiting object to the window as soon as it exists, before its first
// message, then lets the hook go: nothing else the thread creates concerns it.
LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    CWnd::Creation* creation = t_pCreation;
    const HWND hWnd = reinterpret_cast<HWND>(wParam);
    if (code != HCBT_CREATEWND || creation == nullptr || creation->m_bBound || IsImeWindow(hWnd)) {
        return ::CallNextHookEx(t_hHookCbt, code, wParam, lParam);
    }
    CWnd* wnd = creation->m_pWnd;
    creation->m_bBound = true;
    wnd->AttachPermanent(hWnd);
    wnd->m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    const LRESULT result = ::CallNextHookEx(t_hHookCbt, code, wParam, lParam);
    CWnd::Creation::UnhookWhenNoneWaits();
    return result;
}

CWnd::Creation::Creation(CWnd* wnd) : m_pWnd(wnd), m_pOuter(t_pCreation)
{
    t_pCreation = this;
    if (t_hHookCbt == nullptr) {
        t_hHookCbt = ::SetWindowsHookExW(WH_CBT, &AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    }
}

CWnd::Creation::~Creation()
{
    t_pCreation = m_pOuter;
    UnhookWhenNoneWaits();
}

bool CWnd::Creation::ObjectOutlivedFailure()
{
    if (m_bDestroyed) {
        return false;
    }
    if (m_bBound && CWnd::FromHandlePermanent(m_pWnd->m_hWnd) == m_pWnd) {
        // Bound to a window that the platform dropped without a word (a hook vetoed it).
        m_pWnd->DetachPermanent();
    }
    return true;
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        // The object goes first: its window goes with it.
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        Windows().RemovePermanent(m_hWnd);
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) { return Windows().Lookup(hWnd); }

CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return hWnd == nullptr ? nullptr : Windows().LookupPermanent(hWnd); }

void CWnd::DeleteTempMap() { Windows().DeleteTemporary(); }

std::size_t AfxTemporaryWindowCount() { return Windows().TemporaryCount(); }

void CWnd::AttachPermanent(HWND hWnd)
{
    m_hWnd = hWnd;
    Windows().SetPermanent(hWnd, this);
}

void CWnd::DetachPermanent()
{
    Windows().RemovePermanent(m_hWnd);
    m_hWnd = nullptr;
}

bool AfxCreationHookInstalled() { return t_hHookCbt != nullptr; }

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
    if (m_pfnSuper != nullptr &&
        ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc)) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    DetachPermanent();
    // A creation still running for this object learns that its window has gone, so
    // that it does not let the object go a second time.
    for (Creation* c = t_pCreation; c != nullptr; c = c->m_pOuter) {
        if (c->m_pWnd == this) {
            c->m_bDestroyed = true;
        }
    }
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
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        if (center == nullptr) {
            target = area;
        } else {
            ::GetWindowRect(center, &target);
        }
    }

    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    int left = (target.left + target.right) / 2 - width / 2;
    int top = (target.top + target.bottom) / 2 - height / 2;
    if (left + width > area.right) {
        left = area.right - width;
    }
    if (left < area.left) {
        left = area.left;
    }
    if (top + height > area.bottom) {
        top = area.bottom - height;
    }
    if (top < area.top) {
        top = area.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CMenu* CMenu::FromHandle(HMENU hMenu) { return Menus().Lookup(hMenu); }

void CMenu::DeleteTempMap() { Menus().DeleteTemporary(); }
