// The main dialog's part of Skype on the medium: the two versions and their
// labels, the folders, the copy from the fixed disk and the built-in item.
#include "AfxMessageBox.h"
#include "AppIds.h"
#include "CVellokariDlg.h"
#include "ShellFileOperation.h"
#include "SkypeOnMedium.h"
#include "VersionText.h"

#include <shellapi.h>

void CVellokariDlg::ReadMediumVersion()
{
    char version[261] = {};
    ::GetPrivateProfileStringA("SYSTEM", "VER", "", version, sizeof version, m_strIniPath);
    m_strMediumVer = version;
}

void CVellokariDlg::ReadFixedSkypeInfo()
{
    if (!ReadSkypePathFromRegistry(m_strFixSkypePath))
        return;
    m_strFixVer = GetFileVersionString(m_strFixSkypePath);
}

void CVellokariDlg::UpdateVersionLabels()
{
    if (!m_strMediumVer.IsEmpty())
        m_strMediumVerLabel.Format("Portableバージョン:%s", m_strMediumVer.GetString());
    else
        m_strMediumVerLabel = "Portable未インストール";
    if (!m_strFixVer.IsEmpty())
        m_strFixVerLabel.Format("FixHDD バージョン:%s", m_strFixVer.GetString());
    else
        m_strFixVerLabel = "固定HDD未インストール";
    GetDlgItem(IDC_BUTTON_SKYPE_IMPORT)->EnableWindow(!m_strFixVer.IsEmpty());
    // Repainted in the colour that the two versions now call for.
    ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_STATIC_FIX_VER), nullptr, TRUE);
    ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_STATIC_MEDIUM_VER), nullptr, TRUE);
}

void CVellokariDlg::CreateSkypeFolders()
{
    EnsureSubfolder(m_strExeDir, "skype");
    const CString skype = m_strExeDir + "\\" + "skype";
    EnsureSubfolder(skype, "bin");
    EnsureSubfolder(skype, "data");
}

BOOL CVellokariDlg::CopySkypeToMedium()
{
    if (m_strFixSkypePath.IsEmpty())
        return 0;
    CString source = m_strFixSkypePath;
    CString destination = SkypeCopyPath(m_strExeDir);
    if (!ShellFileOperation(m_hWnd, FO_COPY, source, destination))
        return 0;
    // Whatever lies there now: an older copy the user kept counts as a failure.
    const CString copied = GetFileVersionString(SkypeCopyPath(m_strExeDir));
    return copied == m_strFixVer ? 1 : 0;
}

void CVellokariDlg::RegisterSkypeRunItem()
{
    if (m_strMediumVer.IsEmpty())
        return;
    m_launcherDlg.InsertSkypeRunItem(MakeSkypeRunItem(m_strExeDir));
}

void CVellokariDlg::OnBnClickedSkypeImport()
{
    if (m_strFixVer == m_strMediumVer) {
        AfxMessageBox("バージョンは一致しています。更新の必要はありません.", MB_OK);
        return;
    }
    if (m_winListDlg.IsSkypeRunning() == 1) {
        AfxMessageBox("現在ポータブルメディアでSkypeが実行中です。Skypeを終了してください", MB_OK);
        return;
    }
    if (AfxMessageBox("固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？", MB_YESNO) != IDYES)
        return;
    if (CopySkypeToMedium() != 1)
        return;
    m_strMediumVer = m_strFixVer;
    SaveSettings();
    UpdateVersionLabels();
    RegisterSkypeRunItem();
    UpdateData(FALSE);
}
