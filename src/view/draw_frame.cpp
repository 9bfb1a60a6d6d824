// Drawing one frame: the sheet as black lines on white in an off-screen bitmap,
// copied to the window in one block so that it never flickers.
#include "ui/surface_dlg.h"
#include "view/segments.h"

namespace {

// Scratch space of every frame, overwritten whole each time.
Vector3 rotatedPoints[kPointCount];
Vector3 projectedPoints[kPointCount];
sorvel::SegmentList frameSegments;

// The drawable segments as two-point polylines, for one PolyPolyline call: the same
// pixels as a MoveTo and LineTo per segment, at a fraction of the calls.
POINT polylinePoints[2 * sorvel::kSegmentCount];
DWORD polylineSizes[sorvel::kSegmentCount];

int CollectDrawableSegments()
{
    int count = 0;
    for (int n = 0; n < sorvel::kSegmentCount; ++n) {
        if (frameSegments.drawable[n]) {
            const sorvel::Segment& s = frameSegments.segments[n];
            polylinePoints[2 * count] = POINT{s.from.x, s.from.y};
            polylinePoints[2 * count + 1] = POINT{s.to.x, s.to.y};
            polylineSizes[count] = 2;
            ++count;
        }
    }
    return count;
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
        delete m_pBitmap;
        m_pBitmap = new CBitmap;
        // Compatible with the window: a memory DC alone would make it monochrome.
        m_pBitmap->CreateCompatibleBitmap(&dc, m_cxClient, m_cyClient);
        m_dcMem.SelectObject(m_pBitmap);
        // Not retried until the next size change, even if the platform refused.
        m_bRebuildBuffer = 0;
    }
    if (m_dcMem.m_hDC == nullptr || m_pBitmap == nullptr || m_pBitmap->m_hObject == nullptr) {
        return;  // no back buffer at this size: nothing to draw into
    }

    for (int k = 0; k < kPointCount; ++k) {
        RotatePoint(m_pos[k], rotatedPoints[k]);
        ProjectPoint(rotatedPoints[k], projectedPoints[k]);
    }
    sorvel::BuildSegmentList(projectedPoints, frameSegments);

    m_dcMem.FillSolidRect(0, 0, m_cxClient, m_cyClient, RGB(255, 255, 255));
    // The default pen of a new memory DC: black, one pixel wide. Lines with an end
    // at or behind the camera are left out rather than drawn mirrored.
    const int count = CollectDrawableSegments();
    if (count > 0) {
        m_dcMem.PolyPolyline(polylinePoints, polylineSizes, count);
    }
    dc.BitBlt(0, 0, m_cxClient, m_cyClient, &m_dcMem, 0, 0, SRCCOPY);
}
