#include "CMFCListCtrl.h"

#include "CGlobalData.h"

HFONT CMFCListCtrl::GetBoldFont()
{
    return CGlobalData::GetBoldGuiFont();
}

HFONT CMFCListCtrl::OnGetCellFont(int, int, DWORD_PTR)
{
    return nullptr;
}

BOOL CMFCListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == m_hWnd && header->code == NM_CUSTOMDRAW) {
            *result = OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
            return TRUE;
        }
    }
    return CListCtrl::OnChildNotify(message, wParam, lParam, result);
}

LRESULT CMFCListCtrl::OnCustomDraw(NMLVCUSTOMDRAW& draw)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        HFONT font = OnGetCellFont(static_cast<int>(draw.nmcd.dwItemSpec), draw.iSubItem,
                                   static_cast<DWORD_PTR>(draw.nmcd.lItemlParam));
        // The list's own font is put back too, or one bold cell would make
        // the cells drawn after it bold.
        if (font == nullptr)
            font = GetFont();
        if (font == nullptr)
            return CDRF_DODEFAULT;
        ::SelectObject(draw.nmcd.hdc, font);
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}
