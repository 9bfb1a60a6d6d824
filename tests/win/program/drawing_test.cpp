// The renderer draws all segments in one call; the picture must be exactly the one
// that a MoveTo and LineTo per segment gives, also where Windows would refuse the call.
// The core's line renderer, which the editions without GDI draw with, must give it too.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "program_fixture.h"
#include "reference_draw.h"
#include "render/raster.h"

namespace sorvel {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The colours of a DC's top-left w x h, as 0x00RRGGBB. The fourth byte of a 32-bit
// pixel is no part of its colour, and Windows leaves it as it likes: Wine 10 reads
// back 0xFF there from a window whose pixels it has passed on to the X server.
std::vector<uint32_t> Capture(HDC source, int w, int h)
{
    const Dib dib(w, h);
    ::BitBlt(dib.dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<uint32_t> colours(dib.bits, dib.bits + static_cast<std::ptrdiff_t>(w) * h);
    for (uint32_t& p : colours) {
        p &= 0x00FFFFFFu;
    }
    return colours;
}

// Windows' GDI fails a whole drawing call that has a device coordinate beyond 2^26
// and draws nothing of it; Wine's renderer does not, so it is played here.
constexpr LONG kDeviceLimit = 1 << 26;

BOOL WINAPI PolyPolylineWithDeviceLimits(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines)
{
    DWORD total = 0;
    for (DWORD n = 0; n < polylines; ++n) {
        total += counts[n];
    }
    for (DWORD i = 0; i < total; ++i) {
        const POINT& p = points[i];
        if (p.x < -kDeviceLimit || p.x > kDeviceLimit || p.y < -kDeviceLimit || p.y > kDeviceLimit) {
            ::SetLastError(ERROR_ARITHMETIC_OVERFLOW);
            return FALSE;
        }
    }
    return ::PolyPolyline(dc, points, counts, polylines);
}

// A sheet, prepared once the view's rotation is built.
struct Sheet {
    const char* name;
    void (*prepare)(CSurfaceDlg& dlg);
};

const Sheet kSheets[] = {
    {"flat", [](CSurfaceDlg& d) { d.ResetSheet(); }},
    {"rippling",
     [](CSurfaceDlg& d) {
         d.ResetSheet();
         for (int n = 0; n < 60; ++n) {
             if (n < 6) d.PokeSheet();
             d.StepSheet();
         }
     }},
    {"thrown far out by a long poke",  // points behind the camera, huge coordinates
     [](CSurfaceDlg& d) {
         d.ResetSheet();
         for (int n = 0; n < 400; ++n) {
             d.PokeSheet();
             d.StepSheet();
         }
     }},
    {"a corner a hair in front of the camera",  // its column some 10^12 pixels out
     [](CSurfaceDlg& d) {
         d.ResetSheet();
         Vector3& corner = d.m_pos[PointIndex(39, 0)];
         const double ahead = -100.0 + 1e-9, aside = 5.0;  // in the turned view
         corner.x = ahead * d.m_rot[1][0] + aside * d.m_rot[0][0];
         corner.y = ahead * d.m_rot[1][1] + aside * d.m_rot[0][1];
         corner.z = ahead * d.m_rot[1][2] + aside * d.m_rot[0][2];
     }},
};

const double kAngles[][3] = {
    {-0.4, 0.0, 7.2}, {0.0, 0.0, 0.0}, {-kPi / 2, 0.0, 0.0}, {1.3, 0.0, -2.1}, {-2.9, 0.0, 0.37}, {-0.4, 0.0, 4000.1},
};

const SIZE kSizes[] = {{481, 330}, {1920, 1080}, {301, 199}, {2, 3}};

// The same frame from the core's line renderer, in the DIB's colours; at another
// projection factor if one is given.
std::vector<uint32_t> RenderedByTheCore(const CSurfaceDlg& dlg, double pixelsPerUnit = 0.0)
{
    static sorvel::SegmentList list;
    static sorvel::SceneState scene;
    scene = dlg;
    if (pixelsPerUnit > 0.0) scene.m_pixelsPerUnit = pixelsPerUnit;
    sorvel::BuildFrameSegments(scene, list);
    std::vector<uint32_t> pixels(static_cast<std::size_t>(dlg.m_cxClient) * static_cast<std::size_t>(dlg.m_cyClient));
    sorvel::DrawSegments(sorvel::Raster{pixels.data(), dlg.m_cxClient, dlg.m_cyClient, dlg.m_cxClient}, list);
    for (uint32_t& p : pixels) {
        p &= 0x00FFFFFFu;
    }
    return pixels;
}

// The window's client area as it is now, and the dialog's current frame drawn the plain
// way: a full clear, every segment, the whole client area.
struct Shown {
    std::vector<uint32_t> window, frame;
};

Shown WindowAndFrame(CSurfaceDlg& dlg)
{
    const int cx = dlg.m_cxClient, cy = dlg.m_cyClient;
    CClientDC window(&dlg);
    CDC reference;
    reference.CreateCompatibleDC(&window);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&window, cx, cy);
    reference.SelectObject(&bitmap);
    DrawFrameLineByLine(dlg, reference);
    Shown shown{Capture(window.m_hDC, cx, cy), Capture(reference.m_hDC, cx, cy)};
    reference.DeleteDC();
    return shown;
}

::testing::AssertionResult WindowShowsTheFrame(CSurfaceDlg& dlg)
{
    const Shown shown = WindowAndFrame(dlg);
    std::size_t differ = 0;
    for (std::size_t n = 0; n < shown.window.size(); ++n) {
        differ += shown.window[n] != shown.frame[n] ? 1u : 0u;
    }
    if (differ == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << differ << " pixels differ";
}

// The projection's factor at the DPIs the tests run at: the sheet keeps its share of a
// window that grows with the display.
double FactorAt(int dpi) { return dpi == 144 ? 150.0 : dpi == 192 ? 200.0 : 100.0; }

int ScreenDpi()
{
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

// Run in prefixes at 96, 144 and 192 dpi: the dialog grows with the DPI, and the sheet
// with it, drawn at the scaled projection.
TEST_F(Program, OpensAtTheScaleOfTheDisplay)
{
    const int dpi = ScreenDpi();
    ASSERT_TRUE(dpi == 96 || dpi == 144 || dpi == 192) << dpi;
    // Dialog units follow the font, whose metrics grow a little unevenly with the DPI.
    const double scale = dpi / 96.0;
    EXPECT_NEAR(dlg->m_cxClient, 481 * scale, 481 * scale * 0.08) << "at " << dpi << " dpi";
    EXPECT_NEAR(dlg->m_cyClient, 330 * scale, 330 * scale * 0.08);

    dlg->Tick();
    const std::vector<uint32_t> window = WindowAndFrame(*dlg).window;
    EXPECT_TRUE(window == RenderedByTheCore(*dlg, FactorAt(dpi))) << "the start picture at " << dpi << " dpi";
    // As at 96 dpi, the near edge of the sheet reaches across the whole width.
    int left = dlg->m_cxClient, right = -1;
    for (std::size_t n = 0; n < window.size(); ++n) {
        if ((window[n] & 0xFFFFFF) == 0) {
            const int x = static_cast<int>(n % static_cast<std::size_t>(dlg->m_cxClient));
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    EXPECT_LE(left, dlg->m_cxClient / 50);
    EXPECT_GE(right, dlg->m_cxClient - 1 - dlg->m_cxClient / 50);
}

TEST_F(Program, MovedToAnotherScaleTheWindowTakesTheSuggestedRectAndTheProjectionFollows)
{
    dlg->Tick();
    RECT r;
    dlg->GetWindowRect(&r);
    for (UINT dpi : {144u, 192u, 96u}) {
        const LONG w = (r.right - r.left) * static_cast<LONG>(dpi) / 96, h = (r.bottom - r.top) * static_cast<LONG>(dpi) / 96;
        RECT suggested = {r.left + 10, r.top + 5, r.left + 10 + w, r.top + 5 + h};
        dlg->SendMessage(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        RECT now;
        dlg->GetWindowRect(&now);
        EXPECT_TRUE(::EqualRect(&now, &suggested)) << dpi << " dpi";
        dlg->Tick();
        EXPECT_TRUE(WindowAndFrame(*dlg).window == RenderedByTheCore(*dlg, FactorAt(static_cast<int>(dpi))))
            << "the picture at " << dpi << " dpi";
    }
}

TEST_F(Program, OneCallAndTheCoresRendererDrawExactlyTheLinesOfOneCallPerSegment)
{
    Refusal deviceLimits(&PlatformCalls::polyPolyline, &PolyPolylineWithDeviceLimits);
    CClientDC window(dlg);
    int compared = 0;
    for (const SIZE& size : kSizes) {
        dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
        CDC reference;
        ASSERT_TRUE(reference.CreateCompatibleDC(&window));
        CBitmap referenceBitmap;
        ASSERT_TRUE(referenceBitmap.CreateCompatibleBitmap(&window, size.cx, size.cy));
        reference.SelectObject(&referenceBitmap);

        for (const Sheet& sheet : kSheets) {
            for (const auto& angles : kAngles) {
                dlg->m_angleX = angles[0];
                dlg->m_angleY = angles[1];
                dlg->m_angleZ = angles[2];
                dlg->BuildRotation();
                sheet.prepare(*dlg);
                dlg->DrawFrame();
                DrawFrameLineByLine(*dlg, reference);
                const std::vector<uint32_t> frame = Capture(dlg->m_dcMem.m_hDC, size.cx, size.cy);
                ASSERT_EQ(frame, Capture(reference.m_hDC, size.cx, size.cy))
                    << sheet.name << " at " << size.cx << " x " << size.cy << ", angles " << angles[0] << ", "
                    << angles[2];
                ASSERT_EQ(frame, RenderedByTheCore(*dlg))
                    << "the core's renderer: " << sheet.name << " at " << size.cx << " x " << size.cy << ", angles "
                    << angles[0] << ", " << angles[2];
                ++compared;
            }
        }
        reference.DeleteDC();
    }
    EXPECT_EQ(compared, 4 * 4 * 6);
}

// A tick clears and copies only where the sheet was or is now; the window must show
// exactly what a full clear and a full copy showed, whatever happened to it meanwhile.
TEST_F(Program, EveryTickShowsWhatAFullClearAndCopyShowed)
{
    int tick = 0;
    const auto ticks = [&](int n, const char* what) {
        for (int k = 0; k < n; ++k, ++tick) {
            dlg->Tick();
            ASSERT_TRUE(WindowShowsTheFrame(*dlg)) << what << ", tick " << tick;
        }
    };
    ticks(2, "start");
    {
        HeldKeys poke{VK_SPACE};
        ticks(3, "poke");
    }
    ticks(4, "wave");
    {
        HeldKeys turn{VK_LEFT, VK_UP};
        ticks(6, "turns");
    }
    RECT r;
    dlg->GetWindowRect(&r);
    dlg->SetWindowPos(nullptr, 0, 0, r.right - r.left + 300, r.bottom - r.top + 200, SWP_NOZORDER | SWP_NOMOVE);
    ticks(3, "resized");

    // Painted while another window has the focus: the dialog's background shows until
    // the focus is back, and the next tick shows the whole frame again.
    const HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
                                         nullptr, nullptr);
    ::SetFocus(other);
    ::InvalidateRect(dlg->m_hWnd, nullptr, TRUE);
    ::UpdateWindow(dlg->m_hWnd);
    dlg->Tick();
    {
        CClientDC window(dlg);
        EXPECT_EQ(::GetPixel(window.m_hDC, dlg->m_cxClient / 2, dlg->m_cyClient / 2), ::GetSysColor(COLOR_3DFACE));
    }
    ::DestroyWindow(other);
    Focus();
    ticks(2, "focus back after a paint");

    dlg->ShowWindow(SW_MINIMIZE);
    Pump();
    dlg->ShowWindow(SW_RESTORE);
    Focus();
    ticks(2, "restored");
}

}  // namespace sorvel
