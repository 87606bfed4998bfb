#pragma once
// The editor of the medium's Autorun.inf: shows the file in its comparison
// form and writes the text back as typed, ended by CR LF. It never creates a
// missing file: its caller opens it only when the file could be read.
#include "CDialog.h"
#include "CString.h"

class CEditDlg : public CDialog {
public:
    enum { IDD = 134 };

    explicit CEditDlg(CWnd* parent = nullptr);
    ~CEditDlg() override;

    // 1 when the medium's file was read into the text, 0 when it cannot be
    // (the text is then left as it was).
    int LoadAutorunInf(CString drive);
    CString GetAutorunText() const;

    CString m_strText;   // the edit's text
    CString m_strDrive;  // set by LoadAutorunInf

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
};
