// The real program on a drive that is really removed, the system's
// volume-removal broadcast, and the registered messages from other programs.
#include "AppTest.h"
#include "CDialog.h"
#include "CVellokariDlg.h"
#include "Closing.h"
#include "DebugLog.h"
#include "ModalSeam.h"
#include "MountManager.h"
#include "ProgramUnderTest.h"
#include "TemporaryName.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const char kNoticeCaption[] = "終了します。";
const char kStartedTitle[] = "vk started from the medium";

DWORD Bit(char letter)
{
    return 1u << (letter - 'A');
}

// Closes the windows that recording helpers started for a test left open;
// false when one of them does not go.
bool CloseStarted()
{
    while (const HWND window = ::FindWindowA(nullptr, kStartedTitle)) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        if (!WaitFor([&] { return !::IsWindow(window); }))
            return false;
    }
    return true;
}

// A picture of the notice, once its button's edge shows on the white it starts with.
void SaveNotice(HWND notice)
{
    WaitFor(
        [&] {
            RECT button{};
            ::GetWindowRect(::GetDlgItem(notice, IDOK), &button);
            return ScreenPixel(button.left, (button.top + button.bottom) / 2) != 0xFFFFFF;
        },
        3000);
    SaveScreen("closing-notice", notice);
}

// Text typed into a control of the program.
void Type(HWND control, const std::string& text)
{
    ::SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 5000, nullptr);
}

// A visible dialog or box of the program that is none of these windows, once it shows.
HWND WaitOtherDialog(const ProgramUnderTest& program, const std::vector<HWND>& known)
{
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND hwnd : ProcessWindows(program.Id())) {
            if (::IsWindowVisible(hwnd) && WindowClass(hwnd) == "#32770" &&
                std::find(known.begin(), known.end(), hwnd) == known.end())
                return (found = hwnd) != nullptr;
        }
        return false;
    });
    return found;
}

// The program's UI thread held still for a scope, as a thread busy for
// longer than the system waits for it is (inside the shell's copy, say): it
// takes no message meanwhile, and a notice sent to it with a timeout is lost.
// What is posted to it waits in its queue, in order.
class HeldThread {
public:
    explicit HeldThread(HWND window)
    {
        const DWORD id = ::GetWindowThreadProcessId(window, nullptr);
        m_thread = ::OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, id);
        if (m_thread == nullptr || ::SuspendThread(m_thread) == static_cast<DWORD>(-1))
            return;
        // Returns once the thread has really stopped.
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        m_bHeld = true;
        ::GetThreadContext(m_thread, &context);
    }
    ~HeldThread()
    {
        Release();
        if (m_thread != nullptr)
            ::CloseHandle(m_thread);
    }
    HeldThread(const HeldThread&) = delete;
    HeldThread& operator=(const HeldThread&) = delete;
    bool IsHeld() const { return m_bHeld; }
    void Release()
    {
        if (m_bHeld)
            ::ResumeThread(m_thread);
        m_bHeld = false;
    }

private:
    HANDLE m_thread = nullptr;
    bool m_bHeld = false;
};

// A volume of its own under the host folder: Wine reads the serial from this
// file, as every real volume has one of its own.
bool GiveSerial(const TestMedium& medium, const char* serial)
{
    return WriteBytes(medium.Path("\\.windows-serial"), std::string(serial) + "\n");
}

// Waits for the program's closing notice up to the time given, and tells
// whether it came and the texts of the program's message boxes (captioned
// "Vellokari") that showed before it, the one open already left out.
struct AfterTheRemoval {
    bool notice = false;
    std::vector<std::string> boxes;
};
AfterTheRemoval WaitForTheNotice(const ProgramUnderTest& program, DWORD timeoutMs, HWND openAlready = nullptr)
{
    AfterTheRemoval seen;
    std::vector<HWND> met{openAlready};
    WaitFor(
        [&] {
            for (HWND hwnd : ProcessWindows(program.Id())) {
                if (!::IsWindowVisible(hwnd) || WindowClass(hwnd) != "#32770")
                    continue;
                const std::string caption = WindowText(hwnd);
                if (caption == kNoticeCaption)
                    return seen.notice = true;
                if (caption == "Vellokari" && std::find(met.begin(), met.end(), hwnd) == met.end()) {
                    met.push_back(hwnd);
                    seen.boxes.push_back(MessageBoxText(hwnd));
                }
            }
            return !program.IsRunning();
        },
        timeoutMs);
    return seen;
}

HWND OpenAddDialog(const ProgramUnderTest& program)
{
    const HWND panel = PanelWith(program.MainWindow(), ID_LAUNCHER_LIST);
    ClickButton(panel, 1016);
    const HWND dialog = program.WaitDialog("起動プログラム設定");
    if (dialog != nullptr) {
        Type(::GetDlgItem(dialog, 1009), "\\apps\\vk_recorder.exe");
        Type(::GetDlgItem(dialog, 1018), "added");
    }
    return dialog;
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
    // Nor do other events for its own drive: an arrival, a removal query, another device type.
    EXPECT_TRUE(BroadcastDeviceChange(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, Bit(medium.Letter())));
    EXPECT_TRUE(BroadcastDeviceChange(DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME, Bit(medium.Letter())));
    EXPECT_TRUE(BroadcastDeviceChange(DBT_DEVICEREMOVEPENDING, DBT_DEVTYP_VOLUME, Bit(medium.Letter())));
    EXPECT_TRUE(BroadcastDeviceChange(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT, Bit(medium.Letter())));
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
    ASSERT_TRUE(program.WaitExit(15000));
    EXPECT_EQ(program.ExitCode(), 0u);  // its own end, not a crash after the notice
    // What was started from the medium runs on.
    EXPECT_TRUE(::IsWindow(started));
    EXPECT_TRUE(CloseStarted());
}

TEST(MediumRemoval, DriveStartedInLowerCaseClosesItAllTheSame)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    // As a user types it: e:\Tools\Vellokari.exe; the program's own path keeps the case.
    std::string path = medium.Path("\\Tools\\Vellokari.exe");
    path[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    ProgramUnderTest program(path);
    ASSERT_TRUE(program.IsInstalled());
    ASSERT_TRUE(program.Start());
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), "Vellokari [" + path.substr(0, 2) + "ドライブから起動]");
    EXPECT_TRUE(BroadcastVolumeRemoval(Bit(medium.Letter())));
    EXPECT_NE(program.WaitDialog(kNoticeCaption), nullptr);
    ASSERT_TRUE(program.WaitExit(15000));
    EXPECT_EQ(program.ExitCode(), 0u);
}

// The removal road's log, in the main dialog run in this process: the
// registration line at its creation, a line for every device change, and the
// letter of a volume's removal; only its own drive's removal ends it.
TEST(MediumRemoval, LogLinesOfEveryDeviceChange)
{
    char modulePath[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    const char own = static_cast<char>(std::toupper(static_cast<unsigned char>(modulePath[0])));
    const char other = own == 'X' ? 'Y' : 'X';  // any other letter, Z: included

    ClosingReset reset;  // the removal begins the closing of this process
    DebugLogCapture log;
    ModalSeam seam;
    bool ended = false;
    seam.Push([&](CDialog& dialog) {
        char registered[64];
        std::snprintf(registered, sizeof registered, "●●RegisterWindowMessage() msg=0x%x\n",
                      ::RegisterWindowMessageA("BOREWAYOPEN"));
        // The main dialog's, then the launcher panel's of its own.
        EXPECT_EQ(log.Count(registered), 2) << log.Text();

        struct Case {
            WPARAM event;
            DWORD type;
            char letter;
            DWORD size;  // the header's dbch_size
            bool letterLine;
        };
        const DWORD whole = sizeof(DEV_BROADCAST_VOLUME);
        // A record of the header alone (as another program may send it) has no
        // mask: what lies after it is not read, here the program's own letter.
        for (const Case& c : {Case{DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, own, whole, false},
                              Case{DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME, own, whole, false},
                              Case{DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT, own, whole, false},
                              Case{DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, own, sizeof(DEV_BROADCAST_HDR), false},
                              Case{DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, own, 15, false},
                              Case{DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, other, 16, true},
                              Case{DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, other, whole, true}}) {
            DEV_BROADCAST_VOLUME volume{c.size, c.type, 0, 1u << (c.letter - 'A'), DBTF_MEDIA};
            const std::size_t before = log.Text().size();
            dialog.SendMessage(WM_DEVICECHANGE, c.event, reinterpret_cast<LPARAM>(&volume));
            char line[128];
            std::snprintf(line, sizeof line, "WM_DEVICECHANGE wParam=0x%08x, lParam=0x%08x\n",
                          static_cast<unsigned>(c.event), static_cast<unsigned>(reinterpret_cast<LPARAM>(&volume)));
            std::string expected = line;
            if (c.letterLine)
                expected += std::string("Remove Device letter=[") + c.letter + "]";
            EXPECT_EQ(log.Text().substr(before), expected) << c.event << " " << c.type << " " << c.size;
        }
        PumpMessages();
        EXPECT_TRUE(dialog.IsRunningModal());

        // Its own drive: the line without a line end, then the notice, then the end.
        DEV_BROADCAST_VOLUME volume{sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << (own - 'A'), DBTF_MEDIA};
        dialog.SendMessage(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&volume));
        EXPECT_EQ(log.Count(std::string("Remove Device letter=[") + own + "]"), 1);
        ended = WaitFor([&] { return !dialog.IsRunningModal(); });
    });
    seam.Push([](CDialog& notice) { notice.EndDialog(IDOK); });
    CVellokariDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(ended);
    EXPECT_EQ(seam.Driven(), 2);
    EXPECT_EQ(seam.LeftOpen(), 0);
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
    SaveNotice(notice);
    EXPECT_TRUE(program.IsRunning());
    ASSERT_TRUE(program.WaitExit(15000));
    EXPECT_EQ(program.ExitCode(), 0u);
}

// Whatever of the program is open when its medium goes, the notice shows over
// the main dialog and the program ends; a press in the open window that comes
// after the removal writes nothing to the letter, which by then names another medium.
TEST(MediumRemoval, EndsWhateverIsOpenAndWritesNothingAfterwards)
{
    const char kOtherSettings[] = "[SYSTEM]\r\nVER=another medium\r\n";
    const char kOtherAutorun[] = "[autorun]\r\nOPEN=another.exe\r\n";
    struct Case {
        const char* what;
        std::function<HWND(const ProgramUnderTest&)> open;  // the window that then faces the user
        int pressAfter;                                      // its button pressed after the removal, or 0
    };
    const std::vector<Case> cases = {
        {"the Add dialog, OK", &OpenAddDialog, IDOK},
        {"the delete question, Yes",
         [](const ProgramUnderTest& program) {
             const HWND list = ::GetDlgItem(PanelWith(program.MainWindow(), ID_LAUNCHER_LIST), ID_LAUNCHER_LIST);
             const LPARAM row = RowPoint(list, 0);
             ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, row);
             ::PostMessageA(list, WM_LBUTTONUP, 0, row);
             if (!WaitFor([&] { return ::SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0) == 0; }))
                 return HWND{};
             ClickButton(::GetParent(list), 1017);
             return program.WaitDialog("Vellokari");
         },
         IDYES},
        {"the Autorun.inf editor, OK",
         [](const ProgramUnderTest& program) {
             ClickButton(program.MainWindow(), 1038);
             const HWND editor = program.WaitDialog("Autorun.inf編集");
             if (editor != nullptr)
                 Type(::GetDlgItem(editor, 1037), "[autorun]\r\nOPEN=edited.exe\r\n");
             return editor;
         },
         IDOK},
        {"the about box",
         [](const ProgramUnderTest& program) {
             ::PostMessageA(program.MainWindow(), WM_SYSCOMMAND, 0x0010, 0);
             return program.WaitDialog("Vellokariのﾊﾞｰｼﾞｮﾝ情報");
         },
         0},
        {"the file dialog over the Add dialog",
         [](const ProgramUnderTest& program) {
             const HWND dialog = OpenAddDialog(program);
             ClickButton(dialog, 1012);
             return program.WaitDialog("Open");
         },
         0},
        {"the folder picker over the Add dialog",
         [](const ProgramUnderTest& program) {
             const HWND dialog = OpenAddDialog(program);
             ClickButton(dialog, 1013);
             return WaitOtherDialog(program, {program.MainWindow(), dialog});
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestMedium medium;
        TestMedium other;
        ASSERT_TRUE(medium.IsReady() && other.IsReady());
        ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
        const std::string ini = medium.Path("\\Vellokari.ini");
        ASSERT_TRUE(WriteBytes(ini, SettingsText("", {RecorderItem(medium, "one", 0)})));
        ASSERT_TRUE(WriteBytes(medium.Path("\\autorun.inf"), "[autorun]\r\n"));
        ASSERT_TRUE(WriteBytes(other.Path("\\Vellokari.ini"), kOtherSettings));
        ASSERT_TRUE(WriteBytes(other.Path("\\autorun.inf"), kOtherAutorun));
        ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
        ASSERT_TRUE(program.Start());
        const HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        const HWND open = c.open(program);
        ASSERT_NE(open, nullptr);

        // The medium goes and another one takes its letter; the press comes after the removal's message.
        ASSERT_TRUE(RemoveDrive(medium.Letter()));
        ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), other.HostFolder()));
        EXPECT_TRUE(BroadcastVolumeRemoval(Bit(medium.Letter())));
        if (c.pressAfter != 0)
            ClickButton(open, c.pressAfter);

        const HWND notice = program.WaitDialog(kNoticeCaption);
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(::GetWindow(notice, GW_OWNER), main);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(open); }));
        ClickButton(notice, IDOK);
        EXPECT_TRUE(program.WaitExit(5000));
        EXPECT_EQ(program.ExitCode(), 0u);
        EXPECT_EQ(ReadBytes(other.Path("\\Vellokari.ini")), kOtherSettings);
        EXPECT_EQ(ReadBytes(other.Path("\\autorun.inf")), kOtherAutorun);
        EXPECT_TRUE(RemoveDrive(medium.Letter()));  // the letter goes whole, not left on the other medium
    }
}

// While the notice shows, the letter may already name another medium: a gate
// that opens then starts nothing from it.
TEST(MediumRemoval, NothingIsStartedFromTheLetterAfterTheRemoval)
{
    TestMedium medium;
    TestMedium other;
    ASSERT_TRUE(medium.IsReady() && other.IsReady());
    ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
    ASSERT_TRUE(WriteBytes(medium.Path("\\Vellokari.ini"), SettingsText("", {RecorderItem(medium, "gate", 2, 4)})));
    RecorderItem(other, "unused", 0);  // the same program at the same place on the other medium
    const std::string record = other.Path("\\record.txt");  // by the other medium's own letter
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    ScopedEnv window("VK_RECORD_WINDOW", kStartedTitle);
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    ASSERT_TRUE(program.Start());
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(RemoveDrive(medium.Letter()));
    ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), other.HostFolder()));
    EXPECT_TRUE(BroadcastVolumeRemoval(Bit(medium.Letter())));
    ASSERT_NE(program.WaitDialog(kNoticeCaption), nullptr);
    ASSERT_TRUE(OpenGate(main, 4));
    // The notice closes itself after 5 s: many run ticks pass under it.
    ASSERT_TRUE(program.WaitExit(15000));
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(ReadBytes(record), "");
    EXPECT_TRUE(CloseStarted());
    EXPECT_TRUE(RemoveDrive(medium.Letter()));
}

// The medium goes while the shell copies Skype onto it, and the thread inside
// the copy misses the system's notice: the program looks at its medium when
// the copy returns and takes the closing road before anything else, without
// a box of its own; it ends, and a start from the medium put back is not
// refused as a second one.
TEST(MediumRemoval, DuringTheSkypeCopyUnheardTheProgramEndsAllTheSame)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    const std::string ini = medium.Path("\\Vellokari.ini");
    const std::string settings = SettingsText("", {});
    ASSERT_TRUE(WriteBytes(ini, settings));
    // A Skype large enough that its copy runs for a while: the stand-in with
    // its version resource, then room after it (a sparse end, read as zeros).
    FixedDiskSkype skype;
    {
        const HANDLE file = ::CreateFileA(skype.Path().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size{};
        size.QuadPart = 512LL << 20;
        const bool grown = ::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
        ::CloseHandle(file);
        ASSERT_TRUE(grown);
    }
    SkypeKey key(HKEY_LOCAL_MACHINE, skype.Path().c_str());
    ASSERT_TRUE(key.IsReady());
    ASSERT_TRUE(program.Start("-NOSTART"));
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(::IsWindowEnabled(program.Item(ID_SKYPE_IMPORT)));

    ClickButton(main, ID_SKYPE_IMPORT);
    const HWND question = program.WaitDialog("Vellokari");
    ASSERT_NE(question, nullptr);
    ASSERT_EQ(MessageBoxText(question), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
    ClickButton(question, IDYES);
    // The copy is under way once its file has come in beside the place of the copy.
    const std::string bin = medium.Path("\\skype\\bin");
    std::string incoming;
    ASSERT_TRUE(WaitFor([&] {
        WIN32_FIND_DATAA data;
        const HANDLE find = ::FindFirstFileA((bin + "\\Skype.exe.*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(find);
        incoming = bin + "\\" + data.cFileName;
        return true;
    }));
    {
        // Held inside the copy, the thread misses the notice: the system gives up on it.
        HeldThread held(main);
        ASSERT_TRUE(held.IsHeld());
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(::GetFileAttributesExA(incoming.c_str(), GetFileExInfoStandard, &data));
        ASSERT_LT(data.nFileSizeLow + (static_cast<unsigned long long>(data.nFileSizeHigh) << 32), 512ULL << 20)
            << "the copy ended before the thread was held";
        ASSERT_TRUE(RemoveDrive(medium.Letter()));
        ASSERT_TRUE(WaitFor([&] { return !FileExists(medium.Drive() + "\\"); }));
        BroadcastVolumeRemoval(Bit(medium.Letter()));
    }

    // The closing notice, with no box before it: neither the copy's failure nor anything else.
    const AfterTheRemoval seen = WaitForTheNotice(program, 60000);
    EXPECT_TRUE(seen.notice) << "the program still runs: " << program.IsRunning();
    EXPECT_EQ(seen.boxes, std::vector<std::string>{});
    ASSERT_TRUE(program.WaitExit(15000));
    EXPECT_EQ(program.ExitCode(), 0u);

    // Put back: nothing was written, no copy took its place, and the program starts again from it.
    ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
    EXPECT_EQ(ReadBytes(ini), settings);
    EXPECT_FALSE(FileExists(bin + "\\Skype.exe"));
    ProgramUnderTest again(program.ExePath(), false);
    ASSERT_TRUE(again.Start("-NOSTART"));
    EXPECT_NE(again.WaitMainWindow(), nullptr);
    EXPECT_EQ(again.FindDialog("２重起動"), nullptr);
    EXPECT_TRUE(again.Close());
    EXPECT_TRUE(RemoveDrive(medium.Letter()));
}

// Another medium takes the letter while the program's thread is held (no
// notice reaches it, as none comes from a swap the system never saw): what
// the program does next, whatever window was open, meets its look at the
// medium first, and with nothing to do its run tick looks. It closes, writes
// nothing to the other medium and starts nothing of it, neither for a press
// in the open window nor for a gate that opens.
TEST(MediumRemoval, AnotherMediumUnderTheLetterUnheardGetsNothing)
{
    const char kOtherSettings[] = "[SYSTEM]\r\nVER=another medium\r\n";
    const char kOtherAutorun[] = "[autorun]\r\nOPEN=another.exe\r\n";
    struct Case {
        const char* what;
        std::function<HWND(const ProgramUnderTest&)> open;  // the window that then faces the user
        int press;                                           // its button pressed once held, or 0
        bool gate = true;                                    // a gate opens once held
    };
    const auto nothingOpen = [](const ProgramUnderTest& program) { return program.MainWindow(); };
    const std::vector<Case> cases = {
        {"nothing at all: the run tick's look", nothingOpen, 0, false},
        {"a gate that opens: the start", nothingOpen, 0},
        {"the Add dialog, OK: the save", &OpenAddDialog, IDOK},
        {"the Autorun.inf editor's question, Yes: its write",
         [](const ProgramUnderTest& program) {
             ClickButton(program.MainWindow(), 1038);
             const HWND editor = program.WaitDialog("Autorun.inf編集");
             if (editor == nullptr)
                 return HWND{};
             Type(::GetDlgItem(editor, 1037), "[autorun]\r\nOPEN=edited.exe\r\n");
             ClickButton(editor, IDOK);
             return WaitOtherDialog(program, {program.MainWindow(), editor});
         },
         IDYES},
        {"the Skype question, Yes: the copy",
         [](const ProgramUnderTest& program) {
             ClickButton(program.MainWindow(), ID_SKYPE_IMPORT);
             return program.WaitDialog("Vellokari");
         },
         IDYES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestMedium medium;
        TestMedium other;
        ASSERT_TRUE(medium.IsReady() && other.IsReady());
        ASSERT_TRUE(GiveSerial(medium, "1a2b3c4d") && GiveSerial(other, "5e6f7a8b"));
        ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
        ASSERT_TRUE(WriteBytes(medium.Path("\\Vellokari.ini"), SettingsText("", {RecorderItem(medium, "gate", 2, 4)})));
        ASSERT_TRUE(WriteBytes(medium.Path("\\autorun.inf"), "[autorun]\r\n"));
        // The other medium: its own settings and Autorun.inf, the same program at
        // the same place, and a file under the name a cut-off copy of Skype leaves.
        ASSERT_TRUE(WriteBytes(other.Path("\\Vellokari.ini"), kOtherSettings));
        ASSERT_TRUE(WriteBytes(other.Path("\\autorun.inf"), kOtherAutorun));
        RecorderItem(other, "unused", 0);
        const std::string leftover = Temporary(medium.Path("\\skype\\bin\\Skype.exe"));
        other.MakeFolders("\\skype\\bin");
        const std::string otherLeftover = other.Path(leftover.substr(2));
        ASSERT_TRUE(WriteBytes(otherLeftover, "the other medium's"));
        const std::string record = other.Path("\\record.txt");  // by the other medium's own letter
        ScopedEnv recordFile("VK_RECORD_FILE", record);
        ScopedEnv window("VK_RECORD_WINDOW", kStartedTitle);
        FixedDiskSkype skype;
        SkypeKey key(HKEY_LOCAL_MACHINE, skype.Path().c_str());
        ASSERT_TRUE(key.IsReady());

        ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
        ASSERT_TRUE(program.Start());
        const HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        const HWND open = c.open(program);
        ASSERT_NE(open, nullptr);
        {
            HeldThread held(main);
            ASSERT_TRUE(held.IsHeld());
            ASSERT_TRUE(RemoveDrive(medium.Letter()));
            ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), other.HostFolder()));
            if (c.press != 0)
                ClickButton(open, c.press);
            if (c.gate)
                ::PostMessageA(main, ::RegisterWindowMessageA("BOREWAYOPEN"), 4, 0);
        }

        const AfterTheRemoval seen = WaitForTheNotice(program, 15000, open);
        EXPECT_TRUE(seen.notice) << "the program still runs: " << program.IsRunning();
        EXPECT_EQ(seen.boxes, std::vector<std::string>{});
        EXPECT_TRUE(program.WaitExit(15000));
        EXPECT_EQ(program.ExitCode(), 0u);
        EXPECT_EQ(ReadBytes(other.Path("\\Vellokari.ini")), kOtherSettings);
        EXPECT_EQ(ReadBytes(other.Path("\\autorun.inf")), kOtherAutorun);
        EXPECT_EQ(ReadBytes(otherLeftover), "the other medium's");
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        const HANDLE find = ::FindFirstFileA(other.Path("\\skype\\bin\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (data.cFileName[0] != '.')
                    names.push_back(data.cFileName);
            } while (::FindNextFileA(find, &data));
            ::FindClose(find);
        }
        EXPECT_EQ(names, std::vector<std::string>{leftover.substr(leftover.rfind('\\') + 1)});
        EXPECT_EQ(ReadBytes(record), "");
        program.Kill();
        EXPECT_TRUE(CloseStarted());
        EXPECT_TRUE(RemoveDrive(medium.Letter()));
    }
}
