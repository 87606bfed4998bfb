#pragma once
// A button control (push button, check box, radio button) bound to its
// dialog item by data exchange or subclassing.
#include "CWnd.h"

class CButton : public CWnd {
public:
    CButton() = default;
    ~CButton() override = default;

    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};
