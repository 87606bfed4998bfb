#include "CEditDlg.h"

#include "AfxMessageBox.h"
#include "AutorunIds.h"
#include "AutorunInfText.h"
#include "AutorunInfWrite.h"
#include "CDataExchange.h"
#include "DebugLog.h"

#include <algorithm>
#include <string>

CEditDlg::CEditDlg(CWnd* parent) : CDialog(IDD, parent) {}

CEditDlg::~CEditDlg() = default;

int CEditDlg::LoadAutorunInf(CString drive)
{
    m_strDrive = drive;
    CString text;
    // Read up to a 0x1A, it shows what a save writes.
    const AutorunInfRead read = ReadAutorunInfText(m_strDrive, text);
    if (read != AUTORUNINF_READ_OK && read != AUTORUNINF_READ_AFTER_MARK)
        return 0;
    m_strText = text;
    return 1;
}

CString CEditDlg::GetAutorunText() const
{
    return m_strText;
}

const MessageMap* CEditDlg::GetMessageMap() const
{
    // Button 1 reaches OnOK, button 2 the framework's Cancel.
    static const MessageMap map{CDialog::GetMessageMap(), {}};
    return &map;
}

void CEditDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EDIT_AUTORUNINF, m_strText);
}

BOOL CEditDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The edit's own limit of 30000 would stop typing long before what a
    // save accepts. Where it counts characters rather than bytes, a text of
    // double-byte characters past the limit in bytes is refused by the save.
    ::SendDlgItemMessageA(m_hWnd, IDC_EDIT_AUTORUNINF, EM_SETLIMITTEXT, AUTORUNINF_MAX_TEXT, 0);
    return TRUE;
}

void CEditDlg::OnOK()
{
    const CString path = AutorunInfPath(m_strDrive);
    if (AfxMessageBox("Autoconf.infを更新します.よろしいですか？", MB_YESNO) != IDYES)
        return;
    UpdateData(TRUE);

    // Line ends as the edit made them, a lone LF pasted in included; the
    // caller appends the same CR LF to the text that it approves.
    const CString text = EndWithCrLf(m_strText);
    // It is stored as written and compared as it reads back, where each lone
    // LF gains a CR: a text over the limit either way could be neither
    // watched nor stored, and is not written either.
    const std::size_t size = std::max(static_cast<std::size_t>(text.GetLength()), AutorunInfFormLength(text));
    if (size > static_cast<std::size_t>(AUTORUNINF_MAX_TEXT)) {
        DebugLog("CEditDlg::OnOK() too large size=%d\n", static_cast<int>(size));
        AfxMessageBox("Autorun.infの更新に失敗しました.");
        return;
    }
    // The profile reader reads on past a 0x1A where every check stops: such
    // a text could never be seen as approved. A NUL would cut it short too.
    const std::string& bytes = text.str();
    const std::size_t mark = bytes.find('\x1A');
    if ((mark != std::string::npos && mark + 1 < bytes.size()) || bytes.find('\0') != std::string::npos) {
        DebugLog("CEditDlg::OnOK() text after 0x1A\n");
        AfxMessageBox("Autorun.infの更新に失敗しました.");
        return;
    }
    // A write that fails leaves the old file; the editor stays open with its text.
    if (!WriteAutorunInfFile(path, text, "CEditDlg::OnOK()", "Autorun.infの更新に失敗しました."))
        return;
    CDialog::OnOK();
}
