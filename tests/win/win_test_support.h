// Helpers for tests that run against the real Win32 API (under Wine here).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/afxwin.h"
#include "platform/seams.h"

// An application whose idle handler the test scripts.
class ScriptedApp : public CWinApp {
public:
    std::function<BOOL(LONG)> idle;  // called with each count; defaults to the base
    std::vector<LONG> idleCounts;

    // A quit message left behind must not end the next test's loop.
    ~ScriptedApp() override
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    BOOL OnIdle(LONG lCount) override
    {
        idleCounts.push_back(lCount);
        return idle ? idle(lCount) : CWinApp::OnIdle(lCount);
    }
};

// Handles everything already waiting in this thread's queue.
inline void PumpPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

inline void PostToThread(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    ::PostThreadMessageW(::GetCurrentThreadId(), message, wParam, lParam);
}

inline std::wstring WindowText(HWND hWnd)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(hWnd, text, 256);
    return text;
}

inline std::wstring ClassName(HWND hWnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    return name;
}

inline RECT WindowRect(HWND hWnd)
{
    RECT r;
    ::GetWindowRect(hWnd, &r);
    return r;
}

inline int CentreX(const RECT& r) { return (r.left + r.right) / 2; }
inline int CentreY(const RECT& r) { return (r.top + r.bottom) / 2; }

// Points one platform call elsewhere while it lives: to make the platform refuse, or
// behave as Windows does where Wine does not.
class Refusal {
public:
    template <class Member, class Replacement>
    Refusal(Member member, Replacement replacement) : saved_(AfxPlatformCalls())
    {
        AfxPlatformCalls().*member = replacement;
    }
    ~Refusal() { AfxPlatformCalls() = saved_; }
    Refusal(const Refusal&) = delete;
    Refusal& operator=(const Refusal&) = delete;

private:
    PlatformCalls saved_;
};

// DeleteObject as Windows has it, where Wine only puts the deletion off: a bitmap
// still selected into a DC is not deleted, and the call fails. (The platform selects
// a bitmap into one DC at a time, so a trial selection tells whether it is.)
inline BOOL WINAPI DeleteObjectAsOnWindows(HGDIOBJ object)
{
    if (::GetObjectType(object) == OBJ_BITMAP) {
        const HDC probe = ::CreateCompatibleDC(nullptr);
        const HGDIOBJ previous = ::SelectObject(probe, object);
        if (previous != nullptr) {
            ::SelectObject(probe, previous);
        }
        ::DeleteDC(probe);
        if (previous == nullptr) {
            return FALSE;
        }
    }
    return ::DeleteObject(object);
}
