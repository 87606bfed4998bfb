#include "CFileDialog.h"

#include "CWinApp.h"
#include "CWnd.h"
#include "Closing.h"
#include "Mbcs.h"

#include <cstring>

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_bOpenFileDialog(openFileDialog), m_pParentWnd(parent), m_strDefExt(defExt != nullptr ? defExt : "")
{
    if (fileName != nullptr)
        ::lstrcpynA(m_szFileName, fileName, sizeof m_szFileName);
    if (filter != nullptr) {
        // A "|" that is the second byte of a double-byte character stays.
        for (const char* p = filter; *p != '\0';) {
            const std::size_t n = MbcsCharLength(p);
            if (n == 1 && *p == '|')
                m_filter.push_back('\0');
            else
                m_filter.insert(m_filter.end(), p, p + n);
            p += n;
        }
        m_filter.push_back('\0');
        m_filter.push_back('\0');
    }

    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hInstance = ::GetModuleHandleA(nullptr);
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    if (AfxIsClosing())
        return IDCANCEL;
    m_ofn.hwndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : AfxDefaultOwner();
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}
