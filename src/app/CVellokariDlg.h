#pragma once
// The main dialog: the program's only top-level window. It hosts the
// launcher panel and the window-list panel, shows the Skype versions of the
// medium and of the fixed disk, copies Skype onto the medium, and closes the
// program when its medium is removed.
#include "CBrush.h"
#include "CDialog.h"
#include "CLauncherDlg.h"
#include "CMFCButtonEx.h"
#include "CMediumIdentity.h"
#include "COpaStatic.h"
#include "CString.h"
#include "CWinListDlg.h"
#include "CWinListDlgListener.h"

#include <uxtheme.h>

// Ids of the registered messages, as the main dialog registered them; 0 before.
extern UINT g_uBorewayOpenMsg;
extern UINT g_uVellokariTermMsg;

// The letter of the lowest of the 26 drive bits; '[' when none is set.
char DriveLetterFromUnitMask(ULONG unitmask);

class CVellokariDlg : public CDialog, public CWinListDlgListener {
public:
    enum { IDD = 102 };

    explicit CVellokariDlg(CWnd* pParent = nullptr);
    ~CVellokariDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnWinItemRegister(CWinItem item) override;
    void SaveSettings();

    CString m_strFixVerLabel;
    CString m_strMediumVerLabel;
    HICON m_hIcon;
    CLauncherDlg m_launcherDlg;
    CWinListDlg m_winListDlg;
    BOOL m_bExtended;
    CString m_strExeDir;
    CString m_strIniPath;
    CString m_strDrive;
    CString m_strMediumVer;
    CString m_strFixVer;
    CString m_strFixSkypePath;
    CBrush m_brushDiffer;
    CBrush m_brushEqual;
    BOOL m_bGlass;
    MARGINS m_margins;
    BOOL m_bLabelsAttached;
    COpaStatic m_staticFixVer;
    COpaStatic m_staticMediumVer;
    CMFCButtonEx m_btnSkypeImport;
    CMFCButtonEx m_btnAutorunCreate;
    CMFCButtonEx m_btnAutorunEdit;
    CMFCButtonEx m_btnExtent;

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDestroy();
    void UpdateTitle();
    void InitButtons();
    void OnNMClickHomePage(NMHDR* pNMHDR, LRESULT* pResult);

    // Window messages and the medium's removal.
    void OnDeviceRemoved(WPARAM wParam, LPARAM lParam);
    // The closing road when the volume under the drive is no longer the one
    // the program started from, whether or not a notice of its removal came.
    void CheckMedium();
    void BeginClosingRoad();

    // Glass frame, layout and label colours.
    void CollapseLayout();
    void ExpandLayout();
    void OnBnClickedExtent();
    void UpdateGlass();
    LRESULT OnDwmCompositionChanged(WPARAM wParam, LPARAM lParam);
    void AttachGlassLabels();
    void DetachGlassLabels();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    // Skype on the medium.
    void ReadMediumVersion();
    void ReadFixedSkypeInfo();
    void UpdateVersionLabels();
    void CreateSkypeFolders();
    BOOL CopySkypeToMedium();
    void RegisterSkypeRunItem();
    void OnBnClickedSkypeImport();

    // The medium's Autorun.inf.
    void OnBnClickedAutorunCreate();
    void OnBnClickedAutorunEdit();

private:
    // Moves the window-list panel and button 1031, then ends the client area
    // 2 pixels under the button.
    void PlaceListAndButton(const RECT& list, int buttonTop);

    BOOL m_bNoticeShown = FALSE;  // the closing notice, once per run
    CMediumIdentity m_medium;     // the volume the program started from
};
