#include "CImageListCash.h"

#include "DebugLog.h"

#include <shellapi.h>

CImageListCash::CImageListCash()
{
    m_imageList.Create(24, 24, ILC_COLORDDB, 0, 50);
    m_imageList.SetBkColor(0xFFFFFF);
}

CImageListCash::~CImageListCash()
{
    m_imageList.DeleteImageList();
    m_paths.clear();
}

int CImageListCash::GetIndex(CString path)
{
    for (std::size_t i = 0; i < m_paths.size(); ++i) {
        if (m_paths[i] == path)
            return static_cast<int>(i);
    }

    SHFILEINFOA info{};
    // A failed call may leave garbage in the record's icon (Wine's shell
    // does), so only a successful one yields an icon.
    const DWORD_PTR found = ::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON);
    HICON icon = found != 0 ? info.hIcon : nullptr;
    const bool fromShell = icon != nullptr;
    if (!fromShell) {
        DebugLog("ICON get fail path =%s\n", path.GetString());
        // Shared by the system: never destroyed.
        icon = ::LoadIconA(nullptr, IDI_HAND);
    }

    const int index = m_imageList.Add(icon);
    if (fromShell)
        ::DestroyIcon(icon);
    // Only an added image is recorded, so positions stay image indices.
    if (index >= 0)
        m_paths.push_back(path);
    return index;
}
