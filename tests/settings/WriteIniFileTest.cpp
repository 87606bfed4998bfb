#include "CWriteIniFile.h"

#include "DebugLog.h"
#include "TemporaryName.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const char kOld[] = "[SYSTEM]\r\nVER=old\r\n";

std::string OpenErrorLine(const std::string& path)
{
    return "CWriteIniFile::openFile(" + path + ") Error!\n";
}

// One save of a file with one entry; the file then holds exactly that.
void SaveVersion(const std::string& path, const char* version)
{
    CWriteIniFile ini;
    ASSERT_TRUE(ini.openFile(path.c_str()));
    ini.writeString("SYSTEM", "VER", version);
    ASSERT_TRUE(ini.closeFile());
    EXPECT_EQ(ReadBytes(path), std::string("[SYSTEM]\r\nVER=") + version + "\r\n");
}

}  // namespace

TEST(CWriteIniFile, WritesEntriesInCallOrderWithAHeaderPerSectionChange)
{
    TempFolder dir;
    const std::string path = dir / "Vellokari.ini";
    ASSERT_TRUE(WriteBytes(path, "[OTHER]\r\nKEPT=1\r\n"));
    {
        CWriteIniFile ini;
        ASSERT_TRUE(ini.openFile(path.c_str()));
        EXPECT_TRUE(ini.writeString("SYSTEM", "VER", ""));
        EXPECT_TRUE(ini.writeString("SYSTEM", "N", "1"));
        EXPECT_TRUE(ini.writeString("RUNITEM0", "ARG", "/x:%letter%\\data 表"));
        EXPECT_TRUE(ini.writeString("SYSTEM", "AGAIN", "2"));
        EXPECT_TRUE(ini.closeFile());
    }
    EXPECT_EQ(ReadBytes(path),
              "[SYSTEM]\r\nVER=\r\nN=1\r\n[RUNITEM0]\r\nARG=/x:%letter%\\data 表\r\n[SYSTEM]\r\nAGAIN=2\r\n");
    EXPECT_FALSE(FileExists(Temporary(path)));
}

TEST(CWriteIniFile, LineEndsInsideAValueBecomeBlanks)
{
    struct Case {
        const char* value;
        const char* written;
    } cases[] = {
        {"x\r\nLAUNCHER=999", "x  LAUNCHER=999"},
        {"a\rb\nc", "a b c"},
        {"\x82\r\n[SYSTEM]", "\x82  [SYSTEM]"},  // a lead byte does not swallow the CR
        {"\n", "\" \""},  // a lone blank is kept inside quotes
    };
    TempFolder dir;
    const std::string path = dir / "t.ini";
    for (const Case& c : cases) {
        CWriteIniFile ini;
        ASSERT_TRUE(ini.openFile(path.c_str()));
        ini.writeString("S", "K", c.value);
        ASSERT_TRUE(ini.closeFile());
        EXPECT_EQ(ReadBytes(path), std::string("[S]\r\nK=") + c.written + "\r\n");
    }
}

TEST(CWriteIniFile, ValuesThatTheReaderWouldChangeReadBackAsWritten)
{
    // The profile reader drops the blanks around a value and one pair of
    // enclosing quotes; such a value goes out inside one more pair of
    // double quotes, and every value reads back exactly.
    struct Case {
        const char* value;
        const char* written;
    } cases[] = {
        {"\"%letter%\\a b\\c.txt\"", "\"\"%letter%\\a b\\c.txt\"\""},
        {"'x y'", "\"'x y'\""},
        {"\"a\" \"b\"", "\"\"a\" \"b\"\""},
        {"\"", "\"\"\""},
        {"''", "\"''\""},
        {"\"\"", "\"\"\"\""},
        {"  x  ", "\"  x  \""},
        {"\tx", "\"\tx\""},
        {"x\v", "\"x\v\""},
        {"\fx\x1a", "\"\fx\x1a\""},
        {"x\r\n", "\"x  \""},
        {"表 ", "\"表 \""},
        // Left as they are: the reader gives them back unchanged.
        {"", ""},
        {"x", "x"},
        {"a b", "a b"},
        {"\"x'", "\"x'"},
        {"'x\"", "'x\""},
        {"\"x", "\"x"},
        {"x\"", "x\""},
        {"a\"b\"", "a\"b\""},
        {"/datapath:\"%letter%\\skype\\data\" /removable", "/datapath:\"%letter%\\skype\\data\" /removable"},
        {"表", "表"},
        {"　x　", "　x　"},
    };
    TempFolder dir;
    const std::string path = dir / "t.ini";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        CWriteIniFile ini;
        ASSERT_TRUE(ini.openFile(path.c_str()));
        ini.writeString("S", "K", c.value);
        ini.writeString("S", "NEXT", "n");
        ASSERT_TRUE(ini.closeFile());
        EXPECT_EQ(ReadBytes(path), std::string("[S]\r\nK=") + c.written + "\r\nNEXT=n\r\n");

        std::string expected = c.value;
        for (char& ch : expected) {
            if (ch == '\r' || ch == '\n')
                ch = ' ';
        }
        char read[64] = {};
        ::GetPrivateProfileStringA("S", "K", "default", read, sizeof read, path.c_str());
        EXPECT_EQ(std::string(read), expected);
        ::GetPrivateProfileStringA("S", "NEXT", "", read, sizeof read, path.c_str());
        EXPECT_STREQ(read, "n");
    }
}

TEST(CWriteIniFile, ReadOnlyFileOrMissingFolderIsLeftAlone)
{
    TempFolder dir;
    const std::string readOnly = dir / "ro.ini";
    ASSERT_TRUE(WriteBytes(readOnly, kOld));
    ASSERT_TRUE(::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string missing = dir / "gone\\Vellokari.ini";

    for (const std::string& path : {readOnly, missing}) {
        DebugLogCapture log;
        CWriteIniFile ini;
        EXPECT_FALSE(ini.openFile(path.c_str())) << path;
        EXPECT_EQ(log.Count(OpenErrorLine(path)), 1) << log.Text();
        ini.writeString("SYSTEM", "VER", "new");
        EXPECT_FALSE(ini.closeFile());
        EXPECT_FALSE(FileExists(Temporary(path)));
    }
    EXPECT_EQ(ReadBytes(readOnly), kOld);
    EXPECT_FALSE(FileExists(missing));
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CWriteIniFile, FailedReplaceKeepsTheOldFileWhole)
{
    TempFolder dir;
    const std::string path = dir / "Vellokari.ini";
    ASSERT_TRUE(WriteBytes(path, kOld));
    DebugLogCapture log;
    {
        CWriteIniFile ini;
        ASSERT_TRUE(ini.openFile(path.c_str()));
        ini.writeString("SYSTEM", "VER", "new");
        ASSERT_TRUE(FileExists(Temporary(path)));
        // Another program holds the file open, as an editor or a scanner
        // would: the complete temporary file cannot take its place.
        const HANDLE holder = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(ini.closeFile());
        ::CloseHandle(holder);
    }
    EXPECT_EQ(log.Count(OpenErrorLine(path)), 1) << log.Text();
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_FALSE(FileExists(Temporary(path)));

    // Once the file is free again the next save goes through.
    CWriteIniFile ini;
    ASSERT_TRUE(ini.openFile(path.c_str()));
    ini.writeString("SYSTEM", "VER", "new");
    EXPECT_TRUE(ini.closeFile());
    EXPECT_EQ(ReadBytes(path), "[SYSTEM]\r\nVER=new\r\n");
}

TEST(CWriteIniFile, AWriterEndedBeforeCloseLeavesTheOldFile)
{
    TempFolder dir;
    const std::string path = dir / "Vellokari.ini";
    ASSERT_TRUE(WriteBytes(path, kOld));
    {
        CWriteIniFile ini;
        ASSERT_TRUE(ini.openFile(path.c_str()));
        ini.writeString("SYSTEM", "VER", "new");
    }
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_FALSE(FileExists(Temporary(path)));
}

TEST(CWriteIniFile, AHiddenSystemFileStaysSo)
{
    TempFolder dir;
    const std::string path = dir / "Vellokari.ini";
    ASSERT_TRUE(WriteBytes(path, kOld));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    for (const char* version : {"new", "newer"}) {
        SaveVersion(path, version);
        EXPECT_EQ(::GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                  static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CWriteIniFile, ALeftTemporaryFileDoesNotBlockSaves)
{
    const struct {
        const char* what;
        DWORD attributes;  // of a file left there; 0: a folder of that name
        bool held;         // held open by another program, sharing nothing
    } cases[] = {
        {"read-only", FILE_ATTRIBUTE_READONLY, false},
        {"hidden and system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
        {"held open", FILE_ATTRIBUTE_NORMAL, true},
        {"a folder", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        const std::string path = dir / "Vellokari.ini";
        const std::string temp = Temporary(path);
        ASSERT_TRUE(WriteBytes(path, kOld));
        if (c.attributes == 0) {
            ASSERT_TRUE(::CreateDirectoryA(temp.c_str(), nullptr));
        } else {
            ASSERT_TRUE(WriteBytes(temp, "left"));
            ASSERT_TRUE(::SetFileAttributesA(temp.c_str(), c.attributes));
        }
        const HANDLE holder = c.held ? ::CreateFileA(temp.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                     FILE_ATTRIBUTE_NORMAL, nullptr)
                                     : INVALID_HANDLE_VALUE;
        ASSERT_EQ(holder != INVALID_HANDLE_VALUE, c.held);

        for (const char* version : {"new", "newer"}) {
            SaveVersion(path, version);
            EXPECT_EQ(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
        }
        if (holder != INVALID_HANDLE_VALUE)
            ::CloseHandle(holder);
        // What was not ours is still there; a left file was taken for the save.
        EXPECT_EQ(FileExists(temp), c.held || c.attributes == 0);
        if (c.attributes == 0)
            ::RemoveDirectoryA(temp.c_str());
        else
            ::SetFileAttributesA(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}
