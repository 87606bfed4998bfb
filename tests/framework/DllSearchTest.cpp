// No library from the medium runs inside a program of the framework: the
// libraries that are not known DLLs are bound from the system folder, and the
// entry keeps every later search there. Wine prefers its own libraries unless
// told to search as Windows does (native first), so the programs started here
// are told so by Wine's per-program overrides: WINEDLLOVERRIDES set in a
// Wine process does not reach the loader of the programs it starts.
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "native,builtin" for the named libraries (without ".dll") of one program
// while the object lives.
class NativeFirst {
public:
    NativeFirst(const std::string& program, std::initializer_list<const char*> libraries)
        : m_key("Software\\Wine\\AppDefaults\\" + program)
    {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, (m_key + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        for (const char* library : libraries)
            ::RegSetValueExA(key, library, 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        ::RegCloseKey(key);
    }
    ~NativeFirst() { ::RegDeleteTreeA(HKEY_CURRENT_USER, m_key.c_str()); }
    NativeFirst(const NativeFirst&) = delete;
    NativeFirst& operator=(const NativeFirst&) = delete;

private:
    std::string m_key;
};

}  // namespace

// Each program first loads the library by its name, as any library may, and
// then uses the program's own code that needs it. With the guard none of the
// planted libraries is loaded and the code works with the system's; without
// it the same program loads the planted one: the guard is what keeps it out.
// user32.dll of Wine needs version.dll itself, so version.dll is tried with a
// program that imports no user32.dll, and uxtheme.dll with one that runs the
// framework's entry and its controls.
TEST(DllSearch, LibrariesPlantedBesideTheProgramAreNeverLoaded)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    struct Case {
        const char* program;
        const char* library;
        const char* mode;
        bool planted;
    };
    const Case cases[] = {
        {"vk_dll_user.exe", "uxtheme", "guard", false},
        {"vk_dll_user.exe", "uxtheme", "plain", true},
        {"vk_version_user.exe", "version", "guard", false},
        {"vk_version_user.exe", "version", "plain", true},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.program) + " " + c.mode;
        const std::string program = medium.Put(FixturePath(c.program), std::string("\\app\\") + c.program);
        ASSERT_FALSE(medium.Put(FixturePath("vk_planted.dll"), std::string("\\app\\") + c.library + ".dll").empty());
        const std::string marker = medium.Path(std::string("\\app\\") + c.library + ".dll.loaded");
        const std::string done = medium.Path("\\done.txt");
        ::DeleteFileA(marker.c_str());
        ::DeleteFileA(done.c_str());
        NativeFirst searchAsWindows(c.program, {c.library});

        ChildProcess child;
        ASSERT_TRUE(child.Start("\"" + program + "\" " + c.mode + " \"" + done + "\"", medium.Path("\\app").c_str()));
        EXPECT_TRUE(child.WaitExit(30000)) << what;
        EXPECT_EQ(child.ExitCode(), c.planted ? 3u : 0u) << what;
        EXPECT_EQ(FileExists(marker), c.planted) << what;
        if (!c.planted) {
            EXPECT_EQ(ReadBytes(done).rfind("Ver.:", 0), 0u) << what << ": the version text, read to the end: "
                                                             << ReadBytes(done);
        }
    }
}
