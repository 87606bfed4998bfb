#pragma once
// A list-view control bound to its dialog item by data exchange or
// subclassing; the operations on columns, rows and cells of a report view.
#include "CImageList.h"
#include "CWnd.h"

class CListCtrl : public CWnd {
public:
    CListCtrl() = default;
    ~CListCtrl() override = default;

    // The new column's index, -1 on failure; a subItem of -1 means the column's own index.
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    // The new row's index, -1 on failure.
    int InsertItem(int item, const char* text);
    int InsertItem(int item, const char* text, int image);
    int InsertItem(UINT mask, int item, const char* text, UINT state, UINT stateMask, int image,
                   LPARAM lParam);
    BOOL SetItemText(int item, int subItem, const char* text);
    // The text of a cell, of any length; empty for a cell that does not exist.
    CString GetItemText(int item, int subItem) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
    DWORD_PTR GetItemData(int item) const;
    int GetItemCount() const;
    BOOL DeleteAllItems();
    // The list's former image list of that kind (LVSIL_SMALL ...). The list
    // destroys its image lists with its window unless it has the style
    // LVS_SHAREIMAGELISTS: an image list owned elsewhere needs that style.
    HIMAGELIST SetImageList(CImageList* imageList, int kind);
};
