#pragma once
// Meets the dialogs that this thread shows while it waits in a modal loop,
// the program's own or the system's (message boxes, the file dialog, the
// folder picker): a thread timer, dispatched by every modal loop, hands
// each new visible top-level dialog of the thread to the next handler in
// turn. A handler acts on it as a user would (texts, clicks posted to it)
// and returns true when it is done with it; false asks for another look on
// a later tick, so a handler can wait for something inside the loop (with
// its own bound) or open a dialog over its own. Only the dialog met last
// that is still there gets its looks: modal dialogs nest, so that is the
// one the user faces. A dialog with no handler left is closed and counted.
#include "DialogControls.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class DialogWatch {
public:
    using Handler = std::function<bool(HWND dialog)>;

    DialogWatch();
    ~DialogWatch();
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    void Push(Handler handler);
    // A dialog that something else drives (a ModalSeam driver): never met.
    static void Ignore(HWND dialog);
    std::size_t Pending() const { return m_handlers.size(); }
    int Unexpected() const { return m_unexpected; }
    // Caption and texts of every dialog met, in order (see DialogTexts).
    const std::vector<std::string>& Seen() const { return m_seen; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK Meet(HWND window, LPARAM);

    struct Met {
        HWND dialog;
        Handler handler;
    };
    std::deque<Handler> m_handlers;
    std::vector<Met> m_open;  // dialogs whose handlers are not done, the last met on top
    std::vector<std::string> m_seen;
    int m_unexpected = 0;
    bool m_busy = false;
    UINT_PTR m_timer = 0;
    DialogWatch* m_previous;
};

// The caption, then the texts of the children that have one, joined by " | ".
std::string DialogTexts(HWND dialog);
// A click through the button's own mouse handling, done when it returns.
void SendClick(HWND dialog, int id);
// The visible top-level dialog of this thread whose caption is this, or null.
HWND FindThreadDialog(const char* caption);
