#include "CVellokariApp.h"

#include "CRunInf.h"
#include "CVellokariDlg.h"
#include "Mbcs.h"

#include <cstdio>
#include <cstring>

int g_bDebugMode = 0;

namespace {

const char kMutexBase[] = "__VELLOKARI_MORROWGLINT__";

void Reopen(const char* path, const char* mode, FILE* stream)
{
    FILE* reopened = nullptr;
    if (freopen_s(&reopened, path, mode, stream) != 0)
        return;  // the log then goes nowhere
}

}  // namespace

bool IsSwitch(const char* arg, const char* name)
{
    // Stops at the first difference: never reads past the shorter string.
    return std::strcmp(arg, name) == 0;
}

CString MutexName(const char* path)
{
    // The same drive by any spelling: "\\?\" and "\\.\" before a drive or a
    // share are left out, and a drive letter is taken in upper case. Only the
    // first two characters of what is left count.
    const std::size_t length = std::strlen(path);
    const char* rest = path;
    char tail[3] = {};
    for (const char* prefix : {"\\\\?\\", "\\\\.\\"}) {
        if (std::strncmp(path, prefix, 4) != 0)
            continue;
        const char letter = static_cast<char>(length >= 6 ? path[4] | 0x20 : 0);
        if (letter >= 'a' && letter <= 'z' && path[5] == ':') {
            rest = path + 4;
        } else if (length >= 8 && _strnicmp(path + 4, "UNC\\", 4) == 0) {
            rest = "\\\\";  // "\\?\UNC\server" is "\\server"
        }
        break;
    }
    for (std::size_t i = 0; i < 2 && rest[i] != '\0'; ++i)
        tail[i] = rest[i];
    if (tail[1] == ':' && tail[0] >= 'a' && tail[0] <= 'z')
        tail[0] = static_cast<char>(tail[0] - 'a' + 'A');
    // A backslash is made a slash: "\\" is not allowed in an object name, and
    // in a path the two mean the same. A second byte 0x5C that ends a
    // double-byte character is no backslash and stays.
    if (tail[0] == '\\')
        tail[0] = '/';
    if (tail[1] == '\\' && !MbcsIsLeadByte(static_cast<unsigned char>(tail[0])))
        tail[1] = '/';
    return CString(kMutexBase) + tail;
}

BOOL WINAPI ConsoleCtrlHandler(DWORD)
{
    return TRUE;
}

CVellokariApp::CVellokariApp() = default;

const AppCommandMap* CVellokariApp::GetCommandMap() const
{
    static const AppCommandMap map{CWinApp::GetCommandMap(), {
        {ID_HELP, &CWinApp::OnHelp},
    }};
    return &map;
}

BOOL CVellokariApp::InitInstance()
{
    // One copy per drive: the name ends in the drive of the program's own
    // file, as the main dialog takes it, whatever the spelling it was
    // started by ("f:\...", "\\?\F:\...", a relative path).
    char modulePath[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    const CString mutexName = MutexName(length > 0 ? modulePath : GetArg(0));
    // Never closed: the system releases the name when the process ends.
    const HANDLE mutex = ::CreateMutexA(nullptr, TRUE, mutexName);
    if (mutex == nullptr)
        return FALSE;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        PlatformMessageBox(nullptr, "     既に起動されています.     ", "２重起動", MB_OK);
        return FALSE;
    }

    for (int i = 1; i < GetArgCount(); ++i) {
        const char* arg = GetArg(i);
        char label[256];
        ::wsprintfA(label, "%d番目の引数", i);
        DebugLog("%s=%s\n", label, arg);
        if (IsSwitch(arg, "-D742")) {
            g_bDebugMode = 1;
            DebugLog("DEBUGMODE ON\n");
        }
        if (IsSwitch(arg, "-NOSTART")) {
            g_bNoStart = 1;
            DebugLog("NOSTART ON\n");
        }
    }

    if (g_bDebugMode) {
        ::AllocConsole();
        Reopen("CONOUT$", "w", stdout);
        Reopen("CONIN$", "r", stdin);
        ::SetConsoleCtrlHandler(&ConsoleCtrlHandler, TRUE);
    } else {
        // The last component "nul" names the null device.
        Reopen("/dev/nul", "w", stdout);
        Reopen("/dev/nul", "r", stdin);
    }

    DebugLog("********** Start Vellokari DEBUG MODE  *******\n");
    if (g_bDebugMode)
        DebugLog("DEBUG_MODE ON\n");
    if (g_bNoStart)
        DebugLog("NOSTART_MODE ON\n");

    CMFCButton::EnableWindowsTheming(TRUE);

    {
        CVellokariDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        if (g_bDebugMode) {
            ::FreeConsole();
            ::Sleep(1000);
        }
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
