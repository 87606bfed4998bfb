// Skype on the medium, through the real program, the test prefix's real
// registry and a stand-in Skype with a version resource on the fixed disk.
#include "AppTest.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

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
std::string AnswerBox(const ProgramUnderTest& program, int answer)
{
    const HWND box = program.WaitDialog("Vellokari");
    if (box == nullptr)
        return "(no box)";
    const std::string text = MessageBoxText(box);
    ClickButton(box, answer);
    WaitFor([&] { return !::IsWindow(box); });
    return text;
}

void ClickImport(const ProgramUnderTest& program)
{
    ClickButton(program.MainWindow(), ID_SKYPE_IMPORT);
}

// The box that a press of the import button brings while a Skype.exe from the medium shows a window.
std::string BoxWhileSkypeRunsFromTheMedium(const ProgramUnderTest& program, const TestMedium& medium)
{
    ScopedEnv window("VK_RECORD_WINDOW", "vk skype on the medium");
    ChildProcess running;
    if (!running.Start("\"" + medium.Put(FixturePath("vk_recorder.exe"), "\\other\\Skype.exe") + "\"") ||
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
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    // In the medium's root, where the item's folders have nothing before "\skype".
    ProgramUnderTest program(medium.Path("\\Vellokari.exe"));
    FixedDiskSkype skype;
    SkypeKey key(HKEY_LOCAL_MACHINE, skype.Path().c_str());
    const std::string ini = medium.Path("\\Vellokari.ini");
    const std::string copy = medium.Path("\\skype\\bin\\Skype.exe");
    const std::string record = medium.Path("\\record.txt");
    ScopedEnv recordFile("VK_RECORD_FILE", record);
    StoredItem other{"tool.exe", "\\apps\\tool.exe", "", "", 0, 0, 0};

    // Equal versions: the first box, even with a Skype running from the medium; no copy.
    ASSERT_TRUE(WriteBytes(ini, SettingsText(kStandInVersion, {SkypeItem(""), other})));
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    EXPECT_EQ(BoxWhileSkypeRunsFromTheMedium(program, medium), "バージョンは一致しています。更新の必要はありません.");
    EXPECT_FALSE(FileExists(copy));
    ASSERT_TRUE(program.Close());

    // A Skype.exe from the medium with a window: the second box. One from C: does not count.
    const std::string settings = SettingsText("", {other});
    ASSERT_TRUE(WriteBytes(ini, settings));
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    EXPECT_EQ(BoxWhileSkypeRunsFromTheMedium(program, medium),
              "現在ポータブルメディアでSkypeが実行中です。Skypeを終了してください");
    {
        ScopedEnv window("VK_RECORD_WINDOW", "vk skype on the fixed disk");
        ChildProcess running;
        ASSERT_TRUE(running.Start("\"" + skype.Path() + "\""));
        ASSERT_TRUE(WaitFor([] { return ::FindWindowA(nullptr, "vk skype on the fixed disk") != nullptr; }));
        // No at the question: nothing happens.
        ClickImport(program);
        EXPECT_EQ(AnswerBox(program, IDNO), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
        ASSERT_TRUE(program.Idle());
        EXPECT_FALSE(FileExists(copy));
        EXPECT_EQ(ReadBytes(ini), settings);
    }
    ::DeleteFileA(record.c_str());

    // Yes: copied, recorded, saved, both labels updated, the Skype item first, and it starts.
    ClickImport(program);
    EXPECT_EQ(AnswerBox(program, IDYES), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
    // Read once the handler is done: polled while the program replaces it, the file would stay old.
    ASSERT_TRUE(program.Idle());
    ASSERT_EQ(ReadBytes(ini), SettingsText(kStandInVersion, {SkypeItem(""), other}));
    EXPECT_EQ(ReadBytes(copy), ReadBytes(skype.Path()));
    EXPECT_TRUE(WaitFor([&] {
        return program.ItemText(ID_LABEL_MEDIUM) == std::string("Portableバージョン:") + kStandInVersion;
    }));
    EXPECT_EQ(program.ItemText(ID_LABEL_FIX), std::string("FixHDD バージョン:") + kStandInVersion);
    ASSERT_TRUE(WaitFor([&] { return !ReadBytes(record).empty(); }));
    EXPECT_EQ(ReadBytes(record), "CMD=\"" + copy + "\" /datapath:\"" + medium.Path("\\skype\\data") +
                                     "\" /removable\nDIR=" + medium.Path("\\skype\\bin") + "\n");
    ASSERT_TRUE(program.Close());
}

TEST(SkypeOnMedium, CopyOfAnotherVersionRecordsNothingAndMarkedFoldersStay)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ProgramUnderTest program(medium.Path("\\Tools\\Vellokari.exe"));
    FixedDiskSkype skype;
    SkypeKey key(HKEY_LOCAL_MACHINE, skype.Path().c_str());
    const std::string copy = medium.Put(FixturePath("vk_version_plain.exe"), "\\Tools\\skype\\bin\\Skype.exe");
    const std::string folder = medium.Path("\\Tools\\skype");
    ASSERT_TRUE(::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    const DWORD marked = ::GetFileAttributesA(folder.c_str());
    const std::string ini = medium.Path("\\Tools\\Vellokari.ini");
    const std::string settings = SettingsText("", {});
    ASSERT_TRUE(WriteBytes(ini, settings));
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitMainWindow(), nullptr);
    EXPECT_EQ(::GetFileAttributesA(folder.c_str()), marked);
    const auto nothingRecorded = [&] {
        // A second press asks again instead of finding equal versions.
        ClickImport(program);
        EXPECT_EQ(AnswerBox(program, IDNO), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
        ASSERT_TRUE(program.Idle());
        EXPECT_EQ(ReadBytes(ini), settings);
        EXPECT_EQ(program.ItemText(ID_LABEL_MEDIUM), "Portable未インストール");
    };

    ClickImport(program);
    EXPECT_EQ(AnswerBox(program, IDYES), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
    // The shell asks before it replaces the older copy: No.
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND hwnd : ProcessWindows(program.Id())) {
            if (hwnd != program.MainWindow() && ::IsWindowVisible(hwnd) && WindowClass(hwnd) == "#32770")
                question = hwnd;
        }
        return question != nullptr;
    }));
    ASSERT_NE(::GetDlgItem(question, IDNO), nullptr) << WindowText(question);
    ClickButton(question, IDNO);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(question); }));
    {
        SCOPED_TRACE("the older copy kept");
        nothingRecorded();
    }
    EXPECT_EQ(ReadBytes(copy), ReadBytes(FixturePath("vk_version_plain.exe")));

    // The fixed disk's file turns into another version before the Yes: the shell copies it, and its
    // version is not the one read at start.
    ASSERT_TRUE(::DeleteFileA(copy.c_str()));
    ClickImport(program);
    ASSERT_NE(program.WaitDialog("Vellokari"), nullptr);
    const std::string next = FixturePath("vk_version_next.exe");
    ASSERT_TRUE(::CopyFileA(next.c_str(), skype.Path().c_str(), FALSE));
    EXPECT_EQ(AnswerBox(program, IDYES), "固定HDDのSkypeをPortableメディアに書き込みます.よろしいですか？");
    ASSERT_TRUE(program.Idle());
    EXPECT_EQ(ReadBytes(copy), ReadBytes(next));
    {
        SCOPED_TRACE("a copy of another version");
        nothingRecorded();
    }
    EXPECT_TRUE(program.Close());
    ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
}
