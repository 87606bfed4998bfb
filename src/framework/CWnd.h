#pragma once
// A window of the platform seen as an object. A permanent object is attached
// to its window (created through the object, or subclassed) and receives the
// window's messages through WindowProc, which runs before the class's
// message table; a temporary object only wraps a handle for a moment.
#include "CString.h"
#include "MessageMap.h"
#include "TimerSeam.h"

#include <windows.h>

class CDataExchange;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The permanent object of a window, else a temporary one that lives
    // until its window is gone; null for a null handle.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Subclassing: the object takes the window's messages until it lets go.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    BOOL Attach(HWND hwnd);  // permanent, without subclassing
    HWND Detach();

    // Window operations, thin over the platform.
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int show) { return ::ShowWindow(m_hWnd, show); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE)
    {
        MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void ScreenToClient(POINT* point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(POINT* point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(RECT* rect) const;
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void SetFont(HFONT font, BOOL redraw = TRUE)
    {
        ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    // Both through TimerSeam, which tests may watch.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr)
    {
        return TimerSeam::Set(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return TimerSeam::Kill(m_hWnd, id); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, redraw, 0); }
    virtual BOOL DestroyWindow();

    // Data exchange between the controls and the members: TRUE takes the
    // controls into the members, FALSE shows the members in the controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The window's default processing of the message being handled now.
    LRESULT Default();

    // The entry of every message; the default runs the message table and,
    // when no entry handles the message, the default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual const MessageMap* GetMessageMap() const;
    virtual void DoDataExchange(CDataExchange* pDX);
    // A child's own chance at a notification its parent received
    // (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM ...); TRUE when it took it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // After the last message of the window (WM_NCDESTROY).
    virtual void PostNcDestroy() {}
    // Right after the object has taken the window's messages (subclassing,
    // data exchange, creation through the object): a control's own set-up.
    virtual void PreSubclassWindow() {}

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The framework's default handlers (each runs the default processing).
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnPaint();
    BOOL OnSetCursor(CWnd* pWnd, UINT hitTest, UINT message);
    void OnSysCommand(UINT id, LPARAM lParam);

    // Arms this thread's creation of the window of that class and parent to
    // attach to this object; the hook goes once it has, or at the unhook.
    void HookWindowCreate(const char* className, HWND parent);
    bool UnhookWindowCreate();  // true when the creation attached

    WNDPROC m_pfnSuper = nullptr;  // the window's own procedure when subclassed
    bool m_bOwnsWindow = false;    // created through the object; destroyed with it

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtHook(int, WPARAM, LPARAM);
    BOOL FindAndRun(const MessageMap* map, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT* result);
    void Register(HWND hwnd);
    void Unregister();
};

// True while the window or one it is a child of is disabled, as under a
// waiting box or dialog: a command that reaches it then is dropped.
bool TakesNoCommands(HWND hwnd);

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
