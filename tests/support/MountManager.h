#pragma once
// A drive that the system sees as removable, defined and removed through
// Wine's mount manager as its configuration tool does, and the volume-removal
// broadcast that Windows sends to every top-level window (Wine's mount
// manager sends none for drives defined this way).
#include <windows.h>

#include <string>

// Defines the letter as a removable drive on the host folder.
bool DefineRemovableDrive(char letter, const std::string& hostFolder);
// Removes the drive: the letter no longer resolves and is no longer listed.
bool RemoveDrive(char letter);
// WM_DEVICECHANGE DBT_DEVICEREMOVECOMPLETE for a volume with this unit mask, to every top-level window.
bool BroadcastVolumeRemoval(DWORD unitmask);
// Any WM_DEVICECHANGE event with a volume record of this device type and
// unit mask, to every top-level window, as the system sends it.
bool BroadcastDeviceChange(WPARAM event, DWORD deviceType, DWORD unitmask);
