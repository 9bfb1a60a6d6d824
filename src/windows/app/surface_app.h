// The application object: creates the main dialog and turns idle time into the
// animation, one tick of the dialog per idle pass.
#pragma once

#include "platform/afxwin.h"

class CSurfaceDlg;

class CSurfaceApp : public CWinApp {
public:
    CSurfaceApp();

    // The dialog every idle pass ticks; set by the dialog itself when it is ready,
    // cleared when it goes. Not owned.
    CSurfaceDlg* m_pDlg = nullptr;

    BOOL InitInstance() override;
    // The base's housekeeping, then a tick of the dialog; TRUE while there is a
    // dialog, so idle processing never stops.
    BOOL OnIdle(LONG lCount) override;

    const MessageMap* GetMessageMap() const override;
    static const MessageMap* GetThisMessageMap();
};

extern CSurfaceApp theApp;
