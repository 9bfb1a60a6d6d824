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

}  // namespace sorvel
