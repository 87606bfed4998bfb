// The entry of every test program.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>
#include <cstdio>

int main(int argc, char** argv)
{
    // Test names are read back by the host's tools: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
