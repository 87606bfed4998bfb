// The main dialog's door for messages from outside: gate opens of the
// sibling gateways, the system's device changes and the closing message.
#include "CTermDlg.h"
#include "CVellokariDlg.h"
#include "Closing.h"
#include "DebugLog.h"

#include <dbt.h>

#include <cstddef>

UINT g_uBorewayOpenMsg = 0;
UINT g_uVellokariTermMsg = 0;

namespace {

const char kBorewayOpen[] = "BOREWAYOPEN";
const char kVellokariTerm[] = "VELLOKARITERM";

}  // namespace

char DriveLetterFromUnitMask(ULONG unitmask)
{
    int index = 0;
    while (!(unitmask & 1) && index < 26) {
        unitmask >>= 1;
        ++index;
    }
    return static_cast<char>('A' + index);
}

LRESULT CVellokariDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        g_uBorewayOpenMsg = ::RegisterWindowMessageA(kBorewayOpen);
        g_uVellokariTermMsg = ::RegisterWindowMessageA(kVellokariTerm);
        DebugLog("●●RegisterWindowMessage() msg=0x%x\n", g_uBorewayOpenMsg);
    } else if (message == WM_ENDSESSION) {
        // The session ends the process without destroying its windows: a
        // capture under way puts the other program's window back now.
        if (wParam)
            m_winListDlg.FinishStuckCapture();
    } else if (message == WM_DEVICECHANGE) {
        DebugLog("WM_DEVICECHANGE wParam=0x%08x, lParam=0x%08x\n", static_cast<unsigned>(wParam),
                 static_cast<unsigned>(lParam));
        OnDeviceRemoved(wParam, lParam);
    } else if (message != 0) {
        if (message == g_uBorewayOpenMsg)
            ::PostMessageA(m_launcherDlg.m_hWnd, message, wParam, lParam);
        if (message == g_uVellokariTermMsg && !m_bNoticeShown) {
            m_bNoticeShown = TRUE;
            // Whatever is open ends as cancelled; the notice is the main
            // dialog's own, not that of a dialog that goes.
            AfxBeginClosing();
            AfxEndModalLoops(m_hWnd);
            CTermDlg notice(this);
            notice.DoModal();
            OnOK();
        }
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CVellokariDlg::OnDeviceRemoved(WPARAM wParam, LPARAM lParam)
{
    if (wParam != DBT_DEVICEREMOVECOMPLETE || lParam == 0)
        return;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    // The record may come from any program: its mask is read only when the
    // size it gives holds one.
    if (header->dbch_size < offsetof(DEV_BROADCAST_VOLUME, dbcv_unitmask) + sizeof(DWORD) ||
        header->dbch_devicetype != DBT_DEVTYP_VOLUME)
        return;
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lParam);
    const char letter = DriveLetterFromUnitMask(volume->dbcv_unitmask);
    DebugLog("Remove Device letter=[%c]", letter);
    CString drive;
    drive.Format("%c:", letter);
    // The drive string keeps the case the program was started with ("e:").
    if (drive.CompareNoCase(m_strDrive) == 0)
        BeginClosingRoad();
}

void CVellokariDlg::CheckMedium()
{
    if (!AfxIsClosing() && !m_medium.IsStillHere())
        BeginClosingRoad();
}

void CVellokariDlg::BeginClosingRoad()
{
    // Nothing more is written from here on: the letter may soon name another volume.
    AfxBeginClosing();
    PostMessage(::RegisterWindowMessageA(kVellokariTerm), 0, 0);
}
