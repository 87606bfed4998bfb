#pragma once
// An up-down control bound to its dialog item by data exchange or
// subclassing. With a buddy that shows its position as a whole number,
// reading the position first takes the buddy's text when that is a number
// inside the range.
#include "CWnd.h"

#include <commctrl.h>

class CSpinButtonCtrl : public CWnd {
public:
    CSpinButtonCtrl() = default;
    ~CSpinButtonCtrl() override = default;

    void SetRange32(int lower, int upper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    void GetRange32(int& lower, int& upper) const
    {
        SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    }
    // The former position.
    int SetPos32(int pos) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, pos)); }
    // error (when given) is TRUE when the buddy's text was no position.
    int GetPos32(BOOL* error = nullptr) const
    {
        return static_cast<int>(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(error)));
    }
    CWnd* GetBuddy() const { return FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }
};
