#pragma once
// The modal dialog in which the user edits one run item: its name, its
// executable and working folder (chosen on the medium only, kept without
// the drive), its arguments, and whether and when it starts by itself.
#include "CComboBox.h"
#include "CDialog.h"
#include "CRunInf.h"
#include "CSpinButtonCtrl.h"
#include "CString.h"

class CRunSettingDlg : public CDialog {
public:
    enum { IDD = 130 };

    explicit CRunSettingDlg(CWnd* parent = nullptr);
    ~CRunSettingDlg() override;

    void SetRunItem(CRunInf runInf) { m_runInf = runInf; }
    void SetDrive(CString drive) { m_strDrive = drive; }
    // The edited run item; valid while the dialog object lives.
    CRunInf* GetRunItem() { return &m_runInf; }

    CComboBox m_comboGate;
    CSpinButtonCtrl m_spinDelay;
    CString m_strProgramPath;  // without the drive
    CString m_strWorkPath;     // without the drive; empty: the executable's folder
    CString m_strArg;
    int m_bAutoStart;
    CString m_strProgramName;  // empty: OK takes the executable's file name
    int m_nTiming;             // -1 none, 0 at program start, 1 on gate open
    CString m_strGateName;
    CRunInf m_runInf;
    CString m_strDrive;
    int m_bAutoStartPrev;  // the check box as its handler last saw it

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void UpdateControls();
    void OnBnClickedAutoStart();
    void OnBnClickedTiming();
    void OnBnClickedBrowseExe();
    void OnBnClickedBrowseFolder();

private:
    void Enable(int id, BOOL enable);
};
