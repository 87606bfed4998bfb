// The settings file as the running program meets it: a file it did not
// write, and values set in its settings dialog that must come back whole
// at the next start.
#include "AppTest.h"
#include "ProgramUnderTest.h"
#include "TemporaryName.h"
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

// A button's click as its dialog receives it, posted: the dialog need not
// be the active window for it.
void Command(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Add, with the recording helper as the program, confirmed in the settings dialog.
bool AddItem(const ProgramUnderTest& program, HWND panel)
{
    Command(panel, 1016);
    const HWND dialog = program.WaitDialog(kSettingsCaption);
    if (dialog == nullptr)
        return false;
    Type(::GetDlgItem(dialog, 1009), "\\apps\\vk_recorder.exe");
    Type(::GetDlgItem(dialog, 1018), "added");
    Command(dialog, IDOK);
    return WaitFor([&] { return program.FindDialog(kSettingsCaption) == nullptr; });
}

// The program's message box, answered with OK; its text, or "(no box)".
std::string AnswerBox(const ProgramUnderTest& program, const char* shot, DWORD timeoutMs = 10000)
{
    const HWND box = program.WaitDialog("Vellokari", timeoutMs);
    if (box == nullptr)
        return "(no box)";
    SaveScreen(shot, box);
    const std::string text = MessageBoxText(box);
    Command(box, IDOK);
    WaitFor([&] { return !::IsWindow(box); });
    return text;
}

// Settings with a recorded version, the Skype item first (so that the start
// inserts and saves nothing), an item and an approved Autorun.inf text.
std::string FullSettings(const TestMedium& medium)
{
    std::string text = SettingsText("Ver.:4.2.0.169", {SkypeItem("\\Tools"), RecorderItem(medium, "first", 0)});
    const std::string none = "AUTORUNINFSIZE=0\r\nAUTORUNINF=\r\n";
    return text.replace(text.find(none), none.size(), "AUTORUNINFSIZE=8\r\nAUTORUNINF=41420d0a\r\n");
}

}  // namespace

TEST(SettingsFileInTheProgram, AnAddThatCannotBeStoredIsToldOnceAndTheFileStays)
{
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "held by another program" : "read-only");
        ProgramOnMedium on;
        ASSERT_TRUE(on.IsReady());
        const std::string settings = FullSettings(on.medium);
        ASSERT_TRUE(WriteBytes(on.ini, settings));
        ASSERT_TRUE(on.StartWithLauncher("-NOSTART"));
        ASSERT_TRUE(on.program.Idle());

        HANDLE holder = INVALID_HANDLE_VALUE;
        if (held) {
            holder =
                ::CreateFileA(on.ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        } else {
            ASSERT_TRUE(::SetFileAttributesA(on.ini.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        ASSERT_TRUE(AddItem(on.program, on.panel));
        const std::string text = AnswerBox(on.program, held ? "settings-held" : "settings-read-only");
        EXPECT_EQ(text.rfind("Vellokari.iniの書き込みに失敗しました. err=0x", 0), 0u) << text;
        if (!held) {
            EXPECT_EQ(text, "Vellokari.iniの書き込みに失敗しました. err=0x5");
        }
        // One box for the one Add: the ticks that follow show none.
        EXPECT_TRUE(on.program.Idle());
        EXPECT_EQ(::SendMessageA(on.list, LVM_GETITEMCOUNT, 0, 0), 3);
        EXPECT_EQ(on.program.FindDialog("Vellokari"), nullptr);

        if (holder != INVALID_HANDLE_VALUE)
            ::CloseHandle(holder);
        ::SetFileAttributesA(on.ini.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadBytes(on.ini), settings);
        EXPECT_TRUE(on.program.Close());
    }
}

// A medium from someone else carries a link under the temporary name of the
// settings file, to a document of the user's beside it.
TEST(SettingsFileInTheProgram, AnAddWritesNothingThroughALinkUnderTheTemporaryName)
{
    for (const bool hard : {true, false}) {
        SCOPED_TRACE(hard ? "a hard link" : "a symbolic link");
        ProgramOnMedium on;
        ASSERT_TRUE(on.IsReady());
        const std::string settings = FullSettings(on.medium);
        ASSERT_TRUE(WriteBytes(on.ini, settings));
        on.medium.MakeFolders("\\Docs");
        const std::string thesis = on.medium.Path("\\Docs\\thesis.txt");
        const std::string text = "my thesis, chapter one\r\n";
        ASSERT_TRUE(WriteBytes(thesis, text));
        const std::string link = Temporary(on.ini);
        if (hard) {
            ASSERT_TRUE(::CreateHardLinkA(link.c_str(), thesis.c_str(), nullptr));
        } else {
            ASSERT_TRUE(on.medium.LinkToHostFile(link.substr(2), on.medium.HostFolder() + "/Docs/thesis.txt"));
        }
        ASSERT_TRUE(on.StartWithLauncher("-NOSTART"));
        ASSERT_TRUE(on.program.Idle());

        ASSERT_TRUE(AddItem(on.program, on.panel));
        ASSERT_TRUE(WaitFor([&] { return ReadBytes(on.ini) != settings && on.program.Idle(); }, 20000));
        EXPECT_EQ(on.program.FindDialog("Vellokari"), nullptr);
        EXPECT_EQ(::SendMessageA(on.list, LVM_GETITEMCOUNT, 0, 0), 3);
        EXPECT_EQ(ReadBytes(thesis), text);
        const std::string saved = ReadBytes(on.ini);
        EXPECT_NE(saved.find("[RUNITEM2]\r\nPROGRAMNAME=added\r\n"), std::string::npos) << saved;
        EXPECT_FALSE(FileExists(link));
        EXPECT_TRUE(on.medium.RunOnHost("! find '" + on.medium.HostFolder() + "' -type l | grep -q ."));
        const HANDLE document = ::CreateFileA(thesis.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        EXPECT_TRUE(::GetFileInformationByHandle(document, &info));
        EXPECT_EQ(info.nNumberOfLinks, 1u);
        ::CloseHandle(document);
        EXPECT_TRUE(on.program.Close());
    }
}

TEST(SettingsFileInTheProgram, AFileThatCannotBeReadAtTheStartIsNeverSavedOver)
{
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    const std::string settings = FullSettings(on.medium);
    ASSERT_TRUE(WriteBytes(on.ini, settings));

    // A scanner holds the file, sharing nothing, for the whole start, then lets go.
    HANDLE holder =
        ::CreateFileA(on.ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(on.program.Start("-NOSTART"));
    const std::string told = AnswerBox(on.program, "settings-unreadable", 20000);
    ::CloseHandle(holder);
    EXPECT_EQ(told, "Vellokari.iniが読み込めません.設定の変更は保存されません.");
    const HWND main = on.program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    const HWND panel = PanelWith(main, ID_LAUNCHER_LIST);

    // Free again, but what the program has is not what the file holds: an
    // Add is refused, and said so.
    ASSERT_TRUE(AddItem(on.program, panel));
    EXPECT_EQ(AnswerBox(on.program, "settings-not-saved"), "Vellokari.iniが読み込めなかったため,設定を保存できません.");
    EXPECT_TRUE(on.program.Idle());
    EXPECT_EQ(on.program.FindDialog("Vellokari"), nullptr);
    EXPECT_EQ(ReadBytes(on.ini), settings);
    EXPECT_TRUE(on.program.Close());

    // The next start reads it whole.
    ASSERT_TRUE(on.program.Start("-NOSTART"));
    const HWND again = on.program.WaitMainWindow();
    ASSERT_NE(again, nullptr);
    const HWND list = ::GetDlgItem(PanelWith(again, ID_LAUNCHER_LIST), ID_LAUNCHER_LIST);
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(on.program.FindDialog("Vellokari"), nullptr);
    EXPECT_TRUE(on.program.Close());
    EXPECT_EQ(ReadBytes(on.ini), settings);
}

TEST(SettingsFileInTheProgram, SectionsNumberedFarApartDoNotHoldUpTheStart)
{
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    ASSERT_TRUE(WriteBytes(on.ini,
                           "[SYSTEM]\r\nLAUNCHER=2147483647\r\n[RUNITEM0]\r\nPROGRAMNAME=first\r\n"
                           "[RUNITEM2147483646]\r\nPROGRAMNAME=last\r\n"));
    ASSERT_TRUE(on.program.Start());
    // It shows as soon as with any small file (every other start in these tests waits 20 s at most).
    const HWND main = on.program.WaitMainWindow(10000);
    ASSERT_NE(main, nullptr) << "the load still steps through the missing sections";
    const HWND list = ::GetDlgItem(PanelWith(main, ID_LAUNCHER_LIST), ID_LAUNCHER_LIST);
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_TRUE(on.program.Close());
}

TEST(SettingsFileInTheProgram, QuotedAndLongValuesFromTheDialogComeBackAfterARestart)
{
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    ASSERT_TRUE(WriteBytes(on.ini, SettingsText("", {RecorderItem(on.medium, "first", 0),
                                                     RecorderItem(on.medium, "second", 0)})));
    const std::string record = on.medium.Path("\\record.txt");
    ScopedEnv recordFile("VK_RECORD_FILE", record);

    // A path in quotes, as a program with a blank in its file's path needs
    // it; a name and arguments longer than 259 bytes.
    const std::string quoted = "\"%letter%\\a b\\c.txt\"";
    const std::string longName(300, 'n');
    const std::string longArg = "long-" + std::string(400, 'x');
    StoredItem first = RecorderItem(on.medium, "", 0);
    first.arg = "\"" + quoted + "\"";  // inside one more pair in the file
    StoredItem second = RecorderItem(on.medium, longArg, 0);
    second.name = longName;

    ASSERT_TRUE(on.StartWithLauncher());
    const struct {
        int row;
        std::string name;  // empty: left as it is
        std::string arg;
    } edits[] = {{0, "", quoted}, {1, longName, longArg}};
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.row);
        ASSERT_TRUE(SelectRow(on.list, edit.row));
        ClickButton(on.panel, 1018);
        const HWND dialog = on.program.WaitDialog(kSettingsCaption);
        ASSERT_NE(dialog, nullptr);
        if (!edit.name.empty())
            Type(::GetDlgItem(dialog, 1018), edit.name);
        Type(::GetDlgItem(dialog, 1011), edit.arg);
        ClickButton(dialog, IDOK);
        ASSERT_TRUE(
            WaitFor([&] { return on.program.FindDialog(kSettingsCaption) == nullptr && on.program.Idle(); }, 20000));
    }
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {first, second}));
    ASSERT_TRUE(on.program.Close());

    // The next start: the started program gets the whole path and the
    // whole arguments, and the dialog shows the whole name.
    ASSERT_TRUE(on.StartWithLauncher());
    const std::string exe = "\"" + on.medium.Path("\\apps\\vk_recorder.exe") + "\" ";
    const std::string expected[] = {"CMD=" + exe + "\"" + on.medium.Drive() + "\\a b\\c.txt\"\n",
                                    "CMD=" + exe + longArg + "\n"};
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        ASSERT_TRUE(SelectRow(on.list, row));
        ClickButton(on.panel, 1003);
        EXPECT_TRUE(WaitFor([&] { return ReadBytes(record).find(expected[row]) != std::string::npos; }, 20000))
            << ReadBytes(record);
    }
    ClickButton(on.panel, 1018);
    const HWND dialog = on.program.WaitDialog(kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 1018)), longName);
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, 1011)), longArg);
    ClickButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return on.program.FindDialog(kSettingsCaption) == nullptr; }, 20000));
    EXPECT_EQ(ReadBytes(on.ini), SettingsText("", {first, second}));
    EXPECT_TRUE(on.program.Close());
}
