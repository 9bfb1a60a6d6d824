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

// Where the drawing area lies on its surface: the whole device pixels it covers, the
// surface's scale, and the area's origin on the surface in GTK's logical pixels.
struct DevicePlacement {
    DeviceSpan columns, rows;
    double scale = 1.0;
    double originX = 0.0, originY = 0.0;

    bool operator==(const DevicePlacement& o) const
    {
        return columns.first == o.columns.first && columns.count == o.columns.count && rows.first == o.rows.first &&
               rows.count == o.rows.count && scale == o.scale && originX == o.originX && originY == o.originY;
    }
    bool operator!=(const DevicePlacement& o) const { return !(*this == o); }
};

// A box of the area's device pixels as GTK gets it, in the area's logical pixels: the
// bounds of the node that draws it, and the box's own corner, where its first device
// pixel begins.
//
// The bounds cannot be the box's edges as logical floats. GTK's cairo node records its
// drawing clipped to its bounds, and cairo keeps that clip in fixed point, to 1/256 of a
// logical pixel; replayed at 175 % an edge such as 81.5714 (device row 246) has moved by
// up to 1/512 of a logical pixel, 0.0034 device pixels, enough to leave the box's last
// row at 255/256: black ink came out (1, 1, 1). So the bounds are whole logical pixels,
// exact in floats and in cairo's fixed point, rounded outwards to hold the box with
// room to spare. The box's image is placed at its corner, and nothing is painted where
// the bounds reach beyond it: the paper below shows there.
struct NodeBounds {
    float x = 0.0F, y = 0.0F, width = 0.0F, height = 0.0F;
    double boxX = 0.0, boxY = 0.0;
};

// The node for this box of the raster that the placement puts on the surface.
NodeBounds NodeBoundsOf(const PixelBox& box, const DevicePlacement& placement);

// The frame on paper, drawn anew only where it changed. Everything outside its ink box
// is paper, so the ink box alone on white shows the whole frame.
class InkFrame {
public:
    // Draws the frame of these segments at width x height, clearing only what the last
    // frame inked; false when its pixels are the last frame's.
    bool Draw(const SegmentList& list, int width, int height);
    // The box of the last frame drawn that can hold ink; empty when none shows.
    const PixelBox& Ink() const { return m_changes.Inked(); }
    // Copies the ink box's pixels, row after row, Ink().Width() pixels each.
    void CopyInk(uint32_t* out) const;

private:
    std::vector<uint32_t> m_pixels;
    int m_width = 0;
    int m_height = 0;
    FrameChanges m_changes;
};

}  // namespace sorvel
