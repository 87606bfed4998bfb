#include "CUpdateDlg.h"

#include "AfxMessageBox.h"
#include "AutorunIds.h"
#include "AutorunInfText.h"
#include "AutorunInfWrite.h"
#include "CDataExchange.h"

CUpdateDlg::CUpdateDlg(CWnd* parent) : CDialog(IDD, parent), m_brush(RGB(255, 255, 180)) {}

CUpdateDlg::~CUpdateDlg() = default;

void CUpdateDlg::SetAutorunText(CString text)
{
    m_strText = text;
}

CString CUpdateDlg::GetAutorunText() const
{
    return m_strText;
}

const MessageMap* CUpdateDlg::GetMessageMap() const
{
    using H = Handler<CUpdateDlg>;
    static const MessageMap map{CDialog::GetMessageMap(), {
        H::Clicked(IDC_BUTTON_REVERT, &CUpdateDlg::OnBnClickedRevert),
        H::CtlColor(&CUpdateDlg::OnCtlColor),
    }};
    return &map;
}

void CUpdateDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    // Towards the read-only edit alone: the edit does not give every code
    // page 932 byte back as it was set, and the text approved must be the
    // bytes the check read, or the next check reports it again.
    if (!pDX->m_bSaveAndValidate)
        DDX_Text(pDX, IDC_EDIT_AUTORUN, m_strText);
}

BOOL CUpdateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_bApprovable)
        GetDlgItem(IDOK)->EnableWindow(FALSE);
    return TRUE;
}

HBRUSH CUpdateDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const HBRUSH base = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    // The read-only edit is coloured as a static too.
    if (nCtlColor == CTLCOLOR_STATIC) {
        pDC->SetBkMode(TRANSPARENT);
        const int id = pWnd != nullptr ? pWnd->GetDlgCtrlID() : 0;
        if (id == IDC_EDIT_AUTORUN || id == IDC_STATIC_UPDATE)
            return m_brush;
    }
    return base;
}

void CUpdateDlg::OnBnClickedRevert()
{
    m_strText = m_strApproved;
    GetDlgItem(IDC_BUTTON_REVERT)->EnableWindow(FALSE);
    GetDlgItem(IDOK)->SetWindowText("保存");
    GetDlgItem(IDOK)->EnableWindow(TRUE);
    UpdateData(FALSE);
}

void CUpdateDlg::OnOK()
{
    const CString path = AutorunInfPath(m_strDrive);

    if (GetDlgItem(IDOK)->GetWindowText() == "承認") {
        // A click sent to the disabled button changes nothing either.
        if (!m_bApprovable ||
            AfxMessageBox("現在の内容で内部データを更新しますよろしいですか？", MB_YESNO) != IDYES)
            return;
    }

    // A write that fails leaves the old file: nothing is approved, the dialog
    // stays, and the next check finds the difference.
    if (!WriteAutorunInfFile(path, m_strText, "CUpdateDlg::OnOK()", "Autorun.infの更新に失敗しました."))
        return;
    CDialog::OnOK();
}
