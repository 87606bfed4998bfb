#pragma once
// A combo box bound to its dialog item by data exchange or subclassing.
#include "CWnd.h"

class CComboBox : public CWnd {
public:
    CComboBox() = default;
    ~CComboBox() override = default;

    // At that position (-1: at the end), even in a sorted box; the entry's index.
    int InsertString(int index, const char* text)
    {
        return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(text)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    // The text of a list entry; empty for an index outside the list.
    CString GetLBText(int index) const;
};
