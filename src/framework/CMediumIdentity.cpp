#include "CMediumIdentity.h"

namespace {

bool ReadSerial(const CString& root, DWORD& serial)
{
    // A drive without its disk fails the query quietly, with no box of the system's.
    DWORD previous = 0;
    const BOOL modeSet = ::SetThreadErrorMode(::GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous);
    serial = 0;
    const BOOL read = ::GetVolumeInformationA(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    if (modeSet)
        ::SetThreadErrorMode(previous, nullptr);
    return read != FALSE;
}

}  // namespace

BOOL CMediumIdentity::Take(const CString& drive)
{
    m_bTaken = FALSE;
    m_strRoot = drive + "\\";
    if (drive.GetLength() != 2 || drive[1] != ':')
        return FALSE;
    m_bTaken = ReadSerial(m_strRoot, m_dwSerial) ? TRUE : FALSE;
    return m_bTaken;
}

BOOL CMediumIdentity::IsStillHere() const
{
    if (!m_bTaken)
        return TRUE;
    DWORD serial = 0;
    return ReadSerial(m_strRoot, serial) && serial == m_dwSerial ? TRUE : FALSE;
}
