#pragma once
// The point through which every window timer of the program is set. By
// default it is the system's SetTimer. While a test holds a TimerSeam, each
// request is noted (window, id, period and when it was made), as is each
// stop, and a period
// that the test shortened runs shorter, so that a period of minutes can be
// seen through without waiting for it.
#include <windows.h>

#include <vector>

struct TimerRequest {
    HWND hWnd;
    UINT_PTR id;
    UINT elapse;     // the period the program asked for
    ULONGLONG tick;  // GetTickCount64() when it asked
};

class TimerSeam {
public:
    TimerSeam();
    ~TimerSeam();
    TimerSeam(const TimerSeam&) = delete;
    TimerSeam& operator=(const TimerSeam&) = delete;

    // From now on a request for this period sets a timer of `actual` ms.
    void Shorten(UINT requested, UINT actual);
    // The requests for one timer of one window, in order.
    std::vector<TimerRequest> Requests(HWND hWnd, UINT_PTR id) const;
    // The stops of one timer of one window, in order (elapse 0).
    std::vector<TimerRequest> Stops(HWND hWnd, UINT_PTR id) const;

    // Called by CWnd::SetTimer.
    static UINT_PTR Set(HWND hWnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
    // Called by CWnd::KillTimer.
    static BOOL Kill(HWND hWnd, UINT_PTR id);

private:
    std::vector<TimerRequest> m_requests;
    std::vector<TimerRequest> m_stops;
    std::vector<std::pair<UINT, UINT>> m_shortened;
    TimerSeam* m_previous;
};
