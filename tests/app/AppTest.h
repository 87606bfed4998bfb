#pragma once
// What the tests of the real program share: settings files written as the
// program writes them, its controls' ids, and the program on a test medium.
#include "DialogControls.h"
#include "ProgramUnderTest.h"
#include "TestMedium.h"

#include <windows.h>

#include <string>
#include <vector>

enum {
    ID_LABEL_MEDIUM = 1000,
    ID_LABEL_FIX = 1001,
    ID_SKYPE_IMPORT = 1002,
    ID_EXTENT = 1031,
    ID_HOMEPAGE = 1043,
    ID_LAUNCHER_LIST = 1007,
};

struct StoredItem {
    std::string name;
    std::string path;
    std::string work;
    std::string arg;
    int kind = 0;
    int delay = 0;
    int gate = 0;
};

// The settings file's bytes as the program's own writer lays them out.
std::string SettingsText(const std::string& version, const std::vector<StoredItem>& items);

// The built-in Skype item of a program in folder (drive-less), such as "\Tools".
StoredItem SkypeItem(const std::string& folder);

// A recording helper at \apps\vk_recorder.exe on the medium as an item of
// this kind; its argument names it in the record.
StoredItem RecorderItem(const TestMedium& medium, const std::string& tag, int kind, int gate = 0);

// The panel of the main dialog that holds the control id; null if none.
HWND PanelWith(HWND main, int id);

// Sends BOREWAYOPEN of a gateway kind to a window from another process.
bool OpenGate(void* window, int kind);

// A pixel of the screen (0xRRGGBB).
unsigned ScreenPixel(int x, int y);
// A picture of the whole screen as NAME.bmp, when VKAPPSHOTS names a folder,
// once the window (of any process) has painted itself afresh.
void SaveScreen(const char* name, HWND window);

// Skype's key in one hive's 32-bit view with its "SkypePath" (none when value
// is null); removed from both views at the end.
class SkypeKey {
public:
    SkypeKey(HKEY hive, const char* value);
    ~SkypeKey();
    SkypeKey(const SkypeKey&) = delete;
    SkypeKey& operator=(const SkypeKey&) = delete;

    bool IsReady() const { return m_key != nullptr; }
    // Everyone is refused full access, read access stays.
    bool DenyFullAccess();

private:
    HKEY m_hive;
    HKEY m_key = nullptr;
    bool m_denied = false;
};

// A stand-in Skype (by default the recording helper with Skype's version
// resource, "Ver.:4.2.0.169") on drive C:, in a folder of its own.
class FixedDiskSkype {
public:
    explicit FixedDiskSkype(const char* fixture = "vk_skype_standin.exe");
    ~FixedDiskSkype();
    FixedDiskSkype(const FixedDiskSkype&) = delete;
    FixedDiskSkype& operator=(const FixedDiskSkype&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_folder;
    std::string m_path;
};
extern const char kStandInVersion[];

// Runs for the length of a scope with an environment variable set (children inherit it).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
};


// A fresh test medium with the program copied into a folder of it
// (drive-less: "\Tools", or "" for the root), its settings file beside it.
struct ProgramOnMedium {
    explicit ProgramOnMedium(const std::string& folder = "\\Tools");
    bool IsReady() const { return medium.IsReady() && program.IsInstalled(); }
    // Starts the program and finds its main dialog and the launcher's panel
    // and list; false when one of them does not show.
    bool StartWithLauncher(const std::string& args = "");

    TestMedium medium;
    ProgramUnderTest program;
    const std::string ini;
    HWND main = nullptr;
    HWND panel = nullptr;
    HWND list = nullptr;
};

// The same, with the stand-in Skype on the fixed disk in the machine's hive.
struct ProgramWithFixedDiskSkype : ProgramOnMedium {
    explicit ProgramWithFixedDiskSkype(const std::string& folder = "\\Tools") : ProgramOnMedium(folder) {}
    FixedDiskSkype skype;
    SkypeKey key{HKEY_LOCAL_MACHINE, skype.Path().c_str()};
};
