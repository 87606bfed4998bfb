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

#include <ostream>
#include <string>
#include <vector>

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

// The recording helper as an item named by its tag.
StoredItem NamedRecorder(const TestMedium& medium, const char* tag, int kind = 0, int gate = 0)
{
    return Named(RecorderItem(medium, tag, kind, gate), tag);
}

// A click on a row of the list, as the user selects it.
bool SelectRow(HWND list, int row)
{
    const LPARAM point = RowPoint(list, row);
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::PostMessageA(list, WM_LBUTTONUP, 0, point);
    return WaitFor([&] { return ::SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) == row; });
}

// A double click on a row, as the user starts its item.
void DoubleClickRow(HWND list, int row)
{
    const LPARAM point = RowPoint(list, row);
    ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    ::PostMessageA(list, WM_LBUTTONUP, 0, point);
}

int ColumnWidth(HWND list)
{
    DWORD_PTR width = 0;
    ::SendMessageTimeoutA(list, LVM_GETCOLUMNWIDTH, 2, 0, SMTO_BLOCK, 2000, &width);
    return static_cast<int>(width);
}

// Waits until the program's thread has handled what was posted to it so
// far: a width posted to a column of its list shows once it is handled,
// inside whatever loop the thread runs then.
bool Settle(HWND list)
{
    const int width = ColumnWidth(list) == 61 ? 60 : 61;
    ::PostMessageA(list, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(width, 0));
    return WaitFor([&] { return ColumnWidth(list) == width; });
}

// The program's windows that show besides the main dialog: boxes and dialogs.
std::vector<std::string> Shown(const ProgramUnderTest& program)
{
    std::vector<std::string> shown;
    for (HWND hwnd : ProcessWindows(program.Id())) {
        if (hwnd != program.MainWindow() && ::IsWindowVisible(hwnd))
            shown.push_back(WindowText(hwnd) + " " + MessageBoxText(hwnd));
    }
    return shown;
}

// Answers the program's boxes from the innermost out as the user would: Yes
// to each delete question, No to anything else.
void AnswerBoxes(const ProgramUnderTest& program)
{
    for (int round = 0; round < 10 && program.IsRunning(); ++round) {
        HWND open = nullptr;
        for (HWND hwnd : ProcessWindows(program.Id())) {
            if (::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd) && WindowText(hwnd) == "Vellokari")
                open = hwnd;
        }
        if (open == nullptr)
            return;
        ClickButton(open, MessageBoxText(open) == "削除しますか？" ? IDYES : IDNO);
        WaitFor([&] { return !::IsWindow(open); });
    }
}

// How often the recorder was started with this argument.
int Starts(const std::string& record, const std::string& arg)
{
    const std::string records = ReadBytes(record);
    const std::string line = "\\apps\\vk_recorder.exe\" " + arg + "\n";
    int count = 0;
    for (std::size_t pos = records.find(line); pos != std::string::npos; pos = records.find(line, pos + 1))
        ++count;
    return count;
}

}  // namespace

TEST(LauncherCommandsInTheProgram, AddStartMoveAndDeleteAnItem)
{
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    const StoredItem first = NamedRecorder(on.medium, "first");
    const StoredItem second = NamedRecorder(on.medium, "second");
    ASSERT_TRUE(WriteBytes(on.ini, SettingsText("", {first, second})));
    const std::string record = on.medium.Path("\\record.txt");
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    ASSERT_TRUE(on.StartWithLauncher());

    // Add: the settings dialog, its browse button, the file dialog.
    Command(on.panel, 1016);
    const HWND dialog = on.program.WaitDialog(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    Command(dialog, 1012);
    const HWND open = on.program.WaitDialog("Open");
    ASSERT_NE(open, nullptr) << "the file dialog";
    Type(::GetDlgItem(open, 0x47c), on.medium.Path("\\apps\\vk_recorder.exe"));
    Command(open, IDOK);
    ASSERT_TRUE(WaitFor([&] { return WindowText(::GetDlgItem(dialog, 1009)) == "\\apps\\vk_recorder.exe"; }, 20000));
    Type(::GetDlgItem(dialog, 1018), "added");
    Type(::GetDlgItem(dialog, 1011), "added");
    Command(dialog, IDOK);
    const StoredItem added = NamedRecorder(on.medium, "added");
    // The program answers the list only between its handlers, so the row
    // counted means the save is done (the file is not read while it is
    // replaced: a reader there would make the replace fail).
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(on.list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 20000));
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {first, second, added}));

    // A click on its row, then a double click: it starts; nothing is saved.
    ASSERT_TRUE(SelectRow(on.list, 2));
    DoubleClickRow(on.list, 2);
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(record).find("\\apps\\vk_recorder.exe\" added\n") != std::string::npos; }, 20000))
        << ReadBytes(record);
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {first, second, added}));

    // Up: it moves above "second", and stays selected.
    Command(on.panel, 1034);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(on.list, LVM_GETSELECTIONMARK, 0, 0) == 1; }, 20000));
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {first, added, second}));

    // Delete: the question, Yes, and it is gone.
    Command(on.panel, 1017);
    const HWND box = on.program.WaitDialog("Vellokari");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "削除しますか？");
    Command(box, IDYES);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(on.list, LVM_GETITEMCOUNT, 0, 0) == 2; }, 20000));
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {first, second}));
    EXPECT_TRUE(on.program.Close());
}

TEST(LauncherCommandsInTheProgram, CommandsPostedWhileTheDeleteQuestionWaitsAreIgnored)
{
    // Another program posts commands while the question waits. With two
    // items, every command of the program; with one, Delete once more (it
    // used to open a second question, delete the item twice and abort).
    struct Case {
        int items;
        bool everyCommand;
    };
    for (const Case c : {Case{1, false}, Case{2, true}}) {
        SCOPED_TRACE(std::to_string(c.items) + " items");
        ProgramOnMedium on;
        ASSERT_TRUE(on.IsReady());
        const StoredItem first = NamedRecorder(on.medium, "first");
        const StoredItem second = NamedRecorder(on.medium, "second");
        const std::vector<StoredItem> items =
            c.items == 2 ? std::vector<StoredItem>{first, second} : std::vector<StoredItem>{first};
        ASSERT_TRUE(WriteBytes(on.ini, SettingsText("", items)));
        const std::string record = on.medium.Path("\\record.txt");
        ScopedEnv recordFile("VK_RECORD_FILE", record);
        ASSERT_TRUE(on.StartWithLauncher());
        const HWND windows = PanelWith(on.main, 1028);
        ASSERT_NE(windows, nullptr);
        const int row = c.items - 1;
        ASSERT_TRUE(SelectRow(on.list, row));

        Command(on.panel, 1017);
        const HWND box = on.program.WaitDialog("Vellokari");
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(MessageBoxText(box), "削除しますか？");
        Command(on.panel, 1017);
        if (c.everyCommand) {
            for (int id : {1034, 1035, 1003, 1016, 1018})  // up, down, start, add, change
                Command(on.panel, id);
            DoubleClickRow(on.list, row);  // start
            for (int id : {int(ID_SKYPE_IMPORT), 1003, 1038})  // Skype, Autorun.inf made and edited
                Command(on.main, id);
            for (int id : {1029, 1030, 1032})  // the window list's register, to front, close
                Command(windows, id);
            ::PostMessageA(on.main, WM_SYSCOMMAND, 0x0010, 0);  // the system menu's about entry
        }
        ASSERT_TRUE(Settle(on.list));
        EXPECT_EQ(Shown(on.program), std::vector<std::string>{"Vellokari 削除しますか？"});

        // Yes deletes the row asked about, and only that.
        AnswerBoxes(on.program);
        ASSERT_TRUE(on.program.IsRunning()) << std::hex << on.program.ExitCode();
        ASSERT_TRUE(on.program.Idle());
        EXPECT_EQ(ReadBytes(on.ini), SettingsText("", c.items == 2 ? std::vector<StoredItem>{first}
                                                                    : std::vector<StoredItem>{}));
        EXPECT_EQ(ReadBytes(record), "");
        EXPECT_TRUE(on.program.Close());
    }
}

TEST(LauncherCommandsInTheProgram, ChangeLeavesTheRunStateThatTheDialogsTimeBrought)
{
    // "auto" starts 4 s after the program, "gate" 3 s after a gate open of
    // kind 3, "clock" 4 s after one of kind 4: the last one's start comes
    // after any countdown that the others may have been given back.
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    StoredItem automatic = NamedRecorder(on.medium, "auto", 1);
    automatic.delay = 40;
    StoredItem gate = NamedRecorder(on.medium, "gate", 2, 3);
    gate.delay = 30;
    StoredItem clock = NamedRecorder(on.medium, "clock", 2, 4);
    clock.delay = 40;
    ASSERT_TRUE(WriteBytes(on.ini, SettingsText("", {automatic, gate, clock})));
    const std::string record = on.medium.Path("\\record.txt");
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    ASSERT_TRUE(on.StartWithLauncher());

    // The item starts while its dialog is open; OK, unchanged, starts it no second time.
    ASSERT_TRUE(SelectRow(on.list, 0));
    Command(on.panel, 1018);
    HWND dialog = on.program.WaitDialog(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(Starts(record, "auto"), 0) << "the dialog came after the countdown";
    ASSERT_TRUE(WaitFor([&] { return Starts(record, "auto") == 1; }));
    Command(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));

    // A gate opens while the dialog is open; OK, unchanged, keeps its countdown.
    ASSERT_TRUE(SelectRow(on.list, 1));
    Command(on.panel, 1018);
    dialog = on.program.WaitDialog(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(OpenGate(on.main, 3));
    // Through the main dialog, which posts it on to the panel.
    ASSERT_TRUE(Settle(on.list));
    ASSERT_TRUE(Settle(on.list));
    Command(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    ASSERT_EQ(Starts(record, "gate"), 0) << "the countdown ran out before OK";
    EXPECT_TRUE(WaitFor([&] { return Starts(record, "gate") == 1; }));

    ASSERT_TRUE(OpenGate(on.main, 4));
    ASSERT_TRUE(WaitFor([&] { return Starts(record, "clock") == 1; }));
    EXPECT_EQ(Starts(record, "auto"), 1);
    EXPECT_EQ(Starts(record, "gate"), 1);
    ASSERT_TRUE(on.program.Idle());
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {automatic, gate, clock}));
    EXPECT_TRUE(on.program.Close());
}

TEST(LauncherCommandsInTheProgram, AnImportPostedUnderChangeIsIgnoredAndTheEditKept)
{
    ProgramWithFixedDiskSkype on;
    ASSERT_TRUE(on.IsReady());
    const StoredItem first = NamedRecorder(on.medium, "first");
    const StoredItem second = NamedRecorder(on.medium, "second");
    ASSERT_TRUE(WriteBytes(on.ini, SettingsText("", {first, second})));
    ASSERT_TRUE(on.StartWithLauncher());
    ASSERT_TRUE(::IsWindowEnabled(on.program.Item(ID_SKYPE_IMPORT)));

    ASSERT_TRUE(SelectRow(on.list, 1));
    Command(on.panel, 1018);
    const HWND dialog = on.program.WaitDialog(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    Type(::GetDlgItem(dialog, 1018), "renamed");
    Command(on.main, ID_SKYPE_IMPORT);
    ASSERT_TRUE(Settle(on.list));
    EXPECT_EQ(Shown(on.program), std::vector<std::string>{std::string(kSettingsCaption) + " "});
    // Were the import's question there, the user would say Yes to it.
    if (const HWND question = on.program.FindDialog("Vellokari")) {
        ClickButton(question, IDYES);
        WaitFor([&] { return !::IsWindow(question); }, 20000);
    }
    Command(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    ASSERT_TRUE(on.program.Idle());
    EXPECT_EQ(on.program.FindDialog("Vellokari"), nullptr) << MessageBoxText(on.program.FindDialog("Vellokari"));
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {first, Named(second, "renamed")}));
    EXPECT_FALSE(FileExists(on.medium.Path("\\Tools\\skype\\bin\\Skype.exe")));
    EXPECT_TRUE(on.program.Close());
}

namespace {

// What comes before the OK of a Change that gives an item a new delay.
enum class Meanwhile {
    Nothing,
    GateBefore,        // its gate opens before the dialog
    GateInDialog,      // its gate opens while the dialog is open
    StartedBefore,     // it starts before the dialog
    StartedInDialog,   // it starts while the dialog is open
};

struct Retiming {
    const char* name;
    int kind;
    int delay;
    Meanwhile meanwhile;
    bool toGate;     // the dialog changes it to a gate item of gate 3
    int newDelay;    // tenths of a second
    int starts;      // by the time the clock item starts
};

// "clock" starts 5 s after a gate open of kind 4, sent at the OK: later
// than the subject's new delay and than what was left of its old one.
const Retiming kRetimings[] = {
    {"AtStartCounting", 1, 40, Meanwhile::Nothing, false, 10, 1},
    {"GateCountingSinceItsGate", 2, 40, Meanwhile::GateBefore, false, 10, 1},
    {"GateOpenedWhileTheDialogIsOpen", 2, 40, Meanwhile::GateInDialog, false, 10, 1},
    {"AtStartStartedBefore", 1, 5, Meanwhile::StartedBefore, false, 10, 1},
    {"AtStartStartedWhileTheDialogIsOpen", 1, 40, Meanwhile::StartedInDialog, false, 10, 1},
    {"AtStartToAGate", 1, 40, Meanwhile::Nothing, true, 10, 0},
};

void PrintTo(const Retiming& retiming, std::ostream* out)
{
    *out << retiming.name;
}

class RetimedInTheProgram : public ::testing::TestWithParam<Retiming> {};

}  // namespace

// A new delay from Change: an item whose start in this run is still to come
// starts once, after the OK; one that has started does not start again; one
// changed to a gate item waits for its gate.
TEST_P(RetimedInTheProgram, StartsOnceWhenItsStartWasStillToCome)
{
    const Retiming& c = GetParam();
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    StoredItem item = NamedRecorder(on.medium, "item", c.kind, 3);
    item.delay = c.delay;
    StoredItem clock = NamedRecorder(on.medium, "clock", 2, 4);
    clock.delay = 50;
    ASSERT_TRUE(WriteBytes(on.ini, SettingsText("", {item, clock})));
    const std::string record = on.medium.Path("\\record.txt");
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    ASSERT_TRUE(on.StartWithLauncher());

    if (c.meanwhile == Meanwhile::GateBefore) {
        ASSERT_TRUE(OpenGate(on.main, 3));
        ASSERT_TRUE(Settle(on.list));  // through the main dialog, which posts it on to the panel
        ASSERT_TRUE(Settle(on.list));
    }
    if (c.meanwhile == Meanwhile::StartedBefore) {
        ASSERT_TRUE(WaitFor([&] { return Starts(record, "item") == 1; }));
    }
    ASSERT_TRUE(SelectRow(on.list, 0));
    Command(on.panel, 1018);
    const HWND dialog = on.program.WaitDialog(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    if (c.meanwhile == Meanwhile::StartedInDialog) {
        ASSERT_EQ(Starts(record, "item"), 0) << "the dialog came after the countdown";
        ASSERT_TRUE(WaitFor([&] { return Starts(record, "item") == 1; }));
    }
    if (c.meanwhile == Meanwhile::GateInDialog) {
        ASSERT_TRUE(OpenGate(on.main, 3));
        ASSERT_TRUE(Settle(on.list));
        ASSERT_TRUE(Settle(on.list));
    }
    if (c.toGate) {
        ::SendMessageTimeoutA(::GetDlgItem(dialog, 1021), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
        ::SendMessageTimeoutA(::GetDlgItem(dialog, 1022), CB_SETCURSEL, 3, 0, SMTO_BLOCK, 5000, nullptr);
    }
    Type(::GetDlgItem(dialog, 1014), std::to_string(c.newDelay));
    const bool startedBefore = c.meanwhile == Meanwhile::StartedBefore || c.meanwhile == Meanwhile::StartedInDialog;
    ASSERT_EQ(Starts(record, "item"), startedBefore ? 1 : 0) << "the old countdown ran out before the OK";
    Command(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }));
    ASSERT_TRUE(OpenGate(on.main, 4));

    ASSERT_TRUE(WaitFor([&] { return Starts(record, "clock") == 1; }, 20000)) << ReadBytes(record);
    EXPECT_EQ(Starts(record, "item"), c.starts) << ReadBytes(record);
    if (c.toGate) {
        ASSERT_TRUE(OpenGate(on.main, 3));
        EXPECT_TRUE(WaitFor([&] { return Starts(record, "item") == 1; })) << "on its gate, after its new delay";
    }
    ASSERT_TRUE(on.program.Idle());
    item.delay = c.newDelay;
    if (c.toGate)
        item.kind = 2;
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {item, clock}));
    EXPECT_TRUE(on.program.Close());
}

INSTANTIATE_TEST_SUITE_P(Change, RetimedInTheProgram, ::testing::ValuesIn(kRetimings),
                         [](const ::testing::TestParamInfo<Retiming>& info) { return std::string(info.param.name); });
