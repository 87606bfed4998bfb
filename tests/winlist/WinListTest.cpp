#include "WinListTest.h"

#include "WinListIds.h"
#include "CDib32.h"

#include <commctrl.h>

#include <cstdio>

bool WindowsFixture::Start(const std::string& exe, const std::vector<std::string>& requests, const std::string& log)
{
    m_requests = requests;
    std::string line = "\"" + exe + "\"";
    if (!log.empty())
        line += " \"log=" + log + "\"";
    for (const std::string& request : requests)
        line += " \"" + request + "\"";
    if (!m_process.Start(line))
        return false;
    const bool ready = WaitFor([&] {
        for (std::size_t i = 0; i < m_requests.size(); ++i) {
            const HWND hwnd = Window(static_cast<int>(i));
            if (hwnd == nullptr)
                return false;
            const bool shown = m_requests[i].find("hidden") == std::string::npos;
            if (shown && !::IsWindowVisible(hwnd))
                return false;
        }
        return true;
    });
    if (!ready) {
        std::fprintf(stderr, "%s: not every window showed (the process's exit code %lu)\n", line.c_str(),
                     m_process.ExitCode());
        std::fflush(stderr);
    }
    return ready;
}

HWND WindowsFixture::Window(int i) const
{
    const std::string className = "VkWindow" + std::to_string(i);
    for (HWND hwnd = ::FindWindowExA(nullptr, nullptr, className.c_str(), nullptr); hwnd != nullptr;
         hwnd = ::FindWindowExA(nullptr, hwnd, className.c_str(), nullptr)) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(hwnd, &id);
        if (id == m_process.Id())
            return hwnd;
    }
    return nullptr;
}

std::string PutFixture(const TestMedium& medium, const std::string& rest)
{
    return medium.Put(FixturePath("vk_windows.exe"), rest);
}

std::string PutFixture(const TempFolder& folder, const std::string& name)
{
    const std::string path = folder / name;
    CopyWithFolders(FixturePath("vk_windows.exe"), path);
    return path;
}

PanelHost::PanelHost(int x, int y, int width, int height)
{
    m_wnd.m_hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                                     nullptr, nullptr, nullptr);
    // Not activated: without a window manager, hiding an activated window waits 2 s.
    ::SetWindowPos(m_wnd.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

PanelHost::~PanelHost()
{
    ::DestroyWindow(m_wnd.m_hWnd);
    m_wnd.m_hWnd = nullptr;
}

bool PanelHost::Open(CWinListDlg& panel, const std::string& drive)
{
    panel.m_strDrive = drive.c_str();
    if (!panel.Create(IDD_WINLIST_DIALOG, &m_wnd))
        return false;
    // The template places the panel for the main dialog; here it takes the host's corner.
    panel.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    panel.ShowWindow(SW_SHOW);
    panel.UpdateWindow();
    return true;
}

void ClickButton(CWinListDlg& panel, int id)
{
    panel.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(panel, id)));
}

void ClickList(CWinListDlg& panel)
{
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = panel.m_listCtrl.m_hWnd;
    click.hdr.idFrom = IDC_LIST_WINDOWS;
    click.hdr.code = NM_CLICK;
    click.iItem = Mark(panel);
    panel.SendMessage(WM_NOTIFY, IDC_LIST_WINDOWS, reinterpret_cast<LPARAM>(&click));
}

void MarkRow(CWinListDlg& panel, int row)
{
    panel.m_listCtrl.SendMessage(LVM_SETSELECTIONMARK, 0, row);
    panel.m_listCtrl.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int Mark(CWinListDlg& panel)
{
    return static_cast<int>(panel.m_listCtrl.SendMessage(LVM_GETSELECTIONMARK));
}

int RowOf(CWinListDlg& panel, HWND window)
{
    CString key;
    key.Format("0x%08x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)));
    const int count = panel.m_listCtrl.GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (panel.m_listCtrl.GetItemText(row, 3) == key)
            return row;
    }
    return -1;
}

void Tick(CWinListDlg& panel)
{
    panel.SendMessage(WM_TIMER, TIMER_WINLIST_REFRESH, 0);
}

void SaveShot(HWND hwnd, const char* name)
{
    char folder[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA("VKWINLISTSHOTS", folder, sizeof folder);
    if (n == 0 || n >= sizeof folder)
        return;
    ClientPixels(hwnd).Save(std::string(folder) + "\\" + name);
}

ClientPixels::ClientPixels(HWND hwnd)
{
    RECT client{};
    ::GetClientRect(hwnd, &client);
    m_width = client.right;
    m_height = client.bottom;
    m_pixels.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), 0);
    const HDC window = ::GetDC(hwnd);
    {
        CDib32 copy(window, m_width, m_height);
        ::BitBlt(copy.Dc(), 0, 0, m_width, m_height, window, 0, 0, SRCCOPY);
        ::GdiFlush();
        for (std::size_t i = 0; i < m_pixels.size(); ++i)
            m_pixels[i] = copy.Bits()[i] & 0xFFFFFF;
    }
    ::ReleaseDC(hwnd, window);
}

std::uint32_t ClientPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0xFFFFFFFF;
    return m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
}

SIZE ClientPixels::BlockAt(int x, int y) const
{
    const std::uint32_t colour = At(x, y);
    SIZE size{0, 0};
    while (At(x + size.cx, y) == colour)
        ++size.cx;
    while (At(x, y + size.cy) == colour)
        ++size.cy;
    return size;
}

bool ClientPixels::Save(const std::string& path) const
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = m_width;
    header.biHeight = -m_height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const DWORD bytes = static_cast<DWORD>(m_pixels.size() * sizeof(std::uint32_t));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + bytes;
    std::string data(reinterpret_cast<const char*>(&file), sizeof file);
    data.append(reinterpret_cast<const char*>(&header), sizeof header);
    data.append(reinterpret_cast<const char*>(m_pixels.data()), bytes);
    return WriteBytes(path, data);
}
