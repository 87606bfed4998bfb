// Skype on the medium, through the real program, the test prefix's real
// registry and a stand-in Skype with a version resource on the fixed disk.
#include "AfxMessageBox.h"
#include "AppTest.h"
#include "CHandle.h"
#include "CVellokariDlg.h"
#include "ProgramUnderTest.h"
#include "ShellFileOperation.h"
#include "SkypeOnMedium.h"
#include "TemporaryName.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

const char kWriteQuestion[] = "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？";
const char kReplaceQuestion[] = "PortableメディアのSkypeを上書きします.よろしいですか？";
const char kCopyFailed[] = "Skypeの書き込みに失敗しました.PortableメディアのSkypeは変更されていません.";
const char kPlainVersion[] = "Ver.:2.5.0.17";  // of vk_version_plain.exe

struct Shown {
    std::string medium;
    std::string fix;
    bool importEnabled;
};

Shown StartAndRead(ProgramUnderTest& program)
{
    if (!program.Start() || program.WaitMainWindow() == nullptr)
        return {"(no window)", "", false};
    Shown shown{program.ItemText(ID_LABEL_MEDIUM), program.ItemText(ID_LABEL_FIX),
                ::IsWindowEnabled(program.Item(ID_SKYPE_IMPORT)) != FALSE};
    program.Close();
    return shown;
}

// A message box of the program (captioned with its name); its text, after answering it.
// With a name, a picture of the screen is kept when VKAPPSHOTS names a folder.
std::string AnswerBox(const ProgramUnderTest& program, int answer, const char* shot = nullptr)
{
    const HWND box = program.WaitDialog("Vellokari");
    if (box == nullptr)
        return "(no box)";
    if (shot != nullptr)
        SaveScreen(shot, box);
    const std::string text = MessageBoxText(box);
    ClickButton(box, answer);
    WaitFor([&] { return !::IsWindow(box); });
    return text;
}

// A question of the program or of the shell that it called: any dialog of the process but its
// main window. Its text, after answering it.
std::string AnswerQuestion(const ProgramUnderTest& program, int answer, const char* shot = nullptr)
{
    HWND question = nullptr;
    WaitFor([&] {
        for (HWND hwnd : ProcessWindows(program.Id())) {
            if (hwnd != program.MainWindow() && ::IsWindowVisible(hwnd) && WindowClass(hwnd) == "#32770")
                question = hwnd;
        }
        return question != nullptr;
    });
    if (question == nullptr)
        return "(no question)";
    if (shot != nullptr)
        SaveScreen(shot, question);
    const std::string text = WindowText(question) + ": " + MessageBoxText(question);
    ClickButton(question, answer);
    WaitFor([&] { return !::IsWindow(question); });
    return text;
}

void ClickImport(const ProgramUnderTest& program)
{
    ClickButton(program.MainWindow(), ID_SKYPE_IMPORT);
}

// The names in a folder, "." and ".." left out.
std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    const HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return names;
}

// A folder of the medium with a file system of the host mounted over it for
// a scope ("DIR" in the mount command stands for its host path).
class HostMount {
public:
    HostMount(const TestMedium& medium, const std::string& rest, const std::string& mountCommand)
        : m_medium(medium), m_dir(medium.HostFolder())
    {
        for (char c : rest)
            m_dir += c == '\\' ? '/' : c;
        std::string command = mountCommand;
        for (std::size_t at = command.find("DIR"); at != std::string::npos; at = command.find("DIR", at))
            command.replace(at, 3, "'" + m_dir + "'");
        m_bMounted = medium.RunOnHost(command);
    }
    ~HostMount()
    {
        if (m_bMounted)
            m_medium.RunOnHost("umount '" + m_dir + "' || umount -l '" + m_dir + "'");
    }
    HostMount(const HostMount&) = delete;
    HostMount& operator=(const HostMount&) = delete;
    bool IsReady() const { return m_bMounted; }

private:
    const TestMedium& m_medium;
    std::string m_dir;
    bool m_bMounted = false;
};

// The box that a press of the import button brings while a Skype.exe from the medium shows a window.
std::string BoxWhileSkypeRunsFromTheMedium(const ProgramUnderTest& program, const TestMedium& medium)
{
    ScopedEnv window("VK_RECORD_WINDOW", "vk skype on the medium");
    ChildProcess running;
    const std::string exe = medium.Put(FixturePath("vk_recorder.exe"), "\\other\\Skype.exe");
    if (!running.Start("\"" + exe + "\"") ||
        !WaitFor([] { return ::FindWindowA(nullptr, "vk skype on the medium") != nullptr; }))
        return "(no Skype running from the medium)";
    ClickImport(program);
    return AnswerBox(program, IDOK);
}

}  // namespace

TEST(SkypeOnMedium, FixedDiskVersionThroughTheRegistry)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
    FixedDiskSkype skype;
    FixedDiskSkype noVersion("vk_recorder.exe");
    const std::string tooLong = "C:\\" + std::string(300, 'a') + "\\Skype.exe";

    {
        SCOPED_TRACE("a stand-in with its version");
        SkypeKey key(HKEY_LOCAL_MACHINE, skype.Path().c_str());
        ASSERT_TRUE(key.IsReady());
        const Shown shown = StartAndRead(program);
        EXPECT_EQ(shown.fix, std::string("FixHDD バージョン:") + kStandInVersion);
        EXPECT_EQ(shown.medium, "Portable未インストール");
        EXPECT_TRUE(shown.importEnabled);
    }
    struct Case {
        const char* what;
        bool key;
        const char* value;
    };
    for (const Case& c : {Case{"no key", false, nullptr}, Case{"no value", true, nullptr},
                          Case{"a value too long", true, tooLong.c_str()},
                          Case{"a file without a version", true, noVersion.Path().c_str()}}) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<SkypeKey> key;
        if (c.key)
            key = std::make_unique<SkypeKey>(HKEY_LOCAL_MACHINE, c.value);
        const Shown shown = StartAndRead(program);
        EXPECT_EQ(shown.fix, "固定HDD未インストール");
        EXPECT_FALSE(shown.importEnabled);
    }
}

TEST(SkypeOnMedium, UsersHiveOnlyWhenTheMachinesRefusesAccess)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    FixedDiskSkype skype;
    FixedDiskSkype other("vk_version_plain.exe");
    const std::string users = std::string("FixHDD バージョン:") + kStandInVersion;
    struct Case {
        const char* what;
        bool machineKey;
        bool refused;
        const char* shown;
    };
    for (const Case& c : {Case{"the machine's key refused", true, true, users.c_str()},
                          Case{"no key in the machine's hive", false, false, "固定HDD未インストール"},
                          Case{"a key in both hives", true, false, "FixHDD バージョン:Ver.:2.5.0.17"}}) {
        SCOPED_TRACE(c.what);
        SkypeKey user(HKEY_CURRENT_USER, skype.Path().c_str());
        ASSERT_TRUE(user.IsReady());
        std::unique_ptr<SkypeKey> machine;
        if (c.machineKey) {
            machine = std::make_unique<SkypeKey>(HKEY_LOCAL_MACHINE, other.Path().c_str());
            ASSERT_TRUE(machine->IsReady());
            if (c.refused) {
                ASSERT_TRUE(machine->DenyFullAccess());
            }
        }
        EXPECT_EQ(StartAndRead(program).fix, c.shown);
    }
}

TEST(SkypeOnMedium, ImportRoadEveryOutcome)
{
    // In the medium's root, where the item's folders have nothing before "\skype".
    ProgramWithFixedDiskSkype on("");
    ASSERT_TRUE(on.IsReady());
    const std::string copy = on.medium.Path("\\skype\\bin\\Skype.exe");
    const std::string record = on.medium.Path("\\record.txt");
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    StoredItem other{"tool.exe", "\\apps\\tool.exe", "", "", 0, 0, 0};

    // Equal versions with the copy there: the first box, even with a Skype running from the medium; no copy.
    ASSERT_TRUE(WriteBytes(on.ini, SettingsText(kStandInVersion, {SkypeItem(""), other})));
    on.medium.Put(FixturePath("vk_version_plain.exe"), "\\skype\\bin\\Skype.exe");
    ASSERT_TRUE(on.program.Start("-NOSTART"));
    ASSERT_NE(on.program.WaitMainWindow(), nullptr);
    EXPECT_EQ(BoxWhileSkypeRunsFromTheMedium(on.program, on.medium), "バージョンは一致しています。更新の必要はありません.");
    EXPECT_EQ(ReadBytes(copy), ReadBytes(FixturePath("vk_version_plain.exe")));
    ASSERT_TRUE(on.program.Close());
    ASSERT_TRUE(::DeleteFileA(copy.c_str()));

    // A Skype.exe from the medium with a window: the second box. One from C: does not count.
    const std::string settings = SettingsText("", {other});
    ASSERT_TRUE(WriteBytes(on.ini, settings));
    ASSERT_TRUE(on.program.Start());
    ASSERT_NE(on.program.WaitMainWindow(), nullptr);
    EXPECT_EQ(BoxWhileSkypeRunsFromTheMedium(on.program, on.medium),
              "現在ポータブルメディアでSkypeが実行中です。Skypeを終了してください");
    {
        ScopedEnv window("VK_RECORD_WINDOW", "vk skype on the fixed disk");
        ChildProcess running;
        ASSERT_TRUE(running.Start("\"" + on.skype.Path() + "\""));
        ASSERT_TRUE(WaitFor([] { return ::FindWindowA(nullptr, "vk skype on the fixed disk") != nullptr; }));
        // No at the question: nothing happens.
        ClickImport(on.program);
        EXPECT_EQ(AnswerBox(on.program, IDNO), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
        ASSERT_TRUE(on.program.Idle());
        EXPECT_FALSE(FileExists(copy));
        EXPECT_EQ(ReadBytes(on.ini), settings);
    }
    ::DeleteFileA(record.c_str());
    // Left by a copy that was cut off (read-only as its source): it goes, the user's files stay.
    const std::string bin = on.medium.Path("\\skype\\bin");
    const std::string cut = Temporary(bin + "\\Skype.exe");
    ASSERT_TRUE(WriteBytes(cut, "MZ"));
    ASSERT_TRUE(::SetFileAttributesA(cut.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteBytes(bin + "\\Skype.exe.0badf00d1.vkin", "mine"));
    ASSERT_TRUE(WriteBytes(bin + "\\Skype.exe.0badf00g.vkin", "mine"));
    // A read-only Skype on the fixed disk: its copy must not be, or no later update could replace it.
    ASSERT_TRUE(::SetFileAttributesA(on.skype.Path().c_str(), FILE_ATTRIBUTE_READONLY));

    // Yes: copied, recorded, saved, both labels updated, the Skype item first, and it starts.
    ClickImport(on.program);
    EXPECT_EQ(AnswerBox(on.program, IDYES), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
    // Read once the handler is done: polled while the program replaces it, the file would stay old.
    ASSERT_TRUE(on.program.Idle());
    ::SetFileAttributesA(on.skype.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(ReadBytes(on.ini), SettingsText(kStandInVersion, {SkypeItem(""), other}));
    EXPECT_EQ(ReadBytes(copy), ReadBytes(on.skype.Path()));
    EXPECT_EQ(::GetFileAttributesA(copy.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    std::vector<std::string> names = FolderNames(bin);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Skype.exe", "Skype.exe.0badf00d1.vkin", "Skype.exe.0badf00g.vkin"}));
    EXPECT_TRUE(WaitFor([&] {
        return on.program.ItemText(ID_LABEL_MEDIUM) == std::string("Portableバージョン:") + kStandInVersion;
    }));
    EXPECT_EQ(on.program.ItemText(ID_LABEL_FIX), std::string("FixHDD バージョン:") + kStandInVersion);
    ASSERT_TRUE(WaitFor([&] { return !ReadBytes(record).empty(); }));
    EXPECT_EQ(ReadBytes(record), "CMD=\"" + copy + "\" /datapath:\"" + on.medium.Path("\\skype\\data") +
                                     "\" /removable\nDIR=" + on.medium.Path("\\skype\\bin") + "\n");
    ASSERT_TRUE(on.program.Close());
}

TEST(SkypeOnMedium, CopyOfAnotherVersionRecordsNothingAndMarkedFoldersStay)
{
    ProgramWithFixedDiskSkype on;
    ASSERT_TRUE(on.IsReady());
    const std::string copy = on.medium.Put(FixturePath("vk_version_plain.exe"), "\\Tools\\skype\\bin\\Skype.exe");
    const std::string folder = on.medium.Path("\\Tools\\skype");
    ASSERT_TRUE(::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    const DWORD marked = ::GetFileAttributesA(folder.c_str());
    const std::string settings = SettingsText("", {});
    ASSERT_TRUE(WriteBytes(on.ini, settings));
    ASSERT_TRUE(on.program.Start());
    ASSERT_NE(on.program.WaitMainWindow(), nullptr);
    EXPECT_EQ(::GetFileAttributesA(folder.c_str()), marked);
    const auto nothingRecorded = [&] {
        // A second press asks again instead of finding equal versions.
        ClickImport(on.program);
        EXPECT_EQ(AnswerBox(on.program, IDNO), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
        ASSERT_TRUE(on.program.Idle());
        EXPECT_EQ(ReadBytes(on.ini), settings);
        EXPECT_EQ(on.program.ItemText(ID_LABEL_MEDIUM), "Portable未インストール");
    };

    ClickImport(on.program);
    EXPECT_EQ(AnswerBox(on.program, IDYES), kWriteQuestion);
    // Asked before the older copy is replaced: No.
    EXPECT_EQ(AnswerQuestion(on.program, IDNO), std::string("Vellokari: ") + kReplaceQuestion);
    {
        SCOPED_TRACE("the older copy kept");
        nothingRecorded();
    }
    EXPECT_EQ(ReadBytes(copy), ReadBytes(FixturePath("vk_version_plain.exe")));

    // The fixed disk's file turns into another version before the Yes: the shell copies it, its
    // version is not the one read at start, and it never takes the place of the copy.
    ASSERT_TRUE(::DeleteFileA(copy.c_str()));
    ClickImport(on.program);
    ASSERT_NE(on.program.WaitDialog("Vellokari"), nullptr);
    const std::string next = FixturePath("vk_version_next.exe");
    ASSERT_TRUE(::CopyFileA(next.c_str(), on.skype.Path().c_str(), FALSE));
    EXPECT_EQ(AnswerBox(on.program, IDYES), kWriteQuestion);
    EXPECT_EQ(AnswerBox(on.program, IDOK), kCopyFailed);
    ASSERT_TRUE(on.program.Idle());
    EXPECT_EQ(FolderNames(on.medium.Path("\\Tools\\skype\\bin")), std::vector<std::string>{});
    {
        SCOPED_TRACE("a copy of another version");
        nothingRecorded();
    }
    EXPECT_TRUE(on.program.Close());
    ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The copy goes wrong part way or cannot be written at all: what was on the medium stays as it was,
// the user is told, and nothing is left under another name.
TEST(SkypeOnMedium, CopyThatCannotBeMadeLeavesTheMediumAsItWas)
{
    const std::string old = FixturePath("vk_version_plain.exe");
    const std::string settings = SettingsText(kPlainVersion, {SkypeItem("\\Tools")});
    // Room for the old copy and half the new one.
    const unsigned long long room =
        (ReadBytes(old).size() + ReadBytes(FixturePath("vk_skype_standin.exe")).size() / 2 + 4095) / 4096 * 4096;
    enum Medium { kFull, kWriteProtected, kFolderInTheWay };
    struct Case {
        const char* what;
        Medium medium;
        const char* told;
        const char* shot;
    };
    for (const Case& c : {Case{"a medium that fills up", kFull, kCopyFailed, "skype_copy_failed"},
                          Case{"a write-protected medium", kWriteProtected, kCopyFailed, nullptr},
                          Case{"a folder in the copy's place", kFolderInTheWay,
                               "skype\\bin\\Skype.exe がフォルダのため書き込めません.", "skype_folder_in_the_way"}}) {
        SCOPED_TRACE(c.what);
        TestMedium medium;
        ASSERT_TRUE(medium.IsReady());
        std::unique_ptr<HostMount> mount;  // given up after the program has ended
        ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
        FixedDiskSkype skype;
        SkypeKey key(HKEY_LOCAL_MACHINE, skype.Path().c_str());
        const std::string bin = medium.Path("\\Tools\\skype\\bin");
        const std::string copy = bin + "\\Skype.exe";
        const std::string ini = medium.Path("\\Tools\\Vellokari.ini");
        medium.MakeFolders("\\Tools\\skype\\bin");
        if (c.medium == kFull)
            mount = std::make_unique<HostMount>(medium, "\\Tools\\skype\\bin",
                                                "mount -t tmpfs -o size=" + std::to_string(room) + " tmpfs DIR");
        if (c.medium == kFolderInTheWay)
            medium.MakeFolders("\\Tools\\skype\\bin\\Skype.exe");
        else
            ASSERT_TRUE(CopyWithFolders(old, copy));
        if (c.medium == kWriteProtected)
            mount = std::make_unique<HostMount>(medium, "\\Tools\\skype\\bin",
                                                "mount --bind DIR DIR && mount -o remount,ro,bind DIR");
        ASSERT_TRUE(mount == nullptr || mount->IsReady());
        ASSERT_TRUE(WriteBytes(ini, settings));
        ASSERT_TRUE(program.Start("-NOSTART"));
        ASSERT_NE(program.WaitMainWindow(), nullptr);
        const std::string label = program.ItemText(ID_LABEL_MEDIUM);

        ClickImport(program);
        EXPECT_EQ(AnswerBox(program, IDYES), kWriteQuestion);
        if (c.medium != kFolderInTheWay) {
            EXPECT_EQ(AnswerQuestion(program, IDYES, c.shot != nullptr ? "skype_replace_question" : nullptr),
                      std::string("Vellokari: ") + kReplaceQuestion);
        }
        EXPECT_EQ(AnswerBox(program, IDOK, c.shot), c.told);
        ASSERT_TRUE(program.Idle());
        EXPECT_EQ(FolderNames(bin), std::vector<std::string>{"Skype.exe"});
        if (c.medium == kFolderInTheWay) {
            EXPECT_EQ(FolderNames(copy), std::vector<std::string>{});
        } else {
            const std::string now = ReadBytes(copy);
            EXPECT_TRUE(now == ReadBytes(old)) << "the copy now holds " << now.size() << " bytes";
        }
        EXPECT_EQ(ReadBytes(ini), settings);
        EXPECT_EQ(program.ItemText(ID_LABEL_MEDIUM), label);
        EXPECT_TRUE(program.Close());
    }
}

// The new copy is made but cannot take the old one's place: the old one
// stays exactly as it was, its read-only mark included.
TEST(SkypeOnMedium, CopyThatCannotTakeThePlaceLeavesTheOldOneAsItWas)
{
    const std::string old = FixturePath("vk_version_plain.exe");
    ProgramWithFixedDiskSkype on;
    ASSERT_TRUE(on.IsReady());
    const std::string bin = on.medium.Path("\\Tools\\skype\\bin");
    const std::string copy = bin + "\\Skype.exe";
    ASSERT_TRUE(CopyWithFolders(old, copy));
    ASSERT_TRUE(::SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    const DWORD attributes = ::GetFileAttributesA(copy.c_str());
    const std::string settings = SettingsText(kPlainVersion, {SkypeItem("\\Tools")});
    ASSERT_TRUE(WriteBytes(on.ini, settings));
    ASSERT_TRUE(on.program.Start("-NOSTART"));
    ASSERT_NE(on.program.WaitMainWindow(), nullptr);
    const std::string label = on.program.ItemText(ID_LABEL_MEDIUM);
    // Another program holds the old copy, sharing nothing: no rename can replace it.
    const HANDLE holder =
        ::CreateFileA(copy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    ClickImport(on.program);
    EXPECT_EQ(AnswerBox(on.program, IDYES), kWriteQuestion);
    EXPECT_EQ(AnswerQuestion(on.program, IDYES), std::string("Vellokari: ") + kReplaceQuestion);
    EXPECT_EQ(AnswerBox(on.program, IDOK), kCopyFailed);
    ASSERT_TRUE(on.program.Idle());
    ::CloseHandle(holder);
    EXPECT_EQ(FolderNames(bin), std::vector<std::string>{"Skype.exe"});
    EXPECT_TRUE(ReadBytes(copy) == ReadBytes(old));
    EXPECT_EQ(::GetFileAttributesA(copy.c_str()), attributes);
    EXPECT_EQ(ReadBytes(on.ini), settings);
    EXPECT_EQ(on.program.ItemText(ID_LABEL_MEDIUM), label);
    EXPECT_TRUE(on.program.Close());
    ::SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The old copy is a link to a read-only document of the user's (a hard link,
// or a link of the host's made beside the medium): the new copy takes the
// link's name, and the document stays byte for byte and attribute for
// attribute, also where the rename fails (the document held by another
// program, sharing nothing).
TEST(SkypeOnMedium, AnOldCopyThatIsALinkLeavesWhatItLeadsToAsItWas)
{
    const std::string text = "my thesis, chapter one\r\n";
    const struct {
        const char* what;
        bool hard;
        bool held;
    } cases[] = {
        {"a hard link", true, false},
        {"a host's link", false, false},
        {"a hard link, the rename failing", true, true},
        {"a host's link, the rename failing", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramWithFixedDiskSkype on;
        ASSERT_TRUE(on.IsReady());
        on.medium.MakeFolders("\\Docs");
        on.medium.MakeFolders("\\Tools\\skype\\bin");
        const std::string thesis = on.medium.Path("\\Docs\\thesis.txt");
        ASSERT_TRUE(WriteBytes(thesis, text));
        ASSERT_TRUE(::SetFileAttributesA(thesis.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
        const DWORD attributes = ::GetFileAttributesA(thesis.c_str());
        const std::string bin = on.medium.Path("\\Tools\\skype\\bin");
        const std::string copy = bin + "\\Skype.exe";
        const std::string hostCopy = on.medium.HostFolder() + "/Tools/skype/bin/Skype.exe";
        if (c.hard) {
            ASSERT_TRUE(::CreateHardLinkA(copy.c_str(), thesis.c_str(), nullptr));
        } else {
            ASSERT_TRUE(on.medium.LinkToHostFile("\\Tools\\skype\\bin\\Skype.exe",
                                                 on.medium.HostFolder() + "/Docs/thesis.txt"));
        }
        const std::string settings = SettingsText(kPlainVersion, {SkypeItem("\\Tools")});
        ASSERT_TRUE(WriteBytes(on.ini, settings));
        ASSERT_TRUE(on.program.Start("-NOSTART"));
        ASSERT_NE(on.program.WaitMainWindow(), nullptr);
        CHandle holder;
        if (c.held) {
            holder.Reset(::CreateFileA(thesis.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(holder.IsValid());
        }

        ClickImport(on.program);
        EXPECT_EQ(AnswerBox(on.program, IDYES), kWriteQuestion);
        EXPECT_EQ(AnswerQuestion(on.program, IDYES), std::string("Vellokari: ") + kReplaceQuestion);
        if (c.held) {
            EXPECT_EQ(AnswerBox(on.program, IDOK), kCopyFailed);
        }
        ASSERT_TRUE(on.program.Idle());
        holder.Reset();
        EXPECT_EQ(ReadBytes(thesis), text);
        EXPECT_EQ(::GetFileAttributesA(thesis.c_str()), attributes);
        EXPECT_EQ(FolderNames(bin), std::vector<std::string>{"Skype.exe"});
        if (c.held) {
            EXPECT_EQ(ReadBytes(copy), text);
            EXPECT_EQ(ReadBytes(on.ini), settings);
        } else {
            EXPECT_TRUE(ReadBytes(copy) == ReadBytes(on.skype.Path()));
            EXPECT_TRUE(on.medium.RunOnHost("test ! -L '" + hostCopy + "'"));
            EXPECT_EQ(ReadBytes(on.ini), SettingsText(kStandInVersion, {SkypeItem("\\Tools")}));
        }
        // Still the link where the rename failed, the document's other name where it was a hard link.
        const CHandle document(
            ::CreateFileA(thesis.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        EXPECT_TRUE(::GetFileInformationByHandle(document.Get(), &info));
        EXPECT_EQ(info.nNumberOfLinks, c.held && c.hard ? 2u : 1u);
        EXPECT_EQ(on.medium.RunOnHost("test -L '" + hostCopy + "'"), c.held && !c.hard);
        EXPECT_TRUE(on.program.Close());
        ::SetFileAttributesA(thesis.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The copy on its own, behind a shell that calls a copy done that it cut
// short (Wine's reports a full medium as an abort; others have not always):
// a copy that shows the source's version but is not whole never takes the
// old one's place.
TEST(SkypeOnMedium, ACopyCutShortIsNotTakenWhereTheShellCallsItDone)
{
    struct CopyOnly : CVellokariDlg {
        using CVellokariDlg::CopySkypeToMedium;
    };
    const std::string old = FixturePath("vk_version_plain.exe");
    const std::string standIn = ReadBytes(FixturePath("vk_skype_standin.exe"));
    ASSERT_FALSE(standIn.empty());
    TempFolder fixed;
    const std::string source = fixed / "Skype.exe";
    // Past the stand-in's sections: a copy cut there still shows its version.
    ASSERT_TRUE(WriteBytes(source, standIn + std::string(64 << 10, 't')));
    for (const bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "a whole copy" : "a copy cut short");
        TestMedium medium;
        ASSERT_TRUE(medium.IsReady());
        const std::string bin = medium.Path("\\Tools\\skype\\bin");
        const std::string copy = bin + "\\Skype.exe";
        ASSERT_TRUE(CopyWithFolders(old, copy));
        CopyOnly dialog;
        dialog.m_strExeDir = medium.Path("\\Tools").c_str();
        dialog.m_strFixSkypePath = source.c_str();
        dialog.m_strFixVer = kStandInVersion;
        ShellOperationSeam shell([&](UINT operation, const char* from, const char* to) {
            EXPECT_EQ(operation, static_cast<UINT>(FO_COPY));
            const std::string bytes = ReadBytes(from);
            return WriteBytes(to, whole ? bytes : bytes.substr(0, standIn.size())) ? FALSE : TRUE;
        });
        MessageBoxSeam boxes;
        boxes.Answer({IDYES, IDOK});
        EXPECT_EQ(dialog.CopySkypeToMedium(), whole ? 1 : 0);
        std::vector<std::string> told;
        for (const MessageBoxCall& call : boxes.Calls())
            told.push_back(call.text);
        if (whole) {
            EXPECT_EQ(told, std::vector<std::string>{kReplaceQuestion});
            EXPECT_TRUE(ReadBytes(copy) == ReadBytes(source));
        } else {
            EXPECT_EQ(told, (std::vector<std::string>{kReplaceQuestion, kCopyFailed}));
            EXPECT_TRUE(ReadBytes(copy) == ReadBytes(old));
        }
        EXPECT_EQ(FolderNames(bin), std::vector<std::string>{"Skype.exe"});
    }
}

// A copy cut short may still show the source's version: only its length tells.
TEST(SkypeOnMedium, OnlyACopyAsLongAsItsSourceIsWhole)
{
    TempFolder dir;
    const std::string source = FixturePath("vk_skype_standin.exe");
    const std::string bytes = ReadBytes(source);
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(WriteBytes(dir / "whole", bytes));
    ASSERT_TRUE(WriteBytes(dir / "cut", bytes.substr(0, bytes.size() - 1)));
    EXPECT_TRUE(IsWholeCopy((dir / "whole").c_str(), source.c_str()));
    EXPECT_FALSE(IsWholeCopy((dir / "cut").c_str(), source.c_str()));
    EXPECT_FALSE(IsWholeCopy((dir / "none").c_str(), source.c_str()));
}

// A version in the settings counts only while its copy is on the medium.
TEST(SkypeOnMedium, RecordedVersionWithoutItsCopyCountsAsNone)
{
    ProgramWithFixedDiskSkype on;
    ASSERT_TRUE(on.IsReady());
    const std::string copy = on.medium.Path("\\Tools\\skype\\bin\\Skype.exe");
    const std::string recorded = std::string("Portableバージョン:") + kStandInVersion;

    // Missing at the start: shown as no copy, no Skype item offered, and the import asks.
    const std::string settings = SettingsText(kStandInVersion, {});
    ASSERT_TRUE(WriteBytes(on.ini, settings));
    ASSERT_TRUE(on.program.Start("-NOSTART"));
    ASSERT_NE(on.program.WaitMainWindow(), nullptr);
    EXPECT_EQ(on.program.ItemText(ID_LABEL_MEDIUM), "Portable未インストール");
    ClickImport(on.program);
    EXPECT_EQ(AnswerBox(on.program, IDNO), kWriteQuestion);
    ASSERT_TRUE(on.program.Idle());
    EXPECT_EQ(ReadBytes(on.ini), settings);
    ASSERT_TRUE(on.program.Close());

    // There at the start, removed while the program runs: the press finds it gone.
    ASSERT_TRUE(CopyWithFolders(on.skype.Path(), copy));
    ASSERT_TRUE(on.program.Start("-NOSTART"));
    ASSERT_NE(on.program.WaitMainWindow(), nullptr);
    EXPECT_EQ(on.program.ItemText(ID_LABEL_MEDIUM), recorded);
    ClickImport(on.program);
    EXPECT_EQ(AnswerBox(on.program, IDOK), "バージョンは一致しています。更新の必要はありません.");
    ASSERT_TRUE(::DeleteFileA(copy.c_str()));
    ClickImport(on.program);
    EXPECT_EQ(AnswerBox(on.program, IDNO), kWriteQuestion);
    EXPECT_TRUE(WaitFor([&] { return on.program.ItemText(ID_LABEL_MEDIUM) == "Portable未インストール"; }));
    ASSERT_TRUE(on.program.Close());
}
