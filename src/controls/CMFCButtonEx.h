#pragma once
// A themed button that stays opaque on the glass frame.
#include "CMFCButton.h"

class CMFCButtonEx : public CMFCButton {
public:
    CMFCButtonEx();
    ~CMFCButtonEx() override;

protected:
    void OnDraw(CDC* pDC, const RECT& rect, UINT state) override;
};
