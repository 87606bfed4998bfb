// The version gate and the window-manager wrappers on Wine: its default
// version (6.1, a window manager without composition) and, for a process of
// its own, Windows XP through Wine's per-program version setting.
#include "CWnd.h"
#include "DwmBinding.h"
#include "DwmWrappers.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace {

// Wine's per-program setting of the Windows version it reports, for one
// executable name; removed when the object goes.
class WineVersionFor {
public:
    WineVersionFor(const std::string& exeName, const char* version)
        : m_key("Software\\Wine\\AppDefaults\\" + exeName)
    {
        HKEY key = nullptr;
        m_ok = ::RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                 nullptr) == ERROR_SUCCESS;
        if (!m_ok)
            return;
        m_ok = ::RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                                static_cast<DWORD>(std::string(version).size() + 1)) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    ~WineVersionFor() { ::RegDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str()); }
    WineVersionFor(const WineVersionFor&) = delete;
    WineVersionFor& operator=(const WineVersionFor&) = delete;
    bool Ok() const { return m_ok; }

private:
    std::string m_key;
    bool m_ok = false;
};

using Report = std::map<std::string, long long>;

// Runs the probe program and reads its "name=value" lines.
Report RunProbe(const std::string& exe, const std::string& reportPath)
{
    Report report;
    ChildProcess probe;
    if (!probe.Start("\"" + exe + "\" \"" + reportPath + "\"") || !probe.WaitExit(30000))
        return report;
    report["exit"] = probe.ExitCode();
    std::istringstream lines(ReadBytes(reportPath));
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            report[line.substr(0, eq)] = std::stoll(line.substr(eq + 1));
    }
    return report;
}

// A value of the report; a value the probe did not write reads as -999.
long long At(const Report& report, const char* name)
{
    const auto found = report.find(name);
    return found != report.end() ? found->second : -999;
}

HMODULE Dwmapi()
{
    return ::GetModuleHandleA("dwmapi.dll");
}

template <class F>
F RealCall(const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(Dwmapi(), name)));
}

// A window of the test, destroyed when the object goes.
class TestWindow {
public:
    TestWindow(DWORD style, DWORD exStyle, int x, int y, HWND parent = nullptr, int width = 300, int height = 200)
    {
        m_wnd.m_hWnd = ::CreateWindowExA(exStyle, "STATIC", "", style, x, y, width, height, parent, nullptr, nullptr,
                                         nullptr);
    }
    ~TestWindow()
    {
        ::DestroyWindow(m_wnd.m_hWnd);
        m_wnd.m_hWnd = nullptr;
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    CWnd* Wnd() { return &m_wnd; }
    HWND Handle() const { return m_wnd.m_hWnd; }

private:
    CWnd m_wnd;
};

// A table that records what reaches it and answers with set results.
struct FakeDwm {
    static inline int calls = 0;
    static inline BOOL* flag = nullptr;
    static inline HTHUMBNAIL thumbnail = nullptr;
    static inline const void* argument = nullptr;
    static inline HWND window = nullptr;
    static inline HWND source = nullptr;
    static inline HRESULT result = S_OK;

    static void Reset(HRESULT answer)
    {
        calls = 0;
        flag = nullptr;
        thumbnail = nullptr;
        argument = nullptr;
        window = source = nullptr;
        result = answer;
    }
    static HRESULT WINAPI IsCompositionEnabled(BOOL* enabled)
    {
        ++calls;
        flag = enabled;
        *enabled = TRUE;
        return result;
    }
    static HRESULT WINAPI UpdateThumbnailProperties(HTHUMBNAIL handle, const DWM_THUMBNAIL_PROPERTIES* properties)
    {
        ++calls;
        thumbnail = handle;
        argument = properties;
        return result;
    }
    static HRESULT WINAPI RegisterThumbnail(HWND destination, HWND from, PHTHUMBNAIL handle)
    {
        ++calls;
        window = destination;
        source = from;
        *handle = reinterpret_cast<HTHUMBNAIL>(0x4242);
        return result;
    }
    static HRESULT WINAPI UnregisterThumbnail(HTHUMBNAIL handle)
    {
        ++calls;
        thumbnail = handle;
        return result;
    }
    static HRESULT WINAPI ExtendFrameIntoClientArea(HWND target, const MARGINS* margins)
    {
        ++calls;
        window = target;
        argument = margins;
        return result;
    }
};

}  // namespace

TEST(DwmGate, WineDefaultVersionReachesTheWindowManager)
{
    BOOL flag = TRUE;
    // Composition off is the window manager's own success, not the -1 case.
    EXPECT_EQ(SafeDwmIsCompositionEnabled(&flag), 0);
    EXPECT_FALSE(flag);
    EXPECT_EQ(g_osVersionValid, 1);
    EXPECT_GE(g_osVersionInfo.dwMajorVersion, 6u);
    EXPECT_EQ(IsDwmAvailable(), 1);
    ASSERT_NE(Dwmapi(), nullptr);
    // Bound from the system folder, never from the folder of the program.
    char system[MAX_PATH] = {};
    char bound[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    ::GetModuleFileNameA(Dwmapi(), bound, MAX_PATH);
    EXPECT_EQ(::lstrcmpiA(bound, (std::string(system) + "\\dwmapi.dll").c_str()), 0) << bound;

    // Every wrapper hands back what the window manager itself answers.
    TestWindow window(WS_OVERLAPPEDWINDOW, 0, 10, 10);
    const MARGINS margins{5, 5, 60, 22};
    const auto extend = RealCall<decltype(DwmCalls::extendFrameIntoClientArea)>("DwmExtendFrameIntoClientArea");
    ASSERT_NE(extend, nullptr);
    EXPECT_EQ(SafeDwmExtendFrameIntoClientArea(window.Handle(), &margins), extend(window.Handle(), &margins));

    HTHUMBNAIL mine = nullptr;
    HTHUMBNAIL theirs = nullptr;
    const auto registerThumbnail = RealCall<decltype(DwmCalls::registerThumbnail)>("DwmRegisterThumbnail");
    ASSERT_NE(registerThumbnail, nullptr);
    const int registered = SafeDwmRegisterThumbnail(window.Handle(), ::GetDesktopWindow(), &mine);
    EXPECT_EQ(registered, registerThumbnail(window.Handle(), ::GetDesktopWindow(), &theirs));
    EXPECT_NE(registered, -1);

    DWM_THUMBNAIL_PROPERTIES properties{};
    const auto update = RealCall<decltype(DwmCalls::updateThumbnailProperties)>("DwmUpdateThumbnailProperties");
    const auto unregisterThumbnail = RealCall<decltype(DwmCalls::unregisterThumbnail)>("DwmUnregisterThumbnail");
    ASSERT_NE(update, nullptr);
    ASSERT_NE(unregisterThumbnail, nullptr);
    EXPECT_EQ(SafeDwmUpdateThumbnailProperties(mine, &properties), update(theirs, &properties));
    EXPECT_EQ(SafeDwmUnregisterThumbnail(mine), unregisterThumbnail(theirs));
}

TEST(DwmGate, ProbeUnderWineDefaultAndUnderWindowsXp)
{
    TempFolder folder;
    // A name of its own, so that the version setting touches no other program.
    const std::string xpName = "vk_dwm_probe_xp_" + std::to_string(::GetCurrentProcessId()) + ".exe";
    const std::string xpExe = folder / xpName;
    ASSERT_TRUE(::CopyFileA(FixturePath("vk_dwm_probe.exe").c_str(), xpExe.c_str(), FALSE));

    const Report normal = RunProbe(FixturePath("vk_dwm_probe.exe"), folder / "normal.txt");
    ASSERT_EQ(normal.count("exit"), 1u) << "the probe did not end";
    EXPECT_EQ(At(normal, "exit"), 0);
    EXPECT_EQ(At(normal, "loaded_before"), 0);
    EXPECT_EQ(At(normal, "valid_before"), 0);  // not read before the first use
    EXPECT_EQ(At(normal, "composition"), 0);
    EXPECT_EQ(At(normal, "composition_flag"), FALSE);
    EXPECT_EQ(At(normal, "available"), 1);
    EXPECT_EQ(At(normal, "loaded_after"), 1);

    Report xp;
    {
        WineVersionFor setting(xpName, "winxp");
        ASSERT_TRUE(setting.Ok());
        xp = RunProbe(xpExe, folder / "xp.txt");
    }
    ASSERT_EQ(xp.count("exit"), 1u) << "the probe did not end";
    EXPECT_EQ(At(xp, "exit"), 0);
    EXPECT_EQ(At(xp, "valid"), 1);
    EXPECT_EQ(At(xp, "major"), 5);
    EXPECT_EQ(At(xp, "available"), 0);
    for (const char* wrapper : {"composition", "composition_null", "update", "register", "unregister", "extend"})
        EXPECT_EQ(At(xp, wrapper), -1) << wrapper;
    EXPECT_EQ(At(xp, "composition_flag"), FALSE);
    EXPECT_EQ(At(xp, "register_handle"), 0x5678);  // not written
    EXPECT_EQ(At(xp, "loaded_before"), 0);
    EXPECT_EQ(At(xp, "loaded_after"), 0);  // the window manager's library never came in
}

TEST(DwmGate, ATableInPlaceGetsArgumentsAndGivesResultsUnchanged)
{
    ASSERT_EQ(IsDwmAvailable(), 1);
    ScopedDwmBinding binding({&FakeDwm::IsCompositionEnabled, &FakeDwm::UpdateThumbnailProperties,
                            &FakeDwm::RegisterThumbnail, &FakeDwm::UnregisterThumbnail,
                            &FakeDwm::ExtendFrameIntoClientArea});
    TestWindow window(WS_OVERLAPPEDWINDOW, 0, 10, 10);
    // Success, a failure code, and a positive status pass through alike.
    for (const HRESULT answer : {S_OK, E_FAIL, static_cast<HRESULT>(0x80263001), S_FALSE}) {
        FakeDwm::Reset(answer);
        BOOL flag = FALSE;
        EXPECT_EQ(SafeDwmIsCompositionEnabled(&flag), answer);
        EXPECT_EQ(FakeDwm::flag, &flag);
        EXPECT_TRUE(flag);

        HTHUMBNAIL thumbnail = nullptr;
        EXPECT_EQ(SafeDwmRegisterThumbnail(window.Handle(), ::GetDesktopWindow(), &thumbnail), answer);
        EXPECT_EQ(FakeDwm::window, window.Handle());
        EXPECT_EQ(FakeDwm::source, ::GetDesktopWindow());
        EXPECT_EQ(thumbnail, reinterpret_cast<HTHUMBNAIL>(0x4242));

        DWM_THUMBNAIL_PROPERTIES properties{};
        EXPECT_EQ(SafeDwmUpdateThumbnailProperties(thumbnail, &properties), answer);
        EXPECT_EQ(FakeDwm::thumbnail, thumbnail);
        EXPECT_EQ(FakeDwm::argument, &properties);

        EXPECT_EQ(SafeDwmUnregisterThumbnail(reinterpret_cast<HTHUMBNAIL>(0x77)), answer);
        EXPECT_EQ(FakeDwm::thumbnail, reinterpret_cast<HTHUMBNAIL>(0x77));

        const MARGINS margins{5, 5, 60, 22};
        EXPECT_EQ(SafeDwmExtendFrameIntoClientArea(window.Handle(), &margins), answer);
        EXPECT_EQ(FakeDwm::argument, &margins);
        EXPECT_EQ(FakeDwm::calls, 5);
    }
}

TEST(DwmGate, AMissingCallCountsAsNoWindowManager)
{
    ASSERT_EQ(IsDwmAvailable(), 1);
    ScopedDwmBinding binding(DwmCalls{});
    BOOL flag = TRUE;
    EXPECT_EQ(SafeDwmIsCompositionEnabled(&flag), -1);
    EXPECT_FALSE(flag);
    HTHUMBNAIL thumbnail = reinterpret_cast<HTHUMBNAIL>(0x99);
    EXPECT_EQ(SafeDwmRegisterThumbnail(::GetDesktopWindow(), ::GetDesktopWindow(), &thumbnail), -1);
    EXPECT_EQ(thumbnail, reinterpret_cast<HTHUMBNAIL>(0x99));
    EXPECT_EQ(SafeDwmUpdateThumbnailProperties(thumbnail, nullptr), -1);
    EXPECT_EQ(SafeDwmUnregisterThumbnail(thumbnail), -1);
    EXPECT_EQ(SafeDwmExtendFrameIntoClientArea(::GetDesktopWindow(), nullptr), -1);
}

TEST(ChildRect, ChildAtTheClientOriginStartsAtZeroWhateverTheParentsFrame)
{
    struct Case {
        DWORD style;
        DWORD exStyle;
        int x, y;
    };
    const Case parents[] = {
        {WS_OVERLAPPEDWINDOW, 0, 0, 0},
        {WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE, 137, 211},
        {WS_POPUP | WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW, 400, 35},
        {WS_POPUP | WS_BORDER, 0, 60, 500},
        {WS_POPUP, 0, -40, -30},
    };
    for (const Case& p : parents) {
        TestWindow parent(p.style | WS_VISIBLE, p.exStyle, p.x, p.y);
        TestWindow child(WS_CHILD | WS_VISIBLE, 0, 0, 0, parent.Handle(), 90, 40);
        // A child with a border of its own, placed away from the origin.
        TestWindow framed(WS_CHILD | WS_VISIBLE | WS_BORDER, WS_EX_CLIENTEDGE, 15, 25, parent.Handle(), 50, 30);
        RECT rect{-1, -1, -1, -1};
        GetChildRectInParent(parent.Wnd(), child.Wnd(), &rect);
        EXPECT_EQ(rect.left, 0) << p.x;
        EXPECT_EQ(rect.top, 0) << p.x;
        EXPECT_EQ(rect.right, 90) << p.x;
        EXPECT_EQ(rect.bottom, 40) << p.x;

        GetChildRectInParent(parent.Wnd(), framed.Wnd(), &rect);
        EXPECT_EQ(rect.left, 15) << p.x;
        EXPECT_EQ(rect.top, 25) << p.x;
        EXPECT_EQ(rect.right, 65) << p.x;
        EXPECT_EQ(rect.bottom, 55) << p.x;

        // Moving the child to the rectangle leaves it where it was.
        framed.Wnd()->MoveWindow(rect);
        RECT again{};
        GetChildRectInParent(parent.Wnd(), framed.Wnd(), &again);
        EXPECT_TRUE(::EqualRect(&rect, &again)) << p.x;
    }
}
