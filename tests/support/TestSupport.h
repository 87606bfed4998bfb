#pragma once
// Small helpers shared by the tests: bounded waits, message pumping, files,
// the helper programs and processes.
#include <windows.h>

#include <functional>
#include <string>

// Dispatches every message waiting in this thread's queue.
void PumpMessages();

// Pumps messages until the condition holds or the time is up; the result
// is the condition's last value. Never waits a fixed time.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The folder of the running test program (the helper programs lie beside it).
std::string ProgramFolder();
std::string FixturePath(const char* fileName);

bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);  // empty when missing
bool FileExists(const std::string& path);

// Copies a file, making the target's folders first; a failure is reported
// on the standard error with the system's code.
bool CopyWithFolders(const std::string& from, const std::string& to);

// Writes why a process did not start to the standard error, where the
// test's output shows it.
void ReportStartFailure(const std::string& commandLine, DWORD error);

// A folder of its own under the system's temporary folder, removed with its
// content when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_path; }  // without a trailing backslash
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Removes a folder and everything under it.
void RemoveTree(const std::string& path);

// Starts a process with a command line; its handle is closed when the
// object goes (the process is ended then if it still runs).
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // A failure is reported with the system's code (see ReportStartFailure).
    bool Start(const std::string& commandLine, const char* folder = nullptr);
    bool WaitExit(DWORD timeoutMs = 10000);
    DWORD ExitCode() const;
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    void Kill();

private:
    PROCESS_INFORMATION m_info{};
};

// Takes the process back from the closing road when the case ends, a failed
// assertion too, so that the cases after it run their dialogs again.
class ClosingReset {
public:
    ClosingReset() = default;
    ~ClosingReset();
    ClosingReset(const ClosingReset&) = delete;
    ClosingReset& operator=(const ClosingReset&) = delete;
};
