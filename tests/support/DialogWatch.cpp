#include "DialogWatch.h"

namespace {
DialogWatch* g_watch = nullptr;
const char kMet[] = "vk-dialog-met";
}  // namespace

DialogWatch::DialogWatch() : m_previous(g_watch)
{
    g_watch = this;
    m_timer = ::SetTimer(nullptr, 0, 20, &Tick);
}

DialogWatch::~DialogWatch()
{
    ::KillTimer(nullptr, m_timer);
    g_watch = m_previous;
}

void DialogWatch::Push(Handler handler)
{
    m_handlers.push_back(std::move(handler));
}

void DialogWatch::Ignore(HWND dialog)
{
    ::SetPropA(dialog, kMet, reinterpret_cast<HANDLE>(1));
}

void CALLBACK DialogWatch::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogWatch* watch = g_watch;
    // A handler's own waiting may dispatch this timer again: one look at a time.
    if (watch == nullptr || watch->m_busy)
        return;
    watch->m_busy = true;
    while (!watch->m_open.empty() && !::IsWindow(watch->m_open.back().dialog))
        watch->m_open.pop_back();
    const std::size_t before = watch->m_open.size();
    ::EnumThreadWindows(::GetCurrentThreadId(), &Meet, 0);
    // No new dialog: the one on top gets another look.
    if (watch->m_open.size() == before && !watch->m_open.empty()) {
        Met& top = watch->m_open.back();
        if (top.handler(top.dialog))
            watch->m_open.pop_back();
    }
    watch->m_busy = false;
}

BOOL CALLBACK DialogWatch::Meet(HWND window, LPARAM)
{
    DialogWatch* watch = g_watch;
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (!::IsWindowVisible(window) || std::string(name) != "#32770" || ::GetPropA(window, kMet) != nullptr)
        return TRUE;
    ::SetPropA(window, kMet, reinterpret_cast<HANDLE>(1));
    watch->m_seen.push_back(DialogTexts(window));
    if (watch->m_handlers.empty()) {
        ++watch->m_unexpected;
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        return FALSE;
    }
    Met met{window, std::move(watch->m_handlers.front())};
    watch->m_handlers.pop_front();
    if (!met.handler(window))
        watch->m_open.push_back(std::move(met));
    return FALSE;  // one dialog per look
}

std::string DialogTexts(HWND dialog)
{
    char text[1024] = {};
    ::GetWindowTextA(dialog, text, sizeof text);
    std::string seen = text;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        text[0] = '\0';
        ::GetWindowTextA(child, text, sizeof text);
        if (text[0] != '\0')
            seen += std::string(" | ") + text;
    }
    return seen;
}

void SendClick(HWND dialog, int id)
{
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

namespace {

struct FindRequest {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindByCaption(HWND window, LPARAM lParam)
{
    auto* request = reinterpret_cast<FindRequest*>(lParam);
    char name[16] = {};
    char text[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    ::GetWindowTextA(window, text, sizeof text);
    if (::IsWindowVisible(window) && std::string(name) == "#32770" && std::string(text) == request->caption) {
        request->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindThreadDialog(const char* caption)
{
    FindRequest request{caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindByCaption, reinterpret_cast<LPARAM>(&request));
    return request.found;
}
