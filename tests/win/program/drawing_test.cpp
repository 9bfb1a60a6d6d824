// The renderer draws all segments in one call; the picture must be exactly the one
// that a MoveTo and LineTo per segment gives, also where Windows would refuse the call.
// The core's line renderer, which the editions without GDI draw with, must give it too.
#include <cstdint>
#include <cstring>
#include <vector>

#include "program_fixture.h"
#include "reference_draw.h"
#include "render/raster.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The pixels of a DC's top-left w x h, as 32-bit values.
std::vector<uint32_t> Capture(HDC source, int w, int h)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP dib = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = ::CreateCompatibleDC(source);
    const HGDIOBJ old = ::SelectObject(dc, dib);
    ::BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<uint32_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::memcpy(pixels.data(), bits, pixels.size() * sizeof(uint32_t));
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(dib);
    return pixels;
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

// The same frame from the core's line renderer, in the DIB's colours.
std::vector<uint32_t> RenderedByTheCore(const CSurfaceDlg& dlg)
{
    static sorvel::SegmentList list;
    sorvel::BuildFrameSegments(dlg, list);
    std::vector<uint32_t> pixels(static_cast<std::size_t>(dlg.m_cxClient) * static_cast<std::size_t>(dlg.m_cyClient));
    sorvel::DrawSegments(sorvel::Raster{pixels.data(), dlg.m_cxClient, dlg.m_cyClient, dlg.m_cxClient}, list);
    for (uint32_t& p : pixels) {
        p &= 0x00FFFFFFu;
    }
    return pixels;
}

}  // namespace

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
