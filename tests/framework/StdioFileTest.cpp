#include "CStdioFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> ReadLines(const std::string& path, UINT flags)
{
    std::vector<std::string> lines;
    CStdioFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone | flags));
    CString line;
    while (file.ReadString(line))
        lines.push_back(line.GetString());
    EXPECT_EQ(file.GetError(), 0u);
    return lines;
}

}  // namespace

TEST(CStdioFile, TextModeLineRules)
{
    TempFolder dir;
    struct Case {
        const char* bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},                        // LF alone ends a line; last line without end
        {"c\rd\r\n", {"c\rd"}},                      // a lone CR stays
        {"x\r", {"x\r"}},                            // also at the very end
        {"x\r\r\ny", {"x\r", "y"}},
        {"a\r\n\x1A" "after\r\n", {"a"}},            // 0x1A ends the file
        {"a\x1A", {"a"}},
        {"", {}},
        {"\r\n\r\n", {"", ""}},
    };
    for (const Case& c : cases) {
        const std::string path = dir / "t.txt";
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        EXPECT_EQ(ReadLines(path, CFile::typeText), c.lines) << "bytes: " << c.bytes;
    }
}

TEST(CStdioFile, BinaryModeKeepsCarriageReturns)
{
    TempFolder dir;
    const std::string path = dir / "b.txt";
    ASSERT_TRUE(WriteBytes(path, "a\r\nb\x1A" "c"));
    EXPECT_EQ(ReadLines(path, CFile::typeBinary), (std::vector<std::string>{"a\r", "b\x1A" "c"}));
}

TEST(CStdioFile, LongLinesCrossTheReadBuffer)
{
    TempFolder dir;
    const std::string path = dir / "long.txt";
    const std::string longLine(5000, 'x');
    ASSERT_TRUE(WriteBytes(path, std::string(4095, 'y') + "\r\n" + longLine + "\r\nz"));
    const auto lines = ReadLines(path, CFile::typeText);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(4095, 'y'));  // the CR LF straddles the buffer's end
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], "z");
}

TEST(CStdioFile, BoundedReadCutsALineAndGoesOnWithItsRest)
{
    TempFolder dir;
    const std::string path = dir / "bounded.txt";
    ASSERT_TRUE(WriteBytes(path, "abcdefg\r\nhi\r\n"));
    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    std::vector<std::string> reads;
    CString line;
    while (file.ReadString(line, 3))
        reads.push_back(line.GetString());
    // A line of exactly the bound still ends at its line end.
    EXPECT_EQ(reads, (std::vector<std::string>{"abc", "def", "g", "hi"}));
}

TEST(CStdioFile, WritesTranslateOnlyInTextMode)
{
    TempFolder dir;
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open((dir / "t.txt").c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        EXPECT_TRUE(file.WriteString("a\nb\r\n"));
    }
    EXPECT_EQ(ReadBytes(dir / "t.txt"), "a\r\nb\r\r\n");
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open((dir / "b.txt").c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
        EXPECT_TRUE(file.WriteString("a\nb\r\n"));
    }
    EXPECT_EQ(ReadBytes(dir / "b.txt"), "a\nb\r\n");
}

TEST(CStdioFile, FailuresAreResultsWithTheSystemError)
{
    TempFolder dir;
    CStdioFile missing;
    EXPECT_FALSE(missing.Open((dir / "none.txt").c_str(), CFile::modeRead));
    EXPECT_EQ(missing.GetError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // Reading a file opened for writing only is a read error, not the end.
    ASSERT_TRUE(WriteBytes(dir / "w.txt", "line\r\n"));
    CStdioFile writeOnly;
    ASSERT_TRUE(writeOnly.Open((dir / "w.txt").c_str(), CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate));
    CString line;
    EXPECT_FALSE(writeOnly.ReadString(line));
    EXPECT_NE(writeOnly.GetError(), 0u);
    writeOnly.Close();

    // Creating truncates; modeNoTruncate keeps the content.
    CFile create;
    ASSERT_TRUE(create.Open((dir / "w.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
    create.Close();
    EXPECT_EQ(ReadBytes(dir / "w.txt"), "");
}

TEST(CStdioFile, ReadsWhileAnotherHandleWrites)
{
    TempFolder dir;
    const std::string path = dir / "shared.txt";
    CFile writer;
    ASSERT_TRUE(writer.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone));
    ASSERT_TRUE(writer.Write("x\r\n", 3));
    EXPECT_EQ(ReadLines(path, CFile::typeText), (std::vector<std::string>{"x"}));
}
