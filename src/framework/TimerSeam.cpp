#include "TimerSeam.h"

namespace {
TimerSeam* g_seam = nullptr;
}  // namespace

TimerSeam::TimerSeam() : m_previous(g_seam)
{
    g_seam = this;
}

TimerSeam::~TimerSeam()
{
    g_seam = m_previous;
}

void TimerSeam::Shorten(UINT requested, UINT actual)
{
    m_shortened.emplace_back(requested, actual);
}

namespace {

// The entries of one timer of one window, in order.
std::vector<TimerRequest> OfTimer(const std::vector<TimerRequest>& all, HWND hWnd, UINT_PTR id)
{
    std::vector<TimerRequest> found;
    for (const TimerRequest& entry : all) {
        if (entry.hWnd == hWnd && entry.id == id)
            found.push_back(entry);
    }
    return found;
}

}  // namespace

std::vector<TimerRequest> TimerSeam::Requests(HWND hWnd, UINT_PTR id) const
{
    return OfTimer(m_requests, hWnd, id);
}

std::vector<TimerRequest> TimerSeam::Stops(HWND hWnd, UINT_PTR id) const
{
    return OfTimer(m_stops, hWnd, id);
}

UINT_PTR TimerSeam::Set(HWND hWnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    UINT actual = elapse;
    if (g_seam != nullptr) {
        g_seam->m_requests.push_back({hWnd, id, elapse, ::GetTickCount64()});
        for (const auto& shortened : g_seam->m_shortened) {
            if (shortened.first == elapse)
                actual = shortened.second;
        }
    }
    return ::SetTimer(hWnd, id, actual, proc);
}

BOOL TimerSeam::Kill(HWND hWnd, UINT_PTR id)
{
    if (g_seam != nullptr)
        g_seam->m_stops.push_back({hWnd, id, 0, ::GetTickCount64()});
    return ::KillTimer(hWnd, id);
}
