#include "CAboutDlg.h"

#include "AppIds.h"
#include "HomePage.h"
#include "VersionText.h"

CString MakeAboutVersionText(const CString& versionText)
{
    // ".:" is parked as "%" so that the dots of the prefix survive.
    CString text = versionText;
    text.Replace(".:", "%");
    text.Replace(".", "-");
    text.Replace(",", "-");
    text.Replace(";", ".");
    text.Replace("%", ".:");
    CString label;
    label.Format("Vellokari %s", text.GetString());
    return label;
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_STATIC_VERSION, m_strVersion);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_strVersion = MakeAboutVersionText(GetProductVersionString());
    UpdateData(FALSE);
    return TRUE;
}

const MessageMap* CAboutDlg::GetMessageMap() const
{
    using H = Handler<CAboutDlg>;
    static const MessageMap map{CDialog::GetMessageMap(), {
        H::Notify(NM_CLICK, IDC_SYSLINK_ABOUT_HOMEPAGE, &CAboutDlg::OnNMClickHomePage),
    }};
    return &map;
}

void CAboutDlg::OnNMClickHomePage(NMHDR*, LRESULT* pResult)
{
    OpenHomePage(m_hWnd);
    *pResult = 0;
}
