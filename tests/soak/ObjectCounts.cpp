#include "ObjectCounts.h"

#include <cstdio>

namespace {

// Both tables are indexed by the low word of a handle.
const unsigned kTableSize = 0x10000;
// User handles are even and start here.
const unsigned kFirstUserHandle = 0x20;

int CountGdiObjects()
{
    int count = 0;
    for (unsigned index = 0; index < kTableSize; ++index) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(index))) != 0)
            ++count;
    }
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM count)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    if (processId == ::GetCurrentProcessId()) {
        ++*reinterpret_cast<int*>(count);
        ::EnumChildWindows(hwnd, &CountChild, count);
    }
    return TRUE;
}

int CountUserObjects()
{
    int count = 0;
    ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
    for (unsigned value = kFirstUserHandle; value < kTableSize; value += 2) {
        const ULONG_PTR handle = value;
        ICONINFO icon{};
        if (::GetIconInfo(reinterpret_cast<HICON>(handle), &icon)) {
            ++count;
            // The copies of its bitmaps are the caller's.
            if (icon.hbmColor != nullptr)
                ::DeleteObject(icon.hbmColor);
            if (icon.hbmMask != nullptr)
                ::DeleteObject(icon.hbmMask);
        } else if (::IsMenu(reinterpret_cast<HMENU>(handle))) {
            ++count;
        }
    }
    return count;
}

int CountKernelHandles()
{
    int count = 0;
    for (unsigned value = 4; value < kTableSize; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)), &flags))
            ++count;
    }
    return count;
}

}  // namespace

std::size_t CommittedPrivateBytes(HANDLE process)
{
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const char* address = nullptr;
    while (::VirtualQueryEx(process, address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

ObjectCounts ObjectCounts::Take()
{
    ObjectCounts counts;
    counts.gdi = CountGdiObjects();
    counts.user = CountUserObjects();
    counts.handles = CountKernelHandles();
    counts.privateBytes = CommittedPrivateBytes(::GetCurrentProcess());
    return counts;
}

std::string ObjectCounts::Text() const
{
    char text[160];
    std::snprintf(text, sizeof text, "GDI %d, USER %d, handles %d, private %zu KB", gdi, user, handles,
                  privateBytes / 1024);
    return text;
}
