#include "CImageList.h"

#include "CommonControlsBinding.h"

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    DeleteImageList();
    const auto create = CommonControlsBinding().imageListCreate;
    m_hImageList = create != nullptr ? create(cx, cy, flags, initial, grow) : nullptr;
    return m_hImageList != nullptr;
}

int CImageList::Add(HICON icon)
{
    if (m_hImageList == nullptr)
        return -1;
    return CommonControlsBinding().imageListReplaceIcon(m_hImageList, -1, icon);
}

int CImageList::GetImageCount() const
{
    return m_hImageList != nullptr ? CommonControlsBinding().imageListGetImageCount(m_hImageList) : 0;
}

COLORREF CImageList::SetBkColor(COLORREF color)
{
    if (m_hImageList == nullptr)
        return CLR_NONE;
    return CommonControlsBinding().imageListSetBkColor(m_hImageList, color);
}

BOOL CImageList::DeleteImageList()
{
    if (m_hImageList == nullptr)
        return FALSE;
    const BOOL ok = CommonControlsBinding().imageListDestroy(m_hImageList);
    m_hImageList = nullptr;
    return ok;
}
