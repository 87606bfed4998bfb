#include "TestSupport.h"

#include "Closing.h"

#include <atomic>
#include <cstdio>
#include <string>

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (::GetTickCount64() >= end)
            return condition();
        // Sleep until a message arrives or a short slice passes, then look again.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string ProgramFolder()
{
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string FixturePath(const char* fileName)
{
    return ProgramFolder() + "\\" + fileName;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadBytes(const std::string& path)
{
    const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    ::CloseHandle(h);
    return bytes;
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CopyWithFolders(const std::string& from, const std::string& to)
{
    for (std::size_t pos = to.find('\\', 3); pos != std::string::npos; pos = to.find('\\', pos + 1))
        ::CreateDirectoryA(to.substr(0, pos).c_str(), nullptr);
    if (::CopyFileA(from.c_str(), to.c_str(), FALSE))
        return true;
    std::fprintf(stderr, "copying %s to %s failed: error %lu\n", from.c_str(), to.c_str(), ::GetLastError());
    std::fflush(stderr);
    return false;
}

void ReportStartFailure(const std::string& commandLine, DWORD error)
{
    std::fprintf(stderr, "starting %s failed: error %lu\n", commandLine.c_str(), error);
    std::fflush(stderr);
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA data;
    const HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileA(child.c_str());
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(path.c_str());
}

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    char base[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + "vk-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(++counter) + "-" + std::to_string(::GetTickCount64());
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    RemoveTree(m_path);
}

ChildProcess::~ChildProcess()
{
    Kill();
}

bool ChildProcess::Start(const std::string& commandLine, const char* folder)
{
    Kill();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    if (::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &m_info))
        return true;
    ReportStartFailure(commandLine, ::GetLastError());
    return false;
}

bool ChildProcess::WaitExit(DWORD timeoutMs)
{
    return m_info.hProcess != nullptr && ::WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_info.hProcess != nullptr)
        ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

void ChildProcess::Kill()
{
    if (m_info.hProcess != nullptr) {
        if (ExitCode() == STILL_ACTIVE) {
            ::TerminateProcess(m_info.hProcess, 1);
            ::WaitForSingleObject(m_info.hProcess, 5000);
        }
        ::CloseHandle(m_info.hProcess);
        ::CloseHandle(m_info.hThread);
    }
    m_info = PROCESS_INFORMATION{};
}

ClosingReset::~ClosingReset()
{
    AfxResetClosing();
}
