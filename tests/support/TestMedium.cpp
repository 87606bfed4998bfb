#include "TestMedium.h"

#include "TestSupport.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

namespace {

std::string Env(const char* name)
{
    char value[MAX_PATH * 2] = {};
    const DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

// Wine shows the whole Unix tree as drive Z:.
std::string UnixToWindows(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

void MakeWindowsFolders(const std::string& path)
{
    for (std::size_t pos = path.find('\\', 3); pos != std::string::npos; pos = path.find('\\', pos + 1))
        ::CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    ::CreateDirectoryA(path.c_str(), nullptr);
}

// Runs a program of the host; Wine starts it detached, so callers wait for its effect.
bool RunHost(const std::string& commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    if (info.hProcess != nullptr)
        ::CloseHandle(info.hProcess);
    if (info.hThread != nullptr)
        ::CloseHandle(info.hThread);
    return true;
}

}  // namespace

TestMedium::TestMedium()
{
    const std::string prefix = Env("WINEPREFIX");
    if (prefix.empty())
        return;
    static std::atomic<int> counter{0};
    const std::string id = std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter) + "-" +
                           std::to_string(::GetTickCount64());
    std::string root = Env("VK_MEDIA_ROOT");
    if (root.empty())
        root = prefix + "/media";
    m_unixFolder = root + "/" + id;
    const std::string folder = UnixToWindows(m_unixFolder);
    MakeWindowsFolders(folder);
    const std::string marker = ".vk-medium-" + id;
    if (!WriteBytes(folder + "\\" + marker, id))
        return;

    const DWORD used = ::GetLogicalDrives();
    for (char letter = 'M'; letter <= 'Y'; ++letter) {
        if (used & (1u << (letter - 'A')))
            continue;
        std::string link = prefix + "/dosdevices/" + static_cast<char>(letter - 'A' + 'a') + ":";
        if (!RunHost("/bin/ln -s \"" + m_unixFolder + "\" \"" + link + "\""))
            return;
        const std::string probe = std::string(1, letter) + ":\\" + marker;
        const std::string driveRoot = std::string(1, letter) + ":\\";
        // Either our folder shows under the letter, or another test holds it.
        WaitFor([&] { return FileExists(driveRoot); }, 10000);
        if (FileExists(probe)) {
            m_letter = letter;
            m_link = link;
            ::DeleteFileA(probe.c_str());
            return;
        }
    }
}

TestMedium::~TestMedium()
{
    if (m_letter != 0) {
        const std::string root = Drive() + "\\";
        RunHost("/bin/rm -f \"" + m_link + "\"");
        WaitFor([&] { return !FileExists(root); }, 10000);
    }
    if (!m_unixFolder.empty())
        RemoveTree(UnixToWindows(m_unixFolder));
}

void TestMedium::MakeFolders(const std::string& rest) const
{
    MakeWindowsFolders(Path(rest));
}

std::string TestMedium::Put(const std::string& source, const std::string& rest) const
{
    const std::string target = Path(rest);
    CopyWithFolders(source, target);
    return target;
}
