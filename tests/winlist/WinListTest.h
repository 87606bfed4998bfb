#pragma once
// The window-list tests' helpers: the window fixture as a real process, a
// host window for the panel, and reading pixels of the screen.
#include "CWinListDlg.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// vk_windows.exe started with one request per window (see its source); the
// process is ended when the object goes.
class WindowsFixture {
public:
    // Waits until every window is there and every window to be shown is visible;
    // a failure (no start, a window missing) is reported on the standard error.
    bool Start(const std::string& exe, const std::vector<std::string>& requests, const std::string& log = "");
    DWORD Id() const { return m_process.Id(); }
    // Window i of the requests; null while it does not exist.
    HWND Window(int i) const;
    bool WaitGone(DWORD timeoutMs = 10000) { return m_process.WaitExit(timeoutMs); }
    void Kill() { m_process.Kill(); }

private:
    ChildProcess m_process;
    std::vector<std::string> m_requests;
};

// The fixture program copied to a path; the path.
std::string PutFixture(const TestMedium& medium, const std::string& rest);
std::string PutFixture(const TempFolder& folder, const std::string& name);

// A top-level window of the test that hosts the panel as the main dialog
// does; shown without activation, away from the screen's corner and centre,
// where the other tests' dialogs open, and above the fixture's windows.
class PanelHost {
public:
    explicit PanelHost(int x = 700, int y = 20, int width = 520, int height = 260);
    ~PanelHost();
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // Creates the panel's window as a child and shows it.
    bool Open(CWinListDlg& panel, const std::string& drive);
    CWnd* Wnd() { return &m_wnd; }

private:
    CWnd m_wnd;
};

// Messages as the panel's controls send them.
void ClickButton(CWinListDlg& panel, int id);
void ClickList(CWinListDlg& panel);
void MarkRow(CWinListDlg& panel, int row);
int Mark(CWinListDlg& panel);
int RowOf(CWinListDlg& panel, HWND window);  // by the handle column; -1 when absent
void Tick(CWinListDlg& panel);               // the refresh timer's message

// A picture of the window for a look, when VKWINLISTSHOTS names a folder.
void SaveShot(HWND hwnd, const char* name);

// The colours of a window's client area as the screen shows them (0xRRGGBB).
class ClientPixels {
public:
    explicit ClientPixels(HWND hwnd);
    std::uint32_t At(int x, int y) const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Width and height of the block of colour that starts at (x, y).
    SIZE BlockAt(int x, int y) const;
    // Writes the picture as a BMP file.
    bool Save(const std::string& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};
