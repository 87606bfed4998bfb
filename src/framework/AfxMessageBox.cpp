#include "AfxMessageBox.h"

#include "CWinApp.h"
#include "CWnd.h"
#include "Closing.h"

namespace {
MessageBoxSeam* g_seam = nullptr;
}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT)
{
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    return PlatformMessageBox(AfxDefaultOwner(), text, AfxGetAppName(), type);
}

int PlatformMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    // Once the program closes no box shows, and one that was open counts as cancelled.
    if (AfxIsClosing())
        return AfxClosingAnswer(type);
    const int answer = g_seam != nullptr ? g_seam->Show(owner, text, caption, type)
                                         : ::MessageBoxA(owner, text, caption, type);
    return AfxIsClosing() ? AfxClosingAnswer(type) : answer;
}

MessageBoxSeam::MessageBoxSeam(Answerer answerer)
    : m_answerer(std::move(answerer)), m_previous(g_seam)
{
    g_seam = this;
}

MessageBoxSeam::~MessageBoxSeam()
{
    g_seam = m_previous;
}

int MessageBoxSeam::Show(HWND owner, const char* text, const char* caption, UINT type)
{
    MessageBoxCall call{owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type};
    m_calls.push_back(call);
    if (m_next < m_queued.size())
        return m_queued[m_next++];
    if (m_answerer)
        return m_answerer(call);
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}
