// Drawing one frame: the sheet as black lines on white in an off-screen bitmap,
// copied to the window in one block so that it never flickers.
#include "ui/surface_dlg.h"

#include "render/raster.h"
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

bool WithinSafeBound(const sorvel::PixelPoint& p)
{
    return p.x >= -kSafeCoordinate && p.x <= kSafeCoordinate && p.y >= -kSafeCoordinate && p.y <= kSafeCoordinate;
}

void CollectDrawableSegments()
{
    polylineCount = 0;
    farCount = 0;
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
    }
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
        m_frameChanges.RasterReplaced();
    }
    if (m_dcMem.m_hDC == nullptr || m_pBitmap == nullptr || m_pBitmap->m_hObject == nullptr) {
        return;  // no back buffer at this size: nothing to draw into
    }

    sorvel::ProjectSheet(*this, rotatedPoints, projectedPoints);
    sorvel::BuildSegmentList(projectedPoints, frameSegments);

    // The back buffer keeps the last frame and the window shows it: only where the last
    // frame or this one inked can a pixel change, and a frame that repeats the last one
    // changes none. After a paint or a rebuild the window is shown whole.
    const sorvel::FrameChanges::Update update = m_frameChanges.Next(frameSegments, m_cxClient, m_cyClient);
    if (update.draw) {
        const sorvel::PixelBox& clear = update.clear;
        if (!clear.IsEmpty()) {
            m_dcMem.FillSolidRect(clear.left, clear.top, clear.Width(), clear.Height(), RGB(255, 255, 255));
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
    }
    const sorvel::PixelBox& show = update.show;
    if (!show.IsEmpty()) {
        dc.BitBlt(show.left, show.top, show.Width(), show.Height(), &m_dcMem, show.left, show.top, SRCCOPY);
    }
}
