// A frame drawn the plain way, one MoveTo and LineTo per segment: the reference that
// the renderer's faster drawing must match pixel for pixel.
#pragma once

#include "platform/afxwin.h"
#include "ui/surface_dlg.h"
#include "view/segments.h"

namespace sorvel {

// Projects the dialog's sheet and draws it into dc (at least the client size).
inline void DrawFrameLineByLine(CSurfaceDlg& dlg, CDC& dc)
{
    static SegmentList list;
    BuildFrameSegments(dlg, list);
    dc.FillSolidRect(0, 0, dlg.m_cxClient, dlg.m_cyClient, RGB(255, 255, 255));
    for (int n = 0; n < kSegmentCount; ++n) {
        if (list.drawable[n]) {
            dc.MoveTo(list.segments[n].from.x, list.segments[n].from.y);
            dc.LineTo(list.segments[n].to.x, list.segments[n].to.y);
        }
    }
}

}  // namespace sorvel
