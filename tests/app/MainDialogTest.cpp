// The real program's main dialog from outside: its two layouts, the colours
// of its version labels on the screen, the about entry, the home-page link
// and a window registered from the window list.
#include "AppTest.h"
#include "HttpsHandler.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

namespace {

const unsigned kGreen = 0x00FF00;
const unsigned kLightYellow = 0xFFFFB4;

struct Geometry {
    RECT window, client, launcher, list, button;
};

Geometry Measure(HWND main)
{
    Geometry g{};
    ::GetWindowRect(main, &g.window);
    ::GetClientRect(main, &g.client);
    g.launcher = ChildRect(main, PanelWith(main, ID_LAUNCHER_LIST));
    g.list = ChildRect(main, PanelWith(main, 1028));
    g.button = ChildRect(main, ::GetDlgItem(main, ID_EXTENT));
    return g;
}

bool Same(const RECT& a, const RECT& b)
{
    return ::EqualRect(&a, &b) != FALSE;
}

// Clicks button 1031 and waits for its new caption.
bool ClickExtent(const ProgramUnderTest& program, const char* caption)
{
    ClickButton(program.MainWindow(), ID_EXTENT);
    return WaitFor([&] { return program.ItemText(ID_EXTENT) == caption; });
}

// A point just inside a label's edge, above its centred text whatever the face: its background.
unsigned LabelBackground(HWND label)
{
    RECT rect{};
    ::GetWindowRect(label, &rect);
    return ScreenPixel(rect.left + 2, rect.top + 2);
}

}  // namespace

TEST(MainDialog, CollapsedAtStartAndBackExactlyAfterTwoClicks)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
    ASSERT_TRUE(program.Start());
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ChildProcess tool;
    const std::string exe = medium.Put(FixturePath("vk_windows.exe"), "\\apps\\tool.exe");
    ASSERT_TRUE(tool.Start("\"" + exe + "\" t=vk-tool-window,x=900,y=700"));

    const Geometry start = Measure(main);
    EXPECT_EQ(start.button.top, start.launcher.bottom + 2);
    EXPECT_EQ(start.client.bottom, start.button.bottom + 2);
    // The list panel: the launcher's size, 40 pixels under it, out of view but alive.
    EXPECT_EQ(start.list.top, start.launcher.bottom + 40);
    EXPECT_EQ(start.list.left, start.launcher.left);
    EXPECT_EQ(start.list.right - start.list.left, start.launcher.right - start.launcher.left);
    EXPECT_EQ(start.list.bottom - start.list.top, start.launcher.bottom - start.launcher.top);
    EXPECT_GE(start.list.top, start.client.bottom);
    EXPECT_TRUE(::IsWindowVisible(PanelWith(main, 1028)));
    SaveScreen("main-collapsed", main);

    ASSERT_TRUE(ClickExtent(program, "Extent ↑"));
    const Geometry expanded = Measure(main);
    EXPECT_EQ(expanded.list.top, start.launcher.bottom);
    EXPECT_EQ(expanded.list.left, start.list.left);
    EXPECT_EQ(expanded.button.top, expanded.list.bottom + 2);
    EXPECT_EQ(expanded.client.bottom, expanded.button.bottom + 2);
    EXPECT_EQ(expanded.window.top, start.window.top);

    // The fixture's window is listed (the list refreshes every 3000 ms); registered, it becomes a manual item.
    const HWND list = ::GetDlgItem(PanelWith(main, 1028), 1028);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    const HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT head{};
    ::GetWindowRect(header, &head);
    const LPARAM row = MAKELPARAM(30, head.bottom - head.top + 4);
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, row);
    ::PostMessageA(list, WM_LBUTTONUP, 0, row);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) == 0; }));
    ::UpdateWindow(list);
    SaveScreen("main-expanded", main);
    ClickButton(PanelWith(main, 1028), 1029);
    const std::string ini = medium.Path("\\Tools\\Vellokari.ini");
    EXPECT_TRUE(WaitFor([&] {
        return ReadBytes(ini) == SettingsText("", {StoredItem{"tool.exe", "\\apps\\tool.exe", "", "", 0, 0, 0}});
    })) << ReadBytes(ini);

    ASSERT_TRUE(ClickExtent(program, "Extent ↓"));
    const Geometry again = Measure(main);
    EXPECT_TRUE(Same(again.window, start.window));
    EXPECT_TRUE(Same(again.client, start.client));
    EXPECT_TRUE(Same(again.launcher, start.launcher));
    EXPECT_TRUE(Same(again.list, start.list));
    EXPECT_TRUE(Same(again.button, start.button));
    EXPECT_TRUE(program.Close());
}

TEST(MainDialog, LabelsGreenWhenTheVersionsAreEqualElseLightYellow)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    FixedDiskSkype skype;
    // A recorded version counts only with a copy on the medium.
    medium.Put(FixturePath("vk_recorder.exe"), "\\skype\\bin\\Skype.exe");
    struct Case {
        const char* recorded;
        bool fixed;
        unsigned colour;
        const char* shot;
    };
    for (const Case& c : {Case{"", false, kGreen, nullptr}, Case{kStandInVersion, true, kGreen, "labels-equal"},
                          Case{"ver.:4.2.0.169", true, kLightYellow, nullptr},
                          Case{"Ver.:4.2.0.168", true, kLightYellow, "labels-differ"},
                          Case{kStandInVersion, false, kLightYellow, nullptr}}) {
        SCOPED_TRACE(std::string(c.recorded) + (c.fixed ? " with" : " without") + " Skype on the fixed disk");
        std::unique_ptr<SkypeKey> key;
        if (c.fixed)
            key = std::make_unique<SkypeKey>(HKEY_LOCAL_MACHINE, skype.Path().c_str());
        ASSERT_TRUE(WriteBytes(medium.Path("\\Vellokari.ini"), SettingsText(c.recorded, {})));
        ASSERT_TRUE(program.Start());
        const HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        for (int id : {ID_LABEL_MEDIUM, ID_LABEL_FIX}) {
            const HWND label = program.Item(id);
            EXPECT_TRUE(WaitFor([&] { return LabelBackground(label) == c.colour; })) << id << " " << std::hex
                                                                                     << LabelBackground(label);
        }
        if (c.shot != nullptr)
            SaveScreen(c.shot, main);
        ASSERT_TRUE(program.Close());
    }
}

TEST(MainDialog, AboutEntryAndHomePageLink)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    const std::string record = medium.Path("\\record.txt");
    const std::string recorder = medium.Put(FixturePath("vk_recorder.exe"), "\\browser\\vk_recorder.exe");
    HttpsHandler handler("\"" + recorder + "\" \"%1\"");
    ASSERT_TRUE(handler.Ok());
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    ASSERT_TRUE(program.Start());
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);

    // The about entry's command opens the about box, owned by the main dialog.
    ::PostMessageA(main, WM_SYSCOMMAND, 0x10, 0);
    const HWND about = program.WaitDialog("Vellokariのﾊﾞｰｼﾞｮﾝ情報");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(::GetWindow(about, GW_OWNER), main);
    ClickButton(about, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); }));

    // A click on the link hands the address to the shell, which starts the protocol's program.
    const HWND link = program.Item(ID_HOMEPAGE);
    ::PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(record).find("https://www.morrowglint.example/") != std::string::npos; }))
        << ReadBytes(record);
    EXPECT_TRUE(program.Close());
}
