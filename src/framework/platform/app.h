// The application object and its message loop.
//
// The loop alternates two phases: while no message waits, it calls OnIdle with a
// count rising from 0 until OnIdle returns FALSE; then it dispatches messages until
// the queue is empty. After each message that counts as input, idle processing
// starts again from 0. WM_QUIT ends the loop with ExitInstance's result.
#pragma once

#include "platform/cmdtarget.h"

class CWnd;

// The help command (Help menu item or F1 accelerator).
constexpr UINT ID_HELP = 0xE146;

// Sent to the main window and its descendants at the first idle pass after input,
// so that they can bring their user interface up to date.
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

class CWinThread : public CCmdTarget {
public:
    // The exit code when the message queue itself fails.
    static constexpr int kLoopFailed = -1;

    CWnd* m_pMainWnd = nullptr;  // destroying this window ends the loop
    MSG m_msgCur = {};           // the message being handled

    // The message loop; returns ExitInstance's result.
    virtual int Run();
    // Retrieves and dispatches one message; FALSE on WM_QUIT, and when the queue fails
    // (the exit code is then kLoopFailed).
    virtual BOOL PumpMessage();
    // Gives the target window (and its parents) a look at a message before dispatch.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Whether a message restarts idle processing: painting, the system timer and a
    // mouse move that repeats the last one do not.
    virtual BOOL IsIdleMessage(const MSG* pMsg);
    // Idle work for this count; TRUE to be called again while the queue stays empty.
    virtual BOOL OnIdle(LONG lCount);
    // Returns the exit code: the quit message's.
    virtual int ExitInstance();

protected:
    // The count the next idle pass gets: from 0 after each input message.
    LONG m_nIdleCount = 0;

private:
    POINT m_ptCursorLast = {-1, -1};
    UINT m_nMsgLast = 0;
};

class CWinApp : public CWinThread {
public:
    // Makes this the current application (AfxGetApp). A null name stands for the
    // program's module name.
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    LPCWSTR m_pszAppName = nullptr;
    int m_nCmdShow = SW_SHOWDEFAULT;

    // Called once at start-up; FALSE ends the program instead of running the loop.
    virtual BOOL InitInstance();
    // Count 0: user-interface update of the main window; count 1: frees the temporary
    // window objects. TRUE for count 0, FALSE from count 1 on.
    BOOL OnIdle(LONG lCount) override;

    // An icon from the program's resources.
    HICON LoadIcon(UINT nIDResource) const;

    // Three-dimensional controls are the platform's own look now; nothing to register.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // The program has no help file; a help command does nothing.
    void OnHelp() {}
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
// The program holds no embedded controls; there is no container to set up.
inline void AfxEnableControlContainer() {}

// The framework's entry: runs InitInstance, then the loop. Returns the exit code;
// a program that fails to start never reports success.
int AfxWinMain(HINSTANCE hInstance, int nCmdShow);
