#include "PanelHost.h"

#include "TestSupport.h"

#include <commctrl.h>

namespace {

const char kHostClass[] = "VkPanelHost";

void RegisterHostClass()
{
    static const bool done = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostClass;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        return ::RegisterClassA(&wc) != 0;
    }();
    (void)done;
}

}  // namespace

CRunInf Item(const char* name, const char* path, int kind, int delay, int gate, const char* arg)
{
    CRunInf item;
    item.m_strProgramName = name;
    item.m_strProgramPath = path;
    item.m_nRunKind = kind;
    item.m_nDelayTime = delay;
    item.m_nGateKind = gate;
    item.m_strArg = arg;
    return item;
}

void WriteSettings(const std::string& path, const std::vector<CRunInf>& items, const char* approved)
{
    CLauncherDlg writer;
    writer.m_strIniPath = path.c_str();
    writer.m_runItems = items;
    writer.m_strAutorunInf = approved;
    writer.SaveSettings();
}

PanelHost::PanelHost()
{
    RegisterHostClass();
    m_host = ::CreateWindowExA(0, kHostClass, "", WS_POPUP | WS_CLIPCHILDREN, 40, 40, 100, 100, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
}

PanelHost::~PanelHost()
{
    if (m_panel.m_hWnd != nullptr)
        m_panel.DestroyWindow();
    if (m_host != nullptr)
        ::DestroyWindow(m_host);
}

bool PanelHost::Create(const std::string& drive)
{
    if (m_host == nullptr)
        return false;
    m_panel.m_strDrive = drive.c_str();
    return m_panel.Create(CLauncherDlg::IDD, CWnd::FromHandle(m_host)) != FALSE;
}

void PanelHost::Start(const std::string& iniPath, bool keepTimers)
{
    RECT rect{};
    ::GetWindowRect(Panel(), &rect);
    ::SetWindowPos(m_host, HWND_TOP, 40, 40, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::SetWindowPos(Panel(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    m_panel.Initialize(iniPath.c_str());
    if (keepTimers) {
        ::UpdateWindow(m_host);
        return;
    }
    const bool check = m_panel.KillTimer(TIMER_AUTORUN_CHECK) != FALSE;
    const bool tick = m_panel.KillTimer(TIMER_RUN_TICK) != FALSE;
    m_bTimersStarted = check && tick;
    ::UpdateWindow(m_host);
}

void PanelHost::Tick(int count) const
{
    for (int i = 0; i < count; ++i)
        ::SendMessageA(Panel(), WM_TIMER, TIMER_RUN_TICK, 0);
}

void PanelHost::Check() const
{
    ::SendMessageA(Panel(), WM_TIMER, TIMER_AUTORUN_CHECK, 0);
}

int PanelHost::Rows() const
{
    return static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
}

std::string PanelHost::Cell(int row, int column) const
{
    char text[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::string> PanelHost::Names() const
{
    std::vector<std::string> names;
    for (int row = 0; row < Rows(); ++row)
        names.push_back(Cell(row, 0));
    return names;
}

int PanelHost::Mark() const
{
    return static_cast<int>(::SendMessageA(List(), LVM_GETSELECTIONMARK, 0, 0));
}

int PanelHost::Selected() const
{
    return static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

LPARAM PanelHost::Data(int row) const
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ::SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

void PanelHost::SetData(int row, LPARAM data) const
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = data;
    ::SendMessageA(List(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

std::string PanelHost::Status() const
{
    char text[128] = {};
    ::GetDlgItemTextA(Panel(), 1042, text, sizeof text);
    return text;
}
