#pragma once
// Per-class message tables: each window class lists the messages, commands
// and notifications it handles, in order; a class's table is searched before
// its base class's table, and the first matching entry handles the message.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <vector>

#include "CDC.h"

class CWnd;
// The window object of a handle: the permanent one, or a temporary wrapper.
CWnd* WndFromHandle(HWND hwnd);

struct MessageEntry {
    enum Kind { Message, Command, Notify, CtlColor };
    Kind kind;
    UINT message;  // Message: the message id
    UINT code;     // Command and Notify: the notification code
    UINT id;       // Command and Notify: the control id
    // Runs the handler; returns the message's result.
    std::function<LRESULT(CWnd& self, UINT message, WPARAM wParam, LPARAM lParam)> call;
};

struct MessageMap {
    MessageMap(const MessageMap* base, std::initializer_list<MessageEntry> list)
        : baseMap(base), entries(list) {}
    const MessageMap* baseMap;
    std::vector<MessageEntry> entries;
};

// Typed makers of entries for class T, one per handler shape.
template <class T>
struct Handler {
    // WM_COMMAND with a notification code from control id (BN_CLICKED, ...).
    static MessageEntry Command(UINT code, UINT id, void (T::*f)())
    {
        return {MessageEntry::Command, WM_COMMAND, code, id,
                [f](CWnd& w, UINT, WPARAM, LPARAM) -> LRESULT { (static_cast<T&>(w).*f)(); return 0; }};
    }
    static MessageEntry Clicked(UINT id, void (T::*f)()) { return Command(BN_CLICKED, id, f); }

    // WM_NOTIFY with a notification code from control id.
    static MessageEntry Notify(UINT code, UINT id, void (T::*f)(NMHDR*, LRESULT*))
    {
        return {MessageEntry::Notify, WM_NOTIFY, code, id,
                [f](CWnd& w, UINT, WPARAM, LPARAM lParam) -> LRESULT {
                    LRESULT result = 0;
                    (static_cast<T&>(w).*f)(reinterpret_cast<NMHDR*>(lParam), &result);
                    return result;
                }};
    }

    // A message whose handler takes nothing and whose result is 0 (WM_PAINT, WM_DESTROY ...).
    static MessageEntry Message(UINT message, void (T::*f)())
    {
        return {MessageEntry::Message, message, 0, 0,
                [f](CWnd& w, UINT, WPARAM, LPARAM) -> LRESULT { (static_cast<T&>(w).*f)(); return 0; }};
    }

    // Any message, with its parameters and result as they are (registered messages ...).
    static MessageEntry Raw(UINT message, LRESULT (T::*f)(WPARAM, LPARAM))
    {
        return {MessageEntry::Message, message, 0, 0,
                [f](CWnd& w, UINT, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    return (static_cast<T&>(w).*f)(wParam, lParam);
                }};
    }

    static MessageEntry Timer(void (T::*f)(UINT_PTR))
    {
        return {MessageEntry::Message, WM_TIMER, 0, 0,
                [f](CWnd& w, UINT, WPARAM wParam, LPARAM) -> LRESULT {
                    (static_cast<T&>(w).*f)(static_cast<UINT_PTR>(wParam));
                    return 0;
                }};
    }

    static MessageEntry SysCommand(void (T::*f)(UINT, LPARAM))
    {
        return {MessageEntry::Message, WM_SYSCOMMAND, 0, 0,
                [f](CWnd& w, UINT, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    (static_cast<T&>(w).*f)(static_cast<UINT>(wParam), lParam);
                    return 0;
                }};
    }

    static MessageEntry QueryDragIcon(HCURSOR (T::*f)())
    {
        return {MessageEntry::Message, WM_QUERYDRAGICON, 0, 0,
                [f](CWnd& w, UINT, WPARAM, LPARAM) -> LRESULT {
                    return reinterpret_cast<LRESULT>((static_cast<T&>(w).*f)());
                }};
    }

    // WM_SETCURSOR: the window under the cursor, the hit-test code, the mouse message.
    static MessageEntry SetCursor(BOOL (T::*f)(CWnd*, UINT, UINT))
    {
        return {MessageEntry::Message, WM_SETCURSOR, 0, 0,
                [f](CWnd& w, UINT, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    return (static_cast<T&>(w).*f)(WndFromHandle(reinterpret_cast<HWND>(wParam)),
                                                   LOWORD(lParam), HIWORD(lParam));
                }};
    }

    // Every WM_CTLCOLOR... message: the device context, the control, the kind
    // (CTLCOLOR_MSGBOX .. CTLCOLOR_STATIC); the result is the brush.
    static MessageEntry CtlColor(HBRUSH (T::*f)(CDC*, CWnd*, UINT))
    {
        return {MessageEntry::CtlColor, 0, 0, 0,
                [f](CWnd& w, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
                    CDC dc(reinterpret_cast<HDC>(wParam));
                    return reinterpret_cast<LRESULT>((static_cast<T&>(w).*f)(
                        &dc, WndFromHandle(reinterpret_cast<HWND>(lParam)),
                        message - WM_CTLCOLORMSGBOX));
                }};
    }
};
