// Drawing one frame: the sheet as black lines on white in an off-screen bitmap,
// copied to the window in one block so that it never flickers.
#include "ui/surface_dlg.h"

#include <algorithm>

#include "view/segments.h"

namespace {

// Scratch space of every frame, overwritten whole each time.
sorvel::Vector3 rotatedPoints[sorvel::kPointCount];
sorvel::Vector3 projectedPoints[sorvel::kPointCount];
sorvel::SegmentList frameSegments;

// The drawable segments as two-point polylines, for one PolyPolyline call: the same
// pixels as a MoveTo and LineTo per segment, at a fraction of the calls.
POINT polylinePoints[2 * sorvel::kSegmentCount];
DWORD polylineSizes[sorvel::kSegmentCount];
int polylineCount;

// Windows fails a whole drawing call with any device coordinate beyond 2^26, so one
// point near the camera would cost the frame. Segments that reach beyond this safe
// bound are drawn one by one instead, and only they can be lost.
constexpr int32_t kSafeCoordinate = 1 << 25;
const sorvel::Segment* farSegments[sorvel::kSegmentCount];
int farCount;
// The smallest and largest coordinates of the segments in the polyline.
sorvel::PixelPoint lowest, highest;

bool WithinSafeBound(const sorvel::PixelPoint& p)
{
    return p.x >= -kSafeCoordinate && p.x <= kSafeCoordinate && p.y >= -kSafeCoordinate && p.y <= kSafeCoordinate;
}

void CollectDrawableSegments()
{
    polylineCount = 0;
    farCount = 0;
    lowest = {kSafeCoordinate, kSafeCoordinate};
    highest = {-kSafeCoordinate, -kSafeCoordinate};
    for (int n = 0; n < sorvel::kSegmentCount; ++n) {
        if (!frameSegments.drawable[n]) {
            continue;
        }
        const sorvel::Segment& s = frameSegments.segments[n];
        if (!WithinSafeBound(s.from) || !WithinSafeBound(s.to)) {
            farSegments[farCount++] = &s;
            continue;
        }
        polylinePoints[2 * polylineCount] = POINT{s.from.x, s.from.y};
        polylinePoints[2 * polylineCount + 1] = POINT{s.to.x, s.to.y};
        polylineSizes[polylineCount] = 2;
        ++polylineCount;
        lowest.x = std::min({lowest.x, s.from.x, s.to.x});
        lowest.y = std::min({lowest.y, s.from.y, s.to.y});
        highest.x = std::max({highest.x, s.from.x, s.to.x});
        highest.y = std::max({highest.y, s.from.y, s.to.y});
    }
}

// The part of the client area that this frame's lines can colour. A one-pixel pen
// colours only pixels within the box of a segment's two ends; a far segment may be
// clipped anywhere, so it counts as the whole client area.
RECT DrawnArea(int cx, int cy)
{
    if (farCount > 0) {
        return RECT{0, 0, cx, cy};
    }
    if (polylineCount == 0) {
        return RECT{};
    }
    // Within the safe bound, so the ends and the + 1 cannot overflow.
    RECT box = {lowest.x, lowest.y, highest.x + 1, highest.y + 1};
    const RECT client = {0, 0, cx, cy};
    RECT drawn;
    return ::IntersectRect(&drawn, &box, &client) ? drawn : RECT{};
}

}  // namespace

void CSurfaceDlg::DrawFrame()
{
    CClientDC dc(this);
    if (dc.m_hDC == nullptr) {
        return;  // no device context for the window: no frame this time
    }

    if (m_bRebuildBuffer != 0) {
        // The old DC goes before the old bitmap that is selected into it.
        m_dcMem.DeleteDC();
        m_dcMem.CreateCompatibleDC(&dc);
        m_pBitmap.reset();
        m_pBitmap = std::make_unique<CBitmap>();
        // Compatible with the window: a memory DC alone would make it monochrome.
        m_pBitmap->CreateCompatibleBitmap(&dc, m_cxClient, m_cyClient);
        m_dcMem.SelectObject(m_pBitmap.get());
        // Not retried until the next size change, even if the platform refused.
        m_bRebuildBuffer = 0;
        // A new bitmap holds nothing yet: it is cleared and shown whole.
        m_rcDrawn = RECT{0, 0, m_cxClient, m_cyClient};
        m_bCopyWholeClient = TRUE;
    }
    if (m_dcMem.m_hDC == nullptr || m_pBitmap == nullptr || m_pBitmap->m_hObject == nullptr) {
        return;  // no back buffer at this size: nothing to draw into
    }

    sorvel::ProjectSheet(*this, rotatedPoints, projectedPoints);
    sorvel::BuildSegmentList(projectedPoints, frameSegments);

    // Outside what the last frame drew the back buffer is still white.
    if (!::IsRectEmpty(&m_rcDrawn)) {
        m_dcMem.FillSolidRect(m_rcDrawn.left, m_rcDrawn.top, m_rcDrawn.right - m_rcDrawn.left,
                              m_rcDrawn.bottom - m_rcDrawn.top, RGB(255, 255, 255));
    }
    // The default pen of a new memory DC: black, one pixel wide. Lines with an end
    // at or behind the camera are left out rather than drawn mirrored.
    CollectDrawableSegments();
    if (polylineCount > 0) {
        m_dcMem.PolyPolyline(polylinePoints, polylineSizes, polylineCount);
    }
    for (int n = 0; n < farCount; ++n) {
        m_dcMem.MoveTo(farSegments[n]->from.x, farSegments[n]->from.y);
        m_dcMem.LineTo(farSegments[n]->to.x, farSegments[n]->to.y);
    }

    // The window already shows the last frame: only where it or this one drew can a
    // pixel change. After a paint or a rebuild the window must be shown whole.
    const RECT drawn = DrawnArea(m_cxClient, m_cyClient);
    RECT copy = {0, 0, m_cxClient, m_cyClient};
    if (!m_bCopyWholeClient) {
        ::UnionRect(&copy, &m_rcDrawn, &drawn);
    }
    if (!::IsRectEmpty(&copy)) {
        dc.BitBlt(copy.left, copy.top, copy.right - copy.left, copy.bottom - copy.top, &m_dcMem, copy.left, copy.top,
                  SRCCOPY);
    }
    m_rcDrawn = drawn;
    m_bCopyWholeClient = FALSE;
}
