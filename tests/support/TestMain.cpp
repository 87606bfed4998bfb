// The entry of every test program.
#include <gtest/gtest.h>

#include "CommonControlsBinding.h"
#include "CrashReport.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <cstdio>

int main(int argc, char** argv)
{
    // Test names are read back by the host's tools: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    InstallCrashReport();
    InitCommonControlsOnce();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
