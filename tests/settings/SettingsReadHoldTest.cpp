// The settings file held for reading while it is loaded, and waited for a
// bounded moment while another program holds it.
#include "CSettingsReadHold.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

namespace {

const char kSettings[] = "[SYSTEM]\r\nVER=Ver.:4.2.0.169\r\n";

HANDLE HoldExclusively(const std::string& path)
{
    return ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Version(const std::string& path)
{
    char value[64] = {};
    ::GetPrivateProfileStringA("SYSTEM", "VER", "", value, sizeof value, path.c_str());
    return value;
}

}  // namespace

TEST(SettingsReadHold, ReadsGoOnWhileHeldAndAHeldFileIsWaitedForABoundedMoment)
{
    TempFolder dir;
    const std::string path = dir / "Vellokari.ini";
    ASSERT_TRUE(WriteBytes(path, kSettings));

    // Nothing to read, or nothing that a wait could make readable: loaded as it is.
    CSettingsReadHold hold;
    EXPECT_TRUE(hold.Take((dir / "none.ini").c_str(), 0));
    ASSERT_TRUE(::CreateDirectoryA((dir / "folder.ini").c_str(), nullptr));
    EXPECT_TRUE(hold.Take((dir / "folder.ini").c_str(), 5000));

    // Held here, a scanner cannot take it to itself between two reads.
    ASSERT_TRUE(hold.Take(path.c_str(), 0));
    EXPECT_EQ(HoldExclusively(path), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Version(path), "Ver.:4.2.0.169");
    hold.Release();

    // Held by the scanner all the while: given up once the wait is over.
    HANDLE scanner = HoldExclusively(path);
    ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
    const ULONGLONG began = ::GetTickCount64();
    EXPECT_FALSE(hold.Take(path.c_str(), 300));
    EXPECT_GE(::GetTickCount64() - began, 300u);

    // Let go within the wait: read after all.
    std::thread release([&] {
        ::Sleep(300);
        ::CloseHandle(scanner);
    });
    EXPECT_TRUE(hold.Take(path.c_str(), 10000));
    release.join();
    EXPECT_EQ(Version(path), "Ver.:4.2.0.169");
}
