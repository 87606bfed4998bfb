// The real program on a drive that is really removed, the system's
// volume-removal broadcast, and the registered messages from other programs.
#include "AppTest.h"
#include "MountManager.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const char kNoticeCaption[] = "終了します。";
const char kStartedTitle[] = "vk started from the medium";

DWORD Bit(char letter)
{
    return 1u << (letter - 'A');
}

// Closes the windows that recording helpers started for a test left open.
void CloseStarted()
{
    while (const HWND window = ::FindWindowA(nullptr, kStartedTitle)) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(window); });
    }
}

}  // namespace

TEST(MediumRemoval, OnlyTheProgramsOwnVolumeClosesIt)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
    ASSERT_EQ(::GetDriveTypeA((medium.Drive() + "\\").c_str()), static_cast<UINT>(DRIVE_REMOVABLE));
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    const std::string record = medium.Path("\\record.txt");
    ASSERT_TRUE(WriteBytes(medium.Path("\\Vellokari.ini"),
                           SettingsText("", {RecorderItem(medium, "auto", 1), RecorderItem(medium, "gate", 2, 4)})));
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    ScopedEnv window("VK_RECORD_WINDOW", kStartedTitle);
    ASSERT_TRUE(program.Start());
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([] { return ::FindWindowA(nullptr, kStartedTitle) != nullptr; }));
    const HWND started = ::FindWindowA(nullptr, kStartedTitle);

    // Another drive, a mask whose lowest letter is another drive, and an empty mask change nothing.
    const char other = medium.Letter() == 'Y' ? 'X' : static_cast<char>(medium.Letter() + 1);
    EXPECT_TRUE(BroadcastVolumeRemoval(Bit(other)));
    EXPECT_TRUE(BroadcastVolumeRemoval(Bit('C') | Bit(medium.Letter())));
    EXPECT_TRUE(BroadcastVolumeRemoval(0));
    // The gate opens after them in the same queue: once its item started, they were all handled.
    ASSERT_TRUE(OpenGate(main, 4));
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(record).find(" gate\n") != std::string::npos; }));
    EXPECT_EQ(program.FindDialog(kNoticeCaption), nullptr);
    EXPECT_TRUE(program.IsRunning());

    // The medium goes: the notice shows, closes itself, and the program ends.
    ASSERT_TRUE(RemoveDrive(medium.Letter()));
    ASSERT_TRUE(WaitFor([&] { return !FileExists(medium.Drive() + "\\"); }));
    EXPECT_TRUE(BroadcastVolumeRemoval(Bit(medium.Letter())));
    const HWND notice = program.WaitDialog(kNoticeCaption);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(::GetWindow(notice, GW_OWNER), main);
    SaveScreen("closing-notice");
    EXPECT_TRUE(program.WaitExit(15000));
    // What was started from the medium runs on.
    EXPECT_TRUE(::IsWindow(started));
    CloseStarted();
}

TEST(MediumRemoval, ClosingMessageFromAnotherProgramClosesItTheSameWay)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    ASSERT_TRUE(program.Start());
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(::PostMessageA(main, ::RegisterWindowMessageA("VELLOKARITERM"), 0, 0));
    const HWND notice = program.WaitDialog(kNoticeCaption);
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(program.IsRunning());
    EXPECT_TRUE(program.WaitExit(15000));
}
