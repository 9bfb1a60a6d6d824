// Drawing a frame's segments into a pixel buffer, pixel for pixel as the Windows
// program's default pen draws them with MoveTo and LineTo, for the editions that have
// no GDI to draw with.
#pragma once

#include <cstdint>

#include "view/segments.h"

namespace sorvel {

// 32-bit pixels, row after row from the top, stride pixels apart.
struct Raster {
    uint32_t* pixels;
    int width;
    int height;
    int stride;
};

// The largest width or height of a raster the editions draw: the largest side a
// browser's canvas takes, and 1 GiB of pixels at most.
constexpr int kMaxRasterSide = 16384;

// White and black with full alpha: 0xAARRGGBB in a 32-bit word, as GDI's DIBs and
// cairo's ARGB32 store them. A canvas reads bytes R, G, B, A: for pure white and pure
// black with full alpha the same words serve it too.
constexpr uint32_t kPaper = 0xFFFFFFFFu;
constexpr uint32_t kInk = 0xFF000000u;

void FillRaster(const Raster& raster, uint32_t colour);

// One line from `from` towards `to`, as a one-pixel pen draws it: one pixel per step
// along the major axis starting at `from`, `to` itself left out; the minor coordinate
// is the exact position rounded to the nearest pixel, an exact half going to the smaller
// coordinate. Only the pixels inside the raster are written; the cost follows them, not
// the length of the line.
void DrawLine(const Raster& raster, PixelPoint from, PixelPoint to, uint32_t colour);

// A whole frame: paper, then every drawable segment in ink.
void DrawSegments(const Raster& raster, const SegmentList& list);

// A box of pixels: columns left to right - 1, rows top to bottom - 1.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsEmpty() const { return left >= right || top >= bottom; }
    int Width() const { return IsEmpty() ? 0 : right - left; }
    int Height() const { return IsEmpty() ? 0 : bottom - top; }
    bool operator==(const PixelBox& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The smallest box that holds both; an empty box adds nothing.
PixelBox Union(const PixelBox& a, const PixelBox& b);

// What the drawable segments can colour in a width x height raster: a line's pixels all
// lie within the box of its two ends, so the box of every drawable end, one pixel wider
// and taller, cut to the raster.
PixelBox InkBox(const SegmentList& list, int width, int height);

// What a frame must clear, draw and show, so that a frame costs what the sheet covers
// rather than what the window measures. Between frames the raster keeps the last frame:
// paper everywhere but in the last frame's ink box. The screen keeps what was last shown.
class FrameChanges {
public:
    struct Update {
        bool draw = false;  // false: the frame is the last one again; nothing to clear or draw
        PixelBox clear;     // paper over this before drawing: the last frame's ink box, or all
        PixelBox show;      // put this on the screen afterwards; empty: nothing changed there
    };

    // The raster's pixels are unknown (made anew): the next frame clears and shows it whole.
    void RasterReplaced() { m_rasterKnown = m_screenKnown = false; }
    // The screen no longer shows the raster (a paint, a new canvas): the next frame
    // shows the whole raster.
    void ScreenLost() { m_screenKnown = false; }

    // Plans the frame of these segments in a width x height raster, and takes it as the
    // last frame drawn. A frame is unchanged when its segments (ends and drawable flags)
    // equal the last frame's and the size is the same: a frame's pixels are a function
    // of exactly those, the projection's factor and the view reaching them only through
    // the segment ends, so the raster already holds its every pixel.
    Update Next(const SegmentList& list, int width, int height);
    // The last frame's ink box (InkBox), as Next worked it out.
    const PixelBox& Inked() const { return m_inked; }

private:
    bool m_rasterKnown = false;
    bool m_screenKnown = false;
    int m_width = 0;
    int m_height = 0;
    PixelBox m_inked;   // the last frame's ink box
    SegmentList m_last;  // the last frame's segments
};

// Draws the frame of these segments into the raster, clearing only what the last frame
// inked there; returns the box that changed, for the screen (empty: nothing changed).
PixelBox DrawChangedSegments(const Raster& raster, const SegmentList& list, FrameChanges& changes);

}  // namespace sorvel
