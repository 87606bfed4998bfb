#pragma once
// The about box: the program's name with its own version, and a link to the
// maker's home page.
#include "Framework.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    CString m_strVersion;  // the text of the version static, built as the box opens

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    const MessageMap* GetMessageMap() const override;

    void OnNMClickHomePage(NMHDR* pNMHDR, LRESULT* pResult);
};

// "Vellokari " and the version text with the version number's dots and commas
// as hyphens and its semicolons as dots; the "Ver.:" in front stays.
CString MakeAboutVersionText(const CString& versionText);
