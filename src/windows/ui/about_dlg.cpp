#include "ui/about_dlg.h"

#include "ui/resource.h"

// No parent: the box is owned by the main window while it is shown.
CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

// OK and Esc end the box through the dialog's own handlers; nothing else to handle.
const MessageMap* CAboutDlg::GetThisMessageMap()
{
    static const MessageMap map = MakeMessageMap(CDialog::GetThisMessageMap());
    return &map;
}

const MessageMap* CAboutDlg::GetMessageMap() const { return GetThisMessageMap(); }

void CAboutDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }
