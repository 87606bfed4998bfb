// The one read of a process's executable gives what listing its modules
// gives, and a refresh's memory asks each process once.
#include "ProcessModuleMemo.h"
#include "WinListTest.h"

#include <gtest/gtest.h>

#include <psapi.h>

namespace {

// The long way: every module listed, then the first one's path and base name.
ProcessModule ByModuleList(DWORD processId)
{
    ProcessModule module;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process == nullptr)
        return module;
    HMODULE modules[1024] = {};
    DWORD needed = 0;
    char path[1024] = {};
    char name[1024] = {};
    if (::EnumProcessModules(process, modules, sizeof modules, &needed)) {
        ::GetModuleFileNameExA(process, modules[0], path, sizeof path);
        ::GetModuleBaseNameA(process, modules[0], name, sizeof name);
    }
    ::CloseHandle(process);
    module.path = path;
    module.name = name;
    return module;
}

}  // namespace

TEST(ProcessModule, OneReadGivesThePathAndNameOfTheFirstModule)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    // "表" ends in the byte of a backslash; "ソ" too.
    const char* places[] = {"\\apps\\vk_windows.exe", "\\表\\ソフト.exe", "\\a b\\x.y.exe"};
    for (const char* place : places) {
        const std::string exe = PutFixture(medium, place);
        WindowsFixture app;
        ASSERT_TRUE(app.Start(exe, {"t=VkModule"})) << place;
        const ProcessModule expected = ByModuleList(app.Id());
        const ProcessModule module = ReadProcessModule(app.Id());
        EXPECT_EQ(module.path, expected.path) << place;
        EXPECT_EQ(module.name, expected.name) << place;
        EXPECT_EQ(module.path, exe.c_str());
    }
}

TEST(ProcessModule, RefreshMemoryAsksEachProcessOnceAndForgetsAtItsEnd)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    const std::string exe = PutFixture(medium, "\\apps\\vk_windows.exe");
    WindowsFixture app;
    ASSERT_TRUE(app.Start(exe, {"t=VkMemo"}));
    const DWORD id = app.Id();

    ProcessModuleMemo memo;
    memo.Begin();
    EXPECT_EQ(memo.Get(id).path, exe.c_str());
    app.Kill();  // waits for its end
    // Still the answer of this refresh's first question.
    EXPECT_EQ(memo.Get(id).path, exe.c_str());
    EXPECT_EQ(memo.Get(id).name, "vk_windows.exe");
    memo.End();
    EXPECT_EQ(memo.Get(id).path, "");
    EXPECT_EQ(memo.Get(id).name, "");
}
