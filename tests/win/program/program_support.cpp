#include "program_support.h"

#include <gtest/gtest.h>

namespace {

struct ModalWatch {
    std::wstring caption;
    std::function<void(HWND)> inspect;
    bool done = false;
    UINT_PTR timer = 0;
};
ModalWatch* g_watch = nullptr;

void CALLBACK CheckForBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_watch == nullptr || g_watch->done) {
        return;
    }
    const HWND box = FindThreadWindow(g_watch->caption);
    if (box == nullptr) {
        return;
    }
    g_watch->done = true;
    ::KillTimer(nullptr, g_watch->timer);
    g_watch->inspect(box);
}

struct FindData {
    std::wstring caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND hWnd, LPARAM lParam)
{
    auto* data = reinterpret_cast<FindData*>(lParam);
    if (::IsWindowVisible(hWnd) && WindowText(hWnd) == data->caption) {
        data->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring ProgramPath()
{
    // Sorvel.exe is built next to the test programs.
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/") + 1) + L"Sorvel.exe";
}

HMODULE ProgramModule()
{
    static const HMODULE module =
        ::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return module;
}

void WhileModal(const std::wstring& caption, const std::function<void()>& start,
                const std::function<void(HWND box)>& inspect)
{
    ModalWatch watch{caption, inspect};
    g_watch = &watch;
    watch.timer = ::SetTimer(nullptr, 0, 10, &CheckForBox);
    start();
    ::KillTimer(nullptr, watch.timer);
    g_watch = nullptr;
    EXPECT_TRUE(watch.done) << "the dialog never showed";
}

HWND FindThreadWindow(const std::wstring& caption)
{
    FindData data{caption};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

Dib::Dib(int width, int height) : dc(::CreateCompatibleDC(nullptr))
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    bitmap_ = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<uint32_t*>(pixels);
    old_ = ::SelectObject(dc, bitmap_);
}

Dib::~Dib()
{
    ::SelectObject(dc, old_);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap_);
}
