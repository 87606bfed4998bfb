#include "CapturePlacement.h"

bool IsTrustedNormal(const RECT& normal, const RECT& minimised)
{
    return !::EqualRect(&normal, &minimised) && ::MonitorFromRect(&normal, MONITOR_DEFAULTTONULL) != nullptr;
}

RECT PlacementRect(const RECT& screen, LONG exStyle)
{
    RECT rect = screen;
    if ((exStyle & WS_EX_TOOLWINDOW) != 0)
        return rect;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(::MonitorFromRect(&screen, MONITOR_DEFAULTTONEAREST), &info))
        ::OffsetRect(&rect, info.rcMonitor.left - info.rcWork.left, info.rcMonitor.top - info.rcWork.top);
    return rect;
}
