// The launcher panel's commands: add, change, start, delete and reorder run
// items at the user's command. Each change is listed and saved at once.
#include "CLauncherDlg.h"

#include "AfxMessageBox.h"
#include "CRunSettingDlg.h"

#include <commctrl.h>

namespace {

// What the settings file holds of an item; its run-time state goes on
// changing with the run tick while a dialog is open.
bool SameStoredItem(const CRunInf& a, const CRunInf& b)
{
    return a.m_nRunKind == b.m_nRunKind && a.m_strProgramName == b.m_strProgramName &&
           a.m_strProgramPath == b.m_strProgramPath && a.m_strWorkPath == b.m_strWorkPath &&
           a.m_strArg == b.m_strArg && a.m_nDelayTime == b.m_nDelayTime && a.m_nGateKind == b.m_nGateKind &&
           a.m_bSkype == b.m_bSkype;
}

}  // namespace

int CLauncherDlg::TakeSelectedItem(const char* noSelectionText)
{
    // The mark, not the rows' selected state, and read once: the boxes and
    // dialogs that follow run the timers, which may rebuild the rows.
    const int mark = static_cast<int>(m_listRun.SendMessage(LVM_GETSELECTIONMARK));
    if (mark == -1) {
        AfxMessageBox(noSelectionText);
        return -1;
    }
    if (mark < 0 || mark >= static_cast<int>(m_runItems.size()))
        return -1;
    return mark;
}

bool CLauncherDlg::EditRunItem(CRunInf& item)
{
    CRunSettingDlg dialog;
    dialog.SetRunItem(item);
    dialog.SetDrive(m_strDrive);
    if (dialog.DoModal() != IDOK)
        return false;
    item = *dialog.GetRunItem();
    return true;
}

void CLauncherDlg::OnBnClickedAdd()
{
    CRunInf item;
    if (!EditRunItem(item))
        return;
    m_runItems.push_back(item);
    m_runItems.back().armRun();
    UpdateRunList(0);
    SaveSettings();
}

void CLauncherDlg::OnBnClickedChange()
{
    const int pos = TakeSelectedItem("設定変更するプログラムを一覧で選択してください");
    if (pos < 0)
        return;
    // The whole record comes back, run-time state as the copy had it when
    // the dialog opened; an item that now starts with the program waits
    // for the program's next start.
    const CRunInf opened = m_runItems[pos];
    CRunInf item = opened;
    if (!EditRunItem(item))
        return;
    // The position is checked again: should the items have been deleted or
    // moved meanwhile, it names another item or none, and nothing is changed.
    if (pos >= static_cast<int>(m_runItems.size()) || !SameStoredItem(m_runItems[pos], opened))
        return;
    m_runItems[pos] = item;
    if (m_runItems[pos].m_nRunKind != RUNKIND_AUTO_START)
        m_runItems[pos].armRun();
    UpdateRunList(0);
    SaveSettings();
}

void CLauncherDlg::OnBnClickedLaunch()
{
    const int pos = TakeSelectedItem("起動するプログラムを一覧で選択してください");
    if (pos < 0)
        return;
    CRunInf& item = m_runItems[pos];
    item.m_bArmed = TRUE;
    if (!item.startRun(m_strDrive)) {
        const DWORD error = ::GetLastError();
        CString text;
        text.Format("プロセス起動に失敗しました. err=0x%lx", error);
        AfxMessageBox(text);
    }
}

void CLauncherDlg::OnNMDblclkRunList(NMHDR*, LRESULT* pResult)
{
    OnBnClickedLaunch();
    *pResult = 0;
}

void CLauncherDlg::OnBnClickedDelete()
{
    const int pos = TakeSelectedItem("削除するプログラムを一覧で選択してください");
    if (pos < 0)
        return;
    if (m_runItems[pos].m_bSkype) {
        AfxMessageBox("Skype.exeは削除できません.");
        return;
    }
    if (AfxMessageBox("削除しますか？", MB_YESNO) != IDYES)
        return;
    m_runItems.erase(m_runItems.begin() + pos);
    UpdateRunList(0);
    SaveSettings();
}

void CLauncherDlg::OnBnClickedUp()
{
    MoveSelectedItem(-1);
}

void CLauncherDlg::OnBnClickedDown()
{
    MoveSelectedItem(1);
}

void CLauncherDlg::MoveSelectedItem(int offset)
{
    const int pos = TakeSelectedItem("移動するプログラムを一覧で選択してください");
    if (pos < 0)
        return;
    if (m_runItems[pos].m_bSkype) {
        AfxMessageBox("Skypeは先頭から移動できません");
        return;
    }
    // Nothing moves into the first row, whatever it holds, nor past the last.
    const int target = pos + offset;
    if (target < 1 || target >= static_cast<int>(m_runItems.size()))
        return;
    SwapRunItems(pos, target);
    UpdateRunList(offset);
    SaveSettings();
}

void CLauncherDlg::SwapRunItems(int first, int second)
{
    const int count = static_cast<int>(m_runItems.size());
    if (first < 0 || first >= count || second < 0 || second >= count)
        return;
    // Whole records, a running countdown with its item.
    const CRunInf saved = m_runItems[first];
    m_runItems[first] = m_runItems[second];
    m_runItems[second] = saved;
}
