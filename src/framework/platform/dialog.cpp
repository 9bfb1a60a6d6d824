#include "platform/dialog.h"

#include <cstdint>
#include <cstring>

#include "platform/app.h"
#include "platform/create_hook.h"
#include "platform/module.h"

namespace {

// The dialog manager calls this for every message the window procedure passes on;
// the object has handled all it wants by then.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct TemplatePlacement {
    DWORD style;
    short x;
    short y;
};

// Style and position from a classic or an extended dialog template.
TemplatePlacement ReadPlacement(const DLGTEMPLATE* dialogTemplate)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(dialogTemplate);
    uint16_t version, signature;
    std::memcpy(&version, bytes, 2);
    std::memcpy(&signature, bytes + 2, 2);
    TemplatePlacement p;
    if (version == 1 && signature == 0xFFFF) {
        // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, ...
        std::memcpy(&p.style, bytes + 12, 4);
        std::memcpy(&p.x, bytes + 18, 2);
        std::memcpy(&p.y, bytes + 20, 2);
    } else {
        // style, dwExtendedStyle, cdit, x, y, ...
        std::memcpy(&p.style, bytes, 4);
        std::memcpy(&p.x, bytes + 10, 2);
        std::memcpy(&p.y, bytes + 12, 2);
    }
    return p;
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

const MessageMap* CDialog::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = {
        MapMessage<WM_INITDIALOG, &CDialog::HandleInitDialog>(),
        MapCommand<IDOK, &CDialog::OnOK>(),
        MapCommand<IDCANCEL, &CDialog::OnCancel>(),
    };
    static const MessageMap map = MakeMessageMap(CWnd::GetThisMessageMap(), entries);
    return &map;
}

const MessageMap* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

const DLGTEMPLATE* CDialog::LoadTemplate() const
{
    const HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(m_nIDHelp), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (resource == nullptr) {
        return nullptr;
    }
    HGLOBAL loaded = ::LoadResource(module, resource);
    return loaded == nullptr ? nullptr : static_cast<const DLGTEMPLATE*>(::LockResource(loaded));
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    const DLGTEMPLATE* dialogTemplate = LoadTemplate();
    if (dialogTemplate == nullptr) {
        PostNcDestroy();  // the window never came into being: the object goes now
        return FALSE;
    }
    CWnd* parent = pParentWnd != nullptr ? pParentWnd : AfxGetMainWnd();
    WindowCreation creation(this);
    if (!WindowCreation::Hooked()) {
        PostNcDestroy();  // a window made now could never be closed: none is made
        return FALSE;
    }
    const HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), dialogTemplate,
                                                  parent != nullptr ? parent->m_hWnd : nullptr, &AfxDlgProc, 0);
    if (::IsWindow(hWnd) && !creation.BoundTo(hWnd)) {
        // A window, but not this object's (the hook took another window first):
        // nothing would ever handle or close it.
        ::DestroyWindow(hWnd);
    }
    if (!::IsWindow(hWnd)) {
        // Whether the window never came, came and went (perhaps during OnInitDialog,
        // taking a self-deleting object with it), or was not this object's, the object
        // ends here, once: the caller of a failed Create never deletes it.
        if (creation.ObjectOutlivedFailure()) {
            PostNcDestroy();
        }
        return FALSE;
    }
    // The dialog manager activates a dialog while it is still hidden, before it can
    // be the foreground window, so its caption is drawn inactive; showing it then
    // makes it the foreground window without a word to it (Wine does so). Once it is
    // shown and in front, say so, and the caption is drawn active.
    if (IsWindowVisible() && ::GetForegroundWindow() == hWnd) {
        SendMessage(WM_NCACTIVATE, TRUE, 0);
    }
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    const DLGTEMPLATE* dialogTemplate = LoadTemplate();
    if (dialogTemplate == nullptr) {
        return -1;
    }
    CWnd* owner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    const HWND hOwner = owner != nullptr ? owner->m_hWnd : nullptr;
    // The platform's modal loop disables the owner while the dialog runs and enables
    // it again at the end; the application's idle processing does not run inside it.
    INT_PTR result;
    {
        WindowCreation creation(this);
        // Without the hook the box would have no object, and nothing could end it.
        result = WindowCreation::Hooked()
                     ? ::DialogBoxIndirectParamW(AfxGetResourceHandle(), dialogTemplate, hOwner, &AfxDlgProc, 0)
                     : -1;
        if (result == -1) {
            creation.ObjectOutlivedFailure();  // only gives up a binding to a window that never was
        }
    }
    // Activation goes back to the owner, unless the user has moved on elsewhere.
    if (hOwner != nullptr && ::IsWindow(hOwner) && ::IsWindowVisible(hOwner) && ::GetActiveWindow() == nullptr) {
        ::SetActiveWindow(hOwner);
    }
    return result;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    // OnInitDialog may end the dialog, and a dialog that deletes itself is gone with
    // its window: whether it still lives is learnt from the handle, never a member.
    const HWND hWnd = m_hWnd;
    RECT before;
    GetWindowRect(&before);
    const BOOL result = OnInitDialog();
    if (!::IsWindow(hWnd)) {
        return result;
    }
    // Centred unless already shown, moved during initialisation, or placed by its template.
    RECT after;
    GetWindowRect(&after);
    if ((GetStyle() & WS_VISIBLE) == 0 && ::EqualRect(&before, &after) && CheckAutoCenter()) {
        CenterWindow();
    }
    return result;
}

BOOL CDialog::CheckAutoCenter()
{
    const DLGTEMPLATE* dialogTemplate = LoadTemplate();
    if (dialogTemplate == nullptr) {
        return TRUE;
    }
    const TemplatePlacement p = ReadPlacement(dialogTemplate);
    return (p.style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) == 0 && p.x == 0 && p.y == 0;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg)) {
        return TRUE;
    }
    // Keyboard and mouse input gets the dialog manager's handling: Esc becomes the
    // cancel command, Enter the default button's command, Tab moves the focus.
    const bool keyboard = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    const bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse) {
        return FALSE;
    }
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT commandId)
{
    if (CWnd::OnCmdMsg(commandId)) {
        return TRUE;
    }
    CWinThread* thread = AfxGetThread();
    return thread != nullptr && thread->OnCmdMsg(commandId);
}
