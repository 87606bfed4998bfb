#include "ProgramUnderTest.h"

#include "TestSupport.h"

#include <cstdio>

namespace {

struct Search {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    if (processId == search->processId)
        search->windows.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> ProcessWindows(DWORD processId)
{
    Search search{processId, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

std::string WindowText(HWND hwnd)
{
    char text[1024] = {};
    // WM_GETTEXT reaches the window's own text in another process too.
    ::SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, nullptr);
    return text;
}

std::string WindowClass(HWND hwnd)
{
    char name[256] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string MessageBoxText(HWND box)
{
    const HWND text = ::GetDlgItem(box, 0xFFFF);
    return text != nullptr ? WindowText(text) : std::string();
}

RECT ChildRect(HWND parent, HWND child)
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

ProgramUnderTest::ProgramUnderTest(std::string exePath, bool install) : m_exePath(std::move(exePath))
{
    m_bInstalled = install ? CopyWithFolders(FixturePath("Vellokari.exe"), m_exePath) : FileExists(m_exePath);
}

ProgramUnderTest::~ProgramUnderTest()
{
    Kill();
}

std::string ProgramUnderTest::Folder() const
{
    return m_exePath.substr(0, m_exePath.find_last_of('\\'));
}

bool ProgramUnderTest::Start(const std::string& args, const std::string& outputFile, const char* folder,
                             const std::string& commandLine)
{
    Kill();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!outputFile.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        output = ::CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE) {
            ReportStartFailure(outputFile, ::GetLastError());
            return false;
        }
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    std::string line = commandLine.empty() ? "\"" + m_exePath + "\"" + (args.empty() ? "" : " " + args) : commandLine;
    // Detached, as from the desktop: the program has no console of the test's.
    const BOOL started = ::CreateProcessA(m_exePath.c_str(), &line[0], nullptr, nullptr, output != INVALID_HANDLE_VALUE,
                                          DETACHED_PROCESS, nullptr, folder, &startup, &m_info);
    const DWORD error = ::GetLastError();
    if (output != INVALID_HANDLE_VALUE)
        ::CloseHandle(output);
    if (!started)
        ReportStartFailure(line, error);
    return started != FALSE;
}

HWND ProgramUnderTest::WaitMainWindow(DWORD timeoutMs)
{
    WaitFor(
        [&] {
            for (HWND hwnd : ProcessWindows(Id())) {
                if (::IsWindowVisible(hwnd) && WindowText(hwnd).rfind("Vellokari [", 0) == 0) {
                    m_mainWindow = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return m_mainWindow;
}

HWND ProgramUnderTest::FindDialog(const std::string& caption) const
{
    for (HWND hwnd : ProcessWindows(Id())) {
        if (hwnd != m_mainWindow && ::IsWindowVisible(hwnd) && WindowClass(hwnd) == "#32770" &&
            WindowText(hwnd) == caption)
            return hwnd;
    }
    return nullptr;
}

HWND ProgramUnderTest::WaitDialog(const std::string& caption, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindDialog(caption)) != nullptr; }, timeoutMs);
    return found;
}

bool ProgramUnderTest::IsRunning() const
{
    return m_info.hProcess != nullptr && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

bool ProgramUnderTest::WaitExit(DWORD timeoutMs) const
{
    return m_info.hProcess != nullptr && WaitFor([&] { return !IsRunning(); }, timeoutMs);
}

DWORD ProgramUnderTest::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_info.hProcess != nullptr)
        ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

bool ProgramUnderTest::Idle(DWORD timeoutMs) const
{
    DWORD_PTR result = 0;
    return m_mainWindow != nullptr &&
           ::SendMessageTimeoutA(m_mainWindow, WM_NULL, 0, 0, SMTO_BLOCK, timeoutMs, &result) != 0;
}

bool ProgramUnderTest::Close(DWORD timeoutMs)
{
    if (m_mainWindow != nullptr)
        ::PostMessageA(m_mainWindow, WM_CLOSE, 0, 0);
    if (WaitExit(timeoutMs))
        return true;
    // Why not: what the process still shows, and whether it still takes messages.
    std::fprintf(stderr, "the program (process %lu) did not end within %lu ms; it %s messages; its windows:\n",
                 Id(), timeoutMs, Idle(2000) ? "takes" : "does not take");
    for (HWND hwnd : ProcessWindows(Id())) {
        std::fprintf(stderr, "  %p %s \"%s\"%s\n", static_cast<void*>(hwnd), WindowClass(hwnd).c_str(),
                     WindowText(hwnd).c_str(), ::IsWindowVisible(hwnd) ? " visible" : "");
    }
    std::fflush(stderr);
    return false;
}

void ProgramUnderTest::Kill()
{
    if (m_info.hProcess != nullptr) {
        if (IsRunning()) {
            ::TerminateProcess(m_info.hProcess, 1);
            ::WaitForSingleObject(m_info.hProcess, 5000);
        }
        ::CloseHandle(m_info.hProcess);
        ::CloseHandle(m_info.hThread);
    }
    m_info = PROCESS_INFORMATION{};
    m_mainWindow = nullptr;
}
