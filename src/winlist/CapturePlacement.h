#pragma once
// The normal position that a minimised window is given back after its
// capture.
#include <windows.h>

// The system may report another program's minimised window with its
// minimised rectangle as its normal position (Wine knows no other process's
// normal position): one that is the minimised spot or lies off every screen
// is not given back.
bool IsTrustedNormal(const RECT& normal, const RECT& minimised);

// A rectangle of the screen as a placement holds it: in work-area
// coordinates, but for a tool window.
RECT PlacementRect(const RECT& screen, LONG exStyle);
