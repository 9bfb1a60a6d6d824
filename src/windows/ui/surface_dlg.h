// The main window: a resizable modeless dialog without controls that carries the
// whole scene and the back buffer the frames are drawn into.
#pragma once

#include <memory>

#include "platform/afxwin.h"
#include "render/raster.h"
#include "sim/scene.h"

class CSurfaceDlg : public CDialog, public sorvel::SceneState {
public:
    explicit CSurfaceDlg(CWnd* pParent = nullptr);
    ~CSurfaceDlg() override;

    CDC m_dcMem;                        // memory DC that each frame is drawn into
    std::unique_ptr<CBitmap> m_pBitmap; // back bitmap selected into m_dcMem
    HICON m_hIcon;                      // the program's icon (a shared resource icon)
    // A frame clears and shows only what changed since the last one: what the back
    // buffer and the window hold between frames.
    sorvel::FrameChanges m_frameChanges;

    // One pass of the animation, while the dialog has the keyboard focus: the keys,
    // the rotation, one spring step, one frame, a 10 ms pause.
    void Tick();
    // The keys of one tick, each applied as soon as it is read.
    void ApplyKeys();
    // Draws the sheet into the back buffer (made anew after a size change) and
    // copies it to the window.
    void DrawFrame();
    // The projection for a window of this DPI: the base factor at 96 dpi and in
    // proportion above, so the sheet keeps its share of a dialog that grows with the
    // DPI. Multiplied before divided: 144 and 192 dpi give exactly 150 and 200.
    void ScaleToDpi(UINT dpi) { m_pixelsPerUnit = sorvel::kBasePixelsPerUnit * dpi / 96; }

    BOOL OnInitDialog() override;

    const MessageMap* GetMessageMap() const override;
    static const MessageMap* GetThisMessageMap();

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnDpiChanged(UINT nDpiX, UINT nDpiY, const RECT* pSuggested);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void PostNcDestroy() override;
    // Esc: the window goes, and with it the program.
    void OnCancel() override;
    // Enter: nothing. Ending the dialog would hide the only window and leave the
    // program running unseen.
    void OnOK() override;
};
