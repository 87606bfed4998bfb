#pragma once
// A static control (label), bound to its dialog item by subclassing.
#include "CWnd.h"

class CStatic : public CWnd {
public:
    CStatic() = default;
    ~CStatic() override = default;
};
