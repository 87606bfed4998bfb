#include "AppTest.h"

#include "CDib32.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

std::string SettingsText(const std::string& version, const std::vector<StoredItem>& items)
{
    std::string text = "[SYSTEM]\r\nVER=" + version + "\r\nAUTORUNINFSIZE=0\r\nAUTORUNINF=\r\nLAUNCHER=" +
                       std::to_string(items.size()) + "\r\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        const StoredItem& item = items[i];
        text += "[RUNITEM" + std::to_string(i) + "]\r\nPROGRAMNAME=" + item.name + "\r\nPROGRAMPATH=" + item.path +
                "\r\nWORKPATH=" + item.work + "\r\nARG=" + item.arg + "\r\nRUNKIND=" + std::to_string(item.kind) +
                "\r\nDELAYTIME=" + std::to_string(item.delay) + "\r\nBOREWAY=" + std::to_string(item.gate) + "\r\n";
    }
    return text;
}

StoredItem SkypeItem(const std::string& folder)
{
    return {"Skype.exe", folder + "\\skype\\bin\\Skype.exe", folder + "\\skype\\bin",
            "/datapath:\"%letter%" + folder + "\\skype\\data\" /removable", 1, 0, 0};
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name)
{
    ::SetEnvironmentVariableA(name, value.c_str());
}

ScopedEnv::~ScopedEnv()
{
    ::SetEnvironmentVariableA(m_name.c_str(), nullptr);
}

StoredItem RecorderItem(const TestMedium& medium, const std::string& tag, int kind, int gate)
{
    medium.Put(FixturePath("vk_recorder.exe"), "\\apps\\vk_recorder.exe");
    StoredItem item;
    item.name = "vk_recorder.exe";
    item.path = "\\apps\\vk_recorder.exe";
    item.arg = tag;
    item.kind = kind;
    item.gate = gate;
    return item;
}

HWND PanelWith(HWND main, int id)
{
    for (HWND child = ::GetWindow(main, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) == "#32770" && ::GetDlgItem(child, id) != nullptr)
            return child;
    }
    return nullptr;
}

ProgramOnMedium::ProgramOnMedium(const std::string& folder)
    : program(medium.Path(folder + "\\Vellokari.exe")), ini(medium.Path(folder + "\\Vellokari.ini"))
{
}

bool ProgramOnMedium::StartWithLauncher(const std::string& args)
{
    main = panel = list = nullptr;
    if (!program.Start(args) || (main = program.WaitMainWindow()) == nullptr)
        return false;
    panel = PanelWith(main, ID_LAUNCHER_LIST);
    list = ::GetDlgItem(panel, ID_LAUNCHER_LIST);
    return panel != nullptr;
}

bool OpenGate(void* window, int kind)
{
    ChildProcess gate;
    const std::string exe = FixturePath("vk_gate.exe");
    return gate.Start("\"" + exe + "\" " +
                      std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window))) + " " +
                      std::to_string(kind)) &&
           gate.WaitExit() && gate.ExitCode() == 0;
}

unsigned ScreenPixel(int x, int y)
{
    const HDC screen = ::GetDC(nullptr);
    const COLORREF pixel = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return (GetRValue(pixel) << 16) | (GetGValue(pixel) << 8) | GetBValue(pixel);
}

void SaveScreen(const char* name, HWND window)
{
    char folder[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA("VKAPPSHOTS", folder, sizeof folder);
    if (n == 0 || n >= sizeof folder)
        return;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    const HDC screen = ::GetDC(nullptr);
    CDib32 copy(screen, width, height);
    ::BitBlt(copy.Dc(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::GdiFlush();
    ::ReleaseDC(nullptr, screen);
    const DWORD bytes = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file{0x4D42, headers + bytes, 0, 0, headers};
    BITMAPINFOHEADER info{sizeof info, width, -height, 1, 32, BI_RGB, bytes, 0, 0, 0, 0};
    std::string data(reinterpret_cast<const char*>(&file), sizeof file);
    data.append(reinterpret_cast<const char*>(&info), sizeof info);
    data.append(reinterpret_cast<const char*>(copy.Bits()), bytes);
    WriteBytes(std::string(folder) + "\\" + name + ".bmp", data);
}

const char kStandInVersion[] = "Ver.:4.2.0.169";

// In the 32-bit view, where Skype's own installer writes it.
SkypeKey::SkypeKey(HKEY hive, const char* value) : m_hive(hive)
{
    ::RegCreateKeyExA(hive, "Software\\Skype\\Phone", 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr,
                      &m_key, nullptr);
    if (m_key != nullptr && value != nullptr)
        ::RegSetValueExA(m_key, "SkypePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>(strlen(value) + 1));
}

SkypeKey::~SkypeKey()
{
    if (m_key != nullptr) {
        // This handle was opened before the refusal, so it may give the access back.
        if (m_denied) {
            PSECURITY_DESCRIPTOR open = nullptr;
            if (::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1, &open,
                                                                       nullptr)) {
                ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, open);
                ::LocalFree(open);
            }
        }
        ::RegCloseKey(m_key);
    }
    // Both views, so that no test finds a key that another one left.
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        ::RegDeleteKeyExA(m_hive, "Software\\Skype\\Phone", view, 0);
        ::RegDeleteKeyExA(m_hive, "Software\\Skype", view, 0);
    }
}

bool SkypeKey::DenyFullAccess()
{
    PSECURITY_DESCRIPTOR denied = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;KA;;;WD)(A;;KR;;;WD)", SDDL_REVISION_1, &denied,
                                                                nullptr))
        return false;
    m_denied = ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, denied) == ERROR_SUCCESS;
    ::LocalFree(denied);
    return m_denied;
}

FixedDiskSkype::FixedDiskSkype(const char* fixture)
{
    m_folder = "C:\\vk-skype-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount64());
    m_path = m_folder + "\\Skype.exe";
    CopyWithFolders(FixturePath(fixture), m_path);
}

FixedDiskSkype::~FixedDiskSkype()
{
    RemoveTree(m_folder);
}
