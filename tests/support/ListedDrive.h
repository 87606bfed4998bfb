#pragma once
// A test medium's letter made known to Wine's mount manager as a removable
// drive for as long as the object lives. Only such drives are in
// GetLogicalDrives and so in the shell's "My Computer" (the folder picker's
// tree); a letter that is only a link in dosdevices/ is reached by its
// paths but listed nowhere. The drive is removed before the medium goes.
#include "TestMedium.h"

class ListedDrive {
public:
    explicit ListedDrive(const TestMedium& medium);
    ~ListedDrive();
    ListedDrive(const ListedDrive&) = delete;
    ListedDrive& operator=(const ListedDrive&) = delete;

    bool IsListed() const { return m_bListed; }

private:
    char m_letter;
    bool m_bDefined = false;
    bool m_bListed = false;
};
