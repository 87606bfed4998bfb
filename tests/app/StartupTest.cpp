// The real program started from test media: one copy per drive, the
// switches, the places it takes from its own path, and what it writes at start.
#include "AppTest.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

bool IsPlainFolder(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(Startup, OneCopyPerDriveWithItsTitleAndSkypeFolders)
{
    TestMedium medium;
    TestMedium other;
    ASSERT_TRUE(medium.IsReady() && other.IsReady());
    ProgramUnderTest first(medium.Path("\\Tools\\Vellokari.exe"));
    ASSERT_TRUE(first.IsInstalled());
    ASSERT_TRUE(first.Start());
    const HWND main = first.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), "Vellokari [" + medium.Drive() + "ドライブから起動]");
    for (const char* folder : {"\\Tools\\skype", "\\Tools\\skype\\bin", "\\Tools\\skype\\data"})
        EXPECT_TRUE(IsPlainFolder(medium.Path(folder))) << folder;

    // A second start from the same drive is refused with the box, and ends once it is answered.
    ProgramUnderTest second(first.ExePath(), false);
    ASSERT_TRUE(second.Start());
    const HWND box = second.WaitDialog("２重起動");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "     既に起動されています.     ");
    SaveScreen("double-start", box);
    EXPECT_EQ(second.WaitMainWindow(0), nullptr);
    ClickButton(box, IDOK);
    EXPECT_TRUE(second.WaitExit());
    EXPECT_TRUE(first.IsRunning());

    // Another medium, and a start by a relative path, run alongside.
    ProgramUnderTest elsewhere(other.Path("\\Vellokari.exe"));
    ASSERT_TRUE(elsewhere.Start());
    EXPECT_NE(elsewhere.WaitMainWindow(), nullptr);
    ProgramUnderTest relative(first.ExePath(), false);
    ASSERT_TRUE(relative.Start("", "", first.Folder().c_str(), "Vellokari.exe"));
    const HWND relativeMain = relative.WaitMainWindow();
    ASSERT_NE(relativeMain, nullptr);
    // Its places still come from its own path.
    EXPECT_EQ(WindowText(relativeMain), WindowText(main));

    EXPECT_TRUE(relative.Close());
    EXPECT_TRUE(elsewhere.Close());
    EXPECT_TRUE(first.Close());
}

TEST(Startup, SwitchesMatchExactlyAndArgumentLinesReachTheStartersOutput)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    ASSERT_TRUE(WriteBytes(medium.Path("\\Vellokari.ini"),
                           SettingsText("", {RecorderItem(medium, "auto", 1), RecorderItem(medium, "gate", 2, 3)})));
    const std::string record = medium.Path("\\record.txt");
    const std::string output = medium.Path("\\output.txt");
    ScopedEnv env("VK_RECORD_FILE", record);

    struct Case {
        const char* args;
        bool autoStarts;
    };
    for (const Case& c : {Case{"-nostart -NOSTARTX -D742=1 -D74", true}, Case{"-NOSTART", false},
                          Case{"x -NOSTART -NOSTART", false}}) {
        SCOPED_TRACE(c.args);
        ::DeleteFileA(record.c_str());
        ASSERT_TRUE(program.Start(c.args, output));
        const HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        // The gate item starts in every case; by then an automatic one had its tick long ago.
        ASSERT_TRUE(OpenGate(main, 3));
        ASSERT_TRUE(WaitFor([&] { return ReadBytes(record).find("gate") != std::string::npos; }));
        // Both may start in the same tick: the automatic one's record can
        // come a little after the gate one's.
        if (c.autoStarts)
            EXPECT_TRUE(WaitFor([&] { return ReadBytes(record).find("auto") != std::string::npos; }));
        else
            EXPECT_EQ(ReadBytes(record).find("auto"), std::string::npos);
        ASSERT_TRUE(program.Close());

        // Only the argument lines reach the output; the rest went to the null device.
        const std::string text = ReadBytes(output);
        std::string expected;
        int i = 0;
        std::string args = c.args;
        for (std::size_t start = 0; start <= args.size();) {
            std::size_t end = args.find(' ', start);
            if (end == std::string::npos)
                end = args.size();
            expected += std::to_string(++i) + "番目の引数=" + args.substr(start, end - start);
            expected += c.autoStarts ? "\r\n" : "\r\n";
            if (args.substr(start, end - start) == "-NOSTART")
                expected += "NOSTART ON\r\n";
            start = end + 1;
        }
        EXPECT_EQ(text, expected);
    }
}

TEST(Startup, DebugSwitchGivesAConsoleThatCtrlCDoesNotEnd)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    ASSERT_TRUE(program.Start("-D742"));
    ASSERT_NE(program.WaitMainWindow(), nullptr);

    // Joined to the program's console, this test hears the Ctrl+C as the program does.
    static volatile LONG heard = 0;
    ::FreeConsole();
    ASSERT_TRUE(::AttachConsole(program.Id())) << ::GetLastError();
    ::SetConsoleCtrlHandler(
        [](DWORD) -> BOOL {
            ::InterlockedIncrement(&heard);
            return TRUE;
        },
        TRUE);
    ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    EXPECT_TRUE(WaitFor([] { return heard > 0; }));
    ::FreeConsole();
    // Bounded: an ended program would be gone well within this.
    EXPECT_FALSE(program.WaitExit(2000));
    EXPECT_TRUE(program.Close());
}

TEST(Startup, StartSequenceWithASettingsFileBesideTheProgram)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    // A folder whose name ends in the byte 0x5C of a double-byte character.
    const std::string folder = "\\表";
    ProgramUnderTest program(medium.Path(folder + "\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    const std::string ini = medium.Path(folder + "\\Vellokari.ini");
    const StoredItem other = RecorderItem(medium, "other", 0);

    // A recorded version and a first item that is not Skype: Skype goes on top, the file is rewritten.
    ASSERT_TRUE(WriteBytes(ini, SettingsText("Ver.:1.0", {other})));
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    EXPECT_EQ(ReadBytes(ini), SettingsText("Ver.:1.0", {SkypeItem(folder), other}));
    ASSERT_TRUE(program.Close());

    // No version: no Skype item, and the file's bytes and time stay.
    const std::string unchanged = SettingsText("", {other});
    ASSERT_TRUE(WriteBytes(ini, unchanged));
    WIN32_FILE_ATTRIBUTE_DATA before{};
    ASSERT_TRUE(::GetFileAttributesExA(ini.c_str(), GetFileExInfoStandard, &before));
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    WIN32_FILE_ATTRIBUTE_DATA after{};
    ASSERT_TRUE(::GetFileAttributesExA(ini.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(ReadBytes(ini), unchanged);
    EXPECT_EQ(::CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime), 0);
    ASSERT_TRUE(program.Close());

    // No settings file: nothing is written at start.
    ::DeleteFileA(ini.c_str());
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    EXPECT_FALSE(FileExists(ini));
    EXPECT_TRUE(program.Close());
}
