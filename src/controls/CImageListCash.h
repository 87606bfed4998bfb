#pragma once
// Icons of executables for a list control: one 24 by 24 image per path,
// fetched from the shell the first time the path is asked for.
#include "CImageList.h"
#include "CString.h"

#include <vector>

class CImageListCash {
public:
    CImageListCash();
    virtual ~CImageListCash();
    CImageListCash(const CImageListCash&) = delete;
    CImageListCash& operator=(const CImageListCash&) = delete;

    // The image index of the file's icon (the full path, drive included),
    // or -1 when no image could be added; a file without an icon gets the
    // system's error icon.
    int GetIndex(CString path);

    // The owning panel makes this its list control's small image list.
    CImageList m_imageList;

private:
    // The path of each image: position i is image i.
    std::vector<CString> m_paths;
};
