#pragma once
// What the window-list panel's owner does with a window whose program the
// user registers. The owner keeps the panel's pointer to it; it is never
// deleted through this interface.
#include "CWinItem.h"

class CWinListDlgListener {
public:
    // The receiver owns the copy.
    virtual void OnWinItemRegister(CWinItem item) = 0;

protected:
    ~CWinListDlgListener() = default;
};
