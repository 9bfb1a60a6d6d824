// Binding a window object to its window from the window's very first message on.
//
// The platform sends a new window several messages (WM_NCCREATE, WM_CREATE, and for
// a dialog the first WM_SIZE and WM_INITDIALOG) before the creation call returns. So
// that its object sees them all, a creation function wraps the platform's creation
// call in a WindowCreation. A thread-local CBT hook catches the new window as soon as
// it exists (HCBT_CREATEWND), binds the waiting object to it and puts the framework's
// window procedure in front of the window's own, then removes itself: nothing else the
// thread creates concerns it. Creations nest: one may start from inside another's
// window procedure or modal loop.
#pragma once

#include "platform/wnd.h"

class WindowCreation {
public:
    explicit WindowCreation(CWnd* wnd);
    ~WindowCreation();
    WindowCreation(const WindowCreation&) = delete;
    WindowCreation& operator=(const WindowCreation&) = delete;

    // Whether the hook is in place to bind the object; without it, a window made now
    // would have no object.
    static bool Hooked();
    // Whether the hook bound the object to this window.
    bool BoundTo(HWND hWnd) const { return m_bBound && m_hBound == hWnd; }

    // After the platform's creation call failed: whether the object is still alive
    // because its window never existed, or the platform dropped the window without
    // destroying it, or the object was bound to another window (the object lets go of
    // its binding then). Otherwise the
    // window's destruction has already ended the object's part (PostNcDestroy).
    bool ObjectOutlivedFailure();

    // Called as a window of the framework goes: creations still running for its
    // object learn that its end has come.
    static void WindowDestroyed(const CWnd* wnd);

private:
    static LRESULT CALLBACK FilterHook(int code, WPARAM wParam, LPARAM lParam);
    // Removes the hook unless some creation on this thread still waits for its window.
    static void UnhookWhenNoneWaits();

    CWnd* m_pWnd;
    WindowCreation* m_pOuter;
    bool m_bBound = false;      // the hook bound the object to its window
    HWND m_hBound = nullptr;    // ... that window
    bool m_bDestroyed = false;  // that window went again (WM_NCDESTROY)
};
