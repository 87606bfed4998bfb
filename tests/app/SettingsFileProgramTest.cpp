// The settings file as the running program meets it: a file it did not
// write, and values set in its settings dialog that must come back whole
// at the next start.
#include "AppTest.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

const char kSettingsCaption[] = "起動プログラム設定";

// A click on a row of the launcher's list, as the mouse gives it; true
// once the row is the selection mark.
bool SelectRow(HWND list, int row)
{
    const LPARAM point = RowPoint(list, row);
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::PostMessageA(list, WM_LBUTTONUP, 0, point);
    return WaitFor([&] { return ::SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) == row; });
}

// Text put into a control of another process.
void Type(HWND control, const std::string& text)
{
    ::SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 5000, nullptr);
}

}  // namespace

TEST(SettingsFileInTheProgram, SectionsNumberedFarApartDoNotHoldUpTheStart)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    ASSERT_TRUE(WriteBytes(medium.Path("\\Tools\\Vellokari.ini"),
                           "[SYSTEM]\r\nLAUNCHER=2147483647\r\n[RUNITEM0]\r\nPROGRAMNAME=first\r\n"
                           "[RUNITEM2147483646]\r\nPROGRAMNAME=last\r\n"));
    ASSERT_TRUE(program.Start());
    // It shows as soon as with any small file (every other start in these tests waits 20 s at most).
    const HWND main = program.WaitMainWindow(10000);
    ASSERT_NE(main, nullptr) << "the load still steps through the missing sections";
    const HWND list = ::GetDlgItem(PanelWith(main, ID_LAUNCHER_LIST), ID_LAUNCHER_LIST);
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_TRUE(program.Close());
}

TEST(SettingsFileInTheProgram, QuotedAndLongValuesFromTheDialogComeBackAfterARestart)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    const std::string ini = medium.Path("\\Tools\\Vellokari.ini");
    ASSERT_TRUE(WriteBytes(ini, SettingsText("", {RecorderItem(medium, "first", 0), RecorderItem(medium, "second", 0)})));
    const std::string record = medium.Path("\\record.txt");
    ScopedEnv recordFile("VK_RECORD_FILE", record);

    // A path in quotes, as a program with a blank in its file's path needs
    // it; a name and arguments longer than 259 bytes.
    const std::string quoted = "\"%letter%\\a b\\c.txt\"";
    const std::string longName(300, 'n');
    const std::string longArg = "long-" + std::string(400, 'x');
    StoredItem first = RecorderItem(medium, "", 0);
    first.arg = "\"" + quoted + "\"";  // inside one more pair in the file
    StoredItem second = RecorderItem(medium, longArg, 0);
    second.name = longName;

    ASSERT_TRUE(program.Start());
    HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    HWND panel = PanelWith(main, ID_LAUNCHER_LIST);
    HWND list = ::GetDlgItem(panel, ID_LAUNCHER_LIST);
    const struct {
        int row;
        std::string name;  // empty: left as it is
        std::string arg;
    } edits[] = {{0, "", quoted}, {1, longName, longArg}};
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.row);
        ASSERT_TRUE(SelectRow(list, edit.row));
        ClickButton(panel, 1018);
        const HWND dialog = program.WaitDialog(kSettingsCaption);
        ASSERT_NE(dialog, nullptr);
        if (!edit.name.empty())
            Type(::GetDlgItem(dialog, 1018), edit.name);
        Type(::GetDlgItem(dialog, 1011), edit.arg);
        ClickButton(dialog, IDOK);
        ASSERT_TRUE(WaitFor([&] { return program.FindDialog(kSettingsCaption) == nullptr && program.Idle(); }, 20000));
    }
    EXPECT_EQ(ReadBytes(ini), SettingsText("", {first, second}));
    ASSERT_TRUE(program.Close());

    // The next start: the started program gets the whole path and the
    // whole arguments, and the dialog shows the whole name.
    ASSERT_TRUE(program.Start());
    main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    panel = PanelWith(main, ID_LAUNCHER_LIST);
    list = ::GetDlgItem(panel, ID_LAUNCHER_LIST);
    const std::string exe = "\"" + medium.Path("\\apps\\vk_recorder.exe") + "\" ";
    const std::string expected[] = {"CMD=" + exe + "\"" + medium.Drive() + "\\a b\\c.txt\"\n",
                                    "CMD=" + exe + longArg + "\n"};
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        ASSERT_TRUE(SelectRow(list, row));
        ClickButton(panel, 1003);
        EXPECT_TRUE(WaitFor([&] { return ReadBytes(record).find(expected[row]) != std::string::npos; }, 20000))
            << ReadBytes(record);
    }
    ClickButton(panel, 1018);
    const HWND dialog = program.WaitDialog(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 1018)), longName);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 1011)), longArg);
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return program.FindDialog(kSettingsCaption) == nullptr; }, 20000));
    EXPECT_EQ(ReadBytes(ini), SettingsText("", {first, second}));
    EXPECT_TRUE(program.Close());
}
