// The text of a created Autorun.inf and the line-end rule of written texts.
#include "AutorunInfWrite.h"

#include <gtest/gtest.h>

#include <string>

TEST(AutorunInfCreation, PathIsTheProgramsFolderWithoutTheDrive)
{
    const struct {
        const char* exeDir;
        const char* path;
    } cases[] = {
        {"E:", "\\Vellokari.exe"},
        {"E:\\Tools", "Tools\\Vellokari.exe"},
        {"E:\\A\\B", "A\\B\\Vellokari.exe"},
        {"E:\\表示", "表示\\Vellokari.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exeDir);
        EXPECT_EQ(AutorunInfCreationText(c.exeDir).str(), std::string("[autorun]\r\nOPEN=") + c.path + "\r\nICON=" +
                                                              c.path + "\r\nACTION = Vellokari\r\n");
    }
}

TEST(AutorunInfCreation, WrittenTextsEndWithCrLf)
{
    const struct {
        const char* text;
        const char* ended;
    } cases[] = {
        {"", "\r\n"},
        {"a", "a\r\n"},
        {"\n", "\n\r\n"},
        {"a\r", "a\r\r\n"},
        {"\r\n", "\r\n"},
        {"a\r\nb\r\n", "a\r\nb\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(EndWithCrLf(c.text), c.ended) << c.text;
}
