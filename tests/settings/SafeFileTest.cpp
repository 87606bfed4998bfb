// The safe replace of a file: the new content takes the old file's place
// only when all of it is written; the old file's name and attributes stay.
#include "CSafeFile.h"

#include "TemporaryName.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kOld[] = "[autorun]\r\nOPEN=old.exe\r\n";
const char kNew[] = "[autorun]\r\nOPEN=\\Vellokari.exe\r\n";

// The names in a folder, as the medium holds them.
std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != ".." && name.rfind(".vk-", 0) != 0)
            names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

}  // namespace

TEST(SafeFile, NewContentTakesTheNameAndAttributesOfTheOldFile)
{
    TempFolder dir;
    const struct {
        const char* what;
        const char* onDisk;  // the old file's name; empty: there is none
        DWORD attributes;
    } cases[] = {
        {"no file yet", "", 0},
        {"a plain file", "AUTORUN.INF", FILE_ATTRIBUTE_NORMAL},
        {"hidden and system", "autorun.inf", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"hidden", "Autorun.Inf", FILE_ATTRIBUTE_HIDDEN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string old = dir / (*c.onDisk != '\0' ? c.onDisk : "Autorun.Inf");
        if (*c.onDisk != '\0') {
            ASSERT_TRUE(WriteBytes(old, kOld));
            ASSERT_TRUE(::SetFileAttributesA(old.c_str(), c.attributes));
        }
        DWORD error = 0;
        ASSERT_TRUE(SafeReplaceFile((dir / "Autorun.Inf").c_str(), kNew, sizeof kNew - 1, &error)) << error;
        EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{*c.onDisk != '\0' ? c.onDisk : "Autorun.Inf"});
        EXPECT_EQ(ReadBytes(old), kNew);
        const DWORD kept = ::GetFileAttributesA(old.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                                 FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(kept, c.attributes & ~FILE_ATTRIBUTE_NORMAL);
        ::SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(::DeleteFileA(old.c_str()));
    }
}

TEST(SafeFile, AReadOnlyFileIsRefused)
{
    TempFolder dir;
    const std::string path = dir / "Autorun.Inf";
    ASSERT_TRUE(WriteBytes(path, kOld));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    DWORD error = 0;
    EXPECT_FALSE(SafeReplaceFile(path.c_str(), kNew, sizeof kNew - 1, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // Made read-only while the new content was being written.
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    CSafeFile file;
    ASSERT_TRUE(file.Open(path.c_str()));
    ASSERT_TRUE(file.Write(kNew, sizeof kNew - 1));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(file.GetError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"Autorun.Inf"});
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SafeFile, AFailedWriteLeavesTheOldFileWhole)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    ASSERT_TRUE(medium.UseOwnFileSystem(1 << 20));
    const std::string path = medium.Path("\\Autorun.Inf");
    ASSERT_TRUE(WriteBytes(path, kOld));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    // The new content's writes fail: the medium is full.
    ASSERT_TRUE(medium.Fill());

    const std::string big(100000, 'x');
    DWORD error = 0;
    EXPECT_FALSE(SafeReplaceFile(path.c_str(), big.data(), static_cast<UINT>(big.size()), &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

    EXPECT_EQ(Names(medium.Drive()), std::vector<std::string>{"Autorun.Inf"});

    // An abandoned content, and one never committed, leave it too.
    ASSERT_TRUE(medium.MakeRoom());
    {
        CSafeFile file;
        ASSERT_TRUE(file.Open(path.c_str()));
        ASSERT_TRUE(file.Write(kNew, sizeof kNew - 1));
        file.Abandon();
        EXPECT_FALSE(file.Commit());
        ASSERT_TRUE(file.Open(path.c_str()));
        ASSERT_TRUE(file.Write(kNew, sizeof kNew - 1));
    }
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(Names(medium.Drive()), std::vector<std::string>{"Autorun.Inf"});
}

TEST(SafeFile, FilesOfTheUserBesideAreLeftAndLeftoversOfOursGo)
{
    for (const char* target : {"Autorun.Inf", "Vellokari.ini"}) {
        SCOPED_TRACE(target);
        TempFolder dir;
        const std::string path = dir / target;
        ASSERT_TRUE(WriteBytes(path, kOld));
        // The user's own files, named as a temporary file often is.
        const std::string tmp = path + ".tmp";
        const std::string dollar = dir / (std::string("~$") + target);
        ASSERT_TRUE(WriteBytes(tmp, "mine"));
        ASSERT_TRUE(::SetFileAttributesA(tmp.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(WriteBytes(dollar, "mine too"));
        // Ours, left by replaces that were cut off: one that a scanner holds
        // now, one hidden as the old file was.
        const std::string held = Temporary(path);
        const std::string hidden = std::string(CSafeFile::TemporaryPath(path.c_str(), 3).GetString());
        ASSERT_TRUE(WriteBytes(held, "[autorun]\r\nOP"));
        ASSERT_TRUE(WriteBytes(hidden, "[autorun]\r\n"));
        ASSERT_TRUE(::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
        const HANDLE holder =
            ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);

        DWORD error = 0;
        EXPECT_TRUE(SafeReplaceFile(path.c_str(), kNew, sizeof kNew - 1, &error)) << error;
        ::CloseHandle(holder);
        EXPECT_EQ(ReadBytes(path), kNew);
        EXPECT_EQ(ReadBytes(tmp), "mine");
        EXPECT_EQ(::GetFileAttributesA(tmp.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
                  static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
        EXPECT_EQ(ReadBytes(dollar), "mine too");
        EXPECT_FALSE(FileExists(hidden));
        EXPECT_TRUE(FileExists(held));  // it could not be removed while held

        // Let go, it goes with the next replace.
        EXPECT_TRUE(SafeReplaceFile(path.c_str(), kOld, sizeof kOld - 1, &error)) << error;
        EXPECT_EQ(ReadBytes(path), kOld);
        std::vector<std::string> names = Names(dir.Path());
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected = {target, std::string(target) + ".tmp", std::string("~$") + target};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
        ::SetFileAttributesA(tmp.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// In a folder so deep that the file's name and the mark after it would not fit,
// the new content is written under the mark alone.
TEST(SafeFile, InADeepFolderTheFileIsReplacedAndNothingIsLeft)
{
    TempFolder dir;
    std::string folder = dir.Path();
    // Vellokari.ini at 255 bytes: no room for the 12 bytes of the long mark.
    const std::size_t deep = 255 - std::string("\\Vellokari.ini").size();
    while (folder.size() < deep) {
        folder += '\\';
        folder.append(std::min<std::size_t>(100, deep - folder.size()), 'd');
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
    }
    const std::string path = folder + "\\Vellokari.ini";
    ASSERT_EQ(path.size(), 255u);
    ASSERT_TRUE(WriteBytes(path, kOld));
    // One of ours left by a replace that was cut off.
    EXPECT_TRUE(WriteBytes(CSafeFile::TemporaryPath(path.c_str(), 2).GetString(), "[autorun]\r\n"));

    DWORD error = 0;
    EXPECT_TRUE(SafeReplaceFile(path.c_str(), kNew, sizeof kNew - 1, &error)) << error;
    EXPECT_EQ(ReadBytes(path), kNew);
    EXPECT_EQ(Names(folder), std::vector<std::string>{"Vellokari.ini"});
}

// A medium from someone else may carry a link under one of our names, to a
// file of the user's: nothing is written through it, nothing it leads to
// is removed or moved, and the link itself goes.
TEST(SafeFile, ALinkUnderOurNameIsTakenAwayAndWhatItLeadsToStays)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    medium.MakeFolders("\\Docs");
    const std::string thesis = medium.Path("\\Docs\\thesis.txt");
    const std::string text = "my thesis, chapter one\r\n";
    enum Link { kHard, kSymbolic, kNowhere };
    const struct {
        const char* what;
        const char* file;  // in the medium's root
        Link link;
        int variant;        // the name of ours it is put under
        DWORD attributes;   // the document's
        // The link stays under our name: a read-only document's other name
        // cannot go without its mark taken off, and the mark is the document's.
        bool stays;
    } cases[] = {
        {"a hard link at the settings' temporary name", "Vellokari.ini", kHard, 0, FILE_ATTRIBUTE_ARCHIVE, false},
        {"a symbolic link at the settings' temporary name", "Vellokari.ini", kSymbolic, 0, FILE_ATTRIBUTE_ARCHIVE,
         false},
        {"a hard link at Autorun.inf's temporary name", "autorun.inf", kHard, 0, FILE_ATTRIBUTE_ARCHIVE, false},
        {"a symbolic link at Autorun.inf's temporary name", "autorun.inf", kSymbolic, 0, FILE_ATTRIBUTE_ARCHIVE, false},
        {"a hard link at a variant", "Vellokari.ini", kHard, 3, FILE_ATTRIBUTE_ARCHIVE, false},
        {"a symbolic link at a variant", "autorun.inf", kSymbolic, 3, FILE_ATTRIBUTE_ARCHIVE, false},
        {"a hard link to a read-only hidden document", "autorun.inf", kHard, 0,
         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, true},
        {"a symbolic link to a read-only document", "Vellokari.ini", kSymbolic, 0, FILE_ATTRIBUTE_READONLY, false},
        {"a symbolic link that leads nowhere", "Vellokari.ini", kNowhere, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = medium.Path(std::string("\\") + c.file);
        ASSERT_TRUE(WriteBytes(path, kOld));
        if (c.link != kNowhere) {
            ASSERT_TRUE(WriteBytes(thesis, text));
            ASSERT_TRUE(::SetFileAttributesA(thesis.c_str(), c.attributes));
        }
        const std::string link = CSafeFile::TemporaryPath(path.c_str(), c.variant).GetString();
        const std::string rest = link.substr(2);
        if (c.link == kHard) {
            ASSERT_TRUE(::CreateHardLinkA(link.c_str(), thesis.c_str(), nullptr));
        } else {
            ASSERT_TRUE(medium.LinkToHostFile(rest, medium.HostFolder() + "/Docs/" +
                                                        (c.link == kNowhere ? "gone.txt" : "thesis.txt")));
        }
        const DWORD before = ::GetFileAttributesA(thesis.c_str());

        DWORD error = 0;
        EXPECT_TRUE(SafeReplaceFile(path.c_str(), kNew, sizeof kNew - 1, &error)) << error;
        EXPECT_EQ(ReadBytes(path), kNew);
        std::vector<std::string> names = Names(medium.Drive());
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected{"Docs", c.file};
        if (c.stays)
            expected.push_back(link.substr(link.rfind('\\') + 1));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
        // No link left on the host's side either, not even one that leads nowhere.
        EXPECT_TRUE(medium.RunOnHost("! find '" + medium.HostFolder() + "' -type l | grep -q ."));
        if (c.link == kNowhere) {
            EXPECT_EQ(Names(medium.Path("\\Docs")), std::vector<std::string>{});
        } else {
            EXPECT_EQ(Names(medium.Path("\\Docs")), std::vector<std::string>{"thesis.txt"});
            EXPECT_EQ(ReadBytes(thesis), text);
            EXPECT_EQ(::GetFileAttributesA(thesis.c_str()), before);
            const HANDLE document = ::CreateFileA(thesis.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            BY_HANDLE_FILE_INFORMATION info{};
            EXPECT_TRUE(::GetFileInformationByHandle(document, &info));
            EXPECT_EQ(info.nNumberOfLinks, c.stays ? 2u : 1u);
            ::CloseHandle(document);
            ::SetFileAttributesA(thesis.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (c.stays)
                ::DeleteFileA(link.c_str());
            ASSERT_TRUE(::DeleteFileA(thesis.c_str()));
        }
        ASSERT_TRUE(::DeleteFileA(path.c_str()));
    }
}
