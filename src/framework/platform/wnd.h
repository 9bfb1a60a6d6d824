// Window objects: a CWnd owns one window handle and receives its messages through
// its message map; what no map handles gets the window's default processing.
#pragma once

#include "platform/cmdtarget.h"

class CMenu;

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    // A window still attached is destroyed with its object.
    ~CWnd() override;

    // The object for a window: the framework's own for windows it made, a temporary
    // one for any other window (freed by the idle housekeeping), null for null.
    static CWnd* FromHandle(HWND hWnd);
    // Only the framework's own objects; null for any other window.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Frees the temporary objects that FromHandle made.
    static void DeleteTempMap();

    // Plain wrappers of the platform's window functions.
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    // The window's dots per inch: the monitor's where the platform knows DPI per
    // window (GetDpiForWindow, Windows 10 on), else the system's (LOGPIXELSX).
    UINT GetDpi() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                   reinterpret_cast<LPARAM>(hIcon)));
    }
    // The window's system menu (a temporary object), or null when it has none.
    CMenu* GetSystemMenu(BOOL bRevert) const;

    virtual BOOL DestroyWindow();

    // Centres the window over its owner when the owner is visible and not minimised,
    // keeping it inside the work area of the owner's monitor; otherwise in the work
    // area of the main window's monitor (the primary one when there is none).
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // The default processing of the message being handled now.
    LRESULT Default();

    // Gets a look at a message before it is dispatched; TRUE when it was handled.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    // Routes a message through the message map, then to the default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The processing the window would get without this object: its original window
    // procedure (the dialog manager's, for dialogs), else DefWindowProc.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND: TRUE when some handler took the command.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The last call the framework makes on the object, after its window is gone.
    virtual void PostNcDestroy();

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class WindowCreation;

    void AttachPermanent(HWND hWnd);
    void DetachPermanent();
    // Hands the window back to the window procedure it had before the framework's.
    void RestoreWindowProc();
    LRESULT OnNcDestroy();

    WNDPROC m_pfnSuper = nullptr;
};

// The window procedure of every window the framework makes, from its first message
// on: hands each message to the window's object.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
