#pragma once
// The volume that a drive string named when it was taken, known by its
// serial number. A removal whose notice never came, or another volume put
// under the same letter since, shows as a serial that cannot be read or is
// another one. Reading it never brings up the system's box for a drive
// without its disk.
#include "CString.h"

#include <windows.h>

class CMediumIdentity {
public:
    // drive: "E:" (any case). FALSE when the volume cannot be read now;
    // nothing is judged afterwards then.
    BOOL Take(const CString& drive);
    // The volume taken is still the one under its letter. Costs one volume
    // query (under Wine some tenths of a millisecond): no call for every tick.
    BOOL IsStillHere() const;

private:
    CString m_strRoot;
    DWORD m_dwSerial = 0;
    BOOL m_bTaken = FALSE;
};
