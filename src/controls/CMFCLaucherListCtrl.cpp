#include "CMFCLaucherListCtrl.h"

CMFCLaucherListCtrl::CMFCLaucherListCtrl() = default;

CMFCLaucherListCtrl::~CMFCLaucherListCtrl() = default;

HFONT CMFCLaucherListCtrl::OnGetCellFont(int row, int, DWORD_PTR)
{
    // Column 1 holds the run kind's text; the search steps over whole characters.
    if (GetItemText(row, 1).Find("自動") >= 0)
        return GetBoldFont();
    return nullptr;
}
