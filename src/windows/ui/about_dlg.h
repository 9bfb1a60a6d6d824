// The About box: the program's icon, name, version and copyright line, and OK.
#pragma once

#include "platform/afxwin.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    const MessageMap* GetMessageMap() const override;
    static const MessageMap* GetThisMessageMap();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
