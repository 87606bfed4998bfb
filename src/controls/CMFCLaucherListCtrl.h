#pragma once
// The run-item list: rows of automatic run items (column 1 reads "自動...")
// are drawn bold in every column.
#include "CMFCListCtrl.h"

class CMFCLaucherListCtrl : public CMFCListCtrl {
public:
    CMFCLaucherListCtrl();
    ~CMFCLaucherListCtrl() override;

    HFONT OnGetCellFont(int row, int column, DWORD_PTR data) override;
};
