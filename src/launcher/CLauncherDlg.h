#pragma once
// The launcher panel: the run items in list order, the approved Autorun.inf
// text and their settings file.
#include "CDialog.h"
#include "CRunInf.h"
#include "CString.h"

#include <vector>

class CLauncherDlg : public CDialog {
public:
    enum { IDD = 129 };

    explicit CLauncherDlg(CWnd* parent = nullptr);

    // The settings file: loaded once at start, saved whole after each change.
    void ReadIniFile();
    void WriteIniFile();
    void SaveSettings();

    CString m_strIniPath;
    std::vector<CRunInf> m_runItems;
    const CString* m_pstrVersion;
    CString m_strAutorunInf;
};
