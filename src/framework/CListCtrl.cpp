#include "CListCtrl.h"

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int subItem)
{
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_TEXT;
    col.fmt = format;
    col.pszText = const_cast<char*>(heading);
    if (width != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    if (subItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = subItem;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int item, const char* text)
{
    return InsertItem(LVIF_TEXT, item, text, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int item, const char* text, int image)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, item, text, 0, 0, image, 0);
}

int CListCtrl::InsertItem(UINT mask, int item, const char* text, UINT state, UINT stateMask,
                          int image, LPARAM lParam)
{
    LVITEMA row{};
    row.mask = mask;
    row.iItem = item;
    row.pszText = const_cast<char*>(text);
    row.state = state;
    row.stateMask = stateMask;
    row.iImage = image;
    row.lParam = lParam;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text)
{
    LVITEMA cell{};
    cell.iSubItem = subItem;
    cell.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)));
}

CString CListCtrl::GetItemText(int item, int subItem) const
{
    CString text;
    // The list tells only how much it copied: grow until the text fits with room to spare.
    for (int size = 256;; size *= 2) {
        char* buffer = text.GetBuffer(size);
        LVITEMA cell{};
        cell.iSubItem = subItem;
        cell.pszText = buffer;
        cell.cchTextMax = size + 1;
        buffer[0] = '\0';
        const int copied = static_cast<int>(
            SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)));
        text.ReleaseBuffer();
        if (copied < size)
            return text;
    }
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask)
{
    LVITEMA row{};
    row.state = state;
    row.stateMask = mask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)));
}

UINT CListCtrl::GetItemState(int item, UINT mask) const
{
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
}

DWORD_PTR CListCtrl::GetItemData(int item) const
{
    LVITEMA row{};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    if (!SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row)))
        return 0;
    return static_cast<DWORD_PTR>(row.lParam);
}

int CListCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
}

BOOL CListCtrl::DeleteAllItems()
{
    return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS));
}

HIMAGELIST CListCtrl::SetImageList(CImageList* imageList, int kind)
{
    const HIMAGELIST handle = imageList != nullptr ? imageList->GetSafeHandle() : nullptr;
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(handle)));
}
