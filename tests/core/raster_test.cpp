// The line renderer's rule, and ends beyond what GDI can be trusted with. Its pixels,
// clipping included, are checked against GDI's by the Windows tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "render/raster.h"
#include "scene_support.h"
#include "sim/controls.h"

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

// The rule itself, one pixel at a time on a canvas that holds the whole line: step k of
// the major run lies at from + k along it, and across it at the exact position rounded
// to the nearest pixel, an exact half going to the smaller coordinate: ceil(p - 1/2),
// worked out as one exact integer division.
std::set<std::pair<int, int>> LineByTheRule(PixelPoint a, PixelPoint b, int w, int h)
{
    const int64_t dx = int64_t{b.x} - a.x, dy = int64_t{b.y} - a.y;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int64_t steps = xMajor ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
    const int64_t run = xMajor ? dy : dx, minor0 = xMajor ? a.y : a.x;
    std::set<std::pair<int, int>> out;
    for (int64_t k = 0; k < steps; ++k) {
        // p = minor0 + k * run / steps; ceil((2 * p - 1) / 2) over the common denominator.
        const int64_t num = 2 * (minor0 * steps + k * run) - steps, den = 2 * steps;
        const int64_t minor = num >= 0 ? (num + den - 1) / den : -((-num) / den);
        const int64_t major = (xMajor ? a.x + (dx < 0 ? -k : k) : a.y + (dy < 0 ? -k : k));
        const int64_t x = xMajor ? major : minor, y = xMajor ? minor : major;
        if (x >= 0 && x < w && y >= 0 && y < h) out.insert({static_cast<int>(x), static_cast<int>(y)});
    }
    return out;
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

// Lines from outside to outside: crossing the canvas, clipping a corner, or passing by;
// from inside to outside, and inside the canvas. The renderer finds the visible part by
// arithmetic and walks it without dividing; the rule above works out every pixel alone.
TEST(Raster, LinesKeepExactlyTheRulesPixelsWhereverTheirEndsLie)
{
    constexpr int kW = 97, kH = 61;
    std::mt19937 random(20261210);
    const auto outside = [&]() {
        std::uniform_int_distribution<int> along(-150, 250), off(1, 400);
        const int t = along(random);
        switch (random() % 4) {
        case 0: return PixelPoint{-off(random), t};
        case 1: return PixelPoint{kW - 1 + off(random), t};
        case 2: return PixelPoint{t, -off(random)};
        default: return PixelPoint{t, kH - 1 + off(random)};
        }
    };
    const auto inside = [&]() {
        return PixelPoint{std::uniform_int_distribution<int>(0, kW - 1)(random),
                          std::uniform_int_distribution<int>(0, kH - 1)(random)};
    };
    int crossing = 0;
    for (int n = 0; n < 6000; ++n) {
        // Both outside, then one end inside, then both.
        const PixelPoint a = n < 3000 ? outside() : inside(), b = n < 4500 ? outside() : inside();
        const auto expected = LineByTheRule(a, b, kW, kH);
        ASSERT_EQ(Line(a, b, kW, kH), expected) << "(" << a.x << ", " << a.y << ") to (" << b.x << ", " << b.y << ")";
        crossing += n < 3000 && !expected.empty() ? 1 : 0;
    }
    EXPECT_GT(crossing, 300) << "enough of them must cross the canvas";
    EXPECT_LT(crossing, 2700) << "and enough pass it by";
}

// The box of the drawable ends, one pixel wider and taller, cut to the raster, worked
// out one end at a time, against lists of random ends, the int range's ends among them.
TEST(Raster, InkBoxIsTheBoxOfTheDrawableEnds)
{
    constexpr int kW = 97, kH = 61;
    std::mt19937 random(20261211);
    auto list = std::make_unique<SegmentList>();
    const auto coordinate = [&]() {
        const int pick = static_cast<int>(random() % 64);
        return pick == 0 ? INT32_MIN : pick == 1 ? INT32_MAX : std::uniform_int_distribution<int>(-5, 100)(random);
    };
    for (int round = 0; round < 200; ++round) {
        // Every segment drawable, then one in 16, one in 512, and at last none.
        const uint32_t odds = round < 50 ? 1 : round < 100 ? 16 : round < 199 ? 512 : 0;
        int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
        for (int n = 0; n < kSegmentCount; ++n) {
            list->segments[n] = Segment{{coordinate(), coordinate()}, {coordinate(), coordinate()}};
            list->drawable[n] = odds != 0 && random() % odds == 0;
            if (!list->drawable[n]) continue;
            for (const PixelPoint& p : {list->segments[n].from, list->segments[n].to}) {
                left = std::min<int64_t>(left, p.x);
                top = std::min<int64_t>(top, p.y);
                right = std::max<int64_t>(right, int64_t{p.x} + 1);
                bottom = std::max<int64_t>(bottom, int64_t{p.y} + 1);
            }
        }
        left = std::max<int64_t>(left, 0);
        top = std::max<int64_t>(top, 0);
        right = std::min<int64_t>(right, kW);
        bottom = std::min<int64_t>(bottom, kH);
        const PixelBox expected = left < right && top < bottom
                                      ? PixelBox{static_cast<int>(left), static_cast<int>(top),
                                                 static_cast<int>(right), static_cast<int>(bottom)}
                                      : PixelBox{};
        ASSERT_EQ(InkBox(*list, kW, kH), expected) << "round " << round;
    }
}

// A frame drawn through FrameChanges into a raster that keeps the last frame, and shown
// by copying only the box it returns onto a screen that keeps what was shown, must look
// exactly like a full clear, draw and copy: through a poke, turns, a thrown sheet, a
// resize, a lost screen and a new raster. A frame that repeats the last one must show
// nothing.
TEST(FrameChanges, ShowWhatAFullClearDrawAndCopyShows)
{
    auto scene = NewScene();
    auto list = std::make_unique<SegmentList>();
    FrameChanges changes;
    std::vector<uint32_t> raster, screen, full;
    int width = 0, height = 0, frames = 0, unchanged = 0;
    const auto resize = [&](int w, int h) {
        width = w;
        height = h;
        // Neither the new raster nor the screen holds anything of the sheet yet.
        raster.assign(static_cast<std::size_t>(w * h), 0x12345678u);
        screen.assign(raster.size(), 0x87654321u);
        changes.RasterReplaced();
    };
    const auto frame = [&](std::initializer_list<Control> keys, const char* what) {
        for (Control c : keys) ApplyControl(*scene, c);
        scene->BuildRotation();
        scene->StepSheet();
        scene->m_cxClient = width;
        scene->m_cyClient = height;
        BuildFrameSegments(*scene, *list);
        const PixelBox show = DrawChangedSegments(Raster{raster.data(), width, height, width}, *list, changes);
        for (int y = show.top; y < show.bottom; ++y) {
            const auto at = static_cast<std::size_t>(y * width + show.left);
            std::memcpy(&screen[at], &raster[at], static_cast<std::size_t>(show.Width()) * sizeof(uint32_t));
        }
        full.assign(raster.size(), 0);
        DrawSegments(Raster{full.data(), width, height, width}, *list);
        ASSERT_EQ(screen, full) << what << ", frame " << frames;
        unchanged += show.IsEmpty() ? 1 : 0;
        ++frames;
    };
    using C = Control;
    resize(800, 560);  // the whole sheet inside, white all round
    frame({}, "first");
    frame({}, "still");
    EXPECT_EQ(unchanged, 1) << "a flat sheet at rest shows nothing new";
    for (int n = 0; n < 5; ++n) frame({C::Poke}, "poked");
    for (int n = 0; n < 20; ++n) frame({}, "rippling");
    for (int n = 0; n < 8; ++n) frame({C::TurnLeft, C::TiltUp}, "turned");
    resize(200, 120);  // smaller than the sheet: lines cross the edges
    for (int n = 0; n < 6; ++n) frame({C::TurnRight}, "small");
    changes.ScreenLost();
    std::fill(screen.begin(), screen.end(), 0u);
    frame({}, "after the screen was lost");
    for (int n = 0; n < 400; ++n) frame({C::Poke}, "thrown past the camera");
    resize(640, 480);
    frame({C::Reset}, "laid flat after a resize");
    const int before = unchanged;
    frame({}, "at rest again");
    EXPECT_EQ(unchanged, before + 1);
}

}  // namespace sorvel
