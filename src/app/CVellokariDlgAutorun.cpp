// The main dialog's two buttons for the medium's Autorun.inf: a new file
// that starts the program, and the editor of the present one. Whatever they
// write becomes the approved text of the watch and is saved at once.
#include "CVellokariDlg.h"

#include "AfxMessageBox.h"
#include "AutorunInfWrite.h"
#include "CEditDlg.h"
#include "CFile.h"

void CVellokariDlg::OnBnClickedAutorunCreate()
{
    const CString text = AutorunInfCreationText(m_strExeDir);
    const CString path = m_strDrive + "\\autorun.inf";

    // Read alone, sharing nothing: a file that another program holds open
    // fails this and counts as missing (its replacement then fails below).
    CFile existing;
    if (existing.Open(path, CFile::modeRead)) {
        AfxMessageBox("Autorun.infはすでに存在します.");
        existing.Close();
        return;
    }
    if (AfxMessageBox("autoconf.infを作成します.よろしいですか？", MB_YESNO) != IDYES)
        return;

    // A failure leaves nothing half-written, nothing approved and the
    // settings as they were.
    if (!WriteAutorunInfFile(path, text, "CVellokariDlg::OnBnClickedAutorunCreate()",
                             "Autorun.infの作成に失敗しました."))
        return;
    m_launcherDlg.SetAutorunInf(text);
    SaveSettings();
}

void CVellokariDlg::OnBnClickedAutorunEdit()
{
    // A difference is shown for approval or revert before the editor opens,
    // with the check timer stopped meanwhile as for its own checks.
    m_launcherDlg.CheckAutorunInfBetweenTimers();

    // The editor never creates a missing file.
    CEditDlg editor;
    if (editor.LoadAutorunInf(m_strDrive) == 0) {
        AfxMessageBox("Autorun.Inf がオープンできません.");
        return;
    }
    if (editor.DoModal() != IDOK)
        return;

    // The editor wrote its text with the same line end at its close.
    m_launcherDlg.SetAutorunInf(EndWithCrLf(editor.GetAutorunText()));
    SaveSettings();
}
