#pragma once
// The real Vellokari.exe for a test: copied from the build onto a path (a
// test medium's, as a user copies it), started there as a process of its
// own, and driven from outside: its windows found by process, title and
// class, its message boxes read and answered with real messages.
#include "DialogControls.h"

#include <windows.h>

#include <string>
#include <vector>

// The top-level windows of a process (hidden ones included), in z-order.
std::vector<HWND> ProcessWindows(DWORD processId);
// A window's text and class name.
std::string WindowText(HWND hwnd);
std::string WindowClass(HWND hwnd);
// The text of a message box (its static 0xFFFF); empty for other windows.
std::string MessageBoxText(HWND box);
// The rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND parent, HWND child);

class ProgramUnderTest {
public:
    // Copies the program from the build to this path (making its folders);
    // with install false the program there is used as it is.
    explicit ProgramUnderTest(std::string exePath, bool install = true);
    ~ProgramUnderTest();  // ends the process if it still runs
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    bool IsInstalled() const { return m_bInstalled; }
    const std::string& ExePath() const { return m_exePath; }
    std::string Folder() const;  // the folder that holds the program

    // Starts "exePath" args; commandLine replaces the whole command line when
    // given (a relative start). With outputFile, standard output and error go
    // to that file, as a shell redirects them. A failure is reported with the
    // system's code on the standard error.
    bool Start(const std::string& args = "", const std::string& outputFile = "", const char* folder = nullptr,
               const std::string& commandLine = "");
    // The main dialog, once it shows; null when it did not within the time.
    HWND WaitMainWindow(DWORD timeoutMs = 20000);
    HWND MainWindow() const { return m_mainWindow; }
    // A dialog of the process (class #32770, not the main window) with this caption.
    HWND WaitDialog(const std::string& caption, DWORD timeoutMs = 10000) const;
    HWND FindDialog(const std::string& caption) const;
    // A control of the main dialog.
    HWND Item(int id) const { return ::GetDlgItem(m_mainWindow, id); }
    std::string ItemText(int id) const { return WindowText(Item(id)); }

    // The main dialog's thread has come back to its messages: whatever a
    // handler that runs now does (a file written after its box or dialog
    // closed) is done. Files the program replaces are read only then, as a
    // reader holding one open makes the program's replacement fail.
    bool Idle(DWORD timeoutMs = 10000) const;

    bool IsRunning() const;
    bool WaitExit(DWORD timeoutMs = 15000) const;
    // The ended process's exit code (STILL_ACTIVE while it runs): the
    // program's own end gives 0, a crash an exception code (0xC...).
    DWORD ExitCode() const;
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Process() const { return m_info.hProcess; }
    // Ends the main dialog as its close box does, then waits for the exit;
    // when it does not end, what it still shows is reported.
    bool Close(DWORD timeoutMs = 15000);
    void Kill();

private:
    std::string m_exePath;
    bool m_bInstalled = false;
    PROCESS_INFORMATION m_info{};
    HWND m_mainWindow = nullptr;
};
