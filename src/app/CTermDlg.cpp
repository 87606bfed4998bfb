#include "CTermDlg.h"

#include "AppIds.h"

CTermDlg::CTermDlg(CWnd* pParent) : CDialog(IDD_TERM_DIALOG, pParent) {}

BOOL CTermDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Without the timer the notice simply waits for the user.
    SetTimer(TIMER_TERM_CLOSE, TERM_CLOSE_MS, nullptr);
    return TRUE;
}

void CTermDlg::OnOK()
{
    CDialog::OnOK();
}

const MessageMap* CTermDlg::GetMessageMap() const
{
    using H = Handler<CTermDlg>;
    static const MessageMap map{CDialog::GetMessageMap(), {
        H::Timer(&CTermDlg::OnTimer),
    }};
    return &map;
}

void CTermDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_TERM_CLOSE) {
        KillTimer(TIMER_TERM_CLOSE);
        OnOK();
    }
    CDialog::OnTimer(nIDEvent);
}
