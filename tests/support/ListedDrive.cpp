#include "ListedDrive.h"

#include "MountManager.h"
#include "TestSupport.h"

#include <windows.h>

#include <string>

ListedDrive::ListedDrive(const TestMedium& medium) : m_letter(medium.Letter())
{
    if (!medium.IsReady())
        return;
    m_bDefined = DefineRemovableDrive(m_letter, medium.HostFolder());
    if (!m_bDefined)
        return;
    // The mount manager puts its own link in place of the medium's: wait
    // until the drive is listed and its root is there again.
    const DWORD bit = 1u << (m_letter - 'A');
    const std::string root = medium.Drive() + "\\";
    m_bListed = WaitFor([&] { return (::GetLogicalDrives() & bit) != 0 && FileExists(root); });
}

ListedDrive::~ListedDrive()
{
    if (m_bDefined)
        RemoveDrive(m_letter);
}
