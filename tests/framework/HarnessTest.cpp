// The test harness itself: the medium, the recording helper program, Wine's code page.
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(Harness, AnsiCodePageIs932)
{
    EXPECT_EQ(::GetACP(), 932u);
}

TEST(Harness, MediumIsARealDriveAndGoesAway)
{
    std::string root;
    {
        TestMedium medium;
        ASSERT_TRUE(medium.IsReady());
        root = medium.Path("\\");
        EXPECT_EQ(medium.Drive().size(), 2u);
        medium.MakeFolders("\\tools\\表");
        EXPECT_TRUE(WriteBytes(medium.Path("\\tools\\表\\a.txt"), "abc"));
        EXPECT_EQ(ReadBytes(medium.Path("\\tools\\表\\a.txt")), "abc");

        TestMedium second;  // two media at once get two letters
        ASSERT_TRUE(second.IsReady());
        EXPECT_NE(second.Letter(), medium.Letter());
        EXPECT_FALSE(FileExists(second.Path("\\tools")));
    }
    EXPECT_FALSE(FileExists(root));
}

TEST(Harness, RecorderRecordsItsCommandLineAndFolder)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    const std::string exe = medium.Put(FixturePath("vk_recorder.exe"), "\\tools\\rec.exe");
    TempFolder dir;
    const std::string record = dir / "record.txt";
    ::SetEnvironmentVariableA("VK_RECORD_FILE", record.c_str());

    ChildProcess child;
    ASSERT_TRUE(child.Start("\"" + exe + "\" /x:" + medium.Drive() + "\\data", medium.Path("\\tools").c_str()));
    ASSERT_TRUE(child.WaitExit());
    ::SetEnvironmentVariableA("VK_RECORD_FILE", nullptr);
    EXPECT_EQ(ReadBytes(record),
              "CMD=\"" + exe + "\" /x:" + medium.Drive() + "\\data\nDIR=" + medium.Path("\\tools") + "\n");
}
