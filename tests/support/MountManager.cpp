#include "MountManager.h"

#include <dbt.h>

#include <vector>

namespace {

const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// Wine's own input record, not the one of mingw-w64's ddk/mountmgr.h.
struct UnixDrive {
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
    std::vector<char> buffer(sizeof(UnixDrive) + hostFolder.size() + 1, '\0');
    auto* drive = reinterpret_cast<UnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    // Removed with the type DRIVE_NO_ROOT_DIR the drive goes whole: its link,
    // its value under HKLM\Software\Wine\Drives and its letter in
    // GetLogicalDrives. With another type the letter stays listed, and so
    // taken for later media, as long as the Wine server runs.
    drive->type = hostFolder.empty() ? DRIVE_NO_ROOT_DIR : DRIVE_REMOVABLE;
    drive->letter = static_cast<WCHAR>(letter - 'A' + 'a');
    if (!hostFolder.empty()) {
        drive->mount_point_offset = sizeof(UnixDrive);
        hostFolder.copy(buffer.data() + sizeof(UnixDrive), hostFolder.size());
    }
    const HANDLE manager = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(manager, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                                      nullptr, 0, &returned, nullptr);
    ::CloseHandle(manager);
    return ok != FALSE;
}

}  // namespace

bool DefineRemovableDrive(char letter, const std::string& hostFolder)
{
    return !hostFolder.empty() && DefineDrive(letter, hostFolder);
}

bool RemoveDrive(char letter)
{
    return DefineDrive(letter, std::string());
}

bool BroadcastDeviceChange(WPARAM event, DWORD deviceType, DWORD unitmask)
{
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = deviceType;
    volume.dbcv_unitmask = unitmask;
    volume.dbcv_flags = DBTF_MEDIA;
    DWORD recipients = BSM_APPLICATIONS;
    return ::BroadcastSystemMessageW(BSF_FORCEIFHUNG | BSF_QUERY, &recipients, WM_DEVICECHANGE, event,
                                     reinterpret_cast<LPARAM>(&volume)) > 0;
}

bool BroadcastVolumeRemoval(DWORD unitmask)
{
    return BroadcastDeviceChange(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, unitmask);
}
