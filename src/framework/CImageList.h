#pragma once
// An image list of the common controls, owned by the object.
#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // A new, empty list of images of cx by cy pixels (ILC_ flags); an older
    // list of the object is deleted first.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // Appends a copy of the icon: the new image's index, -1 on failure.
    int Add(HICON icon);
    int GetImageCount() const;
    COLORREF SetBkColor(COLORREF color);
    BOOL DeleteImageList();

    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    HIMAGELIST m_hImageList = nullptr;
};
