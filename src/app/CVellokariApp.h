#pragma once
// The application object: one copy per drive, the two switches, the debug
// console or the null device for the log, and the main dialog run modally.
#include "Framework.h"

// Set by "-D742": the log goes to a console of the program's own.
extern int g_bDebugMode;

// Answers every console event as handled, so Ctrl+C does not end the program.
BOOL WINAPI ConsoleCtrlHandler(DWORD dwCtrlType);

// An argument equals a switch exactly (case-sensitive, whole length).
bool IsSwitch(const char* arg, const char* name);
// The single-instance mutex's name for a program whose file has this path.
CString MutexName(const char* path);

class CVellokariApp : public CWinApp {
public:
    CVellokariApp();

    // Runs the main dialog to its end; FALSE, so no message loop follows.
    BOOL InitInstance() override;

protected:
    const AppCommandMap* GetCommandMap() const override;
};
