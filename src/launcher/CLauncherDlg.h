#pragma once
// The launcher panel: the run items in list order with their icons, kinds
// and delays, their countdowns and starts, the gate-open message, the watch
// of the medium's Autorun.inf and the settings file that keeps it all.
#include "CBrush.h"
#include "CDialog.h"
#include "CImageListCash.h"
#include "CMFCButton.h"
#include "CMFCLaucherListCtrl.h"
#include "CRunInf.h"
#include "CString.h"

#include <vector>

// The id of "BOREWAYOPEN", registered by the panel as its window is made; 0 until then.
extern UINT g_uLauncherGateOpenMsg;

enum {
    TIMER_RUN_TICK = 101,       // every 100 ms: status label, countdowns, starts
    TIMER_AUTORUN_CHECK = 105,  // the Autorun.inf check, 300000 ms after the last one ended
};

class CLauncherDlg : public CDialog {
public:
    enum { IDD = 129 };

    explicit CLauncherDlg(CWnd* parent = nullptr);
    ~CLauncherDlg() override;

    // Once, right after the window was made: loads, arms, lists, starts the timers.
    void Initialize(CString iniPath);
    // Rebuilds the rows from the run items; the selection goes back to the
    // row of the former selection mark moved by offset (-1, 0 or +1).
    void UpdateRunList(int offset);
    // An item from outside (the window list): appended, armed, saved.
    void AddRunItem(CRunInf item);
    // The built-in Skype item goes first unless it is there already.
    void InsertSkypeRunItem(CRunInf item);

    // The settings file: loaded once at start, saved whole after each change.
    void ReadIniFile();
    // FALSE when nothing was written: error then holds the system's code, or
    // 0 when the save was refused because nothing could be loaded.
    BOOL WriteIniFile(DWORD* error = nullptr);
    // The save after the user's own change: a failure is told in a box.
    void SaveSettings();

    // The Autorun.inf watch: a new approved text (watched from now on; FALSE
    // and nothing changed when it is longer than AUTORUNINF_MAX_TEXT), one
    // read and comparison (1: nothing to report, 0: the file differs), and
    // one check that asks the user about a difference.
    BOOL SetAutorunInf(CString text);
    int ReadAutorunInf();
    void CheckAutorunInf();

    // The commands of the buttons and of a double click in the list.
    void OnBnClickedAdd();
    void OnBnClickedChange();
    void OnBnClickedLaunch();
    void OnNMDblclkRunList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnBnClickedDelete();
    void OnBnClickedUp();
    void OnBnClickedDown();
    // Two items change places whole; nothing when either position is outside the list.
    void SwapRunItems(int first, int second);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // One check as the check timer runs it, also from outside the timer: the
    // timer stopped meanwhile, so that checks never nest, and started again
    // for the next check.
    void CheckAutorunInfBetweenTimers();

    CMFCLaucherListCtrl m_listRun;
    CString m_strIniPath;
    // FALSE when the settings file was there but could not be read at start:
    // nothing was loaded, and no save may put this state in its place. Set
    // by the owner before Initialize.
    BOOL m_bSettingsLoaded = TRUE;
    CString m_strDrive;  // set by the owner before the window is made
    CImageListCash m_imageCache;
    std::vector<CRunInf> m_runItems;
    CBrush m_brushGray;
    CBrush m_brushStatus;
    const CString* m_pstrVersion;
    CString m_strAutorunInf;     // approved text; empty: nothing is watched
    CString m_strAutorunInfNow;  // the file at the last read that succeeded
    // The dialog cannot show the file of that read whole (over the limit,
    // bytes after a 0x1A, a NUL that ends the edit's text): m_strAutorunInfNow
    // is shown, and can be put back, but is never approved.
    BOOL m_bAutorunInfNowCut = FALSE;
    BOOL m_bAutorunWatch;
    CMFCButton m_btnUp;
    CMFCButton m_btnDown;
    CMFCButton m_btnAdd;
    CMFCButton m_btnChange;
    CMFCButton m_btnDelete;
    CMFCButton m_btnLaunch;

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void InitButtons();
    void OnTimer(UINT_PTR nIDEvent);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnDestroy();

private:
    // The position of the command's item from the list's selection mark;
    // -1 after the box that asks for a selection, or for a mark outside the list.
    int TakeSelectedItem(const char* noSelectionText);
    // The settings dialog on a copy of the item; true, with the copy
    // edited, when the user confirmed.
    bool EditRunItem(CRunInf& item);
    // Up (-1) and down (+1): the selected item and the selection one row on.
    void MoveSelectedItem(int offset);

    int m_nTicksToMediumCheck = 0;  // run ticks until the next look at the medium
};
