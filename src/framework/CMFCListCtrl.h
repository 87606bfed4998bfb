#pragma once
// A report-view list whose cells can each have a font of their own: while
// the list draws (its custom drawing, reflected by the parent) every cell
// asks OnGetCellFont.
#include "CListCtrl.h"

class CMFCListCtrl : public CListCtrl {
public:
    CMFCListCtrl() = default;
    ~CMFCListCtrl() override = default;

    // The framework's bold default GUI font, shared by all lists (never destroy it).
    static HFONT GetBoldFont();

    // The font of one cell; null means the list's own font. The list does
    // not take ownership of the font.
    virtual HFONT OnGetCellFont(int row, int column, DWORD_PTR data);

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
};
