// What the framework's tests reach into: the platform calls that can fail, routed
// through one table that tests point elsewhere to make the platform refuse, and
// counts of what the framework holds. Only the framework's sources and the tests
// include this; the program never does.
#pragma once

#ifndef SORVEL_FRAMEWORK_SEAMS
#error "platform/seams.h is for the framework's own sources and its tests"
#endif

#include <cstddef>

#include "platform/win.h"

struct PlatformCalls {
    HDC(WINAPI* getDC)(HWND hWnd);
    HDC(WINAPI* createCompatibleDC)(HDC hdc);
    HBITMAP(WINAPI* createCompatibleBitmap)(HDC hdc, int cx, int cy);
    BOOL(WINAPI* polyPolyline)(HDC hdc, const POINT* points, const DWORD* pointCounts, DWORD polylines);
    BOOL(WINAPI* getMessage)(MSG* msg, HWND hWnd, UINT first, UINT last);
    BOOL(WINAPI* deleteObject)(HGDIOBJ object);
    HHOOK(WINAPI* setWindowsHookEx)(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
    HMONITOR(WINAPI* monitorFromWindow)(HWND hWnd, DWORD flags);
    BOOL(WINAPI* getMonitorInfo)(HMONITOR monitor, MONITORINFO* info);
};

PlatformCalls& AfxPlatformCalls();

// GDI objects and memory DCs made through the wrappers and not yet deleted.
long AfxLiveGdiObjects();
long AfxLiveMemoryDCs();
// The temporary window objects that CWnd::FromHandle made and the idle housekeeping
// has not yet freed.
std::size_t AfxTemporaryWindowCount();
// Whether this thread's window-creation hook is installed at the moment.
bool AfxCreationHookInstalled();
