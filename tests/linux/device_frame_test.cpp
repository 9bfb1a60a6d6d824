// What the Linux edition hands to GTK: the ink box alone on white must show exactly
// the frame that a full clear and draw gives, the frame must lie on whole device
// pixels at fractional scales, and the ink box's node must draw those pixels whole.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "device_frame.h"
#include "scene_support.h"
#include "sim/controls.h"

namespace sorvel {

namespace {

struct Frame {
    int width, height;
    double pixelsPerUnit;
    std::optional<Control> key;  // held in the step before the frame
};

}  // namespace

TEST(InkFrame, TheInkBoxOnWhiteIsTheWholeFrameThroughAPokeTurnsAndResizes)
{
    std::unique_ptr<SceneState> scene = NewScene();
    auto list = std::make_unique<SegmentList>();
    InkFrame frame;
    // The screen as GTK keeps it: white, under the last ink box that was handed over.
    std::vector<uint32_t> screen, ink, full;
    std::vector<Frame> frames;
    // At rest, then poked.
    for (int n = 0; n < 6; ++n) frames.push_back({481, 330, 100.0, {}});
    frames[3].key = Control::Poke;
    for (const Control turn : {Control::TurnLeft, Control::TiltUp, Control::TurnRight, Control::TiltDown}) {
        frames.push_back({481, 330, 100.0, turn});
    }
    // Smaller than the sheet, then larger, then at 150 % in device pixels.
    frames.push_back({200, 120, 100.0, {}});
    frames.push_back({200, 120, 100.0, Control::TurnLeft});
    frames.push_back({1024, 700, 100.0, {}});
    frames.push_back({722, 495, 150.0, {}});
    frames.push_back({722, 495, 150.0, Control::TiltUp});

    int changed = 0;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const Frame& f = frames[n];
        if (f.key) ApplyControl(*scene, *f.key);
        scene->BuildRotation();
        scene->StepSheet();
        scene->m_cxClient = f.width;
        scene->m_cyClient = f.height;
        scene->m_pixelsPerUnit = f.pixelsPerUnit;
        BuildFrameSegments(*scene, *list);

        if (frame.Draw(*list, f.width, f.height)) {
            ++changed;
            screen.assign(static_cast<std::size_t>(f.width * f.height), kPaper);
            const PixelBox& box = frame.Ink();
            ink.assign(static_cast<std::size_t>(box.Width() * box.Height()), 0u);
            frame.CopyInk(ink.data());
            for (int y = 0; y < box.Height(); ++y) {
                for (int x = 0; x < box.Width(); ++x) {
                    screen[static_cast<std::size_t>((box.top + y) * f.width + box.left + x)] =
                        ink[static_cast<std::size_t>(y * box.Width() + x)];
                }
            }
        }
        full.assign(static_cast<std::size_t>(f.width * f.height), 0u);
        ASSERT_EQ(screen.size(), full.size()) << "frame " << n << ": a new size must be drawn";
        DrawSegments(Raster{full.data(), f.width, f.height, f.width}, *list);
        int differing = 0;
        for (std::size_t i = 0; i < full.size(); ++i) differing += screen[i] != full[i] ? 1 : 0;
        EXPECT_EQ(differing, 0) << "frame " << n << " at " << f.width << " x " << f.height;
    }
    // The sheet at rest before the poke repeats its first frame, and nothing is drawn.
    EXPECT_EQ(changed, static_cast<int>(frames.size()) - 2);
}

TEST(DevicePixels, TheAreaGetsTheWholeDevicePixelsInsideIt)
{
    // A header bar 47 pixels high: at 175 % it ends inside device row 82, at 150 % inside
    // row 70, at 200 % exactly at row 94.
    EXPECT_EQ(DevicePixelsWithin(47, 553, 1.75).first, 83);
    EXPECT_EQ(DevicePixelsWithin(47, 553, 1.75).count, 1050 - 83);
    EXPECT_EQ(DevicePixelsWithin(47, 553, 1.5).first, 71);
    EXPECT_EQ(DevicePixelsWithin(47, 553, 2.0).first, 94);
    EXPECT_EQ(DevicePixelsWithin(47, 553, 2.0).count, 1106);
    // A window 1097 wide at 175 % ends inside device column 1919.
    EXPECT_EQ(DevicePixelsWithin(0, 1097, 1.75).count, 1919);
    // The rounding of a product is not a fraction of a pixel: 29 / 1.75 * 1.75 is a
    // little more than 29.
    EXPECT_EQ(DevicePixelsWithin(29.0 / 1.75, 100.0 / 1.75, 1.75).first, 29);
    EXPECT_EQ(DevicePixelsWithin(29.0 / 1.75, 100.0 / 1.75, 1.75).count, 100);
    // Nothing to draw, or nothing sensible to draw into.
    EXPECT_EQ(DevicePixelsWithin(10, 0, 1.25).count, 0);
    EXPECT_EQ(DevicePixelsWithin(10, 0.5, 1.25).count, 0);
    EXPECT_EQ(DevicePixelsWithin(std::numeric_limits<double>::quiet_NaN(), 100, 1.5).count, 0);
    EXPECT_EQ(DevicePixelsWithin(0, 1e300, 1.5).count, 0);
}

// Where the clip of GTK's cairo node lies on the surface, along one axis, in device
// pixels: the node records the clip, a rectangle from corner and size, to 1/256 of a
// logical pixel, and cairo replays it at the scale to 1/256 of a device pixel.
std::pair<double, double> ClipOnSurface(float start, float length, double origin, double scale)
{
    const auto fixed = [](double value) { return std::nearbyint(value * 256.0) / 256.0; };
    return {fixed((fixed(start) + origin) * scale), fixed((fixed(start) + fixed(length) + origin) * scale)};
}

// The box's node draws its device pixels whole: the clip holds them all, the image
// begins on the box's first one, and the node keeps to the 481 x 330 area, within a
// logical pixel of the box.
::testing::AssertionResult DrawsWhole(const PixelBox& box, const DevicePlacement& p)
{
    const NodeBounds n = NodeBoundsOf(box, p);
    const double left = p.columns.first + box.left, top = p.rows.first + box.top;
    const auto across = ClipOnSurface(n.x, n.width, p.originX, p.scale);
    const auto down = ClipOnSurface(n.y, n.height, p.originY, p.scale);
    if (across.first <= left && across.second >= left + box.Width() && down.first <= top &&
        down.second >= top + box.Height() && std::abs((n.boxX + p.originX) * p.scale - left) < 1e-6 &&
        std::abs((n.boxY + p.originY) * p.scale - top) < 1e-6 && n.x >= 0 && n.y >= 0 && n.x + n.width <= 481.0 &&
        n.y + n.height <= 330.0 && n.width < box.Width() / p.scale + 2 && n.height < box.Height() / p.scale + 2) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "scale " << p.scale * 120 << "/120, origin (" << p.originX << ", "
                                         << p.originY << "), box rows " << top << " to " << top + box.Height()
                                         << ": clip rows " << down.first << " to " << down.second;
}

TEST(NodeBounds, HoldTheBoxsDevicePixelsWholeAtEveryScaleAndOrigin)
{
    const auto place = [](double scale, double x, double y) {
        return DevicePlacement{DevicePixelsWithin(x, 481, scale), DevicePixelsWithin(y, 330, scale), scale, x, y};
    };
    // A floating window at 175 %: the area at (14, 59) on its surface, below the shadow
    // and the header bar; the first frame's ink ends at device row 650, where two pixels
    // of ink came out (1, 1, 1).
    EXPECT_TRUE(DrawsWhole(PixelBox{0, 142, 841, 546}, place(1.75, 14, 59)));
    // Origins whole, in halves and quarters, and in steps that no binary fraction meets,
    // as floats, as GTK holds them; the whole raster, a box inside it, its last pixel.
    for (int k = 120; k <= 240; ++k) {
        for (int n = 0; n < 48; ++n) {
            const auto origin = [](int i) { return static_cast<float>(14 + i % 48 / 16.0 + i % 48 * 1.3 / 7.0); };
            const DevicePlacement p = place(k / 120.0, origin(n), origin(n * 7) + 45.0);
            const int w = p.columns.count, h = p.rows.count;
            for (const PixelBox& box : {PixelBox{0, 0, w, h}, PixelBox{w / 7, h / 3, w - 3, h * 9 / 10},
                                        PixelBox{w - 1, h - 1, w, h}}) {
                ASSERT_TRUE(DrawsWhole(box, p));
            }
        }
    }
}

}  // namespace sorvel
