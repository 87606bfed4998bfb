// The medium's Autorun.inf read into the form in which it is compared.
#include "AutorunInfText.h"

#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

class AutorunInfReading : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_medium.IsReady()); }

    // Reads the medium's file; the text starts as a marker that only a whole
    // read replaces, the beginning as one that only a file over the limit does.
    AutorunInfRead Read(std::string& text, DWORD* error = nullptr, std::string* beginning = nullptr)
    {
        CString read = "(untouched)";
        CString begun = "(untouched)";
        const AutorunInfRead result = ReadAutorunInfText(m_medium.Drive().c_str(), read, error, &begun);
        text = read.str();
        if (beginning != nullptr)
            *beginning = begun.str();
        return result;
    }

    TestMedium m_medium;
    std::string m_path = m_medium.Path("\\Autorun.Inf");
};

}  // namespace

TEST(AutorunInfPath, IsTheDriveAndTheFixedName)
{
    EXPECT_STREQ(AutorunInfPath("E:"), "E:\\Autorun.Inf");
}

TEST_F(AutorunInfReading, EveryLineEndsWithCrLf)
{
    const struct {
        const char* what;
        std::string file;
        std::string form;
    } cases[] = {
        {"CR LF after each line", "[autorun]\r\nOPEN=a.exe\r\n", "[autorun]\r\nOPEN=a.exe\r\n"},
        {"LF alone, no line end at the end", "[autorun]\nOPEN=a.exe", "[autorun]\r\nOPEN=a.exe\r\n"},
        {"an empty line at the end stays", "[autorun]\r\n\r\n", "[autorun]\r\n\r\n"},
        {"empty lines inside stay", "a\n\n\nb\n", "a\r\n\r\n\r\nb\r\n"},
        {"empty file", "", ""},
        {"a line end alone", "\n", "\r\n"},
        {"0x1A ends the text", "a\r\nb\x1A", "a\r\nb\r\n"},
        {"0x1A alone", "\x1A", ""},
        {"a CR alone stays in the line", "a\rb\r\n", "a\rb\r\n"},
        {"a CR before CR LF stays", "a\r\r\n", "a\r\r\n"},
        {"a CR at the very end stays", "a\r", "a\r\r\n"},
        {"letter case is kept", "[AutoRun]\r\nopen=A.EXE", "[AutoRun]\r\nopen=A.EXE\r\n"},
        {"double-byte text", "ICON=\\表示\\a.ico\n", "ICON=\\表示\\a.ico\r\n"},
        {"a long line is not cut", std::string(20000, 'x') + "\n", std::string(20000, 'x') + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_path, c.file));
        std::string text, beginning;
        EXPECT_EQ(Read(text, nullptr, &beginning), AUTORUNINF_READ_OK);
        EXPECT_EQ(text, c.form);
        EXPECT_EQ(beginning, "(untouched)");
        // What the editor counts before it writes is the length read back.
        EXPECT_EQ(AutorunInfFormLength(CString(c.file)), c.form.size());
    }
}

// The text stops at a 0x1A, but the system's profile reader does not: a
// file that holds anything after it is told apart, with its text up to it.
TEST_F(AutorunInfReading, BytesAfterA1AAreToldWithTheTextUpToIt)
{
    // The reader takes the file 4096 bytes at a time.
    const std::string block(4094, 'x');
    const struct {
        const char* what;
        std::string file;
        AutorunInfRead result;
        std::string form;
    } cases[] = {
        {"a line after it", "a\r\nb\x1A\r\nshellexecute=evil.exe\r\n", AUTORUNINF_READ_AFTER_MARK, "a\r\nb\r\n"},
        {"first, with one byte after it", "\x1A" "a", AUTORUNINF_READ_AFTER_MARK, ""},
        {"a line end after it", "a\x1A\n", AUTORUNINF_READ_AFTER_MARK, "a\r\n"},
        {"a second 0x1A after it", "a\x1A\x1A", AUTORUNINF_READ_AFTER_MARK, "a\r\n"},
        {"last of a full block, more after it", block + "\n\x1A" "a", AUTORUNINF_READ_AFTER_MARK, block + "\r\n"},
        {"last of a full block and of the file", block + "\n\x1A", AUTORUNINF_READ_OK, block + "\r\n"},
        {"last of the file after a full block", block + "\r\nb\x1A", AUTORUNINF_READ_OK, block + "\r\nb\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_path, c.file));
        std::string text, beginning;
        EXPECT_EQ(Read(text, nullptr, &beginning), c.result);
        EXPECT_TRUE(text == c.form) << text.size() << " bytes";
        EXPECT_EQ(beginning, "(untouched)");
    }
}

TEST_F(AutorunInfReading, TheNameIsFoundInAnyCaseAndOthersMayWriteMeanwhile)
{
    // The creation writes "autorun.inf"; the medium does not tell the case of names.
    ASSERT_TRUE(WriteBytes(m_medium.Path("\\autorun.inf"), "[autorun]\n"));
    const HANDLE writer = ::CreateFileA(m_medium.Path("\\autorun.inf").c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    std::string text;
    EXPECT_EQ(Read(text), AUTORUNINF_READ_OK);
    EXPECT_EQ(text, "[autorun]\r\n");
    ::CloseHandle(writer);
}

TEST_F(AutorunInfReading, FilesThatCannotBeOpenedOrReadLeaveTheText)
{
    std::string text;
    DWORD error = 0;
    EXPECT_EQ(Read(text, &error), AUTORUNINF_READ_NOT_OPENED);
    EXPECT_EQ(text, "(untouched)");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // Held by another program that shares nothing.
    ASSERT_TRUE(WriteBytes(m_path, "[autorun]\r\n"));
    const HANDLE holder =
        ::CreateFileA(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Read(text, &error), AUTORUNINF_READ_NOT_OPENED);
    EXPECT_EQ(text, "(untouched)");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    ::CloseHandle(holder);

    // A folder of that name.
    ASSERT_TRUE(::DeleteFileA(m_path.c_str()));
    ASSERT_TRUE(::CreateDirectoryA(m_path.c_str(), nullptr));
    EXPECT_EQ(Read(text), AUTORUNINF_READ_NOT_OPENED);
    EXPECT_EQ(text, "(untouched)");
    ASSERT_TRUE(::RemoveDirectoryA(m_path.c_str()));

    // A file that opens but whose reading fails: the host's memory file of
    // the process that opens it, read at address 0.
    ASSERT_TRUE(m_medium.LinkToHostFile("\\Autorun.Inf", "/proc/self/mem"));
    error = 0;
    EXPECT_EQ(Read(text, &error), AUTORUNINF_READ_FAILED);
    EXPECT_EQ(text, "(untouched)");
    EXPECT_NE(error, 0u);
    EXPECT_TRUE(m_medium.RemoveLink("\\Autorun.Inf"));
}

TEST_F(AutorunInfReading, NoFurtherThanTheLimitAndOfALargerFileItsBeginning)
{
    // Exactly the limit in comparison form: lines of 1022 bytes and LF alone.
    const std::size_t limit = AUTORUNINF_MAX_TEXT;
    std::string file, form;
    for (std::size_t i = 0; i < limit / 1024; ++i) {
        file += std::string(1022, 'a') + "\n";
        form += std::string(1022, 'a') + "\r\n";
    }
    std::string text;
    ASSERT_TRUE(WriteBytes(m_path, file));
    EXPECT_EQ(Read(text), AUTORUNINF_READ_OK);
    EXPECT_EQ(text.size(), limit);
    EXPECT_TRUE(text == form);
    EXPECT_EQ(AutorunInfFormLength(CString(file)), limit);

    std::string doubleByte = "x";
    while (doubleByte.size() <= limit)
        doubleByte += "表";
    const struct {
        const char* what;
        std::string file;
        std::string beginning;  // the form up to the limit
    } larger[] = {
        {"one more line", file + "\n", form},
        {"one more byte", file + "a", form},
        {"one long line", std::string(limit, 'a'), std::string(limit, 'a')},
        {"a double-byte character across the limit", doubleByte, doubleByte.substr(0, limit - 1)},
    };
    for (const auto& c : larger) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_path, c.file));
        std::string beginning;
        EXPECT_EQ(Read(text, nullptr, &beginning), AUTORUNINF_READ_TOO_LARGE);
        EXPECT_EQ(text, "(untouched)");
        EXPECT_TRUE(beginning == c.beginning) << beginning.size() << " bytes";
        EXPECT_GT(AutorunInfFormLength(CString(c.file)), limit);
    }

    // Endless: a link to the host's /dev/zero, read no further than the limit.
    ASSERT_TRUE(::DeleteFileA(m_path.c_str()));
    ASSERT_TRUE(m_medium.LinkToHostFile("\\Autorun.Inf", "/dev/zero"));
    std::string beginning;
    EXPECT_EQ(Read(text, nullptr, &beginning), AUTORUNINF_READ_TOO_LARGE);
    EXPECT_EQ(text, "(untouched)");
    EXPECT_TRUE(beginning == std::string(limit, '\0')) << beginning.size() << " bytes";
    EXPECT_TRUE(m_medium.RemoveLink("\\Autorun.Inf"));
}
