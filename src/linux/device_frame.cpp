#include "device_frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sorvel {

namespace {

// The slack absorbs the rounding of products and quotients (29 / 1.75 * 1.75), never a
// real fraction of a pixel.
constexpr double kSlack = 1e-6;

// One axis of a node's bounds: device pixels first to end - 1, at this scale, from an
// area whose origin lies at `origin`; the bounds go to the whole logical pixels outside.
void LogicalAround(int first, int end, double scale, double origin, float& start, float& length, double& box)
{
    box = first / scale - origin;
    const double outerStart = std::floor(box + kSlack);
    const double outerEnd = std::ceil(end / scale - origin - kSlack);
    start = static_cast<float>(outerStart);
    length = static_cast<float>(outerEnd - outerStart);
}

}  // namespace

DeviceSpan DevicePixelsWithin(double start, double length, double scale)
{
    // A span beyond any raster is cut before it can overflow.
    constexpr double kFar = 2.0 * kMaxRasterSide;
    const double first = std::ceil(start * scale - kSlack);
    const double end = std::floor((start + length) * scale + kSlack);
    if (!(end > first) || !(first > -kFar) || !(end < kFar)) return DeviceSpan{};
    return DeviceSpan{static_cast<int>(first), static_cast<int>(end - first)};
}

NodeBounds NodeBoundsOf(const PixelBox& box, const DevicePlacement& placement)
{
    NodeBounds node;
    if (box.IsEmpty()) return node;
    const DevicePlacement& p = placement;
    LogicalAround(p.columns.first + box.left, p.columns.first + box.right, p.scale, p.originX, node.x, node.width,
                  node.boxX);
    LogicalAround(p.rows.first + box.top, p.rows.first + box.bottom, p.scale, p.originY, node.y, node.height,
                  node.boxY);
    return node;
}

bool InkFrame::Draw(const SegmentList& list, int width, int height)
{
    if (width != m_width || height != m_height) {
        m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kPaper);
        m_width = width;
        m_height = height;
        m_changes.RasterReplaced();
    }
    const Raster raster{m_pixels.data(), width, height, width};
    return !DrawChangedSegments(raster, list, m_changes).IsEmpty();
}

void InkFrame::CopyInk(uint32_t* out) const
{
    const PixelBox& ink = Ink();
    const std::size_t rowPixels = static_cast<std::size_t>(ink.Width());
    for (int y = ink.top; y < ink.bottom; ++y) {
        const uint32_t* row = m_pixels.data() + static_cast<std::ptrdiff_t>(y) * m_width + ink.left;
        std::memcpy(out, row, rowPixels * sizeof(uint32_t));
        out += rowPixels;
    }
}

}  // namespace sorvel
