#include "CString.h"

#include <gtest/gtest.h>

// 表 is 0x95 0x5C in code page 932: its second byte is a backslash.
TEST(Text, NarrowLiteralsAreCodePage932)
{
    EXPECT_EQ(std::string("表"), std::string("\x95\x5C"));
    EXPECT_EQ(std::string("手動"), std::string("\x8E\xE8\x93\xAE"));
}

TEST(CString, SearchesStepOverDoubleByteCharacters)
{
    const CString path("E:\\表\\a.exe");  // E : \ 95 5C \ a . e x e
    EXPECT_EQ(path.ReverseFind('\\'), 5);
    EXPECT_EQ(path.Find('\\'), 2);
    EXPECT_EQ(path.Find('\\', 3), 5);
    EXPECT_EQ(path.Find("\\a"), 5);

    const CString inside("\\表");  // only the first byte is a real backslash
    EXPECT_EQ(inside.ReverseFind('\\'), 0);
    EXPECT_EQ(CString("表").Find('\\'), -1);
}

TEST(CString, ReplaceIsMultibyteAwareLeftToRightWithoutOverlap)
{
    CString arg("/x:%letter%\\data %letter%");
    EXPECT_EQ(arg.Replace("%letter%", "F:"), 2);
    EXPECT_EQ(arg, "/x:F:\\data F:");

    CString dbcs("表\\表");  // 95 5C 5C 95 5C
    EXPECT_EQ(dbcs.Replace("\\", "/"), 1);
    EXPECT_EQ(dbcs, "表/表");

    CString overlap("aaa");
    EXPECT_EQ(overlap.Replace("aa", "b"), 1);
    EXPECT_EQ(overlap, "ba");
}

TEST(CString, MakeUpperLeavesDoubleByteCharactersAlone)
{
    CString drive("e:");
    EXPECT_EQ(drive.MakeUpper(), "E:");

    // ヂ is 0x83 0x61: its second byte reads as 'a' but is no letter.
    CString mixed("ヂa表z");
    mixed.MakeUpper();
    EXPECT_EQ(mixed, "ヂA表Z");
    EXPECT_EQ(std::string(mixed.GetString()).substr(0, 2), "\x83\x61");
}

TEST(CString, SlicesClampAndFormatFollowsPrintf)
{
    const CString s("abcdef");
    EXPECT_EQ(s.Left(2), "ab");
    EXPECT_EQ(s.Left(99), "abcdef");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Mid(4), "ef");
    EXPECT_EQ(s.Mid(1, 2), "bc");
    EXPECT_EQ(s.Mid(9), "");
    EXPECT_EQ(s.Right(2), "ef");

    CString f;
    f.Format("%2.1f|%d|0x%x|0x%08x|%s|%c:", 25 / 10.0, -3, 267u, 0x1234u, "表", 'E');
    EXPECT_EQ(f, "2.5|-3|0x10b|0x00001234|表|E:");
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_EQ(CString("a").Compare("b") < 0, true);
    EXPECT_TRUE(CString("Skype.exe") != "skype.exe");
}
