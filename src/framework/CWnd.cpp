#include "CWnd.h"

#include "CDataExchange.h"

#include <memory>
#include <unordered_map>

namespace {

std::unordered_map<HWND, CWnd*> g_permanent;
std::unordered_map<HWND, std::unique_ptr<CWnd>> g_temporary;

struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
CurrentMessage g_current{};

// The creation armed on this thread: the object, the class and the parent
// of the window it is about to create, and the hook that waits for it.
struct WindowCreation {
    CWnd* wnd = nullptr;
    const char* className = nullptr;
    HWND parent = nullptr;
    HHOOK hook = nullptr;
};
thread_local WindowCreation t_creation;

void RemoveCreationHook()
{
    if (t_creation.hook != nullptr)
        ::UnhookWindowsHookEx(t_creation.hook);
    t_creation = WindowCreation{};
}

// Other windows of the thread may be created while the hook waits (those of
// the input method, for one): only the class and parent asked for count. A
// modal dialog may be owned by the top-level window of the parent given.
bool IsArmedWindow(HWND hwnd, const CREATESTRUCTA* cs)
{
    char className[64] = {};
    ::GetClassNameA(hwnd, className, sizeof className);
    if (::lstrcmpiA(className, t_creation.className) != 0 || cs == nullptr)
        return false;
    const HWND parent = t_creation.parent;
    return cs->hwndParent == parent || (parent != nullptr && cs->hwndParent == ::GetAncestor(parent, GA_ROOT));
}

}  // namespace

// Commands and notifications of the message tables go only to a window that
// takes input. While a box or dialog waits for the user, its loop keeps the
// windows under it disabled, and the system still hands them what another
// program posts: a command begun there would run inside the waiting one and
// act on what that one read before it asked. The waiting box or dialog itself
// is enabled and takes its own.
bool TakesNoCommands(HWND hwnd)
{
    for (HWND window = hwnd; window != nullptr;
         window = (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? ::GetParent(window) : nullptr) {
        if (!::IsWindowEnabled(window))
            return true;
    }
    return false;
}

CWnd* WndFromHandle(HWND hwnd)
{
    return CWnd::FromHandle(hwnd);
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (wnd == nullptr)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);

    const CurrentMessage saved = g_current;
    g_current = {message, wParam, lParam};
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    g_current = saved;

    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hwnd) == wnd) {
        wnd->Unregister();
        wnd->m_hWnd = nullptr;
        wnd->m_pfnSuper = nullptr;
        wnd->m_bOwnsWindow = false;
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK AfxCbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    const HHOOK hook = t_creation.hook;
    if (code != HCBT_CREATEWND || t_creation.wnd == nullptr)
        return ::CallNextHookEx(hook, code, wParam, lParam);
    const HWND hwnd = reinterpret_cast<HWND>(wParam);
    const auto* cbt = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
    if (!IsArmedWindow(hwnd, cbt != nullptr ? cbt->lpcs : nullptr))
        return ::CallNextHookEx(hook, code, wParam, lParam);
    CWnd* wnd = t_creation.wnd;
    t_creation.wnd = nullptr;
    wnd->SubclassWindow(hwnd);
    wnd->m_bOwnsWindow = true;
    const LRESULT result = ::CallNextHookEx(hook, code, wParam, lParam);
    // Its window found, the hook has nothing more to wait for.
    RemoveCreationHook();
    return result;
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        const HWND hwnd = m_hWnd;
        if (m_pfnSuper != nullptr && ::IsWindow(hwnd))
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        Unregister();
        m_hWnd = nullptr;
        // No message of the dying window may reach this half-destroyed object.
        if (m_bOwnsWindow && ::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    const auto it = g_permanent.find(hwnd);
    return it != g_permanent.end() ? it->second : nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (hwnd == nullptr)
        return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd))
        return wnd;
    const auto it = g_temporary.find(hwnd);
    if (it != g_temporary.end())
        return it->second.get();
    // Wrappers of windows that are gone are dropped as new ones are made.
    for (auto old = g_temporary.begin(); old != g_temporary.end();) {
        if (!::IsWindow(old->first))
            old = g_temporary.erase(old);
        else
            ++old;
    }
    auto wrapper = std::make_unique<CWnd>();
    wrapper->m_hWnd = hwnd;
    CWnd* result = wrapper.get();
    g_temporary.emplace(hwnd, std::move(wrapper));
    return result;
}

void CWnd::Register(HWND hwnd)
{
    m_hWnd = hwnd;
    g_permanent[hwnd] = this;
    g_temporary.erase(hwnd);
}

void CWnd::Unregister()
{
    const auto it = g_permanent.find(m_hWnd);
    if (it != g_permanent.end() && it->second == this)
        g_permanent.erase(it);
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (hwnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hwnd) != nullptr)
        return FALSE;
    Register(hwnd);
    return TRUE;
}

HWND CWnd::Detach()
{
    const HWND hwnd = m_hWnd;
    if (hwnd != nullptr)
        Unregister();
    m_hWnd = nullptr;
    m_bOwnsWindow = false;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!Attach(hwnd))
        return FALSE;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (m_pfnSuper == nullptr) {
        Detach();
        return FALSE;
    }
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (parent == nullptr)
        return FALSE;
    const HWND item = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return item != nullptr && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == nullptr)
        return nullptr;
    if (m_pfnSuper != nullptr)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

CWnd* CWnd::GetDlgItem(int id) const
{
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

void CWnd::GetWindowText(CString& text) const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    char* buffer = text.GetBuffer(length);
    ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer();
}

CString CWnd::GetWindowText() const
{
    CString text;
    GetWindowText(text);
    return text;
}

void CWnd::ScreenToClient(RECT* rect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

void CWnd::ClientToScreen(RECT* rect) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(rect), 2);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::Default()
{
    return DefWindowProc(g_current.message, g_current.wParam, g_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

const MessageMap* CWnd::GetMessageMap() const
{
    static const MessageMap map{nullptr, {}};
    return &map;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // A control gets its own notifications first (owner drawing, custom drawing).
    HWND child = nullptr;
    if (message == WM_COMMAND)
        child = reinterpret_cast<HWND>(lParam);
    else if (message == WM_NOTIFY && lParam != 0)
        child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    else if (message == WM_DRAWITEM && lParam != 0 &&
             reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlType != ODT_MENU)
        child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    if (child != nullptr && child != m_hWnd) {
        CWnd* control = FromHandlePermanent(child);
        if (control != nullptr && control->OnChildNotify(message, wParam, lParam, result))
            return TRUE;
    }
    return FindAndRun(GetMessageMap(), message, wParam, lParam, result);
}

BOOL CWnd::FindAndRun(const MessageMap* map, UINT message, WPARAM wParam, LPARAM lParam,
                      LRESULT* result)
{
    const NMHDR* header = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam) : nullptr;
    for (; map != nullptr; map = map->baseMap) {
        for (const MessageEntry& entry : map->entries) {
            bool match = false;
            switch (entry.kind) {
            case MessageEntry::Message:
                match = entry.message == message;
                break;
            case MessageEntry::Command:
                match = message == WM_COMMAND && HIWORD(wParam) == entry.code &&
                        LOWORD(wParam) == entry.id;
                break;
            case MessageEntry::Notify:
                match = header != nullptr && header->code == entry.code && header->idFrom == entry.id;
                break;
            case MessageEntry::CtlColor:
                match = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
                break;
            }
            if (match) {
                const bool command = entry.kind == MessageEntry::Command || entry.kind == MessageEntry::Notify;
                if (command && TakesNoCommands(m_hWnd)) {
                    *result = 0;
                    return TRUE;
                }
                *result = entry.call(*this, message, wParam, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT)
{
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnTimer(UINT_PTR)
{
    Default();
}

void CWnd::OnDestroy()
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
}

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    return static_cast<BOOL>(Default());
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CWnd::HookWindowCreate(const char* className, HWND parent)
{
    RemoveCreationHook();
    t_creation.hook = ::SetWindowsHookExA(WH_CBT, &AfxCbtHook, nullptr, ::GetCurrentThreadId());
    if (t_creation.hook == nullptr)
        return;
    t_creation.wnd = this;
    t_creation.className = className;
    t_creation.parent = parent;
}

bool CWnd::UnhookWindowCreate()
{
    const bool attached = t_creation.wnd != this;
    if (t_creation.wnd == this)
        RemoveCreationHook();
    return attached;
}
