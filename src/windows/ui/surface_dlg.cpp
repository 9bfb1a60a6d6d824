#include "ui/surface_dlg.h"

#include "app/surface_app.h"
#include "ui/about_dlg.h"
#include "ui/resource.h"

CSurfaceDlg::CSurfaceDlg(CWnd* pParent) : CDialog(IDD_SURFACE_DIALOG, pParent), m_dcMem(), m_pBitmap()
{
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CSurfaceDlg::~CSurfaceDlg()
{
    // The memory DC goes before the bitmap selected into it: the platform does not
    // free a bitmap that is still selected.
    m_dcMem.DeleteDC();
    m_pBitmap.reset();
    // No idle pass may tick a dialog that is gone.
    if (auto* app = dynamic_cast<CSurfaceApp*>(AfxGetApp()); app != nullptr && app->m_pDlg == this) {
        app->m_pDlg = nullptr;
    }
}

const MessageMap* CSurfaceDlg::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = {
        MapSysCommand<&CSurfaceDlg::OnSysCommand>(),
        MapPaint<&CSurfaceDlg::OnPaint>(),
        MapQueryDragIcon<&CSurfaceDlg::OnQueryDragIcon>(),
        MapClose<&CSurfaceDlg::OnClose>(),
        MapSize<&CSurfaceDlg::OnSize>(),
        MapDpiChanged<&CSurfaceDlg::OnDpiChanged>(),
    };
    static const MessageMap map = MakeMessageMap(CDialog::GetThisMessageMap(), entries);
    return &map;
}

const MessageMap* CSurfaceDlg::GetMessageMap() const { return GetThisMessageMap(); }

void CSurfaceDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }

BOOL CSurfaceDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // The About item at the end of the system menu.
    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // From here on every idle pass ticks this dialog.
    if (auto* app = dynamic_cast<CSurfaceApp*>(AfxGetApp())) {
        app->m_pDlg = this;
    }
    InitScene();
    ScaleToDpi(GetDpi());
    return TRUE;
}

void CSurfaceDlg::OnSysCommand(UINT nID, LPARAM)
{
    // The platform keeps the low four bits of system command ids for itself.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
        // A WM_CLOSE that arrived during the box's modal loop has destroyed this window
        // and deleted this object by now: nothing of this may be touched after DoModal.
    } else {
        Default();
    }
}

void CSurfaceDlg::OnPaint()
{
    // The default painting fills what it repaints with the dialog's background: the
    // next frame must show the whole client area again.
    m_frameChanges.ScreenLost();
    if (!IsIconic()) {
        // The sheet itself is drawn only by the tick.
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    // Centred in the client area; the halves truncate toward zero.
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CSurfaceDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

void CSurfaceDlg::OnClose()
{
    Default();
    DestroyWindow();
}

void CSurfaceDlg::OnCancel()
{
    CDialog::OnCancel();
    DestroyWindow();
}

void CSurfaceDlg::OnOK() {}

void CSurfaceDlg::OnSize(UINT, int cx, int cy)
{
    Default();
    // Minimising reports 0 x 0: keep the last real size and the back buffer.
    if (cx != 0 && cy != 0) {
        m_cxClient = cx;
        m_cyClient = cy;
        m_bRebuildBuffer = 1;
    }
}

void CSurfaceDlg::OnDpiChanged(UINT nDpiX, UINT, const RECT* pSuggested)
{
    // Moved to a monitor of another scale: the platform's rectangle keeps the window's
    // proportion there, and the projection follows the new DPI.
    ScaleToDpi(nDpiX);
    SetWindowPos(nullptr, pSuggested->left, pSuggested->top, pSuggested->right - pSuggested->left,
                 pSuggested->bottom - pSuggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The same size reports no WM_SIZE; the frame at the new scale is drawn afresh anyway.
    m_bRebuildBuffer = 1;
}

void CSurfaceDlg::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    delete this;
}
