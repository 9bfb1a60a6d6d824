// Dialogs made from templates in the program's resources, modeless (Create) or
// modal (DoModal).
#pragma once

#include "platform/wnd.h"

class CDialog;

// Passed to DoDataExchange; the program's dialogs exchange nothing, but keep the hook.
class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Creates the dialog as a modeless window. A null parent means the thread's main
    // window (none at start-up). The first size notification and OnInitDialog run
    // before this returns. On failure the object has had its PostNcDestroy, exactly
    // once, whether or not a window ever existed: a self-deleting object is gone.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Shows the dialog modally over the main window, which stays disabled until the
    // dialog ends; the application's idle processing does not run meanwhile. Returns
    // the result given to EndDialog, or -1 when the dialog could not be made.
    virtual INT_PTR DoModal();

    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    const MessageMap* GetMessageMap() const override;
    static const MessageMap* GetThisMessageMap();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Centred after initialisation unless the template asks for a place or a centring
    // style of its own.
    virtual BOOL CheckAutoCenter();
    // Commands the dialog does not handle go on to the application.
    BOOL OnCmdMsg(UINT commandId) override;

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

private:
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    const DLGTEMPLATE* LoadTemplate() const;
};
