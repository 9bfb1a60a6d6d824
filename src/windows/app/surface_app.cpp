#include "app/surface_app.h"

#include "ui/resource.h"
#include "ui/surface_dlg.h"

CSurfaceApp theApp;

CSurfaceApp::CSurfaceApp() : CWinApp(nullptr) {}

const MessageMap* CSurfaceApp::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = {
        MapCommand<ID_HELP, &CWinApp::OnHelp>(),
    };
    static const MessageMap map = MakeMessageMap(CWinApp::GetThisMessageMap(), entries);
    return &map;
}

const MessageMap* CSurfaceApp::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CSurfaceApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    auto* dlg = new CSurfaceDlg(nullptr);
    if (!dlg->Create(IDD_SURFACE_DIALOG, nullptr)) {
        // No window to run for: end at once instead of looping with nothing to show.
        // The failed Create has already deleted the dialog.
        return FALSE;
    }
    dlg->ShowWindow(SW_SHOW);
    m_pMainWnd = dlg;
    return TRUE;
}

BOOL CSurfaceApp::OnIdle(LONG lCount)
{
    const BOOL more = CWinApp::OnIdle(lCount);
    if (m_pDlg == nullptr) {
        return more;
    }
    m_pDlg->Tick();
    return TRUE;
}
