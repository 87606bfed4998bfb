// Version texts read from real executables with version resources.
#include "TestSupport.h"
#include "VersionText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Fixture(const char* name)
{
    return FixturePath(name);
}

// Counts the reads of version resources and may name another file as the
// program's own; puts the platform's calls back when it goes.
class VersionReads {
public:
    VersionReads() : m_saved(VersionFileBinding())
    {
        s_saved = m_saved;
        s_sizeReads = 0;
        s_infoReads = 0;
        s_ownPath.clear();
        VersionFileBinding().infoSize = &CountedSize;
        VersionFileBinding().info = &CountedInfo;
        VersionFileBinding().moduleFileName = &OwnPath;
        ForgetProductVersionString();
    }
    ~VersionReads()
    {
        VersionFileBinding() = m_saved;
        ForgetProductVersionString();
    }
    VersionReads(const VersionReads&) = delete;
    VersionReads& operator=(const VersionReads&) = delete;

    // The program's own file as the code under test sees it; empty: the real one.
    void SetOwnPath(const std::string& path) { s_ownPath = path; }
    int SizeReads() const { return s_sizeReads; }
    int InfoReads() const { return s_infoReads; }

private:
    static DWORD WINAPI CountedSize(LPCSTR path, LPDWORD handle)
    {
        ++s_sizeReads;
        return s_saved.infoSize(path, handle);
    }
    static BOOL WINAPI CountedInfo(LPCSTR path, DWORD handle, DWORD size, LPVOID block)
    {
        ++s_infoReads;
        return s_saved.info(path, handle, size, block);
    }
    static DWORD WINAPI OwnPath(HMODULE module, LPSTR path, DWORD size)
    {
        if (s_ownPath.empty())
            return s_saved.moduleFileName(module, path, size);
        if (s_ownPath.size() + 1 > size)
            return 0;
        s_ownPath.copy(path, s_ownPath.size());
        path[s_ownPath.size()] = '\0';
        return static_cast<DWORD>(s_ownPath.size());
    }

    VersionFileCalls m_saved;
    static inline VersionFileCalls s_saved{};
    static inline int s_sizeReads = 0;
    static inline int s_infoReads = 0;
    static inline std::string s_ownPath;
};

}  // namespace

TEST(VersionText, FileVersionOfRealExecutables)
{
    struct Case {
        const char* file;
        std::string expected;
    };
    const Case cases[] = {
        {"vk_version_plain.exe", "Ver.:2.5.0.17"},
        // Only the first translation counts; it has no strings, so "Ver.:" stands alone.
        {"vk_version_second.exe", "Ver.:"},
        {"vk_recorder.exe", ""},  // no version resource
        {"no_such_program.exe", ""},
        // 249 bytes, then a double-byte character that would cross the limit.
        {"vk_version_long.exe", "Ver.:" + std::string(249, 'a')},
    };
    for (const Case& c : cases) {
        const CString text = GetFileVersionString(Fixture(c.file).c_str());
        EXPECT_EQ(text.str(), c.expected) << c.file;
        EXPECT_LE(text.GetLength(), 255) << c.file;
    }
    EXPECT_EQ(GetFileVersionString(nullptr), "");
}

TEST(VersionText, TwoPathsInARowGiveTheirOwnVersions)
{
    EXPECT_EQ(GetFileVersionString(Fixture("vk_version_plain.exe").c_str()), "Ver.:2.5.0.17");
    EXPECT_EQ(GetFileVersionString(Fixture("vk_version_next.exe").c_str()), "Ver.:3.0.0.200");
    EXPECT_EQ(GetFileVersionString(Fixture("vk_version_plain.exe").c_str()), "Ver.:2.5.0.17");
}

TEST(VersionText, SamePathReadsTheFileThatIsThereNow)
{
    TempFolder folder;
    const std::string path = folder / "Skype.exe";
    ASSERT_TRUE(::CopyFileA(Fixture("vk_version_plain.exe").c_str(), path.c_str(), FALSE));
    EXPECT_EQ(GetFileVersionString(path.c_str()), "Ver.:2.5.0.17");

    ASSERT_TRUE(::CopyFileA(Fixture("vk_version_next.exe").c_str(), path.c_str(), FALSE));
    EXPECT_EQ(GetFileVersionString(path.c_str()), "Ver.:3.0.0.200");

    ASSERT_TRUE(::DeleteFileA(path.c_str()));
    EXPECT_EQ(GetFileVersionString(path.c_str()), "");
}

TEST(VersionText, ProductVersionIsReadOnceAndKept)
{
    VersionReads reads;
    reads.SetOwnPath(Fixture("vk_version_plain.exe"));
    EXPECT_EQ(GetProductVersionString(), "Ver.:1.1.2.125");
    EXPECT_EQ(GetProductVersionString(), "Ver.:1.1.2.125");
    EXPECT_EQ(reads.SizeReads(), 1);
    EXPECT_EQ(reads.InfoReads(), 1);

    // Kept for the process's life, even when the file would say otherwise now.
    reads.SetOwnPath(Fixture("vk_version_next.exe"));
    EXPECT_EQ(GetProductVersionString(), "Ver.:1.1.2.125");
    EXPECT_EQ(reads.SizeReads(), 1);
}

TEST(VersionText, ProductVersionTriesAgainUntilAReadingGetsThrough)
{
    VersionReads reads;
    reads.SetOwnPath(Fixture("vk_recorder.exe"));  // no version resource
    EXPECT_EQ(GetProductVersionString(), "");
    EXPECT_EQ(GetProductVersionString(), "");
    EXPECT_EQ(reads.SizeReads(), 2);
    EXPECT_EQ(reads.InfoReads(), 0);

    // A first translation without the string still fills the store.
    reads.SetOwnPath(Fixture("vk_version_second.exe"));
    EXPECT_EQ(GetProductVersionString(), "Ver.:");
    reads.SetOwnPath(Fixture("vk_version_plain.exe"));
    EXPECT_EQ(GetProductVersionString(), "Ver.:");
    EXPECT_EQ(reads.InfoReads(), 1);
}

TEST(VersionText, ProductVersionOfTheRealModuleAndATooLongOne)
{
    VersionReads reads;
    // The test program has no version resource of its own.
    EXPECT_EQ(GetProductVersionString(), "");

    reads.SetOwnPath(Fixture("vk_version_long.exe"));
    EXPECT_EQ(GetProductVersionString().str(), "Ver.:" + std::string(250, '9'));
}
