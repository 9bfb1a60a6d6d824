// The frame as the Linux edition hands it to GTK, apart from GTK: the line renderer's
// frame in device pixels, and where the drawing area's whole device pixels lie.
#pragma once

#include <cstdint>
#include <vector>

#include "render/raster.h"

namespace sorvel {

// Whole device pixels: the first, and how many.
struct DeviceSpan {
    int first = 0;
    int count = 0;
};

// The device pixels that lie wholly inside `length` logical pixels from `start`, at
// this scale. At a fractional scale an edge may cut through a device pixel (a header
// bar 47 pixels high ends at device row 82.25 at 175 %): that pixel is left to the
// widgets on both sides.
DeviceSpan DevicePixelsWithin(double start, double length, double scale);

// The frame on paper, drawn anew only where it changed. Everything outside its ink box
// is paper, so the ink box alone on white shows the whole frame.
class InkFrame {
public:
    // Draws the frame of these segments at width x height, clearing only what the last
    // frame inked; false when its pixels are the last frame's.
    bool Draw(const SegmentList& list, int width, int height);
    // The box of the last frame drawn that can hold ink; empty when none shows.
    const PixelBox& Ink() const { return m_ink; }
    // Copies the ink box's pixels, row after row, Ink().Width() pixels each.
    void CopyInk(uint32_t* out) const;

private:
    std::vector<uint32_t> m_pixels;
    int m_width = 0;
    int m_height = 0;
    FrameChanges m_changes;
    PixelBox m_ink;
};

}  // namespace sorvel
