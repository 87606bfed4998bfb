#include "VersionText.h"

#include "Mbcs.h"
#include "SystemLibrary.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// With "Ver.:" in front, the longest version string that fits 255 bytes.
constexpr std::size_t kMaxVersionBytes = 250;

// version.dll is no known DLL: bound from the system folder at the first
// read, so that the medium's folder cannot supply it.
struct VersionLibrary {
    decltype(&::GetFileVersionInfoSizeA) infoSize = nullptr;
    decltype(&::GetFileVersionInfoA) info = nullptr;
    decltype(&::VerQueryValueA) queryValue = nullptr;
};

const VersionLibrary& Version()
{
    static const VersionLibrary library = [] {
        VersionLibrary l;
        const HMODULE module = LoadSystemLibrary("version.dll");
        l.infoSize = BindEntry<decltype(l.infoSize)>(module, "GetFileVersionInfoSizeA");
        l.info = BindEntry<decltype(l.info)>(module, "GetFileVersionInfoA");
        l.queryValue = BindEntry<decltype(l.queryValue)>(module, "VerQueryValueA");
        return l;
    }();
    return library;
}

DWORD WINAPI SystemInfoSize(LPCSTR path, LPDWORD handle)
{
    return Version().infoSize != nullptr ? Version().infoSize(path, handle) : 0;
}

BOOL WINAPI SystemInfo(LPCSTR path, DWORD handle, DWORD size, LPVOID block)
{
    return Version().info != nullptr ? Version().info(path, handle, size, block) : FALSE;
}

BOOL QueryValue(LPCVOID block, LPCSTR subBlock, LPVOID* value, PUINT length)
{
    return Version().queryValue != nullptr ? Version().queryValue(block, subBlock, value, length) : FALSE;
}

CString g_ownVersion;
bool g_ownVersionFilled = false;

// The string's length up to its NUL, looking no further than needed to
// decide the cut and never past the end of the block that holds it.
std::size_t BoundedLength(const char* text, const BYTE* blockBegin, const BYTE* blockEnd)
{
    std::size_t limit = kMaxVersionBytes + 1;
    const auto* p = reinterpret_cast<const BYTE*>(text);
    if (p >= blockBegin && p < blockEnd && static_cast<std::size_t>(blockEnd - p) < limit)
        limit = static_cast<std::size_t>(blockEnd - p);
    return strnlen(text, limit);
}

// At most kMaxVersionBytes, cut at a whole character so that no lead byte
// is left without its second byte.
CString CutToFit(const char* text, std::size_t length)
{
    std::size_t kept = 0;
    while (kept < length) {
        const bool pair = MbcsIsLeadByte(static_cast<unsigned char>(text[kept])) && kept + 1 < length;
        const std::size_t step = pair ? 2 : 1;
        if (kept + step > kMaxVersionBytes)
            break;
        kept += step;
    }
    return CString(text, static_cast<int>(kept));
}

// Steps 3 to 8: the version text of one file and value name. `complete` tells
// whether the reading got as far as the string table's lookup.
CString BuildVersionText(const char* path, const char* valueName, bool& complete)
{
    complete = false;
    const VersionFileCalls& calls = VersionFileBinding();
    DWORD handle = 0;
    const DWORD size = calls.infoSize(path, &handle);
    if (size == 0)
        return CString();
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size + 1]);
    if (!block)
        return CString();
    std::memset(block.get(), 0, size + 1);
    if (!calls.info(path, 0, size, block.get()))
        return CString();
    const BYTE* blockEnd = block.get() + size;

    void* table = nullptr;
    UINT tableLength = 0;
    if (!QueryValue(block.get(), "\\VarFileInfo\\Translation", &table, &tableLength) ||
        table == nullptr || tableLength < 2 * sizeof(WORD))
        return CString();
    // Only the first pair counts, whatever else the table lists.
    const WORD* pair = static_cast<const WORD*>(table);
    CString key;
    key.Format("%04x%04x", pair[0], pair[1]);
    CString query;
    query.Format("\\StringFileInfo\\%s\\%s", key.GetString(), valueName);

    complete = true;
    void* value = nullptr;
    UINT valueLength = 0;
    CString text("Ver.:");
    // A first translation without the string gives "Ver.:" alone.
    if (QueryValue(block.get(), query.GetString(), &value, &valueLength) && value != nullptr) {
        const char* version = static_cast<const char*>(value);
        text += CutToFit(version, BoundedLength(version, block.get(), blockEnd));
    }
    return text;
}

}  // namespace

VersionFileCalls& VersionFileBinding()
{
    static VersionFileCalls calls{&::GetModuleFileNameA, &SystemInfoSize, &SystemInfo};
    return calls;
}

CString GetProductVersionString()
{
    if (g_ownVersionFilled)
        return g_ownVersion;
    char path[MAX_PATH] = {};
    VersionFileBinding().moduleFileName(nullptr, path, MAX_PATH);
    path[MAX_PATH - 1] = '\0';
    bool complete = false;
    CString text = BuildVersionText(path, "ProductVersion", complete);
    if (complete) {
        g_ownVersion = text;
        g_ownVersionFilled = true;
    }
    return text;
}

CString GetFileVersionString(const char* path)
{
    if (path == nullptr)
        return CString();
    bool complete = false;
    return BuildVersionText(path, "FileVersion", complete);
}

void ForgetProductVersionString()
{
    g_ownVersion.Empty();
    g_ownVersionFilled = false;
}
