// The shell's file copy through Wine's own shell, with its own dialogs.
#include "ShellFileOperation.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Answers every dialog that the shell opens on this thread while the
// operation runs, from a thread timer that its modal loop dispatches; so a
// question or an error box never blocks the test. Records what each showed.
class ShellDialogWatch {
public:
    explicit ShellDialogWatch(int answer) : m_answer(answer)
    {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 20, &Tick);
    }
    ~ShellDialogWatch()
    {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    ShellDialogWatch(const ShellDialogWatch&) = delete;
    ShellDialogWatch& operator=(const ShellDialogWatch&) = delete;

    // Caption, then the texts of its children, of each dialog answered.
    const std::vector<std::string>& Seen() const { return m_seen; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (s_current != nullptr)
            ::EnumThreadWindows(::GetCurrentThreadId(), &Answer, 0);
    }
    static BOOL CALLBACK Answer(HWND window, LPARAM)
    {
        char name[64] = {};
        ::GetClassNameA(window, name, sizeof name);
        if (!::IsWindowVisible(window) || std::string(name) != "#32770" || ::GetPropA(window, "vk-answered"))
            return TRUE;
        ::SetPropA(window, "vk-answered", reinterpret_cast<HANDLE>(1));
        char text[512] = {};
        ::GetWindowTextA(window, text, sizeof text);
        std::string seen = text;
        for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::GetWindowTextA(child, text, sizeof text);
            if (text[0] != '\0')
                seen += std::string(" | ") + text;
        }
        s_current->m_seen.push_back(seen);
        if (::GetDlgItem(window, s_current->m_answer) != nullptr)
            ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(s_current->m_answer, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(window, s_current->m_answer)));
        else
            ::PostMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
    }

    static inline ShellDialogWatch* s_current = nullptr;
    int m_answer;
    UINT_PTR m_timer = 0;
    std::vector<std::string> m_seen;
};

// A top-level window of the test to own the shell's dialogs.
class Owner {
public:
    Owner()
        : m_hwnd(::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                   nullptr))
    {
    }
    ~Owner() { ::DestroyWindow(m_hwnd); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    HWND Handle() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

std::string Joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

}  // namespace

TEST(ShellFileOperation, CopyIntoAFolderThatDoesNotExistMakesItWithoutAQuestion)
{
    TempFolder folder;
    const std::string source = folder / "Skype.exe";
    ASSERT_TRUE(WriteBytes(source, "new skype"));
    const std::string target = folder / "medium\\skype\\bin\\Skype.exe";
    CString from(source.c_str());
    CString to(target.c_str());

    Owner owner;
    ShellDialogWatch watch(IDCANCEL);
    EXPECT_TRUE(ShellFileOperation(owner.Handle(), FO_COPY, from, to));
    EXPECT_TRUE(watch.Seen().empty()) << Joined(watch.Seen());
    EXPECT_EQ(ReadBytes(target), "new skype");

    // The caller's texts keep one NUL more and still read as the same paths.
    EXPECT_EQ(from.GetLength(), static_cast<int>(source.size()) + 1);
    EXPECT_EQ(to.GetLength(), static_cast<int>(target.size()) + 1);
    EXPECT_EQ(std::string(from.GetString()), source);
    EXPECT_EQ(std::string(to.GetString()), target);
    EXPECT_EQ(from.GetString()[source.size() + 1], '\0');  // the double NUL the shell reads
}

TEST(ShellFileOperation, ShellAsksBeforeItReplacesAFile)
{
    TempFolder folder;
    const std::string source = folder / "new.exe";
    const std::string target = folder / "Skype.exe";
    ASSERT_TRUE(WriteBytes(source, "new"));
    Owner owner;

    struct Case {
        int answer;
        BOOL result;
        const char* content;
    };
    // Wine's shell marks an abort for No as well as for Cancel: the file stays.
    const Case cases[] = {{IDNO, FALSE, "old"}, {IDCANCEL, FALSE, "old"}, {IDYES, TRUE, "new"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(target, "old"));
        CString from(source.c_str());
        CString to(target.c_str());
        ShellDialogWatch watch(c.answer);
        EXPECT_EQ(ShellFileOperation(owner.Handle(), FO_COPY, from, to), c.result) << c.answer;
        ASSERT_EQ(watch.Seen().size(), 1u) << c.answer << "\n" << Joined(watch.Seen());
        EXPECT_EQ(ReadBytes(target), c.content) << c.answer;
    }
}

TEST(ShellFileOperation, MissingSourceIsNoAbort)
{
    // Windows reports the missing source in an error box of its own and marks
    // no abort, so this counts as done. Wine's shell returns its error code
    // (0x402) with no box at all; the watch would answer one if it came.
    TempFolder folder;
    const std::string target = folder / "out\\Skype.exe";
    CString from((folder / "missing.exe").c_str());
    CString to(target.c_str());
    Owner owner;
    ShellDialogWatch watch(IDOK);
    EXPECT_TRUE(ShellFileOperation(owner.Handle(), FO_COPY, from, to));
    EXPECT_FALSE(FileExists(target));
    RecordProperty("shell_dialogs", static_cast<int>(watch.Seen().size()));
    std::printf("dialogs shown by the shell for a missing source: %d\n%s", static_cast<int>(watch.Seen().size()),
                Joined(watch.Seen()).c_str());
}
