// The line renderer's rule, and ends beyond what GDI can be trusted with. Its pixels,
// clipping included, are checked against GDI's by the Windows tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "render/raster.h"

namespace sorvel {

namespace {

using sorvel::PixelPoint;

struct Canvas {
    Canvas(int w, int h) : pixels(static_cast<std::size_t>(w * h), sorvel::kPaper), raster{pixels.data(), w, h, w} {}
    std::set<std::pair<int, int>> Inked() const
    {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < raster.height; ++y) {
            for (int x = 0; x < raster.width; ++x) {
                if (raster.pixels[y * raster.width + x] == sorvel::kInk) out.insert({x, y});
            }
        }
        return out;
    }
    std::vector<uint32_t> pixels;
    sorvel::Raster raster;
};

std::set<std::pair<int, int>> Line(PixelPoint a, PixelPoint b, int w = 8, int h = 8)
{
    Canvas c(w, h);
    sorvel::DrawLine(c.raster, a, b, sorvel::kInk);
    return c.Inked();
}

}  // namespace

TEST(Raster, HalvesGoToTheSmallerCoordinateWhicheverWayTheLineRuns)
{
    using P = std::set<std::pair<int, int>>;
    // x-major: at x = 2 the line is halfway between rows 0 and 1: the upper one.
    EXPECT_EQ(Line({0, 0}, {4, 1}), (P{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
    EXPECT_EQ(Line({4, 1}, {0, 0}), (P{{4, 1}, {3, 1}, {2, 0}, {1, 0}}));
    // y-major: at y = 2 halfway between columns 0 and 1: the left one.
    EXPECT_EQ(Line({0, 0}, {1, 4}), (P{{0, 0}, {0, 1}, {0, 2}, {1, 3}}));
    EXPECT_EQ(Line({1, 4}, {0, 0}), (P{{1, 4}, {1, 3}, {0, 2}, {0, 1}}));
    // Never the second end; nothing for a zero-length line.
    EXPECT_EQ(Line({2, 5}, {5, 5}), (P{{2, 5}, {3, 5}, {4, 5}}));
    EXPECT_EQ(Line({3, 3}, {3, 3}), P{});
}

TEST(Raster, EndsAtTheLimitsOfTheIntRangeCostOnlyTheirVisiblePart)
{
    // Drawn pixel by pixel these would take billions of steps each.
    Canvas c(64, 48);
    sorvel::DrawLine(c.raster, {INT32_MIN, 5}, {INT32_MAX, 5}, sorvel::kInk);
    sorvel::DrawLine(c.raster, {7, INT32_MAX}, {7, INT32_MIN}, sorvel::kInk);
    sorvel::DrawLine(c.raster, {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, sorvel::kInk);
    sorvel::DrawLine(c.raster, {INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, sorvel::kInk);
    std::set<std::pair<int, int>> expected;
    for (int x = 0; x < 64; ++x) expected.insert({x, 5});
    for (int y = 0; y < 48; ++y) expected.insert({7, y});
    for (int d = 0; d < 48; ++d) expected.insert({d, d});  // the diagonal through (0, 0)
    // From (2^31 - 1, -2^31) the anti-diagonal x + y = -1 never enters the canvas.
    EXPECT_EQ(c.Inked(), expected);
}

}  // namespace sorvel
