#pragma once
// The launcher panel as the main dialog hosts it: a child of a plain window
// of the test (no caption, never activated) on a medium with its settings
// file. The test sends the timers' messages itself, so nothing ticks behind
// its back.
#include "CLauncherDlg.h"
#include "CRunInf.h"

#include <windows.h>

#include <string>
#include <vector>

CRunInf Item(const char* name, const char* path, int kind, int delay = 0, int gate = 0, const char* arg = "");

// Writes a settings file with these items and this approved text.
void WriteSettings(const std::string& path, const std::vector<CRunInf>& items, const char* approved = "");

class PanelHost {
public:
    PanelHost();
    ~PanelHost();
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // Makes the panel's window with the drive string, as the main dialog does.
    bool Create(const std::string& drive);
    // Shows host and panel, starts the panel on the settings file and stops
    // the timers that it started (noted in m_bTimersStarted), unless they
    // are to run as in the program.
    void Start(const std::string& iniPath, bool keepTimers = false);
    bool Open(const std::string& drive, const std::string& iniPath)
    {
        if (!Create(drive))
            return false;
        Start(iniPath);
        return true;
    }

    void Tick(int count = 1) const;  // WM_TIMER 101
    void Check() const;              // WM_TIMER 105

    HWND Panel() const { return m_panel.m_hWnd; }
    HWND List() const { return ::GetDlgItem(m_panel.m_hWnd, 1007); }
    int Rows() const;
    std::string Cell(int row, int column) const;
    std::vector<std::string> Names() const;  // column 0 of every row
    int Mark() const;
    int Selected() const;  // the first selected row, -1 when none
    LPARAM Data(int row) const;
    void SetData(int row, LPARAM data) const;
    std::string Status() const;

    CLauncherDlg m_panel;
    bool m_bTimersStarted = false;

private:
    HWND m_host = nullptr;
};

// Sets the no-start flag for one scope.
class NoStart {
public:
    explicit NoStart(BOOL on) { g_bNoStart = on; }
    ~NoStart() { g_bNoStart = FALSE; }
    NoStart(const NoStart&) = delete;
    NoStart& operator=(const NoStart&) = delete;
};
