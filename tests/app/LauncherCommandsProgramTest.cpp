// The launcher's commands in the running program: an item added through the
// real settings dialog and the system's file dialog, started by a double
// click, moved and deleted, with the settings file read after each step.
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

// A button's click as its dialog receives it, posted: the dialog need not
// be the active window for it, as a mouse click through the button needs.
void Command(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Text typed into a control of another process.
void Type(HWND control, const std::string& text)
{
    ::SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 5000, nullptr);
}

StoredItem Named(StoredItem item, const char* name)
{
    item.name = name;
    return item;
}

}  // namespace

TEST(LauncherCommandsInTheProgram, AddStartMoveAndDeleteAnItem)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    const std::string ini = medium.Path("\\Tools\\Vellokari.ini");
    const StoredItem first = Named(RecorderItem(medium, "first", 0), "first");
    const StoredItem second = Named(RecorderItem(medium, "second", 0), "second");
    ASSERT_TRUE(WriteBytes(ini, SettingsText("", {first, second})));
    const std::string record = medium.Path("\\record.txt");
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    ASSERT_TRUE(program.Start());
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    const HWND panel = PanelWith(main, ID_LAUNCHER_LIST);
    ASSERT_NE(panel, nullptr);
    const HWND list = ::GetDlgItem(panel, ID_LAUNCHER_LIST);

    // Add: the settings dialog, its browse button, the file dialog.
    Command(panel, 1016);
    const HWND dialog = program.WaitDialog(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    Command(dialog, 1012);
    const HWND open = program.WaitDialog("Open");
    ASSERT_NE(open, nullptr) << "the file dialog";
    Type(::GetDlgItem(open, 0x47c), medium.Path("\\apps\\vk_recorder.exe"));
    Command(open, IDOK);
    ASSERT_TRUE(WaitFor([&] { return WindowText(::GetDlgItem(dialog, 1009)) == "\\apps\\vk_recorder.exe"; }, 20000));
    Type(::GetDlgItem(dialog, 1018), "added");
    Type(::GetDlgItem(dialog, 1011), "added");
    Command(dialog, IDOK);
    StoredItem added = RecorderItem(medium, "added", 0);
    added.name = "added";
    // The program answers the list only between its handlers, so the row
    // counted means the save is done (the file is not read while it is
    // replaced: a reader there would make the replace fail).
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 20000));
    EXPECT_EQ(ReadBytes(ini), SettingsText("", {first, second, added}));

    // A click on its row, then a double click: it starts; nothing is saved.
    const LPARAM row = RowPoint(list, 2);
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, row);
    ::PostMessageA(list, WM_LBUTTONUP, 0, row);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) == 2; }));
    ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, row);
    ::PostMessageA(list, WM_LBUTTONUP, 0, row);
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(record).find("\\apps\\vk_recorder.exe\" added\n") != std::string::npos; }, 20000))
        << ReadBytes(record);
    EXPECT_EQ(ReadBytes(ini), SettingsText("", {first, second, added}));

    // Up: it moves above "second", and stays selected.
    Command(panel, 1034);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) == 1; }, 20000));
    EXPECT_EQ(ReadBytes(ini), SettingsText("", {first, added, second}));

    // Delete: the question, Yes, and it is gone.
    Command(panel, 1017);
    const HWND box = program.WaitDialog("Vellokari");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "削除しますか？");
    Command(box, IDYES);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 2; }, 20000));
    EXPECT_EQ(ReadBytes(ini), SettingsText("", {first, second}));
    EXPECT_TRUE(program.Close());
}
