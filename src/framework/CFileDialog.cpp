#include "CFileDialog.h"

#include "AnsiPath.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "Closing.h"
#include "Mbcs.h"

#include <cstring>
#include <string>

namespace {

// count -1: up to the NUL; otherwise that many bytes, NULs included.
std::wstring Widen(const char* text, int count = -1)
{
    if (text == nullptr)
        return std::wstring();
    const int length = count < 0 ? static_cast<int>(std::strlen(text)) : count;
    if (length == 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0)), L'\0');
    if (!wide.empty())
        ::MultiByteToWideChar(CP_ACP, 0, text, length, &wide[0], static_cast<int>(wide.size()));
    return wide;
}

// The bytes of a list of texts ended by an empty one, both NULs included.
int ListLength(const char* list)
{
    const char* p = list;
    while (*p != '\0')
        p += std::strlen(p) + 1;
    return static_cast<int>(p - list) + 1;
}

}  // namespace

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

// The system's dialog runs in UTF-16: its ANSI form gives back a path cut
// at MAX_PATH, or with other characters for those that the code page lacks,
// and calls that a choice. The settings are handed over as they are.
INT_PTR CFileDialog::DoModal()
{
    if (AfxIsClosing())
        return IDCANCEL;
    m_ofn.hwndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : AfxDefaultOwner();
    m_bPathWhole = FALSE;

    const std::wstring filter = m_ofn.lpstrFilter != nullptr ? Widen(m_ofn.lpstrFilter, ListLength(m_ofn.lpstrFilter))
                                                             : std::wstring();
    const std::wstring initialDir = Widen(m_ofn.lpstrInitialDir);
    const std::wstring title = Widen(m_ofn.lpstrTitle);
    const std::wstring defExt = Widen(m_ofn.lpstrDefExt);
    std::wstring file = Widen(m_szFileName);
    file.resize(4 * MAX_PATH, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_ofn.hwndOwner;
    ofn.hInstance = m_ofn.hInstance;
    ofn.lpstrFilter = m_ofn.lpstrFilter != nullptr ? filter.c_str() : nullptr;
    ofn.nFilterIndex = m_ofn.nFilterIndex;
    ofn.lpstrFile = &file[0];
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = m_ofn.lpstrInitialDir != nullptr ? initialDir.c_str() : nullptr;
    ofn.lpstrTitle = m_ofn.lpstrTitle != nullptr ? title.c_str() : nullptr;
    ofn.Flags = m_ofn.Flags;
    ofn.lpstrDefExt = m_ofn.lpstrDefExt != nullptr ? defExt.c_str() : nullptr;

    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    // Ended by the closing road, the system's dialog may answer with its
    // initial path; and its medium may have gone unheard while it was open.
    if (!AfxMediumStillHere() || !chosen)
        return IDCANCEL;
    m_ofn.nFilterIndex = ofn.nFilterIndex;
    file.back() = L'\0';
    CString path;
    // The buffer holds only what fits whole, whatever the conversion let through.
    m_bPathWhole = AnsiPathFromWide(file.c_str(), &path) && path.GetLength() < MAX_PATH ? TRUE : FALSE;
    std::memset(m_szFileName, 0, sizeof m_szFileName);
    if (m_bPathWhole)
        std::memcpy(m_szFileName, path.GetString(), static_cast<std::size_t>(path.GetLength()));
    return IDOK;
}
