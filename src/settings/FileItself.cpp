#include "FileItself.h"

#include <string>

namespace {

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The path that the system resolves a handle to; empty when it cannot tell.
std::wstring FinalPath(HANDLE handle)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
}

}  // namespace

bool IsTheNameItself(HANDLE file, const CString& path)
{
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (::GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return true;
    const int slash = path.ReverseFind('\\');
    if (slash < 0)
        return false;
    CString folder = path.Left(slash);
    if (folder.GetLength() == 2 && folder[1] == ':')
        folder += "\\";
    const CHandle dir(::CreateFileA(folder, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir.IsValid())
        return false;
    std::wstring expected = FinalPath(dir.Get());
    const CString name = path.Mid(slash + 1);
    wchar_t wide[MAX_PATH] = {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, name, name.GetLength(), wide, MAX_PATH);
    if (expected.empty() || length <= 0)
        return false;
    if (expected.back() != L'\\')
        expected += L'\\';
    expected.append(wide, static_cast<std::size_t>(length));
    const std::wstring actual = FinalPath(file);
    return !actual.empty() && ::CompareStringOrdinal(actual.c_str(), static_cast<int>(actual.size()), expected.c_str(),
                                                     static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

CHandle OpenSoleFile(const char* path)
{
    CHandle file(::CreateFileA(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.IsValid() || !::GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        info.nNumberOfLinks != 1 || !IsTheNameItself(file.Get(), path))
        return CHandle();
    return file;
}

DWORD AttributesOf(HANDLE file)
{
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
        return INVALID_FILE_ATTRIBUTES;
    return basic.FileAttributes;
}

bool SetAttributesOf(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic{};  // times of 0 are left as they are
    basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}
