// The glass frame through the window-manager binding: Wine composes nothing,
// so a host of the program's own main dialog reports composition from a
// file and logs what the dialog did (see the host's source).
#include "ProgramUnderTest.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

int Count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
        ++n;
    return n;
}

}  // namespace

TEST(Glass, FrameAndOpaqueLabelsFollowTheComposition)
{
    TestMedium medium;
    ASSERT_TRUE(medium.IsReady());
    const std::string host = medium.Put(FixturePath("vk_glass_host.exe"), "\\Tools\\vk_glass_host.exe");
    const std::string on = medium.Path("\\Tools\\composition.on");
    const std::string log = medium.Path("\\Tools\\glass.log");
    ASSERT_TRUE(WriteBytes(on, ""));
    ProgramUnderTest program(host, false);
    ASSERT_TRUE(program.Start());
    const HWND main = program.WaitMainWindow();
    ASSERT_NE(main, nullptr);

    // Glass, labels and frame: glass attached own1000 own1001, black for the dialog and a button, not for a label.
    const std::string glassOn = "STATE 1 1 1 1 1 1 0\n";
    const std::string glassOff = "STATE 0 0 0 0 0 0 0\n";
    const std::string extend = "EXTEND 5 5 60 22\n";
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(log) == extend + glassOn; })) << ReadBytes(log);

    // Off: labels detached, plain backgrounds; the frame is not touched.
    ::DeleteFileA(on.c_str());
    ::SendMessageA(main, WM_DWMCOMPOSITIONCHANGED, 0, 0);
    EXPECT_EQ(ReadBytes(log), extend + glassOn + glassOff);

    // On again, twice: the frame each time, the labels subclassed once.
    ASSERT_TRUE(WriteBytes(on, ""));
    ::SendMessageA(main, WM_DWMCOMPOSITIONCHANGED, 0, 0);
    ::SendMessageA(main, WM_DWMCOMPOSITIONCHANGED, 0, 0);
    const std::string text = ReadBytes(log);
    EXPECT_EQ(text, extend + glassOn + glassOff + extend + glassOn + extend + glassOn);
    EXPECT_EQ(Count(text, "EXTEND"), 3);
    EXPECT_TRUE(program.Close());
}
