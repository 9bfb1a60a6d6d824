#include "platform/create_hook.h"

#include "platform/seams.h"

namespace {

// The innermost creation in progress on this thread, and the hook that serves it.
thread_local WindowCreation* t_pCreation = nullptr;
thread_local HHOOK t_hHook = nullptr;

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

WindowCreation::WindowCreation(CWnd* wnd) : m_pWnd(wnd), m_pOuter(t_pCreation)
{
    t_pCreation = this;
    if (t_hHook == nullptr) {
        t_hHook = AfxPlatformCalls().setWindowsHookEx(WH_CBT, &FilterHook, nullptr, ::GetCurrentThreadId());
    }
}

WindowCreation::~WindowCreation()
{
    t_pCreation = m_pOuter;
    UnhookWhenNoneWaits();
}

LRESULT CALLBACK WindowCreation::FilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    WindowCreation* creation = t_pCreation;
    const HWND hWnd = reinterpret_cast<HWND>(wParam);
    if (code != HCBT_CREATEWND || creation == nullptr || creation->m_bBound || IsImeWindow(hWnd)) {
        return ::CallNextHookEx(t_hHook, code, wParam, lParam);
    }
    CWnd* wnd = creation->m_pWnd;
    creation->m_bBound = true;
    creation->m_hBound = hWnd;
    wnd->AttachPermanent(hWnd);
    wnd->m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    const LRESULT result = ::CallNextHookEx(t_hHook, code, wParam, lParam);
    UnhookWhenNoneWaits();
    return result;
}

void WindowCreation::UnhookWhenNoneWaits()
{
    for (const WindowCreation* c = t_pCreation; c != nullptr; c = c->m_pOuter) {
        if (!c->m_bBound) {
            return;
        }
    }
    if (t_hHook != nullptr) {
        ::UnhookWindowsHookEx(t_hHook);
        t_hHook = nullptr;
    }
}

bool WindowCreation::ObjectOutlivedFailure()
{
    if (m_bDestroyed) {
        return false;
    }
    if (m_bBound && CWnd::FromHandlePermanent(m_hBound) == m_pWnd) {
        // Bound to a window that the platform dropped without a word (a hook vetoed
        // it), or to one that was not the window made: that one gets its own window
        // procedure back.
        m_pWnd->RestoreWindowProc();
        m_pWnd->DetachPermanent();
    }
    return true;
}

void WindowCreation::WindowDestroyed(const CWnd* wnd)
{
    for (WindowCreation* c = t_pCreation; c != nullptr; c = c->m_pOuter) {
        if (c->m_pWnd == wnd) {
            c->m_bDestroyed = true;
        }
    }
}

bool WindowCreation::Hooked() { return t_hHook != nullptr; }

bool AfxCreationHookInstalled() { return t_hHook != nullptr; }
