#pragma once
// One program on the medium that the launcher starts: by hand, a delay after
// the launcher starts, or a delay after a gateway announces an open gate.
// Its stored paths omit the drive string, which is put in front at start.
#include "CString.h"

#include <windows.h>

enum {
    RUNKIND_MANUAL = 0,
    RUNKIND_AUTO_START = 1,
    RUNKIND_AUTO_GATE = 2,
};

// The text of a run kind in the launcher's list.
const char* RunKindText(int runKind);

// Gateway kinds are positions in this list of names.
const int GATEKIND_COUNT = 5;
extern const char* const g_gateKindNames[GATEKIND_COUNT];

// The longest text of a stored string of a run item that loads back whole,
// in bytes; the settings dialog takes no more (a character is at most two).
const int RUNINF_MAX_TEXT = 65534;

// Set by the start-up for "-NOSTART": no automatic starts at start-up.
extern BOOL g_bNoStart;

class CRunInf {
public:
    CRunInf();

    void armRun();
    // The gateway kind is the whole first parameter of the gate-open
    // message: only an item whose kind holds that very value starts counting.
    void gateOpen(LONG_PTR gateKind);
    // TRUE when the process was created or the item was not armed; FALSE
    // with the system's error code in GetLastError when creation failed.
    BOOL startRun(CString drive);
    void tickRun(CString drive);

    int m_nRunKind;
    CString m_strProgramName;
    CString m_strProgramPath;
    CString m_strWorkPath;
    CString m_strArg;
    int m_nDelayTime;
    int m_nGateKind;
    BOOL m_bArmed;
    int m_nCountdown;
    BOOL m_bFailed;
    DWORD m_dwLastError;
    BOOL m_bSkype;
};
