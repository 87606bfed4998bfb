#include "SplitPath.h"

#include <gtest/gtest.h>

TEST(SplitPath, FolderAndFileName)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* fileName;
    } cases[] = {
        {"\\skype\\bin\\Skype.exe", "\\skype\\bin", "Skype.exe"},
        {"\\Skype.exe", "", "Skype.exe"},
        {"\\skype\\bin\\", "\\skype\\bin", ""},
        {"Skype.exe", "", "Skype.exe"},
        {"", "", ""},
        // 表 is 0x95 0x5C: its second byte is no backslash.
        {"\\tools\\表", "\\tools", "表"},
        {"\\tools\\表\\a表.exe", "\\tools\\表", "a表.exe"},
        {"表.exe", "", "表.exe"},
    };
    for (const Case& c : cases) {
        CString folder = "old", fileName = "old";
        SplitPath(c.path, folder, fileName);
        EXPECT_STREQ(folder, c.folder) << c.path;
        EXPECT_STREQ(fileName, c.fileName) << c.path;
    }
}
