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

// The position still holds the item read there before a box or dialog.
bool HoldsItem(const std::vector<CRunInf>& items, int pos, const CRunInf& item)
{
    return pos >= 0 && pos < static_cast<int>(items.size()) && SameStoredItem(items[pos], item);
}

bool SameTiming(const CRunInf& a, const CRunInf& b)
{
    return a.m_nRunKind == b.m_nRunKind && a.m_nDelayTime == b.m_nDelayTime && a.m_nGateKind == b.m_nGateKind;
}

// Only the delay changed: the same kind, and for a gate item the same gate.
// A countdown running then is the item's own start still to come.
bool SameTrigger(const CRunInf& a, const CRunInf& b)
{
    return a.m_nRunKind == b.m_nRunKind && (a.m_nRunKind != RUNKIND_AUTO_GATE || a.m_nGateKind == b.m_nGateKind);
}

const char kChangeLost[] = "一覧が変更されたため、設定変更は保存されませんでした.";

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
    const CRunInf opened = m_runItems[pos];
    CRunInf edited = opened;
    if (!EditRunItem(edited))
        return;
    // Should the items have been deleted or moved meanwhile, the position
    // names another item or none: nothing is written, and the user is told.
    if (!HoldsItem(m_runItems, pos, opened)) {
        AfxMessageBox(kChangeLost);
        return;
    }
    // The run tick and gate opens went on while the dialog was open: the
    // item keeps the run-time state they left it in, as it is at the OK.
    CRunInf& item = m_runItems[pos];
    const bool retimed = !SameTiming(edited, opened);
    const bool counting = item.m_bArmed && item.m_nCountdown > 0;
    edited.m_bArmed = item.m_bArmed;
    edited.m_nCountdown = item.m_nCountdown;
    edited.m_bFailed = item.m_bFailed;
    edited.m_dwLastError = item.m_dwLastError;
    edited.m_bSkype = item.m_bSkype;
    item = edited;
    if (retimed) {
        if (counting && SameTrigger(edited, opened)) {
            // Its start is still to come: the new delay counts from now.
            item.m_nCountdown = item.m_nDelayTime == 0 ? 1 : item.m_nDelayTime;
        } else {
            // Started already, nothing to count, or another kind or gate:
            // no countdown carries over. One that now starts with the
            // program waits for its next start, a gate item for its gate.
            item.m_bArmed = FALSE;
            item.m_nCountdown = 0;
            if (item.m_nRunKind != RUNKIND_AUTO_START)
                item.armRun();
        }
    }
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
    const CRunInf asked = m_runItems[pos];
    if (AfxMessageBox("削除しますか？", MB_YESNO) != IDYES)
        return;
    // Only the item that the question was about.
    if (!HoldsItem(m_runItems, pos, asked))
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
