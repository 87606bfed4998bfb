// The main dialog's part of Skype on the medium: the two versions and their
// labels, the folders, the copy from the fixed disk and the built-in item.
#include "AfxMessageBox.h"
#include "AppIds.h"
#include "CFile.h"
#include "CSafeFile.h"
#include "CVellokariDlg.h"
#include "ShellFileOperation.h"
#include "SkypeOnMedium.h"
#include "VersionText.h"

#include <shellapi.h>

namespace {

const char kFolderInTheWay[] = "skype\\bin\\Skype.exe がフォルダのため書き込めません.";
const char kReplaceQuestion[] = "PortableメディアのSkypeを上書きします.よろしいですか？";
const char kCopyFailed[] = "Skypeの書き込みに失敗しました.PortableメディアのSkypeは変更されていません.";

}  // namespace

void CVellokariDlg::ReadMediumVersion()
{
    char version[261] = {};
    ::GetPrivateProfileStringA("SYSTEM", "VER", "", version, sizeof version, m_strIniPath);
    m_strMediumVer = version;
    // A version without its copy (deleted, or settings from another medium) counts as none.
    if (!IsFileAt(SkypeCopyPath(m_strExeDir)))
        m_strMediumVer.Empty();
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
    const CString target = SkypeCopyPath(m_strExeDir);
    const DWORD attributes = ::GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        AfxMessageBox(kFolderInTheWay, MB_OK);
        return 0;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && AfxMessageBox(kReplaceQuestion, MB_YESNO) != IDYES)
        return 0;
    // One that a cut-off copy left would stay for good.
    CSafeFile::RemoveLeftovers(target);
    // The new copy comes in under a free name beside the old one, which stays
    // whole until the new one is known good and takes its place in one rename.
    // A full or write-protected medium may leave the shell silent: say it here.
    const CString incoming = FreeNameBeside(target);
    CString source = m_strFixSkypePath;
    CString destination = incoming;
    bool placed = !incoming.IsEmpty() && ShellFileOperation(m_hWnd, FO_COPY, source, destination) &&
                  GetFileVersionString(incoming) == m_strFixVer && IsWholeCopy(incoming, m_strFixSkypePath);
    if (placed)
        placed = PutCopyInPlace(incoming, target);
    if (!placed) {
        // Touches nothing once the medium is gone: its letter may name another volume.
        CSafeFile::RemoveLeftovers(target);
        AfxMessageBox(kCopyFailed, MB_OK);
        return 0;
    }
    return 1;
}

void CVellokariDlg::RegisterSkypeRunItem()
{
    if (m_strMediumVer.IsEmpty())
        return;
    m_launcherDlg.InsertSkypeRunItem(MakeSkypeRunItem(m_strExeDir));
}

void CVellokariDlg::OnBnClickedSkypeImport()
{
    // A copy removed since the start takes its recorded version with it.
    if (!m_strMediumVer.IsEmpty() && !IsFileAt(SkypeCopyPath(m_strExeDir))) {
        m_strMediumVer.Empty();
        UpdateVersionLabels();
        UpdateData(FALSE);
    }
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
