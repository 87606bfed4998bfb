// The main dialog's Autorun.inf buttons on the real program: a new file,
// the editor, and what each leaves in the file, the approved text and the
// settings file, driven from outside as a user would.
#include "AppTest.h"
#include "AutorunInfText.h"
#include "CHandle.h"
#include "CVellokariDlg.h"
#include "DialogControls.h"
#include "HexText.h"
#include "ModalSeam.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TemporaryName.h"
#include "TestSupport.h"
#include "TimerSeam.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

enum {
    ID_AUTORUN_CREATE = 1003,
    ID_AUTORUN_EDIT = 1038,
    ID_EDITOR_TEXT = 1037,
    ID_APPROVAL_TEXT = 1039,
    ID_REVERT = 1041,
    ID_STATUS = 1042,
};

const char kCreateQuestion[] = "autoconf.infを作成します.よろしいですか？";
const char kExists[] = "Autorun.infはすでに存在します.";
const char kCreateFailed[] = "Autorun.infの作成に失敗しました.";
const char kUpdateQuestion[] = "Autoconf.infを更新します.よろしいですか？";
const char kApproveQuestion[] = "現在の内容で内部データを更新しますよろしいですか？";
const char kUpdateFailed[] = "Autorun.infの更新に失敗しました.";
const char kCannotOpen[] = "Autorun.Inf がオープンできません.";
const char kWatched[] = "AutoRun.Inf監視中";
const char kNotWatched[] = "AutoRun.Inf監視なし";
const char kEditor[] = "Autorun.inf編集";
const char kApproval[] = "更新確認";
const char kCreated[] = "[autorun]\r\nOPEN=\\Vellokari.exe\r\nICON=\\Vellokari.exe\r\nACTION = Vellokari\r\n";

std::string Template(const std::string& exePath)
{
    return "[autorun]\r\nOPEN=" + exePath + "\r\nICON=" + exePath + "\r\nACTION = Vellokari\r\n";
}

// The settings file's lines of an approved text, as the program writes them.
std::string StoredLines(const std::string& approved)
{
    std::vector<char> hex(2 * approved.size() + 1);
    BytesToHexText(static_cast<int>(approved.size()), reinterpret_cast<const unsigned char*>(approved.data()),
                   hex.data());
    return "AUTORUNINFSIZE=" + std::to_string(2 * approved.size()) + "\r\nAUTORUNINF=" + hex.data() + "\r\n";
}

// A settings file with this approved text and no run items.
std::string SettingsWith(const std::string& approved)
{
    return "[SYSTEM]\r\nVER=\r\n" + StoredLines(approved) + "LAUNCHER=0\r\n";
}

// The program installed on a medium and running, with what a test reads of it.
class Running {
public:
    // rest: the program's path on the medium; settings: the settings file
    // beside it, none when empty.
    Running(const TestMedium& medium, const std::string& rest, const std::string& settings = "")
        : m_program(medium.Path(rest)), m_ini(m_program.Folder() + "\\Vellokari.ini")
    {
        if (!m_program.IsInstalled() || (!settings.empty() && !WriteBytes(m_ini, settings)) || !m_program.Start() ||
            m_program.WaitMainWindow() == nullptr)
            return;
        // The first tick has shown the watch's state.
        m_bStarted = WaitFor([&] { return Status().rfind("AutoRun.Inf監視", 0) == 0; });
    }
    ~Running() { m_program.Close(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

    bool Started() const { return m_bStarted; }
    HWND Main() const { return m_program.MainWindow(); }
    const std::string& Ini() const { return m_ini; }
    std::string Settings() const { return ReadBytes(m_ini); }
    // The settings once a save that an answer started is done: polled while
    // the program replaces the file, the reader's handle would fail the save.
    std::string SettingsWhenIdle() const { return Idle() ? Settings() : "(the program does not take messages)"; }

    // Presses a button of the main dialog (its handler runs on its own).
    void Press(int id) const { ClickButton(Main(), id); }

    // A message box of the program with this text, once it shows.
    HWND WaitBox(const std::string& text, DWORD timeoutMs = 10000) const
    {
        HWND found = nullptr;
        WaitFor(
            [&] {
                for (HWND hwnd : ProcessWindows(m_program.Id())) {
                    if (::IsWindowVisible(hwnd) && WindowClass(hwnd) == "#32770" && MessageBoxText(hwnd) == text)
                        return (found = hwnd) != nullptr;
                }
                return false;
            },
            timeoutMs);
        return found;
    }
    // The boxes and dialogs that show over the main dialog now.
    int OpenPopups() const
    {
        int count = 0;
        for (HWND hwnd : ProcessWindows(m_program.Id())) {
            if (hwnd != Main() && ::IsWindowVisible(hwnd) && WindowClass(hwnd) == "#32770")
                ++count;
        }
        return count;
    }
    HWND WaitDialog(const std::string& caption) const { return m_program.WaitDialog(caption); }
    HWND FindDialog(const std::string& caption) const { return m_program.FindDialog(caption); }

    // Presses a button of a box or dialog and waits until it is gone.
    static bool Answer(HWND window, int id)
    {
        return window != nullptr && ClickButton(window, id) && WaitFor([&] { return !::IsWindow(window); });
    }
    // Everything the program was sent before has been handled.
    bool Idle() const { return m_program.Idle(); }

    // The launcher panel and its status label.
    HWND Launcher() const
    {
        for (HWND child = ::GetWindow(Main(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (::GetDlgItem(child, ID_STATUS) != nullptr)
                return child;
        }
        return nullptr;
    }
    std::string Status() const { return WindowText(::GetDlgItem(Launcher(), ID_STATUS)); }
    bool WaitStatus(const char* text) const { return WaitFor([&] { return Status() == text; }); }

private:
    ProgramUnderTest m_program;
    std::string m_ini;
    bool m_bStarted = false;
};

std::string EditText(HWND dialog, int id)
{
    return WindowText(::GetDlgItem(dialog, id));
}

// The whole text of an edit, however long, also of another process.
std::string LongEditText(HWND dialog, int id)
{
    const HWND edit = ::GetDlgItem(dialog, id);
    DWORD_PTR length = 0;
    ::SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length);
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_BLOCK, 5000,
                          &copied);
    text.resize(copied);
    return text;
}

void SetEditText(HWND dialog, int id, const std::string& text)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK,
                          5000, &result);
}

class AutorunButtons : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_medium.IsReady()); }

    // Opens the editor with the button, when no difference is pending.
    HWND OpenEditor(const Running& program) const
    {
        program.Press(ID_AUTORUN_EDIT);
        const HWND editor = program.WaitDialog(kEditor);
        EXPECT_EQ(program.FindDialog(kApproval), nullptr);
        return editor;
    }

    // Types the text into the editor and saves it with Yes.
    void SaveInEditor(const Running& program, HWND editor, const std::string& text) const
    {
        SetEditText(editor, ID_EDITOR_TEXT, text);
        ClickButton(editor, IDOK);
        EXPECT_TRUE(Running::Answer(program.WaitBox(kUpdateQuestion), IDYES));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(editor); }));
    }

    TestMedium m_medium;
    std::string m_inf = m_medium.Path("\\Autorun.Inf");
};

}  // namespace

TEST(AutorunCreation, WritesTheTemplateApprovesAndStoresIt)
{
    const struct {
        const char* rest;     // the program on the medium
        const char* exePath;  // in OPEN and ICON
        const char* title;    // the boxes' caption
    } cases[] = {
        {"\\Vellokari.exe", "\\Vellokari.exe", "Vellokari"},
        {"\\Tools\\Vellokari.exe", "Tools\\Vellokari.exe", "Vellokari"},
        {"\\A\\B\\Vellokari.exe", "A\\B\\Vellokari.exe", "Vellokari"},
        {"\\Tools\\Renamed.exe", "Tools\\Vellokari.exe", "Renamed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rest);
        TestMedium medium;
        ASSERT_TRUE(medium.IsReady());
        Running program(medium, c.rest);
        ASSERT_TRUE(program.Started());
        EXPECT_EQ(program.Status(), kNotWatched);

        program.Press(ID_AUTORUN_CREATE);
        const HWND question = program.WaitBox(kCreateQuestion);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(WindowText(question), c.title);
        ASSERT_TRUE(Running::Answer(question, IDYES));
        const std::string text = Template(c.exePath);
        EXPECT_NE(program.SettingsWhenIdle().find(StoredLines(text)), std::string::npos)
            << program.Settings();
        EXPECT_EQ(ReadBytes(medium.Path("\\autorun.inf")), text);
        EXPECT_TRUE(program.WaitStatus(kWatched));

        // The next check finds no difference: the editor opens with the file.
        program.Press(ID_AUTORUN_EDIT);
        const HWND editor = program.WaitDialog(kEditor);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(program.FindDialog(kApproval), nullptr);
        EXPECT_EQ(EditText(editor, ID_EDITOR_TEXT), text);
        EXPECT_TRUE(Running::Answer(editor, IDCANCEL));
        EXPECT_TRUE(program.Idle());
        EXPECT_EQ(program.OpenPopups(), 0);
    }
}

TEST_F(AutorunButtons, CreationRefusedOrFailedWritesAndStoresNothing)
{
    ASSERT_TRUE(m_medium.UseOwnFileSystem(32 << 20));  // to be filled up later
    Running program(m_medium, "\\Vellokari.exe");
    ASSERT_TRUE(program.Started());
    const std::string inf = m_medium.Path("\\autorun.inf");

    // There already, in any letter case: only the box.
    ASSERT_TRUE(WriteBytes(m_medium.Path("\\AUTORUN.INF"), "[AutoRun]\r\nopen=other.exe\r\n"));
    program.Press(ID_AUTORUN_CREATE);
    ASSERT_TRUE(Running::Answer(program.WaitBox(kExists), IDOK));
    EXPECT_TRUE(program.Idle());
    EXPECT_EQ(program.OpenPopups(), 0);
    EXPECT_EQ(ReadBytes(inf), "[AutoRun]\r\nopen=other.exe\r\n");

    // Held by another program that shares nothing: counted as missing, and
    // then it cannot be replaced.
    const HANDLE holder = ::CreateFileA(inf.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                        nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    program.Press(ID_AUTORUN_CREATE);
    EXPECT_TRUE(Running::Answer(program.WaitBox(kCreateQuestion), IDYES));
    EXPECT_TRUE(Running::Answer(program.WaitBox(kCreateFailed), IDOK));
    EXPECT_TRUE(program.Idle());
    ::CloseHandle(holder);
    EXPECT_EQ(ReadBytes(inf), "[AutoRun]\r\nopen=other.exe\r\n");

    // No to the question.
    ASSERT_TRUE(::DeleteFileA(inf.c_str()));
    program.Press(ID_AUTORUN_CREATE);
    EXPECT_TRUE(Running::Answer(program.WaitBox(kCreateQuestion), IDNO));
    EXPECT_TRUE(program.Idle());
    EXPECT_EQ(program.OpenPopups(), 0);
    EXPECT_FALSE(FileExists(inf));

    // The medium is full: nothing can be written beside the file to be.
    ASSERT_TRUE(m_medium.Fill());
    program.Press(ID_AUTORUN_CREATE);
    EXPECT_TRUE(Running::Answer(program.WaitBox(kCreateQuestion), IDYES));
    EXPECT_TRUE(Running::Answer(program.WaitBox(kCreateFailed), IDOK));
    EXPECT_TRUE(program.Idle());
    ASSERT_TRUE(m_medium.MakeRoom());
    EXPECT_FALSE(FileExists(inf));

    // Nothing was approved, nothing saved.
    EXPECT_FALSE(FileExists(program.Ini()));
    EXPECT_EQ(program.Status(), kNotWatched);
}

TEST_F(AutorunButtons, EditorSavesTheTextEndedByCrLfAndApprovesIt)
{
    ASSERT_TRUE(WriteBytes(m_inf, kCreated));
    Running program(m_medium, "\\Vellokari.exe", SettingsWith(kCreated));
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.WaitStatus(kWatched));

    const struct {
        const char* what;
        std::string typed;
        std::string written;
    } cases[] = {
        {"emptied", "", "\r\n"},
        {"a last line without a line end", "[autorun]\r\nOPEN=x.exe", "[autorun]\r\nOPEN=x.exe\r\n"},
    };
    std::string shown = kCreated;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const HWND editor = OpenEditor(program);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(EditText(editor, ID_EDITOR_TEXT), shown);
        SaveInEditor(program, editor, c.typed);
        EXPECT_NE(program.SettingsWhenIdle().find(StoredLines(c.written)), std::string::npos)
            << program.Settings();
        EXPECT_EQ(ReadBytes(m_inf), c.written);
        EXPECT_TRUE(program.WaitStatus(kWatched));
        shown = c.written;
    }

    // No keeps the editor with the typed text; Cancel then leaves everything.
    const std::string settings = program.Settings();
    const HWND editor = OpenEditor(program);
    ASSERT_NE(editor, nullptr);
    SetEditText(editor, ID_EDITOR_TEXT, "typed");
    ClickButton(editor, IDOK);
    EXPECT_TRUE(Running::Answer(program.WaitBox(kUpdateQuestion), IDNO));
    EXPECT_TRUE(program.Idle());
    EXPECT_TRUE(::IsWindowVisible(editor));
    EXPECT_EQ(EditText(editor, ID_EDITOR_TEXT), "typed");
    EXPECT_TRUE(Running::Answer(editor, IDCANCEL));
    EXPECT_TRUE(program.Idle());
    EXPECT_EQ(ReadBytes(m_inf), shown);
    EXPECT_EQ(program.Settings(), settings);
}

TEST_F(AutorunButtons, ALoneLfIsApprovedAsWrittenThenTheCheckReportsIt)
{
    ASSERT_TRUE(WriteBytes(m_inf, kCreated));
    Running program(m_medium, "\\Vellokari.exe", SettingsWith(kCreated));
    ASSERT_TRUE(program.Started());

    const std::string pasted = "[autorun]\nOPEN=x.exe\r\n";
    HWND editor = OpenEditor(program);
    ASSERT_NE(editor, nullptr);
    SaveInEditor(program, editor, pasted);
    EXPECT_NE(program.SettingsWhenIdle().find(StoredLines(pasted)), std::string::npos)
        << program.Settings();
    EXPECT_EQ(ReadBytes(m_inf), pasted);

    // Read back, the LF ends a line: a difference, shown before the editor.
    const std::string form = "[autorun]\r\nOPEN=x.exe\r\n";
    program.Press(ID_AUTORUN_EDIT);
    const HWND approval = program.WaitDialog(kApproval);
    ASSERT_NE(approval, nullptr);
    EXPECT_EQ(EditText(approval, ID_APPROVAL_TEXT), form);
    EXPECT_EQ(program.FindDialog(kEditor), nullptr);
    ASSERT_TRUE(Running::Answer(approval, IDCANCEL));

    // The editor follows with the file's present content; saved, it is approved.
    editor = program.WaitDialog(kEditor);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(EditText(editor, ID_EDITOR_TEXT), form);
    ClickButton(editor, IDOK);
    EXPECT_TRUE(Running::Answer(program.WaitBox(kUpdateQuestion), IDYES));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(editor); }));
    EXPECT_NE(program.SettingsWhenIdle().find(StoredLines(form)), std::string::npos)
        << program.Settings();
    EXPECT_EQ(ReadBytes(m_inf), form);

    editor = OpenEditor(program);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(Running::Answer(editor, IDCANCEL));
}

TEST_F(AutorunButtons, WithoutAFileTheEditorDoesNotOpen)
{
    Running program(m_medium, "\\Vellokari.exe", SettingsWith(kCreated));
    ASSERT_TRUE(program.Started());
    const std::string settings = program.Settings();
    program.Press(ID_AUTORUN_EDIT);
    const HWND box = program.WaitBox(kCannotOpen);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "Vellokari");
    ASSERT_TRUE(Running::Answer(box, IDOK));
    EXPECT_TRUE(program.Idle());
    EXPECT_EQ(program.OpenPopups(), 0);
    EXPECT_FALSE(FileExists(m_inf));
    EXPECT_EQ(program.Settings(), settings);
}

TEST_F(AutorunButtons, FailedSavesKeepTheFileTheApprovedTextAndTheSettings)
{
    ASSERT_TRUE(m_medium.UseOwnFileSystem(32 << 20));  // to be filled up later
    ASSERT_TRUE(WriteBytes(m_inf, kCreated));
    ASSERT_TRUE(::SetFileAttributesA(m_inf.c_str(), FILE_ATTRIBUTE_HIDDEN));
    Running program(m_medium, "\\Vellokari.exe", SettingsWith(kCreated));
    ASSERT_TRUE(program.Started());
    const std::string settings = program.Settings();

    const HWND editor = OpenEditor(program);
    ASSERT_NE(editor, nullptr);
    SetEditText(editor, ID_EDITOR_TEXT, "typed\r\n");

    // The medium is full, then the file is read-only.
    ASSERT_TRUE(m_medium.Fill());
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        if (attempt == 1) {
            ASSERT_TRUE(m_medium.MakeRoom());
            ASSERT_TRUE(::SetFileAttributesA(m_inf.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
        }
        ClickButton(editor, IDOK);
        EXPECT_TRUE(Running::Answer(program.WaitBox(kUpdateQuestion), IDYES));
        EXPECT_TRUE(Running::Answer(program.WaitBox(kUpdateFailed), IDOK));
        EXPECT_TRUE(program.Idle());
        EXPECT_TRUE(::IsWindowVisible(editor));
        EXPECT_EQ(EditText(editor, ID_EDITOR_TEXT), "typed\r\n");
        EXPECT_EQ(ReadBytes(m_inf), kCreated);
    }
    EXPECT_TRUE(Running::Answer(editor, IDCANCEL));
    EXPECT_TRUE(program.Idle());
    EXPECT_EQ(program.Settings(), settings);
    // The approved text is the old one still: the file agrees with it.
    const HWND again = OpenEditor(program);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(Running::Answer(again, IDCANCEL));
    ::SetFileAttributesA(m_inf.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(AutorunButtons, ACheckWhileTheEditorIsOpenShowsTheApprovalOverIt)
{
    ASSERT_TRUE(WriteBytes(m_inf, kCreated));
    Running program(m_medium, "\\Vellokari.exe", SettingsWith(kCreated));
    ASSERT_TRUE(program.Started());
    const HWND editor = OpenEditor(program);
    ASSERT_NE(editor, nullptr);

    // Changed by someone else; the check timer comes round.
    ASSERT_TRUE(WriteBytes(m_inf, "[autorun]\r\nOPEN=virus.exe\r\n"));
    ::PostMessageA(program.Launcher(), WM_TIMER, 105, 0);
    const HWND approval = program.WaitDialog(kApproval);
    ASSERT_NE(approval, nullptr);
    EXPECT_EQ(::GetWindow(approval, GW_OWNER), editor);
    EXPECT_EQ(EditText(approval, ID_APPROVAL_TEXT), "[autorun]\r\nOPEN=virus.exe\r\n");
    ASSERT_TRUE(Running::Answer(approval, IDCANCEL));
    EXPECT_TRUE(program.Idle());
    EXPECT_TRUE(::IsWindowVisible(editor));
    EXPECT_TRUE(Running::Answer(editor, IDCANCEL));
}

// A program pads its change past the limit of what can be stored: the check
// reports it all the same, and the user puts the approved text back.
TEST_F(AutorunButtons, AFilePaddedPastTheLimitIsReportedAndCanOnlyBePutBack)
{
    ASSERT_TRUE(WriteBytes(m_inf, kCreated));
    Running program(m_medium, "\\Vellokari.exe", SettingsWith(kCreated));
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.WaitStatus(kWatched));
    const std::string settings = program.Settings();

    std::string padded = "[autorun]\r\nopen=evil.exe\r\n";
    while (padded.size() < 700 * 1024)
        padded += std::string(1000, ';') + "\r\n";
    ASSERT_TRUE(WriteBytes(m_inf, padded));

    program.Press(ID_AUTORUN_EDIT);
    const HWND approval = program.WaitDialog(kApproval);
    ASSERT_NE(approval, nullptr);
    EXPECT_EQ(program.FindDialog(kEditor), nullptr);
    EXPECT_TRUE(LongEditText(approval, ID_APPROVAL_TEXT) == padded.substr(0, AUTORUNINF_MAX_TEXT))
        << "the beginning of the file, up to the limit";
    EXPECT_EQ(WindowText(::GetDlgItem(approval, IDOK)), "承認");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(approval, IDOK)));
    SaveScreen("approval_over_limit", approval);

    // A click sent to it all the same is refused without a question.
    ASSERT_TRUE(ClickButton(approval, IDOK));
    EXPECT_TRUE(program.Idle());
    EXPECT_EQ(program.OpenPopups(), 1);
    EXPECT_TRUE(::IsWindow(approval));

    ASSERT_TRUE(ClickButton(approval, ID_REVERT));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(approval, IDOK)) != FALSE; }));
    EXPECT_EQ(WindowText(::GetDlgItem(approval, IDOK)), "保存");
    ASSERT_TRUE(Running::Answer(approval, IDOK));
    EXPECT_EQ(ReadBytes(m_inf), kCreated);

    // The editor follows on the approved text, which stays as it was.
    const HWND editor = program.WaitDialog(kEditor);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(EditText(editor, ID_EDITOR_TEXT), kCreated);
    EXPECT_TRUE(Running::Answer(editor, IDCANCEL));
    EXPECT_EQ(program.SettingsWhenIdle(), settings);
    EXPECT_EQ(program.Status(), kWatched);
}

// A change that the approval dialog cannot show: after a 0x1A, which the
// system's profile reader reads on past, or after a NUL, where the dialog's
// edit ends. Reported, never approved, put back; and once it is put back an
// ordinary change is approved again.
TEST_F(AutorunButtons, AChangeTheApprovalCannotShowIsReportedAndOnlyPutBack)
{
    using namespace std::string_literals;
    ASSERT_TRUE(WriteBytes(m_inf, kCreated));
    Running program(m_medium, "\\Vellokari.exe", SettingsWith(kCreated));
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.WaitStatus(kWatched));
    const std::string settings = program.Settings();

    m_medium.MakeFolders("\\Docs");
    const std::string thesis = m_medium.Path("\\Docs\\thesis.txt");
    const std::string text = "my thesis, chapter one\r\n";
    const std::string temporary = Temporary(m_inf);
    const struct {
        const char* what;
        std::string file;
        // A hard link to a document of the user's under the temporary name
        // of the put-back: it goes, and the document stays as it was.
        bool linked;
    } cases[] = {
        {"after a 0x1A", kCreated + "\x1A"s + "shellexecute=evil.exe\r\n", false},
        {"after a NUL", kCreated + "\0\r\nshellexecute=evil.exe"s, false},
        {"after a 0x1A, a document linked under the temporary name", kCreated + "\x1A"s + "shellexecute=evil.exe\r\n",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_inf, c.file));
        if (c.linked) {
            ASSERT_TRUE(WriteBytes(thesis, text));
            ASSERT_TRUE(::CreateHardLinkA(temporary.c_str(), thesis.c_str(), nullptr));
        }
        char value[32] = {};
        ::GetPrivateProfileStringA("autorun", "shellexecute", "", value, sizeof value, m_inf.c_str());
        if (c.file.find('\x1A') != std::string::npos) {
            EXPECT_STREQ(value, "evil.exe") << "what the system reads of the file";
        }

        ::PostMessageA(program.Launcher(), WM_TIMER, 105, 0);
        const HWND approval = program.WaitDialog(kApproval);
        ASSERT_NE(approval, nullptr);
        EXPECT_EQ(EditText(approval, ID_APPROVAL_TEXT), kCreated) << "nothing of the change shows";
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(approval, IDOK)));
        ASSERT_TRUE(ClickButton(approval, IDOK));
        EXPECT_TRUE(program.Idle());
        EXPECT_EQ(program.OpenPopups(), 1) << "no question";

        ASSERT_TRUE(ClickButton(approval, ID_REVERT));
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(approval, IDOK)) != FALSE; }));
        EXPECT_EQ(WindowText(::GetDlgItem(approval, IDOK)), "保存");
        ASSERT_TRUE(Running::Answer(approval, IDOK));
        EXPECT_EQ(ReadBytes(m_inf), kCreated) << "the approved text is back, byte for byte";
        EXPECT_EQ(program.Status(), kWatched);
        if (c.linked) {
            EXPECT_EQ(ReadBytes(thesis), text);
            EXPECT_EQ(::GetFileAttributesA(temporary.c_str()), INVALID_FILE_ATTRIBUTES) << "no link is left";
            const CHandle document(::CreateFileA(thesis.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
            BY_HANDLE_FILE_INFORMATION info{};
            EXPECT_TRUE(::GetFileInformationByHandle(document.Get(), &info));
            EXPECT_EQ(info.nNumberOfLinks, 1u);
        }
    }
    EXPECT_EQ(program.SettingsWhenIdle(), settings);

    const std::string changed = "[autorun]\r\nOPEN=other.exe\r\n";
    ASSERT_TRUE(WriteBytes(m_inf, changed));
    ::PostMessageA(program.Launcher(), WM_TIMER, 105, 0);
    const HWND approval = program.WaitDialog(kApproval);
    ASSERT_NE(approval, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(approval, IDOK)));
    ASSERT_TRUE(ClickButton(approval, IDOK));
    EXPECT_TRUE(Running::Answer(program.WaitBox(kApproveQuestion), IDYES));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(approval); }));
    EXPECT_EQ(ReadBytes(m_inf), changed);
    EXPECT_NE(program.SettingsWhenIdle().find(StoredLines(changed)), std::string::npos) << program.Settings();
}

// Bytes that the dialog's edit does not give back as they were set: a line
// that ends in a lone lead byte, a double-byte pair that stands for no
// character. Approved, the file and the approved text are those bytes, and
// no later check nor the next start reports them again.
TEST_F(AutorunButtons, AnApprovalKeepsTheBytesFoundAndSticks)
{
    using namespace std::string_literals;
    const std::string found = kCreated + "label=abc\x82\r\n"s + "x=\x85\x40\r\n"s;
    ASSERT_TRUE(WriteBytes(m_inf, found));
    const std::string ini = m_medium.Path("\\Vellokari.ini");
    {
        Running program(m_medium, "\\Vellokari.exe", SettingsWith(kCreated));
        ASSERT_TRUE(program.Started());
        // The first check, 100 ms after the start.
        const HWND approval = program.WaitDialog(kApproval);
        ASSERT_NE(approval, nullptr);
        ASSERT_TRUE(ClickButton(approval, IDOK));
        EXPECT_TRUE(Running::Answer(program.WaitBox(kApproveQuestion), IDYES));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(approval); }));
        EXPECT_TRUE(ReadBytes(m_inf) == found) << "the file holds the bytes found";
        EXPECT_NE(program.SettingsWhenIdle().find(StoredLines(found)), std::string::npos) << program.Settings();

        ::PostMessageA(program.Launcher(), WM_TIMER, 105, 0);
        EXPECT_TRUE(program.Idle());
        EXPECT_EQ(program.OpenPopups(), 0) << "the next check finds no change";
        EXPECT_EQ(program.Status(), kWatched);
    }
    Running again(m_medium, "\\Vellokari.exe");
    ASSERT_TRUE(again.Started());
    ::PostMessageA(again.Launcher(), WM_TIMER, 105, 0);
    EXPECT_TRUE(again.Idle());
    EXPECT_EQ(again.OpenPopups(), 0);
    EXPECT_EQ(again.Status(), kWatched);
    EXPECT_TRUE(ReadBytes(m_inf) == found);
    EXPECT_NE(ReadBytes(ini).find(StoredLines(found)), std::string::npos);
}

namespace {

// The main dialog with its launcher panel on the test medium, and nothing
// else of the program's start: what its Autorun.inf edit button needs.
class MainDialogOnMedium : public CVellokariDlg {
public:
    MainDialogOnMedium(std::string drive, std::string ini) : m_drive(std::move(drive)), m_ini(std::move(ini)) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_strDrive = m_drive.c_str();
        m_strIniPath = m_ini.c_str();
        m_launcherDlg.m_strDrive = m_strDrive;
        m_launcherDlg.Create(CLauncherDlg::IDD, this);
        m_launcherDlg.Initialize(m_strIniPath);
        return TRUE;
    }

private:
    std::string m_drive;
    std::string m_ini;
};

}  // namespace

// The edit button's check runs as the timer's own: the check timer stopped
// while its dialog is open, and started again at 300000 ms once it ends.
TEST_F(AutorunButtons, TheEditButtonsCheckStopsTheCheckTimerAndStartsIt300000MsLater)
{
    ASSERT_TRUE(WriteBytes(m_inf, kCreated));
    const std::string ini = m_medium.Path("\\Vellokari.ini");
    ASSERT_TRUE(WriteBytes(ini, SettingsWith(kCreated)));
    TimerSeam timers;
    ModalSeam seam;
    MainDialogOnMedium main(m_medium.Drive(), ini);
    HWND panel = nullptr;
    ULONGLONG approvalEnded = 0;
    seam.Push([&](CDialog& dialog) {
        panel = main.m_launcherDlg.m_hWnd;
        // The first check, 100 ms after the start, finds the file as approved.
        ASSERT_TRUE(WaitFor([&] { return timers.Requests(panel, TIMER_AUTORUN_CHECK).size() == 2; }));
        ASSERT_EQ(timers.Stops(panel, TIMER_AUTORUN_CHECK).size(), 1u);

        ASSERT_TRUE(WriteBytes(m_inf, "[autorun]\r\nOPEN=virus.exe\r\n"));
        Click(dialog.m_hWnd, ID_AUTORUN_EDIT);
        dialog.EndDialog(IDCANCEL);
    });
    seam.Push([&](CDialog& approval) {
        EXPECT_EQ(WindowText(approval.m_hWnd), kApproval);
        EXPECT_EQ(timers.Stops(panel, TIMER_AUTORUN_CHECK).size(), 2u) << "stopped before the check";
        EXPECT_EQ(timers.Requests(panel, TIMER_AUTORUN_CHECK).size(), 2u) << "not started while it is open";
        approvalEnded = ::GetTickCount64();
        Click(approval.m_hWnd, IDCANCEL);
    });
    seam.Push([&](CDialog& editor) {
        EXPECT_EQ(WindowText(editor.m_hWnd), kEditor);
        const std::vector<TimerRequest> requests = timers.Requests(panel, TIMER_AUTORUN_CHECK);
        ASSERT_EQ(requests.size(), 3u) << "started again before the editor";
        EXPECT_EQ(requests[2].elapse, 300000u);
        EXPECT_GE(requests[2].tick, approvalEnded);
        EXPECT_EQ(timers.Stops(panel, TIMER_AUTORUN_CHECK).size(), 2u);
        Click(editor.m_hWnd, IDCANCEL);
    });
    main.DoModal();
    EXPECT_EQ(seam.Driven(), 3);
    EXPECT_EQ(seam.Unexpected() + seam.LeftOpen(), 0);
}
