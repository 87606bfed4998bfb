#include "ListedDrive.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Wine's own input record of IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE (not the one
// of mingw-w64's ddk/mountmgr.h), followed by the host path of the mount
// point. Without a mount point and with the type DRIVE_NO_ROOT_DIR the
// drive is removed whole: its link, its value under HKLM\Software\Wine\Drives
// and its letter in GetLogicalDrives (with another type the letter stays
// listed, and taken, for as long as the Wine server runs).
struct DefineUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset;
    USHORT device_offset;
    USHORT label_offset;
};

bool DefineDrive(char letter, const std::string& hostFolder)
{
    std::vector<char> buffer(sizeof(DefineUnixDrive) + (hostFolder.empty() ? 0 : hostFolder.size() + 1));
    auto* input = reinterpret_cast<DefineUnixDrive*>(buffer.data());
    input->size = static_cast<ULONG>(buffer.size());
    input->type = hostFolder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_REMOVABLE;
    input->letter = static_cast<WCHAR>(letter - 'A' + 'a');
    if (!hostFolder.empty()) {
        input->mount_point_offset = sizeof(DefineUnixDrive);
        std::memcpy(buffer.data() + sizeof(DefineUnixDrive), hostFolder.c_str(), hostFolder.size() + 1);
    }
    const HANDLE manager = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    const DWORD code = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(manager, code, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, 0,
                                      &returned, nullptr);
    ::CloseHandle(manager);
    return ok != FALSE;
}

}  // namespace

ListedDrive::ListedDrive(const TestMedium& medium) : m_letter(medium.Letter())
{
    if (!medium.IsReady())
        return;
    const DWORD bit = 1u << (m_letter - 'A');
    m_bListed = DefineDrive(m_letter, medium.HostFolder()) && (::GetLogicalDrives() & bit) != 0;
}

ListedDrive::~ListedDrive()
{
    if (m_bListed)
        DefineDrive(m_letter, std::string());
}
