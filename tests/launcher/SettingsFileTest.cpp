// The launcher panel's settings file: load and save without a window.
#include "CLauncherDlg.h"

#include "AfxMessageBox.h"
#include "DebugLog.h"
#include "PanelHost.h"
#include "TemporaryName.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char kEmptyFile[] = "[SYSTEM]\r\nVER=\r\nAUTORUNINFSIZE=0\r\nAUTORUNINF=\r\nLAUNCHER=0\r\n";

CRunInf Item(const char* name, const char* path, const char* workPath, const char* arg, int kind, int delay,
             int gate)
{
    CRunInf item = ::Item(name, path, kind, delay, gate, arg);
    item.m_strWorkPath = workPath;
    return item;
}

void ExpectStoredFieldsEqual(const CRunInf& a, const CRunInf& b)
{
    EXPECT_STREQ(a.m_strProgramName, b.m_strProgramName);
    EXPECT_STREQ(a.m_strProgramPath, b.m_strProgramPath);
    EXPECT_STREQ(a.m_strWorkPath, b.m_strWorkPath);
    EXPECT_STREQ(a.m_strArg, b.m_strArg);
    EXPECT_EQ(a.m_nRunKind, b.m_nRunKind);
    EXPECT_EQ(a.m_nDelayTime, b.m_nDelayTime);
    EXPECT_EQ(a.m_nGateKind, b.m_nGateKind);
}

class SettingsFile : public ::testing::Test {
protected:
    // A panel object that loads from and saves to the test's file.
    std::unique_ptr<CLauncherDlg> Panel()
    {
        auto panel = std::make_unique<CLauncherDlg>();
        panel->m_strIniPath = m_path.c_str();
        return panel;
    }
    std::unique_ptr<CLauncherDlg> Load(const std::string& bytes)
    {
        EXPECT_TRUE(WriteBytes(m_path, bytes));
        auto panel = Panel();
        panel->ReadIniFile();
        return panel;
    }

    TempFolder m_dir;
    std::string m_path = m_dir / "Vellokari.ini";
};

}  // namespace

TEST_F(SettingsFile, EmptyListWritesFiveLines)
{
    auto panel = Panel();
    panel->SaveSettings();  // no version recorded: m_pstrVersion still null
    EXPECT_EQ(ReadBytes(m_path), kEmptyFile);

    const CString none;
    panel->m_pstrVersion = &none;
    panel->SaveSettings();
    EXPECT_EQ(ReadBytes(m_path), kEmptyFile);
    EXPECT_FALSE(FileExists(Temporary(m_path)));
}

TEST_F(SettingsFile, SaveWritesTheWholeFileAndLoadGivesItBack)
{
    const CString version = "Ver.:5.10.0.116";
    auto panel = Panel();
    panel->m_pstrVersion = &version;
    panel->m_strAutorunInf = "AB\r\n";
    panel->m_runItems = {
        Item("Skype", "\\skype\\bin\\Skype.exe", "", "/datapath:%letter%\\data /removable", 1, 15, 0),
        Item("表計算", "\\tools\\表\\calc.exe", "\\work", "", 2, 0, 3),
        Item("lower", "\\skype\\bin\\skype.exe", "", "%letter%", 0, -4, 7),
        Item("bare", "Skype.exe", "", "", 5, 600, 4),
        Item("trail", "\\表Skype.exe", "", "", 0, 0, 0),  // 表 ends in 0x5C: no backslash in this path
    };
    // Run-time state is not stored.
    panel->m_runItems[0].m_bArmed = TRUE;
    panel->m_runItems[0].m_nCountdown = 9;
    panel->m_runItems[1].m_bFailed = TRUE;
    panel->m_runItems[1].m_dwLastError = 2;
    panel->m_runItems[0].m_bSkype = TRUE;
    panel->SaveSettings();

    EXPECT_EQ(ReadBytes(m_path),
              "[SYSTEM]\r\nVER=Ver.:5.10.0.116\r\nAUTORUNINFSIZE=8\r\nAUTORUNINF=41420d0a\r\nLAUNCHER=5\r\n"
              "[RUNITEM0]\r\nPROGRAMNAME=Skype\r\nPROGRAMPATH=\\skype\\bin\\Skype.exe\r\nWORKPATH=\r\n"
              "ARG=/datapath:%letter%\\data /removable\r\nRUNKIND=1\r\nDELAYTIME=15\r\nBOREWAY=0\r\n"
              "[RUNITEM1]\r\nPROGRAMNAME=表計算\r\nPROGRAMPATH=\\tools\\表\\calc.exe\r\nWORKPATH=\\work\r\n"
              "ARG=\r\nRUNKIND=2\r\nDELAYTIME=0\r\nBOREWAY=3\r\n"
              "[RUNITEM2]\r\nPROGRAMNAME=lower\r\nPROGRAMPATH=\\skype\\bin\\skype.exe\r\nWORKPATH=\r\n"
              "ARG=%letter%\r\nRUNKIND=0\r\nDELAYTIME=-4\r\nBOREWAY=7\r\n"
              "[RUNITEM3]\r\nPROGRAMNAME=bare\r\nPROGRAMPATH=Skype.exe\r\nWORKPATH=\r\n"
              "ARG=\r\nRUNKIND=5\r\nDELAYTIME=600\r\nBOREWAY=4\r\n"
              "[RUNITEM4]\r\nPROGRAMNAME=trail\r\nPROGRAMPATH=\\表Skype.exe\r\nWORKPATH=\r\n"
              "ARG=\r\nRUNKIND=0\r\nDELAYTIME=0\r\nBOREWAY=0\r\n");

    auto loaded = Panel();
    loaded->ReadIniFile();
    EXPECT_EQ(loaded->m_strAutorunInf, "AB\r\n");
    ASSERT_EQ(loaded->m_runItems.size(), panel->m_runItems.size());
    const BOOL skype[] = {TRUE, FALSE, FALSE, TRUE, FALSE};
    for (std::size_t i = 0; i < loaded->m_runItems.size(); ++i) {
        SCOPED_TRACE(i);
        const CRunInf& item = loaded->m_runItems[i];
        ExpectStoredFieldsEqual(item, panel->m_runItems[i]);
        EXPECT_EQ(item.m_bSkype, skype[i]);
        EXPECT_FALSE(item.m_bArmed);
        EXPECT_EQ(item.m_nCountdown, 0);
        EXPECT_FALSE(item.m_bFailed);
        EXPECT_EQ(item.m_dwLastError, 0u);
    }
}

TEST_F(SettingsFile, ApprovedTextWithDoubleByteTextAndLineEndsRoundTrips)
{
    auto panel = Panel();
    panel->m_strAutorunInf = "[autorun]\r\nOPEN=表\\Vellokari.exe\r\nACTION = Vellokari\r\n";
    panel->SaveSettings();
    auto loaded = Panel();
    loaded->ReadIniFile();
    EXPECT_EQ(loaded->m_strAutorunInf, panel->m_strAutorunInf);
}

TEST_F(SettingsFile, LineEndsInAValueStayInsideTheItem)
{
    auto panel = Panel();
    panel->m_runItems = {Item("x\r\nLAUNCHER=999", "\\a.exe", "", "/a\n[RUNITEM1]\nPROGRAMNAME=evil", 0, 0, 0)};
    panel->SaveSettings();

    auto loaded = Panel();
    loaded->ReadIniFile();
    ASSERT_EQ(loaded->m_runItems.size(), 1u);
    EXPECT_STREQ(loaded->m_runItems[0].m_strProgramName, "x  LAUNCHER=999");
    EXPECT_STREQ(loaded->m_runItems[0].m_strArg, "/a [RUNITEM1] PROGRAMNAME=evil");
    EXPECT_STREQ(loaded->m_runItems[0].m_strProgramPath, "\\a.exe");
}

TEST_F(SettingsFile, HandEditsAreReadAndGoneAfterTheNextSave)
{
    auto panel = Load(
        "; a comment\r\n"
        "[RUNITEM0]\r\n"
        "BOREWAY=2\r\n"
        "PROGRAMNAME=  spaced \t \r\r\n"
        "PROGRAMPATH=\\a.exe   \r\n"
        "HANDADDED=1\r\n"
        "RUNKIND=1 \r\n"
        "DELAYTIME=15\n"
        "[SYSTEM]\n"
        "LAUNCHER=1\r\n"
        "EXTRA=yes\r\n"
        "[UNKNOWN]\r\n"
        "KEY=value\r\n");
    ASSERT_EQ(panel->m_runItems.size(), 1u);
    const CRunInf& item = panel->m_runItems[0];
    EXPECT_STREQ(item.m_strProgramName, "spaced");
    EXPECT_STREQ(item.m_strProgramPath, "\\a.exe");
    EXPECT_EQ(item.m_nRunKind, 1);
    EXPECT_EQ(item.m_nDelayTime, 15);
    EXPECT_EQ(item.m_nGateKind, 2);

    panel->SaveSettings();
    EXPECT_EQ(ReadBytes(m_path),
              "[SYSTEM]\r\nVER=\r\nAUTORUNINFSIZE=0\r\nAUTORUNINF=\r\nLAUNCHER=1\r\n"
              "[RUNITEM0]\r\nPROGRAMNAME=spaced\r\nPROGRAMPATH=\\a.exe\r\nWORKPATH=\r\nARG=\r\n"
              "RUNKIND=1\r\nDELAYTIME=15\r\nBOREWAY=2\r\n");
}

TEST_F(SettingsFile, LauncherCountDecidesTheItems)
{
    const std::string section0 = "[RUNITEM0]\r\nPROGRAMNAME=a\r\nPROGRAMPATH=\\a.exe\r\nRUNKIND=1\r\n";
    const std::string section2 = "[RUNITEM2]\r\nPROGRAMNAME=c\r\n";
    struct Case {
        const char* launcher;  // the SYSTEM section's count line, or none
        std::vector<std::string> names;
    } cases[] = {
        {"", {}}, {"LAUNCHER=0\r\n", {}}, {"LAUNCHER=-1\r\n", {}}, {"LAUNCHER=x\r\n", {}},
        {"LAUNCHER=1\r\n", {"a"}},
        // A section missing among them gives no item (it once gave an empty
        // manual one): the file the program writes has no gaps.
        {"LAUNCHER=2\r\n", {"a"}}, {"LAUNCHER=3\r\n", {"a", "c"}},
        {"LAUNCHER=4\r\n", {"a", "c"}},  // nothing made up past the last section
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.launcher);
        auto panel = Panel();
        panel->m_runItems = {Item("stale", "\\s.exe", "", "", 0, 0, 0)};
        ASSERT_TRUE(WriteBytes(m_path, "[SYSTEM]\r\n" + std::string(c.launcher) + section0 + section2));
        panel->ReadIniFile();
        ASSERT_EQ(panel->m_runItems.size(), c.names.size());
        for (std::size_t i = 0; i < c.names.size(); ++i)
            EXPECT_EQ(panel->m_runItems[i].m_strProgramName.str(), c.names[i]);
    }

    // The next save writes the items read, numbered without the gap.
    auto panel = Load("[SYSTEM]\r\nLAUNCHER=3\r\n" + section0 + section2);
    panel->SaveSettings();
    EXPECT_EQ(ReadBytes(m_path),
              "[SYSTEM]\r\nVER=\r\nAUTORUNINFSIZE=0\r\nAUTORUNINF=\r\nLAUNCHER=2\r\n"
              "[RUNITEM0]\r\nPROGRAMNAME=a\r\nPROGRAMPATH=\\a.exe\r\nWORKPATH=\r\nARG=\r\n"
              "RUNKIND=1\r\nDELAYTIME=0\r\nBOREWAY=0\r\n"
              "[RUNITEM1]\r\nPROGRAMNAME=c\r\nPROGRAMPATH=\r\nWORKPATH=\r\nARG=\r\n"
              "RUNKIND=0\r\nDELAYTIME=0\r\nBOREWAY=0\r\n");
}

TEST_F(SettingsFile, ItemsComeFromTheSectionsPresentInIndexOrder)
{
    // Numbers far apart cost nothing: only the sections there are read.
    {
        auto panel = Load("[SYSTEM]\r\nLAUNCHER=2147483647\r\n[RUNITEM2147483646]\r\nPROGRAMNAME=last\r\n"
                          "[RUNITEM0]\r\nPROGRAMNAME=first\r\n");
        ASSERT_EQ(panel->m_runItems.size(), 2u);
        EXPECT_STREQ(panel->m_runItems[0].m_strProgramName, "first");
        EXPECT_STREQ(panel->m_runItems[1].m_strProgramName, "last");
    }
    // Names the writer would not make are no items; a section named twice,
    // or in other case, is the one item that the reader finds by the name.
    auto panel = Load("[SYSTEM]\r\nLAUNCHER=100\r\n"
                      "[RUNITEM7]\r\nPROGRAMNAME=seven\r\n"
                      "[runitem3]\r\nPROGRAMNAME=three\r\n"
                      "[RUNITEM07]\r\nPROGRAMNAME=zero-seven\r\n"
                      "[RUNITEM-1]\r\nPROGRAMNAME=minus\r\n"
                      "[RUNITEM+5]\r\nPROGRAMNAME=plus\r\n"
                      "[RUNITEM5x]\r\nPROGRAMNAME=x\r\n"
                      "[RUNITEM]\r\nPROGRAMNAME=none\r\n"
                      "[RUNITEM100]\r\nPROGRAMNAME=beyond\r\n"
                      "[RUNITEM99999999999]\r\nPROGRAMNAME=huge\r\n"
                      "[RUNITEM7]\r\nPROGRAMNAME=again\r\n"
                      "[RUNITEM99]\r\nPROGRAMNAME=ninety-nine\r\n");
    std::vector<std::string> names;
    for (const CRunInf& item : panel->m_runItems)
        names.push_back(item.m_strProgramName.str());
    EXPECT_EQ(names, (std::vector<std::string>{"three", "seven", "ninety-nine"}));

    // Alone in their files, so that no section of the index they would name
    // hides them: a leading zero, and more digits than an index has, whose
    // number (2^64 + 5) wraps round to a small one.
    for (const char* name : {"RUNITEM07", "RUNITEM18446744073709551621"}) {
        SCOPED_TRACE(name);
        auto lone = Load(std::string("[SYSTEM]\r\nLAUNCHER=10\r\n[") + name + "]\r\nPROGRAMNAME=lone\r\n");
        EXPECT_TRUE(lone->m_runItems.empty());
    }
}

TEST_F(SettingsFile, EverySavedItemLoadsBackAndACountBeyondTheSectionsIsNotBelieved)
{
    // However long the list, what a save wrote loads back whole.
    std::vector<CRunInf> items;
    for (int i = 0; i < 1001; ++i)
        items.push_back(Item(("item" + std::to_string(i)).c_str(), "\\a.exe", "", "", i % 3, i, i % 5));
    auto saver = Panel();
    saver->m_runItems = items;
    saver->SaveSettings();
    auto loaded = Panel();
    loaded->ReadIniFile();
    ASSERT_EQ(loaded->m_runItems.size(), items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectStoredFieldsEqual(loaded->m_runItems[i], items[i]);
    }

    // A corrupt count: only the items up to the last section there, so the
    // start neither hangs nor exhausts memory.
    const std::string sections = "[RUNITEM0]\r\nPROGRAMNAME=a\r\n[RUNITEM1]\r\nPROGRAMNAME=b\r\n"
                                 "[RUNITEM2]\r\nPROGRAMNAME=c\r\n";
    for (const char* count : {"4", "1001", "2147483647"}) {
        SCOPED_TRACE(count);
        DebugLogCapture log;
        auto panel = Load(std::string("[SYSTEM]\r\nLAUNCHER=") + count + "\r\n" + sections);
        ASSERT_EQ(panel->m_runItems.size(), 3u);
        EXPECT_STREQ(panel->m_runItems[2].m_strProgramName, "c");
        EXPECT_EQ(log.Count(std::string("LAUNCHER=") + count), 1) << log.Text();
    }
}

TEST_F(SettingsFile, LongStringsLoadWholeUpToTheLimitAndBeyondItArriveCut)
{
    // Stored strings once arrived cut to 259 bytes; now every string up to
    // RUNINF_MAX_TEXT bytes loads whole, the lengths around the reader's
    // buffers and quoted values too.
    std::vector<std::string> values;
    for (std::size_t length : {258u, 259u, 260u, 261u, 300u, 517u, 518u, 519u, 4093u, 4094u, 4095u})
        values.push_back(std::string(length, 'n'));
    values.push_back(std::string(RUNINF_MAX_TEXT, 'm'));
    values.push_back(std::string(RUNINF_MAX_TEXT - 2, 'q') + "  ");  // quoted in the file
    values.push_back(std::string(1, '"').append(256, 'q').append(1, '"'));
    values.push_back(std::string(1, '"').append(257, 'q').append(1, '"'));
    values.push_back(std::string(1, '"').append(RUNINF_MAX_TEXT - 2, 'q').append(1, '"'));
    std::string wide;
    while (wide.size() < RUNINF_MAX_TEXT)
        wide += "表";
    values.push_back(wide);
    values.push_back(std::string(" ").append(wide, 2).append(" "));
    for (const std::string& value : values) {
        SCOPED_TRACE(value.size());
        auto panel = Panel();
        panel->m_runItems = {Item(value.c_str(), value.c_str(), value.c_str(), value.c_str(), 0, 0, 0)};
        panel->SaveSettings();
        auto loaded = Panel();
        loaded->ReadIniFile();
        ASSERT_EQ(loaded->m_runItems.size(), 1u);
        for (const CString* field : {&loaded->m_runItems[0].m_strProgramName, &loaded->m_runItems[0].m_strProgramPath,
                                     &loaded->m_runItems[0].m_strWorkPath, &loaded->m_runItems[0].m_strArg})
            EXPECT_TRUE(field->str() == value) << field->GetLength();
    }

    // Longer than that only by an edit by hand: cut at the limit, never
    // inside a double-byte character.
    struct Case {
        std::string stored;
        std::string loaded;
    } cases[] = {
        {std::string(RUNINF_MAX_TEXT + 1, 'n'), std::string(RUNINF_MAX_TEXT, 'n')},
        {std::string(3 * RUNINF_MAX_TEXT, 'n'), std::string(RUNINF_MAX_TEXT, 'n')},
        {"a" + wide, std::string("a").append(wide, 0, RUNINF_MAX_TEXT - 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.size());
        auto panel = Load("[SYSTEM]\r\nLAUNCHER=1\r\n[RUNITEM0]\r\nPROGRAMNAME=" + c.stored + "\r\n");
        ASSERT_EQ(panel->m_runItems.size(), 1u);
        EXPECT_TRUE(panel->m_runItems[0].m_strProgramName.str() == c.loaded)
            << panel->m_runItems[0].m_strProgramName.GetLength();
    }
}

TEST_F(SettingsFile, QuotedAndPaddedValuesComeBackAsSaved)
{
    auto panel = Panel();
    panel->m_runItems = {
        Item(" name ", "\\a b\\x.exe", "'\\w'", "\"%letter%\\a b\\c.txt\"", 0, 0, 0),
        Item("n", "\\b.exe", "", "\"a\" \"b\"", 0, 0, 0),
    };
    panel->SaveSettings();
    EXPECT_EQ(ReadBytes(m_path),
              "[SYSTEM]\r\nVER=\r\nAUTORUNINFSIZE=0\r\nAUTORUNINF=\r\nLAUNCHER=2\r\n"
              "[RUNITEM0]\r\nPROGRAMNAME=\" name \"\r\nPROGRAMPATH=\\a b\\x.exe\r\nWORKPATH=\"'\\w'\"\r\n"
              "ARG=\"\"%letter%\\a b\\c.txt\"\"\r\nRUNKIND=0\r\nDELAYTIME=0\r\nBOREWAY=0\r\n"
              "[RUNITEM1]\r\nPROGRAMNAME=n\r\nPROGRAMPATH=\\b.exe\r\nWORKPATH=\r\n"
              "ARG=\"\"a\" \"b\"\"\r\nRUNKIND=0\r\nDELAYTIME=0\r\nBOREWAY=0\r\n");
    auto loaded = Panel();
    loaded->ReadIniFile();
    ASSERT_EQ(loaded->m_runItems.size(), 2u);
    ExpectStoredFieldsEqual(loaded->m_runItems[0], panel->m_runItems[0]);
    ExpectStoredFieldsEqual(loaded->m_runItems[1], panel->m_runItems[1]);

    // A file written before reads as it always did.
    auto old = Load("[SYSTEM]\r\nLAUNCHER=1\r\n[RUNITEM0]\r\nPROGRAMNAME= name \r\n"
                    "ARG=\"%letter%\\a b\\c.txt\"\r\nWORKPATH='\\w'\r\n");
    ASSERT_EQ(old->m_runItems.size(), 1u);
    EXPECT_STREQ(old->m_runItems[0].m_strProgramName, "name");
    EXPECT_STREQ(old->m_runItems[0].m_strArg, "%letter%\\a b\\c.txt");
    EXPECT_STREQ(old->m_runItems[0].m_strWorkPath, "\\w");
}

TEST_F(SettingsFile, ApprovedTextFromTheStoredHex)
{
    const char kOdd[] = "受信データの文字数が奇数です\n";
    struct Case {
        const char* size;  // the AUTORUNINFSIZE line, or none
        const char* hex;   // the AUTORUNINF line, or none
        const char* text;  // the approved text after the load ("keep" = untouched)
        int oddLines;
    } cases[] = {
        {"AUTORUNINFSIZE=8", "AUTORUNINF=41420d0a", "AB\r\n", 0},
        {"AUTORUNINFSIZE=8", "AUTORUNINF=41420D0A", "AB\r\n", 0},
        {"AUTORUNINFSIZE=5", "AUTORUNINF=41424", "", 1},            // odd length
        {"AUTORUNINFSIZE=1", "AUTORUNINF=414243444546474849", "", 1},  // cut to 9 digits
        {"AUTORUNINFSIZE=2", "AUTORUNINF=41424344454647484950", "ABCDE", 0},  // cut to 10
        {"AUTORUNINFSIZE=8", "", "", 0},                            // no text stored
        {"AUTORUNINFSIZE=6", "AUTORUNINF=41zz42", "A", 0},          // a decoded 0 ends it
        {"AUTORUNINFSIZE=4", "AUTORUNINF=zz41", "", 0},
        {"AUTORUNINFSIZE=4", "AUTORUNINF=4g4G", "@@", 0},           // not a digit: 0
        {"AUTORUNINFSIZE=0", "AUTORUNINF=41", "keep", 0},
        {"AUTORUNINFSIZE=-6", "AUTORUNINF=41", "keep", 0},
        {"", "AUTORUNINF=41", "keep", 0},
        {"AUTORUNINFSIZE=1048576", "AUTORUNINF=4142", "AB", 0},     // the largest size believed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.size) + " " + c.hex);
        DebugLogCapture log;
        auto panel = Panel();
        panel->m_strAutorunInf = "keep";
        ASSERT_TRUE(WriteBytes(m_path, std::string("[SYSTEM]\r\n") + c.size + "\r\n" + c.hex + "\r\n"));
        panel->ReadIniFile();
        EXPECT_EQ(panel->m_strAutorunInf, c.text);
        EXPECT_EQ(log.Count(kOdd), c.oddLines);
    }
}

TEST_F(SettingsFile, AHugeStoredSizeGivesNoApprovedText)
{
    for (const char* size : {"1048577", "2147483647"}) {
        SCOPED_TRACE(size);
        DebugLogCapture log;
        auto panel = Panel();
        panel->m_strAutorunInf = "before";
        ASSERT_TRUE(WriteBytes(m_path, std::string("[SYSTEM]\r\nAUTORUNINFSIZE=") + size +
                                           "\r\nAUTORUNINF=4142\r\nLAUNCHER=1\r\n[RUNITEM0]\r\nPROGRAMNAME=a\r\n"));
        panel->ReadIniFile();
        EXPECT_EQ(panel->m_strAutorunInf, "");
        EXPECT_EQ(log.Count("AUTORUNINFSIZE="), 1) << log.Text();
        EXPECT_EQ(panel->m_runItems.size(), 1u);  // the rest still loads
    }
}

TEST_F(SettingsFile, FailedSaveLeavesTheOldFileAndTheMembersAndIsTold)
{
    const std::string old = "[SYSTEM]\r\nLAUNCHER=1\r\n[RUNITEM0]\r\nPROGRAMNAME=old\r\n";
    ASSERT_TRUE(WriteBytes(m_path, old));
    const std::string missing = m_dir / "gone\\Vellokari.ini";
    const std::string writable = m_dir / "loose.ini";
    const std::string folder = m_dir / "folder.ini";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(writable, old));

    const struct {
        const char* what;
        std::string path;
        bool readOnly;
        bool held;    // by another program that shares nothing
        bool loaded;  // the file could be read at start
        std::string box;  // the whole text, or only its beginning for a held file
    } cases[] = {
        {"read-only", m_path, true, false, true, "Vellokari.iniの書き込みに失敗しました. err=0x5"},
        {"held", m_path, false, true, true, "Vellokari.iniの書き込みに失敗しました. err=0x"},
        {"a folder of the name", folder, false, false, true, "Vellokari.iniの書き込みに失敗しました. err=0x5"},
        {"folder gone", missing, false, false, true, "Vellokari.iniの書き込みに失敗しました. err=0x3"},
        {"not loaded", writable, false, false, false, "Vellokari.iniが読み込めなかったため,設定を保存できません."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::SetFileAttributesA(m_path.c_str(), c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        const HANDLE holder = c.held ? ::CreateFileA(c.path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                     FILE_ATTRIBUTE_NORMAL, nullptr)
                                     : INVALID_HANDLE_VALUE;
        ASSERT_EQ(holder != INVALID_HANDLE_VALUE, c.held);
        MessageBoxSeam boxes;
        DebugLogCapture log;
        auto panel = Panel();
        panel->m_strIniPath = c.path.c_str();
        panel->m_bSettingsLoaded = c.loaded;
        panel->m_strAutorunInf = "AB\r\n";
        panel->m_runItems = {Item("new", "\\n.exe", "", "", 0, 0, 0)};
        // The program's own saves say nothing; the user's get one box each.
        EXPECT_FALSE(panel->WriteIniFile());
        EXPECT_TRUE(boxes.Calls().empty());
        panel->SaveSettings();
        ASSERT_EQ(boxes.Calls().size(), 1u);
        // Held, the replace is refused with the code that the system picks.
        if (c.held) {
            EXPECT_EQ(boxes.Calls()[0].text.rfind(c.box, 0), 0u) << boxes.Calls()[0].text;
        } else {
            EXPECT_EQ(boxes.Calls()[0].text, c.box);
        }
        EXPECT_EQ(log.Count("CWriteIniFile::openFile(" + c.path + ") Error!\n"), c.loaded ? 2 : 0) << log.Text();
        if (holder != INVALID_HANDLE_VALUE)
            ::CloseHandle(holder);
        EXPECT_EQ(panel->m_strAutorunInf, "AB\r\n");
        EXPECT_EQ(panel->m_runItems.size(), 1u);
        EXPECT_FALSE(FileExists(Temporary(c.path)));
    }
    EXPECT_EQ(ReadBytes(m_path), old);
    EXPECT_EQ(ReadBytes(writable), old);
    EXPECT_FALSE(FileExists(missing));
    ::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
}
