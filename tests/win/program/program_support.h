// Helpers for the tests that drive the program's own windows in-process.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/afxwin.h"
#include "win_test_support.h"

// The About box's caption.
inline const std::wstring kAboutCaption = L"Sorvel\u306E\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831";

// The built Sorvel.exe, loaded as a resource file, and its path.
HMODULE ProgramModule();
std::wstring ProgramPath();

// Calls inspect(box) once the modal dialog with this caption is up, from inside its
// modal loop, then returns; inspect must end the dialog. Runs start() to open it.
void WhileModal(const std::wstring& caption, const std::function<void()>& start,
                const std::function<void(HWND box)>& inspect);

// The visible top-level window of this thread with the given caption, or null.
HWND FindThreadWindow(const std::wstring& caption);

// A top-down 32-bit DIB section selected into a memory DC of its own: what GDI draws
// into dc can be read straight from bits (white 0x00FFFFFF, black 0) after GdiFlush.
class Dib {
public:
    Dib(int width, int height);
    ~Dib();
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC dc;
    uint32_t* bits = nullptr;

private:
    HBITMAP bitmap_;
    HGDIOBJ old_;
};
