// The core's line renderer against GDI's default pen, line by line: every pixel the
// same, so the editions without GDI show what the Windows program shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "platform/afxwin.h"
#include "program_support.h"
#include "render/raster.h"

namespace {

constexpr int kWidth = 641;
constexpr int kHeight = 479;
// Wine clips lines with ends beyond 2^28 wrongly itself, so the oracle stops there.
constexpr int32_t kOracleLimit = 1 << 28;

// Segments of every kind the frames can hold, from a fixed seed.
std::vector<sorvel::Segment> RandomSegments(int count)
{
    std::mt19937 random(20261209);
    auto in = [&](int lo, int hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(random); };
    const int32_t farOut[] = {100000, 1 << 25, kOracleLimit};
    std::vector<sorvel::Segment> out;
    for (int n = 0; n < count; ++n) {
        sorvel::PixelPoint a{in(0, kWidth - 1), in(0, kHeight - 1)};
        sorvel::PixelPoint b{in(0, kWidth - 1), in(0, kHeight - 1)};
        switch (n % 8) {
        case 0: break;                                                   // inside
        case 1: b = {a.x + in(-6, 6), a.y + in(-6, 6)}; break;           // short
        case 2: a = {in(-400, 1040), in(-400, 880)}; break;              // partly outside
        case 3: b = {in(-1, 1) * farOut[n % 3] + in(-9, 9), in(-1, 1) * farOut[(n / 3) % 3] + in(-9, 9)}; break;
        case 4: b.y = a.y; break;                                        // horizontal
        case 5: b.x = a.x; break;                                        // vertical
        case 6: b = {a.x + (b.y - a.y) * (n % 16 < 8 ? 1 : -1), b.y}; break;  // diagonal
        case 7: b = n % 16 == 7 ? a : sorvel::PixelPoint{a.x - in(0, 2000), a.y + in(-3000, 3000)}; break;
        }
        out.push_back(n % 2 == 0 ? sorvel::Segment{a, b} : sorvel::Segment{b, a});
    }
    return out;
}

}  // namespace

TEST(LineRenderer, DrawsExactlyTheDefaultPensPixels)
{
    // GDI draws into a top-down 32-bit DIB: white 0x00FFFFFF, black 0.
    const Dib dib(kWidth, kHeight);
    ASSERT_NE(dib.bits, nullptr);
    const HDC dc = dib.dc;
    const uint32_t* gdi = dib.bits;
    std::vector<uint32_t> ours(static_cast<std::size_t>(kWidth * kHeight));
    const sorvel::Raster raster{ours.data(), kWidth, kHeight, kWidth};
    const RECT all = {0, 0, kWidth, kHeight};
    const HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));

    std::ptrdiff_t inked = 0;
    for (const sorvel::Segment& s : RandomSegments(4000)) {
        ::FillRect(dc, &all, white);
        ::MoveToEx(dc, s.from.x, s.from.y, nullptr);
        ::LineTo(dc, s.to.x, s.to.y);
        ::GdiFlush();
        sorvel::FillRaster(raster, 0x00FFFFFF);
        sorvel::DrawLine(raster, s.from, s.to, 0);
        if (std::memcmp(ours.data(), gdi, ours.size() * sizeof(uint32_t)) != 0) {
            const auto k = std::mismatch(ours.begin(), ours.end(), gdi).first - ours.begin();
            FAIL() << "(" << s.from.x << ", " << s.from.y << ") to (" << s.to.x << ", " << s.to.y << ") differs at "
                   << k % kWidth << ", " << k / kWidth;
        }
        inked += std::count(ours.begin(), ours.end(), 0u);
    }
    EXPECT_GT(inked, 100000) << "the lines must mostly land inside";
}
