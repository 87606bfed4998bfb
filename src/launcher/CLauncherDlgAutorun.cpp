// The launcher panel's watch of the medium's Autorun.inf.
#include "CLauncherDlg.h"

#include "AutorunInfText.h"
#include "CUpdateDlg.h"
#include "DebugLog.h"

#include <string>

BOOL CLauncherDlg::SetAutorunInf(CString text)
{
    // A longer text could not be read back from the medium or the settings file.
    if (text.GetLength() > AUTORUNINF_MAX_TEXT) {
        DebugLog("CLauncherDlg::SetAutorunInf() too large size=%d\n", text.GetLength());
        return FALSE;
    }
    m_strAutorunInf = text;
    m_bAutorunWatch = TRUE;
    return TRUE;
}

int CLauncherDlg::ReadAutorunInf()
{
    m_bAutorunWatch = TRUE;
    if (m_strAutorunInf.IsEmpty()) {
        m_bAutorunWatch = FALSE;
        return 1;
    }

    CString text, beginning;
    DWORD error = 0;
    switch (ReadAutorunInfText(m_strDrive, text, &error, &beginning)) {
    case AUTORUNINF_READ_OK:
        break;
    case AUTORUNINF_READ_AFTER_MARK:
        // The profile reader reads on past the 0x1A: what follows it is a
        // change, though no read shows it.
        DebugLog("CLauncherDlg::ReadAutorunInf() text after 0x1A path=%s\n", AutorunInfPath(m_strDrive).GetString());
        m_strAutorunInfNow = text;
        m_bAutorunInfNowCut = TRUE;
        return 0;
    case AUTORUNINF_READ_FAILED:
        // Not seen whole, so not compared: unwatched until a check reads it.
        DebugLog("CLauncherDlg::ReadAutorunInf() read error=%lu path=%s\n", error,
                 AutorunInfPath(m_strDrive).GetString());
        m_bAutorunWatch = FALSE;
        return 1;
    case AUTORUNINF_READ_TOO_LARGE:
        // No approved text is that long, so the file differs from it: padding
        // must not hide a change from the watch.
        DebugLog("CLauncherDlg::ReadAutorunInf() too large path=%s\n", AutorunInfPath(m_strDrive).GetString());
        m_strAutorunInfNow = beginning;
        m_bAutorunInfNowCut = TRUE;
        return 0;
    case AUTORUNINF_READ_NOT_OPENED:
    default:
        m_bAutorunWatch = FALSE;
        return 1;
    }
    m_strAutorunInfNow = text;
    // The dialog's edit shows the text only up to a NUL.
    m_bAutorunInfNowCut = text.str().find('\0') != std::string::npos;

    DebugLog("Temp=%s\n", m_strAutorunInfNow.GetString());
    DebugLog("AutoRun=%s\n", m_strAutorunInf.GetString());
    return m_strAutorunInfNow == m_strAutorunInf ? 1 : 0;
}

void CLauncherDlg::CheckAutorunInf()
{
    if (ReadAutorunInf() != 0)
        return;

    CUpdateDlg dialog;
    dialog.m_strDrive = m_strDrive;
    dialog.m_strApproved = m_strAutorunInf;
    dialog.SetAutorunText(m_strAutorunInfNow);
    dialog.m_bApprovable = !m_bAutorunInfNowCut;
    // IDOK only once the file holds the dialog's text.
    if (dialog.DoModal() == IDOK) {
        m_strAutorunInf = dialog.GetAutorunText();
        SaveSettings();
    }
}
