// The real program started from test media: one copy per drive, the
// switches, the places it takes from its own path, and what it writes at start.
#include "AppTest.h"
#include "CAboutDlg.h"
#include "CDialog.h"
#include "CVellokariApp.h"
#include "Closing.h"
#include "ModalSeam.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
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

    // Another medium runs alongside.
    ProgramUnderTest elsewhere(other.Path("\\Vellokari.exe"));
    ASSERT_TRUE(elsewhere.Start());
    EXPECT_NE(elsewhere.WaitMainWindow(), nullptr);

    EXPECT_TRUE(elsewhere.Close());
    EXPECT_TRUE(first.Close());
}

// Whatever path a start names the program by, starts of the one file on the
// medium exclude each other; an upper-case drive keeps the name it always had.
TEST(Startup, StartsFromOneMediumByAnySpellingExcludeEachOther)
{
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    const std::string drive = on.medium.Drive();
    std::string lower = drive;
    lower[0] = static_cast<char>(lower[0] - 'A' + 'a');
    const std::string rest = "\\Tools\\Vellokari.exe";
    const std::string folder = on.program.Folder();
    struct Spelling {
        std::string file;  // the program file as the starter names it
        std::string line;  // the command line a shell hands on, when it is not the file
        const char* folder;
    };
    // A line beginning with a backslash or a relative one is what a shell
    // passes; the file started is still the one on the medium.
    const std::vector<Spelling> spellings = {
        {drive + rest, "", nullptr},
        {lower + rest, "", nullptr},
        {"\\\\?\\" + drive + rest, "", nullptr},
        {"\\\\?\\" + lower + rest, "", nullptr},
        {"\\\\.\\" + drive + rest, "", nullptr},
        {drive + rest, ".\\Vellokari.exe", folder.c_str()},
        {drive + rest, "\\Tools\\Vellokari.exe", folder.c_str()},
        {drive + rest, "\\\\server\\share\\Vellokari.exe", folder.c_str()},
    };
    const std::string name = "__VELLOKARI_MORROWGLINT__" + drive;
    for (std::size_t i = 0; i < spellings.size(); ++i) {
        const Spelling& first = spellings[i];
        const Spelling& second = spellings[(i + 1) % spellings.size()];
        SCOPED_TRACE(first.file + " " + first.line + " then " + second.file + " " + second.line);
        ProgramUnderTest program(first.file, false);
        ASSERT_TRUE(program.Start("", "", first.folder, first.line));
        ASSERT_NE(program.WaitMainWindow(), nullptr);
        const HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
        EXPECT_NE(mutex, nullptr) << name;
        if (mutex != nullptr)
            ::CloseHandle(mutex);

        ProgramUnderTest twin(second.file, false);
        ASSERT_TRUE(twin.Start("", "", second.folder, second.line));
        const HWND box = twin.WaitDialog("２重起動");
        ASSERT_NE(box, nullptr);
        ClickButton(box, IDOK);
        EXPECT_TRUE(twin.WaitExit());
        EXPECT_TRUE(program.IsRunning());
        EXPECT_TRUE(program.Close());
    }
}

// The mutex's name from the program's path: the drive in upper case by any
// spelling; else its first two bytes, a backslash made a slash, a
// double-byte character's trail byte kept.
TEST(Startup, MutexNameFromTheProgramsPath)
{
    struct Case {
        const char* path;
        const char* tail;
    };
    for (const Case& c : {Case{"E:\\Tools\\Vellokari.exe", "E:"}, Case{"e:\\Vellokari.exe", "E:"},
                          Case{"\\\\?\\E:\\Vellokari.exe", "E:"}, Case{"\\\\?\\e:\\Vellokari.exe", "E:"},
                          Case{"\\\\.\\z:\\Vellokari.exe", "Z:"}, Case{"\\\\server\\share\\Vellokari.exe", "//"},
                          Case{"\\\\?\\UNC\\server\\share\\Vellokari.exe", "//"},
                          Case{"\\\\?\\unc\\server\\share\\Vellokari.exe", "//"}, Case{"\\\\?\\", "//"},
                          Case{"\\\\?\\Volume{1}\\Vellokari.exe", "//"}, Case{"Vellokari.exe", "Ve"},
                          Case{".\\Vellokari.exe", "./"}, Case{"\\Tools\\Vellokari.exe", "/T"},
                          Case{"表\\Vellokari.exe", "表"}, Case{"a\\Vellokari.exe", "a/"}, Case{"1:", "1:"},
                          Case{"V", "V"}, Case{"", ""}}) {
        EXPECT_EQ(std::string(MutexName(c.path).GetString()), std::string("__VELLOKARI_MORROWGLINT__") + c.tail)
            << c.path;
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
// compared without a read past either's end, whatever their lengths. This
// pins a comparison that reads a fixed count of bytes (the switch's length)
// of the argument: one that reads them all, or several at a time, faults
// here. A memcmp that goes byte by byte and stops at the first difference,
// as the one under Wine does, never reads past a shorter argument's zero, so
// under Wine an earlier memcmp over the switch's length passed here too.
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

namespace {

UINT FolderInto(const std::string& folder, LPSTR text, UINT size)
{
    if (folder.size() >= size)
        return static_cast<UINT>(folder.size() + 1);
    std::memcpy(text, folder.c_str(), folder.size() + 1);
    return static_cast<UINT>(folder.size());
}

struct ViewerStart {
    std::string application;
    std::string line;
    std::string folder;
    bool operator==(const ViewerStart& other) const
    {
        return application == other.application && line == other.line && folder == other.folder;
    }
    friend std::ostream& operator<<(std::ostream& out, const ViewerStart& start)
    {
        return out << "{" << start.application << " | " << start.line << " | " << start.folder << "}";
    }
};

}  // namespace

// The help command goes through the application's command table; the help
// file goes to the viewer of the Windows folder, else of the system folder,
// named in full and started in its folder; no help file or no viewer there,
// nothing starts.
TEST(Startup, HelpCommandStartsOnlyTheViewerOfASystemFolder)
{
    static std::string windowsFolder;
    static std::string systemFolder;
    static std::vector<ViewerStart> started;
    started.clear();
    const HelpCalls saved = HelpBinding();
    HelpBinding().windowsFolder = [](LPSTR text, UINT size) -> UINT { return FolderInto(windowsFolder, text, size); };
    HelpBinding().systemFolder = [](LPSTR text, UINT size) -> UINT { return FolderInto(systemFolder, text, size); };
    HelpBinding().createProcess = [](LPCSTR application, LPSTR line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                     BOOL, DWORD, LPVOID, LPCSTR folder, LPSTARTUPINFOA,
                                     LPPROCESS_INFORMATION) -> BOOL {
        started.push_back({application != nullptr ? application : "(none)", line, folder != nullptr ? folder : "(none)"});
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    };
    TempFolder temp;
    windowsFolder = temp / "windows";
    systemFolder = temp / "system32";
    ASSERT_TRUE(::CreateDirectoryA(windowsFolder.c_str(), nullptr) && ::CreateDirectoryA(systemFolder.c_str(), nullptr));
    const std::string help = temp / "Vellokari.hlp";
    const std::string inWindows = windowsFolder + "\\winhlp32.exe";
    const std::string inSystem = systemFolder + "\\winhlp32.exe";
    const ViewerStart fromWindows{inWindows, "\"" + inWindows + "\" \"" + help + "\"", windowsFolder};
    const ViewerStart fromSystem{inSystem, "\"" + inSystem + "\" \"" + help + "\"", systemFolder};
    {
        CVellokariApp app;
        app.m_strHelpFilePath = help.c_str();
        struct Case {
            bool helpFile;
            bool viewerInWindows;
            bool viewerInSystem;
            std::vector<ViewerStart> starts;
        };
        for (const Case& c : {Case{false, true, true, {}}, Case{true, false, false, {}},
                              Case{true, false, true, {fromSystem}}, Case{true, true, true, {fromWindows}}}) {
            SCOPED_TRACE(std::to_string(c.helpFile) + std::to_string(c.viewerInWindows) +
                         std::to_string(c.viewerInSystem));
            ::DeleteFileA(help.c_str());
            ::DeleteFileA(inWindows.c_str());
            ::DeleteFileA(inSystem.c_str());
            ASSERT_TRUE(!c.helpFile || WriteBytes(help, "help"));
            ASSERT_TRUE(!c.viewerInWindows || WriteBytes(inWindows, "MZ"));
            ASSERT_TRUE(!c.viewerInSystem || WriteBytes(inSystem, "MZ"));
            started.clear();
            EXPECT_TRUE(app.OnCmdMsg(ID_HELP));
            EXPECT_EQ(started, c.starts);
        }

        // F1 in a top-level dialog, as the key comes in.
        started.clear();
        ModalSeam seam;
        seam.Push([&](CDialog& dialog) {
            app.m_pMainWnd = &dialog;
            // Disabled, as under a box that waits: a posted help command is dropped.
            ::EnableWindow(dialog.m_hWnd, FALSE);
            ::SendMessageA(dialog.m_hWnd, WM_COMMAND, ID_HELP, 0);
            EXPECT_TRUE(started.empty());
            ::EnableWindow(dialog.m_hWnd, TRUE);
            ::SetForegroundWindow(dialog.m_hWnd);
            ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == dialog.m_hWnd; }));
            INPUT keys[2] = {};
            keys[0].type = keys[1].type = INPUT_KEYBOARD;
            keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
            keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
            ASSERT_EQ(::SendInput(2, keys, sizeof(INPUT)), 2u);
            EXPECT_TRUE(WaitFor([] { return !started.empty(); }));
            dialog.EndDialog(IDOK);
        });
        CAboutDlg about;
        about.DoModal();
        app.m_pMainWnd = nullptr;
        EXPECT_EQ(started, std::vector<ViewerStart>{fromWindows});

        // Once the medium has gone, its help file may be another medium's.
        started.clear();
        {
            ClosingReset reset;
            AfxBeginClosing();
            EXPECT_TRUE(app.OnCmdMsg(ID_HELP));
        }
        EXPECT_EQ(started, std::vector<ViewerStart>{});
    }
    HelpBinding() = saved;
}

namespace {

// A process that the program started, by its file name; 0 when none runs.
DWORD ChildNamed(DWORD parent, const char* name)
{
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD found = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more && found == 0; more = ::Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parent && _stricmp(entry.szExeFile, name) == 0)
            found = entry.th32ProcessID;
    }
    ::CloseHandle(snapshot);
    return found;
}

std::string ImagePath(DWORD processId)
{
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr)
        return std::string();
    char path[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    const BOOL read = ::QueryFullProcessImageNameA(process, 0, path, &size);
    ::CloseHandle(process);
    return read ? std::string(path, size) : std::string();
}

// Ends a process that a test caused when the test goes.
class EndsWithTheTest {
public:
    EndsWithTheTest() = default;
    ~EndsWithTheTest()
    {
        const HANDLE process = m_id != 0 ? ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, m_id) : nullptr;
        if (process == nullptr)
            return;
        ::TerminateProcess(process, 0);
        ::WaitForSingleObject(process, 5000);
        ::CloseHandle(process);
    }
    EndsWithTheTest(const EndsWithTheTest&) = delete;
    EndsWithTheTest& operator=(const EndsWithTheTest&) = delete;
    DWORD m_id = 0;
};

}  // namespace

// On the running program, the help command (posted, as any program may) with
// a help file beside the program: the system's viewer gets that file by its
// full path, and a winhlp32.exe planted beside the program, its current
// folder, never runs.
TEST(Startup, HelpCommandNeverStartsAViewerFromTheMedium)
{
    ProgramOnMedium on;
    ASSERT_TRUE(on.IsReady());
    const std::string record = on.medium.Path("\\record.txt");
    ScopedEnv env("VK_RECORD_FILE", record);
    ASSERT_TRUE(CopyWithFolders(FixturePath("vk_recorder.exe"), on.medium.Path("\\Tools\\winhlp32.exe")));
    const std::string help = on.medium.Path("\\Tools\\Vellokari.hlp");
    ASSERT_TRUE(WriteBytes(help, "no help inside"));
    ASSERT_TRUE(on.program.Start("", "", on.program.Folder().c_str()));
    const HWND main = on.program.WaitMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(::PostMessageA(main, WM_COMMAND, ID_HELP, 0));

    // The viewer tells that it cannot read the file: it was given the file's full path.
    EndsWithTheTest viewer;
    HWND box = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        viewer.m_id = ChildNamed(on.program.Id(), "winhlp32.exe");
        for (HWND window : ProcessWindows(viewer.m_id)) {
            if (viewer.m_id != 0 && ::IsWindowVisible(window) &&
                MessageBoxText(window).find("`" + help + "'") != std::string::npos)
                box = window;
        }
        return box != nullptr;
    }));
    SaveScreen("help-viewer", box);
    char system[MAX_PATH] = {};
    ASSERT_NE(::GetSystemDirectoryA(system, MAX_PATH), 0u);
    EXPECT_EQ(_stricmp(ImagePath(viewer.m_id).c_str(), (std::string(system) + "\\winhlp32.exe").c_str()), 0)
        << ImagePath(viewer.m_id);
    EXPECT_TRUE(on.program.Idle());
    EXPECT_FALSE(FileExists(record)) << ReadBytes(record);
    EXPECT_TRUE(on.program.Close());
}
