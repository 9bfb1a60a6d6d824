#include "render/raster.h"

#include <algorithm>
#include <cstring>

namespace sorvel {
namespace {

// The magnitude of a line's minor offset at step k is (k * minorRun + RoundingBias) /
// steps, rounded down: with k * minorRun = q * steps + r, it is q + 1 exactly when r
// plus the bias reaches steps, that is, past the half (rising) or at it (falling).
template <typename Count>
Count RoundingBias(Count steps, bool falls)
{
    return falls ? steps - (steps + 1) / 2 : steps - steps / 2 - 1;
}

// A line seen along its major axis: the pixel at step k (0 <= k < steps) lies at
// major0 + majorSign * k, and at the minor offset (k * minorRun / steps) rounded to the
// nearest whole pixel, an exact half going to the smaller coordinate.
struct MajorLine {
    int64_t major0;
    int64_t minor0;
    int majorSign;
    bool minorFalls;    // the minor coordinate decreases along the line
    uint64_t steps;     // |major run|, > 0
    uint64_t minorRun;  // |minor run|, <= steps

    // k * minorRun = q * steps + r, exactly: both factors are below 2^32, so the product
    // fits 64 unsigned bits.
    int64_t Offset(uint64_t q, uint64_t r) const
    {
        // Rising: q + r/steps rounds up only past the half. Falling: -(q + r/steps)
        // rounds down (further from zero) at the half as well.
        const bool up = minorFalls ? 2 * r >= steps : 2 * r > steps;
        const int64_t magnitude = static_cast<int64_t>(q) + (up ? 1 : 0);
        return minorFalls ? -magnitude : magnitude;
    }

    int64_t MinorAt(int64_t k) const
    {
        const uint64_t product = static_cast<uint64_t>(k) * minorRun;
        return minor0 + Offset(product / steps, product % steps);
    }

    uint64_t Bias() const { return RoundingBias(steps, minorFalls); }
};

// The first k in [lo, hi] where pred holds, for a pred that turns from false to true
// once along the range; hi + 1 if it never holds.
template <typename Pred>
int64_t FirstWhere(int64_t lo, int64_t hi, Pred pred)
{
    ++hi;
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        if (pred(mid)) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

// Cuts the steps [lo, hi] down to those whose major coordinate lies in [0, majorLimit)
// and minor coordinate in [0, minorLimit); false when none does.
bool Clip(const MajorLine& line, int majorLimit, int minorLimit, int64_t& lo, int64_t& hi)
{
    // Steps inside the major range, from the major coordinate alone.
    if (line.majorSign > 0) {
        lo = std::max(lo, -line.major0);
        hi = std::min(hi, majorLimit - 1 - line.major0);
    } else {
        lo = std::max(lo, line.major0 - (majorLimit - 1));
        hi = std::min(hi, line.major0);
    }
    if (lo > hi) {
        return false;
    }
    // The minor coordinate is monotone along the line: cut the steps down to those
    // inside the minor range by bisection.
    auto inside = [&](int64_t k) {
        const int64_t m = line.MinorAt(k);
        return m >= 0 && m < minorLimit;
    };
    if (!inside(lo) || !inside(hi)) {
        auto reachedFromStart = [&](int64_t k) {
            const int64_t m = line.MinorAt(k);
            return line.minorFalls ? m < minorLimit : m >= 0;
        };
        auto leftAtEnd = [&](int64_t k) {
            const int64_t m = line.MinorAt(k);
            return line.minorFalls ? m < 0 : m >= minorLimit;
        };
        lo = FirstWhere(lo, hi, reachedFromStart);
        hi = FirstWhere(lo, hi, leftAtEnd) - 1;
    }
    return lo <= hi;
}

// Writes `count` pixels from index `at` on: each step moves the index by `along`, and by
// `across` as well whenever the remainder of (k * run + RoundingBias) / steps carries,
// which is when the rounded minor offset grows.
template <typename Count>
void Walk(uint32_t* pixels, std::ptrdiff_t at, std::ptrdiff_t along, std::ptrdiff_t across, Count count, Count steps,
          Count run, Count remainder, uint32_t colour)
{
    for (; count != 0; --count) {
        pixels[at] = colour;
        remainder += run;
        const bool carry = remainder >= steps;
        remainder -= carry ? steps : 0;
        at += along + (carry ? across : 0);
    }
}

bool Inside(const Raster& raster, PixelPoint p)
{
    return p.x >= 0 && p.x < raster.width && p.y >= 0 && p.y < raster.height;
}

uint64_t Magnitude(int64_t v) { return static_cast<uint64_t>(v < 0 ? -v : v); }

}  // namespace

void FillRaster(const Raster& raster, uint32_t colour)
{
    for (int y = 0; y < raster.height; ++y) {
        uint32_t* row = raster.pixels + static_cast<std::ptrdiff_t>(y) * raster.stride;
        std::fill(row, row + raster.width, colour);
    }
}

void DrawLine(const Raster& raster, PixelPoint from, PixelPoint to, uint32_t colour)
{
    const std::ptrdiff_t stride = raster.stride;
    // Every pixel lies within the box of the two ends: with both inside, nothing to cut,
    // and in 32 bits nothing overflows.
    if (Inside(raster, from) && Inside(raster, to)) {
        const int32_t dx = to.x - from.x;
        const int32_t dy = to.y - from.y;
        const auto ax = static_cast<uint32_t>(dx < 0 ? -dx : dx);
        const auto ay = static_cast<uint32_t>(dy < 0 ? -dy : dy);
        const std::ptrdiff_t at = from.y * stride + from.x;
        if (ax >= ay) {
            if (ax == 0) return;
            Walk(raster.pixels, at, dx > 0 ? 1 : -1, dy < 0 ? -stride : stride, ax, ax, ay, RoundingBias(ax, dy < 0),
                 colour);
        } else {
            Walk(raster.pixels, at, dy > 0 ? stride : -stride, dx < 0 ? -1 : 1, ay, ay, ax, RoundingBias(ay, dx < 0),
                 colour);
        }
        return;
    }
    const int64_t dx = static_cast<int64_t>(to.x) - from.x;
    const int64_t dy = static_cast<int64_t>(to.y) - from.y;
    const bool xMajor = Magnitude(dx) >= Magnitude(dy);
    const MajorLine line = xMajor ? MajorLine{from.x, from.y, dx > 0 ? 1 : -1, dy < 0, Magnitude(dx), Magnitude(dy)}
                                  : MajorLine{from.y, from.x, dy > 0 ? 1 : -1, dx < 0, Magnitude(dy), Magnitude(dx)};
    int64_t lo = 0;
    int64_t hi = static_cast<int64_t>(line.steps) - 1;
    if (!Clip(line, xMajor ? raster.width : raster.height, xMajor ? raster.height : raster.width, lo, hi)) {
        return;
    }
    // Below 2^64: lo and minorRun are below 2^32, Bias() below steps.
    const uint64_t start = static_cast<uint64_t>(lo) * line.minorRun + line.Bias();
    const auto offset = static_cast<int64_t>(start / line.steps);
    const int64_t major = line.major0 + line.majorSign * lo;
    const int64_t minor = line.minor0 + (line.minorFalls ? -offset : offset);
    const std::ptrdiff_t majorUnit = xMajor ? 1 : stride;
    const std::ptrdiff_t minorUnit = xMajor ? stride : 1;
    Walk(raster.pixels, static_cast<std::ptrdiff_t>(major * majorUnit + minor * minorUnit), line.majorSign * majorUnit,
         line.minorFalls ? -minorUnit : minorUnit, static_cast<uint64_t>(hi - lo + 1), line.steps, line.minorRun,
         start % line.steps, colour);
}

void DrawSegments(const Raster& raster, const SegmentList& list)
{
    FillRaster(raster, kPaper);
    for (int n = 0; n < kSegmentCount; ++n) {
        if (list.drawable[n]) {
            DrawLine(raster, list.segments[n].from, list.segments[n].to, kInk);
        }
    }
}

PixelBox Union(const PixelBox& a, const PixelBox& b)
{
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return PixelBox{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
}

PixelBox InkBox(const SegmentList& list, int width, int height)
{
    // The least and the greatest of each coordinate of the drawable ends (from.x, from.y,
    // to.x, to.y), in one pass without branches, which vectorises.
    int32_t low[4] = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX};
    int32_t high[4] = {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
    for (int n = 0; n < kSegmentCount; ++n) {
        const Segment& s = list.segments[n];
        const int32_t ends[4] = {s.from.x, s.from.y, s.to.x, s.to.y};
        const bool drawable = list.drawable[n];
        for (int c = 0; c < 4; ++c) {
            low[c] = std::min(low[c], drawable ? ends[c] : INT32_MAX);
            high[c] = std::max(high[c], drawable ? ends[c] : INT32_MIN);
        }
    }
    // In 64 bits, so that an end at INT32_MAX plus one cannot overflow.
    const int64_t left = std::max<int64_t>(std::min(low[0], low[2]), 0);
    const int64_t top = std::max<int64_t>(std::min(low[1], low[3]), 0);
    const int64_t right = std::min<int64_t>(int64_t{std::max(high[0], high[2])} + 1, width);
    const int64_t bottom = std::min<int64_t>(int64_t{std::max(high[1], high[3])} + 1, height);
    if (left >= right || top >= bottom) return PixelBox{};
    return PixelBox{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
}

FrameChanges::Update FrameChanges::Next(const SegmentList& list, int width, int height)
{
    const PixelBox whole{0, 0, width, height};
    if (width != m_width || height != m_height) {
        m_rasterKnown = m_screenKnown = false;
        m_width = width;
        m_height = height;
    }
    Update update;
    if (m_rasterKnown && std::memcmp(list.segments, m_last.segments, sizeof list.segments) == 0 &&
        std::memcmp(list.drawable, m_last.drawable, sizeof list.drawable) == 0) {
        update.show = m_screenKnown ? PixelBox{} : whole;
    } else {
        const PixelBox inked = InkBox(list, width, height);
        update.draw = true;
        update.clear = m_rasterKnown ? m_inked : whole;
        update.show = m_screenKnown ? Union(m_inked, inked) : whole;
        m_inked = inked;
        m_last = list;
    }
    m_rasterKnown = m_screenKnown = true;
    return update;
}

PixelBox DrawChangedSegments(const Raster& raster, const SegmentList& list, FrameChanges& changes)
{
    const FrameChanges::Update update = changes.Next(list, raster.width, raster.height);
    if (update.draw) {
        const PixelBox& c = update.clear;
        if (!c.IsEmpty()) {
            FillRaster(Raster{raster.pixels + static_cast<std::ptrdiff_t>(c.top) * raster.stride + c.left, c.Width(),
                              c.Height(), raster.stride},
                       kPaper);
        }
        for (int n = 0; n < kSegmentCount; ++n) {
            if (list.drawable[n]) DrawLine(raster, list.segments[n].from, list.segments[n].to, kInk);
        }
    }
    return update.show;
}

}  // namespace sorvel
