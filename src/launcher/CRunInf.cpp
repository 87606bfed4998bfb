#include "CRunInf.h"

#include "CHandle.h"
#include "Closing.h"
#include "DebugLog.h"
#include "SplitPath.h"

#include <vector>

BOOL g_bNoStart = FALSE;

const char* const g_gateKindNames[GATEKIND_COUNT] = {
    "BorewayForTCP", "BorewayForFTP", "BorewayForCVS", "BorewayForVNC", "BorewayOne",
};

const char* RunKindText(int runKind)
{
    switch (runKind) {
    case RUNKIND_MANUAL: return "手動";
    case RUNKIND_AUTO_START: return "自動(P)";
    case RUNKIND_AUTO_GATE: return "自動(S)";
    default: return "不明";
    }
}

CRunInf::CRunInf()
    : m_nRunKind(RUNKIND_MANUAL),
      m_nDelayTime(0),
      m_nGateKind(0),
      m_bArmed(FALSE),
      m_nCountdown(0),
      m_bFailed(FALSE),
      m_dwLastError(0),
      m_bSkype(FALSE)
{
}

void CRunInf::armRun()
{
    switch (m_nRunKind) {
    case RUNKIND_MANUAL:
        m_bArmed = FALSE;
        break;
    case RUNKIND_AUTO_START:
        m_bArmed = TRUE;
        m_nCountdown = m_nDelayTime == 0 ? 1 : m_nDelayTime;
        break;
    case RUNKIND_AUTO_GATE:
        // Only a gate open starts this item's countdown.
        m_bArmed = TRUE;
        break;
    default:
        break;
    }
}

void CRunInf::gateOpen(LONG_PTR gateKind)
{
    if (m_nRunKind == RUNKIND_AUTO_GATE && static_cast<LONG_PTR>(m_nGateKind) == gateKind)
        m_nCountdown = m_nDelayTime == 0 ? 1 : m_nDelayTime;
}

void CRunInf::tickRun(CString drive)
{
    if (m_nRunKind == RUNKIND_MANUAL) {
        m_bArmed = FALSE;
        return;
    }
    const bool counts = (m_nRunKind == RUNKIND_AUTO_START && !g_bNoStart) || m_nRunKind == RUNKIND_AUTO_GATE;
    if (!m_bArmed || !counts)
        return;
    if (m_nCountdown > 0 && --m_nCountdown == 0) {
        if (!startRun(drive)) {
            m_bFailed = TRUE;
            m_dwLastError = ::GetLastError();
        }
    }
}

BOOL CRunInf::startRun(CString drive)
{
    if (!m_bArmed)
        return TRUE;
    // Once the medium has gone its letter may name another volume: nothing is
    // started from it, also when its removal went unheard.
    if (!AfxMediumStillHere()) {
        ::SetLastError(ERROR_NOT_READY);
        return FALSE;
    }

    CString args = m_strArg;
    if (!args.IsEmpty())
        args.Replace("%letter%", drive);
    const CString exe = drive + m_strProgramPath;
    CString commandLine;
    commandLine.Format("\"%s\" %s", exe.GetString(), args.GetString());
    DebugLog("CRunInf::startRun() commanLine=%s\n", commandLine.GetString());

    CString currentDir;
    if (!m_strWorkPath.IsEmpty()) {
        currentDir = drive + m_strWorkPath;
        DebugLog("CRunInf::startRun() currntDir=%s\n", currentDir.GetString());
    } else {
        CString folder, fileName;
        SplitPath(m_strProgramPath, folder, fileName);
        currentDir = drive + folder;
    }
    DebugLog("CRunInf::startRun() currentDir=%s\n", currentDir.GetString());

    // The command line must be writable for CreateProcessA.
    std::vector<char> line(commandLine.GetString(), commandLine.GetString() + commandLine.GetLength() + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          currentDir, &startup, &process)) {
        const DWORD error = ::GetLastError();
        m_bArmed = FALSE;
        ::SetLastError(error);
        return FALSE;
    }
    // Not waited for: both handles go at once.
    const CHandle started(process.hProcess);
    const CHandle thread(process.hThread);
    // A gate item waits for the next gate open.
    if (m_nRunKind != RUNKIND_AUTO_GATE)
        m_bArmed = FALSE;
    return TRUE;
}
