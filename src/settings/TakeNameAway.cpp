#include "TakeNameAway.h"

#include "CHandle.h"
#include "CSafeFile.h"
#include "FileItself.h"

#include <windows.h>

namespace {

// Removes the name of the file the handle holds. A read-only file of ours
// loses its mark for it, and gets it back where the name stays. One with
// other names is another's file (a hard link's names share its attributes):
// its mark stays, and so does a read-only one's name, which the system
// removes only without the mark.
bool DeleteThroughHandle(HANDLE file)
{
    const DWORD attributes = AttributesOf(file);
    BY_HANDLE_FILE_INFORMATION info{};
    if (attributes == INVALID_FILE_ATTRIBUTES || !::GetFileInformationByHandle(file, &info))
        return false;
    const bool clear = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (clear && (info.nNumberOfLinks != 1 || !SetAttributesOf(file, attributes & ~FILE_ATTRIBUTE_READONLY)))
        return false;
    FILE_DISPOSITION_INFO dispose{TRUE};
    const bool deleted = ::SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose) != FALSE;
    if (clear && !deleted)
        SetAttributesOf(file, attributes);
    return deleted;
}

}  // namespace

bool TakeNameAway(const CString& path, const CString& name, bool spareAllowed)
{
    {
        // Closed before the spare's rename: Wine replaces no name of an open file.
        const CHandle file(::CreateFileA(name, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (file.IsValid()) {
            BY_HANDLE_FILE_INFORMATION info{};
            const bool folder = !::GetFileInformationByHandle(file.Get(), &info) ||
                                (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            // A folder or a device, or a link to one, is skipped, not taken
            // away: harmless, nothing is written through it.
            if (folder)
                return false;
            if (IsTheNameItself(file.Get(), name))
                return DeleteThroughHandle(file.Get());
        } else {
            const DWORD error = ::GetLastError();
            // Nothing there, or a link that leads nowhere.
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                return false;
        }
    }
    if (!spareAllowed)
        return false;
    // The spare comes only from our own ten names: a medium with links at
    // all ten makes saves fail (told, nothing lost).
    for (int variant = 0; variant < CSafeFile::TEMPORARY_VARIANTS; ++variant) {
        const CString spare = CSafeFile::TemporaryPath(path, variant);
        if (spare.CompareNoCase(name) == 0)
            continue;
        if (!CHandle(::CreateFileA(spare, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr))
                 .IsValid())
            continue;
        if (::MoveFileExA(spare, name, MOVEFILE_REPLACE_EXISTING))
            return TakeNameAway(path, name, false);
        TakeNameAway(path, spare, false);
        return false;
    }
    return false;
}
