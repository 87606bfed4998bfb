#pragma once
// A removable medium for a test: a free drive letter of the Wine prefix
// mapped to a fresh folder of its own, so that paths such as M:\tools\x.exe
// are real drive paths for the code under test. The mapping and the folder
// are removed when the object goes.
#include <string>

class TestMedium {
public:
    TestMedium();
    ~TestMedium();
    TestMedium(const TestMedium&) = delete;
    TestMedium& operator=(const TestMedium&) = delete;

    bool IsReady() const { return m_letter != 0; }
    // The host (Unix) folder that the drive leads to.
    const std::string& HostFolder() const { return m_unixFolder; }
    char Letter() const { return m_letter; }
    std::string Drive() const { return std::string(1, m_letter) + ":"; }  // "M:"
    // A path on the medium: Path("\\tools\\x.exe") is "M:\tools\x.exe".
    std::string Path(const std::string& rest) const { return Drive() + rest; }
    // Makes the folders of a path on the medium.
    void MakeFolders(const std::string& rest) const;
    // Copies a file onto the medium (making its folders); the medium path.
    std::string Put(const std::string& source, const std::string& rest) const;
    // Makes a path on the medium a link to a file of the host, such as
    // /dev/full (every write fails: the medium is full); true once it is there.
    // Never delete such a link through Wine: it deletes what the link leads to.
    bool LinkToHostFile(const std::string& rest, const std::string& hostFile) const;
    // Removes such a link (Wine will not delete a link to a device); true once it is gone.
    bool RemoveLink(const std::string& rest) const;

    // Gives the medium a file system of its own, a tmpfs of that size (as
    // root), holding what the medium holds now; it goes with the medium.
    // Before a program starts from the medium: it would go on seeing the old one.
    bool UseOwnFileSystem(unsigned long long bytes);
    // Takes what room that file system has left: every write of new content
    // on the medium fails as on a full one, until MakeRoom gives it back.
    bool Fill() const;
    bool MakeRoom() const;

    // Runs a command of the host's shell (as root: mounts over the medium's
    // folders, which HostFolder() leads to); true when it ended with status 0.
    bool RunOnHost(const std::string& shellCommand) const;

private:
    std::string HostPath(const std::string& rest) const;  // the host's path of a path on the medium

    char m_letter = 0;
    mutable bool m_bLinked = false;  // links to host files to remove first
    bool m_bMounted = false;         // a file system of its own over the folder
    std::string m_unixFolder;
    std::string m_link;
};
