#include "CImageList.h"

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    DeleteImageList();
    m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

int CImageList::Add(HICON icon)
{
    if (m_hImageList == nullptr)
        return -1;
    return ::ImageList_ReplaceIcon(m_hImageList, -1, icon);
}

int CImageList::GetImageCount() const
{
    return m_hImageList != nullptr ? ::ImageList_GetImageCount(m_hImageList) : 0;
}

COLORREF CImageList::SetBkColor(COLORREF color)
{
    if (m_hImageList == nullptr)
        return CLR_NONE;
    return ::ImageList_SetBkColor(m_hImageList, color);
}

BOOL CImageList::DeleteImageList()
{
    if (m_hImageList == nullptr)
        return FALSE;
    const BOOL ok = ::ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return ok;
}
