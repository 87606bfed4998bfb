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

TEST(Harness, MediumPathCanLeadToAHostFile)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    const std::string path = medium.Path("\\full.txt");
    ASSERT_TRUE(medium.LinkToHostFile("\\full.txt", "/dev/full"));
    // The file opens; what is written does not fit.
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_FALSE(::WriteFile(file, "abc", 3, &written, nullptr));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    ::CloseHandle(file);

    ASSERT_TRUE(medium.RemoveLink("\\full.txt"));
    EXPECT_EQ(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // A link left behind goes with the medium (by the host, not by Wine).
    ASSERT_TRUE(medium.LinkToHostFile("\\left.txt", "/dev/full"));
}
