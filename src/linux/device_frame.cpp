#include "device_frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sorvel {

DeviceSpan DevicePixelsWithin(double start, double length, double scale)
{
    // The slack absorbs the rounding of the products (29 / 1.75 * 1.75), never a real
    // fraction of a pixel; a span beyond any raster is cut before it can overflow.
    constexpr double kSlack = 1e-6;
    constexpr double kFar = 2.0 * kMaxRasterSide;
    const double first = std::ceil(start * scale - kSlack);
    const double end = std::floor((start + length) * scale + kSlack);
    if (!(end > first) || !(first > -kFar) || !(end < kFar)) return DeviceSpan{};
    return DeviceSpan{static_cast<int>(first), static_cast<int>(end - first)};
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
    if (DrawChangedSegments(raster, list, m_changes).IsEmpty()) return false;
    m_ink = m_changes.Inked();
    return true;
}

void InkFrame::CopyInk(uint32_t* out) const
{
    const std::size_t rowPixels = static_cast<std::size_t>(m_ink.Width());
    for (int y = m_ink.top; y < m_ink.bottom; ++y) {
        const uint32_t* row = m_pixels.data() + static_cast<std::ptrdiff_t>(y) * m_width + m_ink.left;
        std::memcpy(out, row, rowPixels * sizeof(uint32_t));
        out += rowPixels;
    }
}

}  // namespace sorvel
