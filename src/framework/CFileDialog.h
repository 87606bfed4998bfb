#pragma once
// The system's file-open or file-save dialog, explorer style. The filter is
// given as pairs "text|pattern|" ended by one more "|".
#include "CString.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

class CWnd;

class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a file, IDCANCEL otherwise. Without a parent
    // the main window (or the popup last active over it) owns the dialog.
    virtual INT_PTR DoModal();

    // The full path of the chosen file; "" after IDOK when the path does
    // not come whole through the ANSI code page within MAX_PATH bytes.
    CString GetPathName() const { return CString(m_szFileName); }
    BOOL IsPathWhole() const { return m_bPathWhole; }

    // The settings as the system reads them; lpstrInitialDir may be set
    // before DoModal.
    OPENFILENAMEA m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    CString m_strDefExt;
    std::vector<char> m_filter;  // the pairs with NULs in place of "|"
    char m_szFileName[MAX_PATH] = {};
    BOOL m_bPathWhole = FALSE;
};
