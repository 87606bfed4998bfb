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
// It gets the null device as its standard handles: handed the test program's
// own, it could leave the test's later output lost on the way to ctest.
bool RunHost(const std::string& commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE nul = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                     OPEN_EXISTING, 0, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    const BOOL started = ::CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    if (nul != INVALID_HANDLE_VALUE)
        ::CloseHandle(nul);
    if (!started)
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

    // Tests run in parallel processes: a letter is claimed by creating its
    // link, which fails when the link is there already (-T: never a link
    // inside the folder that another medium's link leads to). Wine starts
    // host programs detached, so the result comes back as a file.
    const DWORD used = ::GetLogicalDrives();
    for (char letter = 'M'; letter <= 'Y'; ++letter) {
        if (used & (1u << (letter - 'A')))
            continue;
        const char lower = static_cast<char>(letter - 'A' + 'a');
        const std::string link = prefix + "/dosdevices/" + lower + ":";
        const std::string result = std::string(".vk-claim-") + lower;
        if (!RunHost("/bin/sh -c \"/bin/ln -sT '" + m_unixFolder + "' '" + link + "'; echo $? > '" + m_unixFolder +
                     "/" + result + "'\""))
            return;
        const std::string resultPath = folder + "\\" + result;
        std::string status;
        WaitFor([&] {
            status = ReadBytes(resultPath);
            return !status.empty() && status.back() == '\n';
        });
        ::DeleteFileA(resultPath.c_str());
        if (status != "0\n")
            continue;  // another test holds the letter, or a stale link of a run that was cut off
        const std::string probe = std::string(1, letter) + ":\\" + marker;
        if (WaitFor([&] { return FileExists(probe); })) {
            m_letter = letter;
            m_link = link;
            ::DeleteFileA(probe.c_str());
            return;
        }
        RunHost("/bin/rm -f \"" + link + "\"");
        return;
    }
}

TestMedium::~TestMedium()
{
    // Wine would delete what a link leads to, not the link: links go first, by the host.
    if (m_bLinked)
        RunOnHost("/usr/bin/find '" + m_unixFolder + "' -type l -delete");
    if (m_bMounted)
        RunOnHost("umount '" + m_unixFolder + "' || umount -l '" + m_unixFolder + "'");
    if (m_letter != 0) {
        const std::string root = Drive() + "\\";
        // Only while it is still this medium's link: once the letter was
        // given back (ListedDrive), another test may hold it already.
        RunHost("/bin/sh -c \"[ \\\"$(/bin/readlink '" + m_link + "')\\\" = '" + m_unixFolder + "' ] && /bin/rm -f '" +
                m_link + "'\"");
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

std::string TestMedium::HostPath(const std::string& rest) const
{
    std::string path = m_unixFolder + rest;
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return path;
}

bool TestMedium::RunOnHost(const std::string& shellCommand) const
{
    if (m_letter == 0)
        return false;
    // Wine starts host programs detached: the exit status comes back as a file.
    const std::string result = ".vk-host-result";
    if (!RunHost("/bin/sh -c \"" + shellCommand + "; echo $? > '" + m_unixFolder + "/" + result + "'\""))
        return false;
    const std::string resultPath = Path("\\" + result);
    std::string status;
    WaitFor([&] {
        status = ReadBytes(resultPath);
        return !status.empty() && status.back() == '\n';
    });
    ::DeleteFileA(resultPath.c_str());
    return status == "0\n";
}

bool TestMedium::LinkToHostFile(const std::string& rest, const std::string& hostFile) const
{
    m_bLinked = true;
    return RunOnHost("/bin/ln -sfn '" + hostFile + "' '" + HostPath(rest) + "'");
}

bool TestMedium::RemoveLink(const std::string& rest) const
{
    return RunOnHost("/bin/rm -f '" + HostPath(rest) + "'");
}

bool TestMedium::UseOwnFileSystem(unsigned long long bytes)
{
    if (m_bMounted)
        return false;
    const std::string kept = m_unixFolder + ".tar";
    const std::string tar = "tar --xattrs --xattrs-include='*' -C '" + m_unixFolder + "' ";
    m_bMounted = RunOnHost(tar + "-cf '" + kept + "' . && mount -t tmpfs -o size=" + std::to_string(bytes) +
                           " tmpfs '" + m_unixFolder + "' && " + tar + "-xf '" + kept + "' && rm -f '" + kept + "'");
    return m_bMounted;
}

bool TestMedium::Fill() const
{
    if (!m_bMounted)
        return false;
    const HANDLE file = ::CreateFileA(Path("\\.vk-full").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::SetFilePointer(file, 0, nullptr, FILE_END);
    const std::string block(1 << 16, 'f');
    for (DWORD size = 1 << 16; size >= 512; size /= 2) {
        DWORD written = 0;
        while (::WriteFile(file, block.data(), size, &written, nullptr) && written == size) {
        }
    }
    ::CloseHandle(file);
    // Not a byte more of a new file.
    const std::string probe = Path("\\.vk-full-probe");
    const bool full = !WriteBytes(probe, "x");
    ::DeleteFileA(probe.c_str());
    return full;
}

bool TestMedium::MakeRoom() const
{
    const std::string filler = Path("\\.vk-full");
    return ::DeleteFileA(filler.c_str()) || !FileExists(filler);
}
