#pragma once
// Shown when the medium's Autorun.inf differs from the approved text: the
// user approves what was found, or puts the approved text back ("保存").
// Either way the dialog writes the file before it ends with IDOK.
#include "CBrush.h"
#include "CDialog.h"
#include "CString.h"

class CUpdateDlg : public CDialog {
public:
    enum { IDD = 136 };

    explicit CUpdateDlg(CWnd* parent = nullptr);
    ~CUpdateDlg() override;

    void SetAutorunText(CString text);
    CString GetAutorunText() const;

    CString m_strText;  // shown in the edit, never read back from it; what OnOK writes
    CBrush m_brush;
    CString m_strDrive;     // set by the caller
    CString m_strApproved;  // set by the caller
    // Set by the caller to FALSE when the text shown is not the whole file
    // (over the limit, bytes after a 0x1A, a NUL in it): what the user
    // cannot see is not approved, and button 1 stays disabled until the revert.
    BOOL m_bApprovable = TRUE;

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnBnClickedRevert();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
};
