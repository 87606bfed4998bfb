// The real program started from test media: one copy per drive, the
// switches, the places it takes from its own path, and what it writes at start.
#include "AppTest.h"
#include "CAboutDlg.h"
#include "CDialog.h"
#include "CVellokariApp.h"
#include "ModalSeam.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

bool IsPlainFolder(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The text of the console that the process is joined to, row by row.
std::string ConsoleText()
{
    const HANDLE out = ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return std::string();
    CONSOLE_SCREEN_BUFFER_INFO info{};
    std::string text;
    if (::GetConsoleScreenBufferInfo(out, &info)) {
        std::string row(static_cast<std::size_t>(info.dwSize.X) * 2, ' ');
        for (SHORT y = 0; y < info.dwSize.Y; ++y) {
            DWORD read = 0;
            if (!::ReadConsoleOutputCharacterA(out, &row[0], static_cast<DWORD>(info.dwSize.X), COORD{0, y}, &read))
                break;
            std::string line = row.substr(0, read);
            line.erase(line.find_last_not_of(' ') + 1);
            text += line + "\n";
        }
    }
    ::CloseHandle(out);
    return text;
}

// The test as the program's debugger for a while: it sees the program's
// exceptions and its threads come and go. Detaches when it goes.
class DebugSession {
public:
    explicit DebugSession(DWORD processId) : m_id(processId)
    {
        m_attached = ::DebugActiveProcess(processId) != FALSE;
        if (m_attached)
            ::DebugSetProcessKillOnExit(FALSE);
    }
    ~DebugSession()
    {
        if (m_attached)
            ::DebugActiveProcessStop(m_id);
    }
    DebugSession(const DebugSession&) = delete;
    DebugSession& operator=(const DebugSession&) = delete;
    bool Attached() const { return m_attached; }

    // Lets the program run on until the condition holds for one of its events,
    // its end, or the time is up. Its exceptions go back to it unhandled, so
    // that its own handlers decide, except the debugger's own breakpoint.
    bool RunUntil(const std::function<bool(const DEBUG_EVENT&)>& condition, DWORD timeoutMs = 10000)
    {
        const ULONGLONG end = ::GetTickCount64() + timeoutMs;
        for (;;) {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= end)
                return false;
            DEBUG_EVENT event{};
            if (!::WaitForDebugEvent(&event, static_cast<DWORD>(end - now)))
                return false;
            DWORD status = DBG_CONTINUE;
            if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && event.u.LoadDll.hFile != nullptr)
                ::CloseHandle(event.u.LoadDll.hFile);
            if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && event.u.CreateProcessInfo.hFile != nullptr)
                ::CloseHandle(event.u.CreateProcessInfo.hFile);
            const bool met = condition(event);
            const bool ended = event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
            if (ended)
                m_ended = true;
            ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
            if (met)
                return true;
            if (ended)
                return false;
        }
    }
    bool Ended() const { return m_ended; }

private:
    DWORD m_id;
    bool m_attached = false;
    bool m_ended = false;
};

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

TEST(Startup, StartsByPathsThatBeginWithABackslashShowAndExcludeTheirTwins)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
    ASSERT_TRUE(program.IsInstalled());
    // The command line is what a shell hands on; the program file is the one on the medium.
    for (const char* line : {".\\Vellokari.exe", "\\Tools\\Vellokari.exe", "\\\\server\\share\\Vellokari.exe"}) {
        SCOPED_TRACE(line);
        ASSERT_TRUE(program.Start("", "", program.Folder().c_str(), line));
        const HWND main = program.WaitMainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(WindowText(main), "Vellokari [" + medium.Drive() + "ドライブから起動]");

        ProgramUnderTest twin(program.ExePath(), false);
        ASSERT_TRUE(twin.Start("", "", program.Folder().c_str(), line));
        const HWND box = twin.WaitDialog("２重起動");
        ASSERT_NE(box, nullptr);
        ClickButton(box, IDOK);
        EXPECT_TRUE(twin.WaitExit());
        EXPECT_TRUE(program.Close());
    }
}

// The two bytes of argument 0 in the mutex's name: what worked stays, a
// backslash becomes a slash, a double-byte character's trail byte stays.
TEST(Startup, MutexNameFromArgumentZero)
{
    struct Case {
        const char* arg0;
        const char* tail;
    };
    for (const Case& c : {Case{"E:\\Tools\\Vellokari.exe", "E:"}, Case{"Vellokari.exe", "Ve"},
                          Case{"e:\\Vellokari.exe", "e:"}, Case{".\\Vellokari.exe", "./"},
                          Case{"./Vellokari.exe", "./"}, Case{"\\Tools\\Vellokari.exe", "/T"},
                          Case{"\\\\server\\share\\Vellokari.exe", "//"}, Case{"表\\Vellokari.exe", "表"},
                          Case{"a\\Vellokari.exe", "a/"}, Case{"V", "V"}, Case{"", ""}}) {
        EXPECT_EQ(std::string(MutexName(c.arg0).GetString()), std::string("__VELLOKARI_MORROWGLINT__") + c.tail)
            << c.arg0;
    }
}

// A text whose terminating zero is the last readable byte: a read past it faults.
class TextAtTheEdge {
public:
    explicit TextAtTheEdge(const char* text)
    {
        SYSTEM_INFO system{};
        ::GetSystemInfo(&system);
        const DWORD page = system.dwPageSize;
        m_memory = static_cast<char*>(::VirtualAlloc(nullptr, page * 2, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (m_memory == nullptr || !::VirtualProtect(m_memory + page, page, PAGE_NOACCESS, &old))
            return;
        const std::size_t size = std::strlen(text) + 1;
        m_text = m_memory + page - size;
        std::memcpy(m_text, text, size);
    }
    ~TextAtTheEdge()
    {
        if (m_memory != nullptr)
            ::VirtualFree(m_memory, 0, MEM_RELEASE);
    }
    TextAtTheEdge(const TextAtTheEdge&) = delete;
    TextAtTheEdge& operator=(const TextAtTheEdge&) = delete;
    const char* Text() const { return m_text; }

private:
    char* m_memory = nullptr;
    char* m_text = nullptr;
};

// An argument and a switch, each at the very end of readable memory, are
// compared without a read past either's end, whatever their lengths.
TEST(Startup, SwitchComparisonReadsNeitherStringPastItsEnd)
{
    struct Case {
        const char* arg;
        const char* name;
        bool match;
    };
    for (const Case& c : {Case{"", "-NOSTART", false}, Case{"-", "-D742", false}, Case{"-D74", "-D742", false},
                          Case{"-NOSTAR", "-NOSTART", false}, Case{"-D742", "-D742", true},
                          Case{"-NOSTART", "-NOSTART", true}, Case{"-nostart", "-NOSTART", false},
                          Case{"-D742=1", "-D742", false}, Case{"-NOSTARTX", "-NOSTART", false}}) {
        const TextAtTheEdge arg(c.arg);
        const TextAtTheEdge name(c.name);
        ASSERT_TRUE(arg.Text() != nullptr && name.Text() != nullptr);
        EXPECT_EQ(IsSwitch(arg.Text(), name.Text()), c.match) << c.arg << " " << c.name;
    }
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
    const std::string output = medium.Path("\\output.txt");
    ASSERT_TRUE(program.Start("-D742 -NOSTART", output));
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    // Matched before the console exists: on the starter's output.
    EXPECT_EQ(ReadBytes(output), "1番目の引数=-D742\r\nDEBUGMODE ON\r\n2番目の引数=-NOSTART\r\nNOSTART ON\r\n");

    // Joined to the program's console, this test hears the Ctrl+C as the program does.
    static volatile LONG heard = 0;
    ::FreeConsole();
    ASSERT_TRUE(::AttachConsole(program.Id())) << ::GetLastError();
    // The start's lines, on the program's own console.
    std::string console;
    EXPECT_TRUE(WaitFor([&] {
        console = ConsoleText();
        return console.find("NOSTART_MODE ON") != std::string::npos;
    })) << console;
    EXPECT_EQ(console.find("********** Start Vellokari DEBUG MODE  *******\nDEBUG_MODE ON\nNOSTART_MODE ON\n"), 0u)
        << console;
    EXPECT_EQ(console.find("DEBUGMODE ON"), std::string::npos);

    // The program as a debugger sees it: the Ctrl+C reaches it as an exception
    // in a thread of its own, its handler takes it, and that thread ends
    // while the program lives on.
    auto debug = std::make_unique<DebugSession>(program.Id());
    ASSERT_TRUE(debug->Attached()) << ::GetLastError();
    ::SetConsoleCtrlHandler(
        [](DWORD) -> BOOL {
            ::InterlockedIncrement(&heard);
            return TRUE;
        },
        TRUE);
    ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    DWORD ctrlThread = 0;
    EXPECT_TRUE(debug->RunUntil([&](const DEBUG_EVENT& event) {
        if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
            event.u.Exception.ExceptionRecord.ExceptionCode == DBG_CONTROL_C)
            ctrlThread = event.dwThreadId;
        return ctrlThread != 0;
    }));
    EXPECT_TRUE(debug->RunUntil([&](const DEBUG_EVENT& event) {
        return event.dwDebugEventCode == EXIT_THREAD_DEBUG_EVENT && event.dwThreadId == ctrlThread;
    }));
    EXPECT_FALSE(debug->Ended());
    debug.reset();  // the program runs free again
    EXPECT_TRUE(WaitFor([] { return heard > 0; }));
    ::FreeConsole();
    EXPECT_TRUE(program.IsRunning());
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

    // A recorded version of the copy there and a first item that is not Skype: Skype goes on top,
    // the file is rewritten.
    ASSERT_TRUE(WriteBytes(ini, SettingsText("Ver.:1.0", {other})));
    medium.Put(FixturePath("vk_recorder.exe"), folder + "\\skype\\bin\\Skype.exe");
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

// The help command goes through the application's command table to the
// help file beside the program; with no such file, F1 shows nothing.
TEST(Startup, HelpCommandOpensTheHelpFileOnlyWhenThereIsOne)
{
    static std::vector<std::string> opened;
    opened.clear();
    const HelpCalls saved = HelpBinding();
    HelpBinding().winHelp = [](HWND, LPCSTR file, UINT, ULONG_PTR) -> BOOL {
        opened.push_back(file);
        return TRUE;
    };
    TempFolder folder;
    const std::string help = folder / "Vellokari.hlp";
    {
        CVellokariApp app;
        app.m_strHelpFilePath = help.c_str();
        EXPECT_TRUE(app.OnCmdMsg(ID_HELP));
        EXPECT_TRUE(opened.empty());

        // F1 in a top-level dialog, as the key comes in.
        ASSERT_TRUE(WriteBytes(help, "help"));
        ModalSeam seam;
        seam.Push([&](CDialog& dialog) {
            app.m_pMainWnd = &dialog;
            ::SetForegroundWindow(dialog.m_hWnd);
            ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == dialog.m_hWnd; }));
            INPUT keys[2] = {};
            keys[0].type = keys[1].type = INPUT_KEYBOARD;
            keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
            keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
            ASSERT_EQ(::SendInput(2, keys, sizeof(INPUT)), 2u);
            EXPECT_TRUE(WaitFor([] { return !opened.empty(); }));
            dialog.EndDialog(IDOK);
        });
        CAboutDlg about;
        about.DoModal();
        app.m_pMainWnd = nullptr;
    }
    HelpBinding() = saved;
    EXPECT_EQ(opened, std::vector<std::string>{help});
}
