// The launcher panel's watch of the medium's Autorun.inf: the comparison
// with the approved text, the watch flag in the status label, the check
// timer, and the approval dialog with what it stores.
#include "PanelHost.h"

#include "AfxMessageBox.h"
#include "AutorunIds.h"
#include "AutorunInfText.h"
#include "DebugLog.h"
#include "HexText.h"
#include "ModalSeam.h"
#include "TestMedium.h"
#include "TestSupport.h"
#include "TimerSeam.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kApproved[] = "[autorun]\r\nOPEN=\\Vellokari.exe\r\nICON=\\Vellokari.exe\r\nACTION = Vellokari\r\n";
const char kWatched[] = "AutoRun.Inf監視中";
const char kNotWatched[] = "AutoRun.Inf監視なし";

std::string Hex(const std::string& bytes)
{
    std::vector<char> hex(2 * bytes.size() + 1);
    BytesToHexText(static_cast<int>(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()), hex.data());
    return hex.data();
}

std::string ItemText(HWND dialog, int id)
{
    const HWND item = ::GetDlgItem(dialog, id);
    std::string text(::GetWindowTextLengthA(item) + 1, '\0');
    text.resize(::GetWindowTextA(item, text.data(), static_cast<int>(text.size())));
    return text;
}

void Click(HWND dialog, int id)
{
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

class AutorunWatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        m_medium.MakeFolders("\\Vellokari");
    }

    // The panel on a settings file with this approved text.
    void Open(const char* approved)
    {
        WriteSettings(m_ini, {Item("a", "\\a.exe", RUNKIND_MANUAL)}, approved);
        ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
        ASSERT_STREQ(m_host.m_panel.m_strAutorunInf, approved);
    }

    // One check as the timer runs it, then a tick for the label; the check
    // timer must be running again afterwards.
    void CheckAndTick()
    {
        m_host.m_panel.SetTimer(TIMER_AUTORUN_CHECK, 600000);  // running, as when it fires
        m_host.Check();
        EXPECT_TRUE(m_host.m_panel.KillTimer(TIMER_AUTORUN_CHECK)) << "the check timer was left stopped";
        m_host.Tick();
    }

    TestMedium m_medium;
    std::string m_ini = m_medium.Path("\\Vellokari\\Vellokari.ini");
    std::string m_inf = m_medium.Path("\\Autorun.Inf");
    PanelHost m_host;
};

}  // namespace

TEST_F(AutorunWatch, FileComparedInItsFormWithTheApprovedText)
{
    Open(kApproved);
    CLauncherDlg& panel = m_host.m_panel;
    const struct {
        const char* what;
        std::string file;
        int result;
        std::string now;
    } cases[] = {
        {"the same", kApproved, 1, kApproved},
        {"LF alone, no line end at the end",
         "[autorun]\nOPEN=\\Vellokari.exe\nICON=\\Vellokari.exe\nACTION = Vellokari", 1, kApproved},
        {"an empty line more", std::string(kApproved) + "\r\n", 0, std::string(kApproved) + "\r\n"},
        {"empty", "", 0, ""},
        {"0x1A ends the text", std::string(kApproved) + "\x1A", 1, kApproved},
        {"one letter's case", "[autorun]\r\nOPEN=\\vellokari.exe\r\nICON=\\Vellokari.exe\r\nACTION = Vellokari\r\n", 0,
         "[autorun]\r\nOPEN=\\vellokari.exe\r\nICON=\\Vellokari.exe\r\nACTION = Vellokari\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_inf, c.file));
        panel.m_bAutorunWatch = FALSE;
        DebugLogCapture log;
        EXPECT_EQ(panel.ReadAutorunInf(), c.result);
        EXPECT_TRUE(panel.m_bAutorunWatch);
        EXPECT_EQ(panel.m_strAutorunInfNow.str(), c.now);
        EXPECT_EQ(log.Text(), "Temp=" + c.now + "\nAutoRun=" + kApproved + "\n");
    }

    // Missing: nothing to report, not watched, the last text read stays.
    ASSERT_TRUE(::DeleteFileA(m_inf.c_str()));
    DebugLogCapture log;
    EXPECT_EQ(panel.ReadAutorunInf(), 1);
    EXPECT_FALSE(panel.m_bAutorunWatch);
    EXPECT_EQ(panel.m_strAutorunInfNow.str(), cases[std::size(cases) - 1].now);
    EXPECT_EQ(log.Text(), "");

    // No approved text: nothing is read at all.
    ASSERT_TRUE(WriteBytes(m_inf, "[autorun]\r\n"));
    panel.m_strAutorunInf.Empty();
    EXPECT_EQ(panel.ReadAutorunInf(), 1);
    EXPECT_FALSE(panel.m_bAutorunWatch);
    EXPECT_EQ(panel.m_strAutorunInfNow.str(), cases[std::size(cases) - 1].now);

    // A new approved text is watched at once; it is saved by its callers.
    const std::string settings = ReadBytes(m_ini);
    panel.SetAutorunInf("[autorun]\r\n");
    EXPECT_STREQ(panel.m_strAutorunInf, "[autorun]\r\n");
    EXPECT_TRUE(panel.m_bAutorunWatch);
    EXPECT_EQ(ReadBytes(m_ini), settings);
    EXPECT_EQ(panel.ReadAutorunInf(), 1);
}

TEST_F(AutorunWatch, StatusFollowsTheWatchAndTheCheckTimerAlwaysRunsOn)
{
    ASSERT_TRUE(WriteBytes(m_inf, kApproved));
    Open(kApproved);
    ModalSeam seam;  // no dialog is expected: one would be counted and cancelled

    CheckAndTick();
    EXPECT_EQ(m_host.Status(), kWatched);

    // Deleted: no longer watched, no dialog.
    ASSERT_TRUE(::DeleteFileA(m_inf.c_str()));
    CheckAndTick();
    EXPECT_EQ(m_host.Status(), kNotWatched);

    // Back with the approved content: watched again.
    ASSERT_TRUE(WriteBytes(m_inf, kApproved));
    CheckAndTick();
    EXPECT_EQ(m_host.Status(), kWatched);

    // A file that opens but cannot be read: reported in the log, not compared, not watched.
    ASSERT_TRUE(m_medium.LinkToHostFile("\\Autorun.Inf", "/proc/self/mem"));
    {
        DebugLogCapture log;
        CheckAndTick();
        EXPECT_EQ(log.Count("CLauncherDlg::ReadAutorunInf() read error="), 1) << log.Text();
        EXPECT_EQ(log.Count("Temp="), 0);
    }
    EXPECT_EQ(m_host.Status(), kNotWatched);
    EXPECT_STREQ(m_host.m_panel.m_strAutorunInfNow, kApproved);
    ASSERT_TRUE(m_medium.RemoveLink("\\Autorun.Inf"));

    ASSERT_TRUE(WriteBytes(m_inf, kApproved));
    CheckAndTick();
    EXPECT_EQ(m_host.Status(), kWatched);
    EXPECT_EQ(seam.Driven() + seam.Unexpected(), 0);
}

TEST_F(AutorunWatch, ApprovalWithYesWritesTheFormAndStoresIt)
{
    // Changed, with LF alone: approved, it is written back in comparison form.
    const char changed[] = "[autorun]\r\nOPEN=\\Vellokari.exe\r\n[extra]\r\n";
    ASSERT_TRUE(WriteBytes(m_inf, "[autorun]\nOPEN=\\Vellokari.exe\n[extra]"));
    Open(kApproved);
    MessageBoxSeam boxes;  // Yes
    ModalSeam seam;
    seam.Push([&](CDialog& dialog) {
        // No second check can begin while this one waits here.
        EXPECT_FALSE(m_host.m_panel.KillTimer(TIMER_AUTORUN_CHECK));
        EXPECT_EQ(ItemText(dialog.m_hWnd, IDC_EDIT_AUTORUN), changed);
        Click(dialog.m_hWnd, IDOK);
    });
    CheckAndTick();
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_EQ(seam.LeftOpen(), 0);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(ReadBytes(m_inf), changed);
    EXPECT_STREQ(m_host.m_panel.m_strAutorunInf, changed);
    const std::string settings = ReadBytes(m_ini);
    EXPECT_NE(settings.find("AUTORUNINFSIZE=" + std::to_string(2 * std::strlen(changed)) + "\r\nAUTORUNINF=" +
                            Hex(changed) + "\r\n"),
              std::string::npos)
        << settings;
    EXPECT_EQ(m_host.Status(), kWatched);

    // Now equal: the next check shows nothing.
    CheckAndTick();
    EXPECT_EQ(seam.Unexpected(), 0);
}

TEST_F(AutorunWatch, EmptiedFileIsShownEmptyAndRevertPutsTheApprovedTextBack)
{
    ASSERT_TRUE(WriteBytes(m_inf, ""));
    Open(kApproved);
    MessageBoxSeam boxes;
    ModalSeam seam;
    seam.Push([&](CDialog& dialog) {
        EXPECT_EQ(ItemText(dialog.m_hWnd, IDC_EDIT_AUTORUN), "");
        Click(dialog.m_hWnd, IDC_BUTTON_REVERT);
        EXPECT_EQ(ItemText(dialog.m_hWnd, IDOK), "保存");
        Click(dialog.m_hWnd, IDOK);
    });
    CheckAndTick();
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadBytes(m_inf), kApproved);
    EXPECT_STREQ(m_host.m_panel.m_strAutorunInf, kApproved);
    EXPECT_NE(ReadBytes(m_ini).find("AUTORUNINF=" + Hex(kApproved) + "\r\n"), std::string::npos);
}

// What follows a 0x1A is read by the system's profile reader, and what
// follows a NUL is not shown by the dialog's edit: either is a change that
// the user cannot see whole, so it can be put back but not approved.
TEST_F(AutorunWatch, WhatTheDialogCannotShowWholeCanOnlyBePutBack)
{
    using namespace std::string_literals;
    Open(kApproved);
    const std::string settings = ReadBytes(m_ini);
    const std::string changed = "[autorun]\r\nOPEN=other.exe\r\n";
    const struct {
        const char* what;
        std::string file;
        std::string now;    // the text last read
        std::string shown;  // what the dialog's edit shows of it
        int logged;         // lines that tell of bytes after a 0x1A
    } cases[] = {
        {"after a 0x1A", kApproved + "\x1A"s + "shellexecute=evil.exe\r\n", kApproved, kApproved, 1},
        {"a change, then more after a 0x1A", changed + "\x1A\r\nOPEN=evil.exe", changed, changed, 1},
        {"after a NUL", kApproved + "\0\r\nopen=evil.exe"s, kApproved + "\0\r\nopen=evil.exe\r\n"s, kApproved, 0},
        {"a change, then a NUL", changed + "x\0y"s, changed + "x\0y\r\n"s, changed + "x", 0},
    };
    MessageBoxSeam boxes;
    ModalSeam seam;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_inf, c.file));
        seam.Push([&](CDialog& dialog) {
            const HWND hwnd = dialog.m_hWnd;
            EXPECT_EQ(ItemText(hwnd, IDC_EDIT_AUTORUN), c.shown);
            EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDOK)));
            Click(hwnd, IDOK);
            EXPECT_TRUE(dialog.IsRunningModal());
            Click(hwnd, IDC_BUTTON_REVERT);
            EXPECT_EQ(ItemText(hwnd, IDC_EDIT_AUTORUN), kApproved);
            Click(hwnd, IDOK);
        });
        DebugLogCapture log;
        CheckAndTick();
        EXPECT_EQ(log.Count("CLauncherDlg::ReadAutorunInf() text after 0x1A path=" + m_inf + "\n"), c.logged)
            << log.Text();
        EXPECT_TRUE(m_host.m_panel.m_strAutorunInfNow.str() == c.now);
        EXPECT_EQ(ReadBytes(m_inf), kApproved) << "the approved text is back, byte for byte";
        EXPECT_STREQ(m_host.m_panel.m_strAutorunInf, kApproved);
        EXPECT_EQ(m_host.Status(), kWatched);
    }
    EXPECT_EQ(seam.Driven(), static_cast<int>(std::size(cases)));
    EXPECT_EQ(seam.Unexpected() + seam.LeftOpen(), 0);
    EXPECT_TRUE(boxes.Calls().empty()) << "no question without an approval";
    EXPECT_EQ(ReadBytes(m_ini), settings);

    // Nothing after the 0x1A: the text is all there is, and it is the approved one.
    ASSERT_TRUE(WriteBytes(m_inf, kApproved + "\x1A"s));
    CheckAndTick();
    EXPECT_EQ(seam.Unexpected(), 0);
}

TEST_F(AutorunWatch, ApprovalThatNeverReachedTheFileIsNotStored)
{
    const char found[] = "[autorun]\r\nOPEN=virus.exe\r\n";
    ASSERT_TRUE(WriteBytes(m_inf, found));
    Open(kApproved);
    const std::string settings = ReadBytes(m_ini);
    MessageBoxSeam boxes;  // Yes, then OK
    ModalSeam seam;
    seam.Push([&](CDialog& dialog) {
        // Held by another program that shares nothing, from now on.
        const HANDLE holder =
            ::CreateFileA(m_inf.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        Click(dialog.m_hWnd, IDOK);
        ::CloseHandle(holder);
        EXPECT_TRUE(dialog.IsRunningModal());
        Click(dialog.m_hWnd, IDCANCEL);
    });
    CheckAndTick();
    EXPECT_EQ(seam.Driven(), 1);
    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_EQ(boxes.Calls()[1].text, "Autorun.infの更新に失敗しました.");
    EXPECT_STREQ(m_host.m_panel.m_strAutorunInf, kApproved);
    EXPECT_EQ(ReadBytes(m_ini), settings);
    EXPECT_EQ(ReadBytes(m_inf), found);
    EXPECT_EQ(m_host.Status(), kWatched);
}

// One limit for an Autorun.inf text on the whole road: a file beyond it is
// not read whole, nothing beyond it is approved, and every approved text
// comes back from the settings file.
TEST_F(AutorunWatch, TextsUpToTheLimitAreApprovedAndStoredLargerOnesOnlyPutBack)
{
    // Exactly the limit in comparison form, written with LF alone.
    std::string form, file;
    for (int i = 0; i < AUTORUNINF_MAX_TEXT / 1024; ++i) {
        const std::string line(1022, static_cast<char>('a' + i % 26));
        form += line + "\r\n";
        file += line + "\n";
    }
    ASSERT_EQ(form.size(), static_cast<std::size_t>(AUTORUNINF_MAX_TEXT));
    ASSERT_TRUE(WriteBytes(m_inf, file));
    Open(kApproved);
    MessageBoxSeam boxes;  // Yes
    ModalSeam seam;
    seam.Push([&](CDialog& dialog) { Click(dialog.m_hWnd, IDOK); });
    CheckAndTick();
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_EQ(m_host.Status(), kWatched);
    ASSERT_EQ(m_host.m_panel.m_strAutorunInf.str(), form);
    EXPECT_EQ(ReadBytes(m_inf), form);
    {
        CLauncherDlg loaded;
        loaded.m_strIniPath = m_ini.c_str();
        loaded.ReadIniFile();
        EXPECT_TRUE(loaded.m_strAutorunInf.str() == form) << "the approved text loads back whole";
    }

    // An ordinary change, read and left open: the text last read is neither
    // the approved text nor the beginning of the larger file below.
    const std::string changed = "[autorun]\r\nOPEN=other.exe\r\n";
    ASSERT_TRUE(WriteBytes(m_inf, changed));
    seam.Push([&](CDialog& dialog) { Click(dialog.m_hWnd, IDCANCEL); });
    CheckAndTick();
    ASSERT_EQ(m_host.m_panel.m_strAutorunInfNow.str(), changed);

    // One byte more than the limit, its first line changed: a difference
    // shown up to the limit. It cannot be approved; it can be put back.
    std::string cut = form;
    cut.replace(0, 5, "[x]\r\n");
    std::string larger = file;
    larger.replace(0, 5, "[x]\r\n");
    larger += "x";
    const std::string settings = ReadBytes(m_ini);
    ASSERT_TRUE(WriteBytes(m_inf, larger));
    seam.Push([&](CDialog& dialog) {
        const HWND hwnd = dialog.m_hWnd;
        EXPECT_TRUE(ItemText(hwnd, IDC_EDIT_AUTORUN) == cut) << "the cut text, not the text read before";
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDOK)));
        Click(hwnd, IDOK);
        EXPECT_TRUE(dialog.IsRunningModal());
        Click(hwnd, IDC_BUTTON_REVERT);
        Click(hwnd, IDOK);
    });
    {
        DebugLogCapture log;
        CheckAndTick();
        EXPECT_EQ(log.Count("CLauncherDlg::ReadAutorunInf() too large"), 1) << log.Text().substr(0, 200);
        EXPECT_EQ(log.Count("Temp="), 0);
    }
    EXPECT_EQ(seam.Driven(), 3);
    EXPECT_EQ(seam.Unexpected() + seam.LeftOpen(), 0);
    EXPECT_EQ(boxes.Calls().size(), 1u) << "no question without an approval";
    EXPECT_EQ(m_host.Status(), kWatched);
    EXPECT_TRUE(m_host.m_panel.m_strAutorunInfNow.str() == cut);
    EXPECT_TRUE(ReadBytes(m_inf) == form) << "the approved text is back, byte for byte, not the cut text";
    EXPECT_TRUE(m_host.m_panel.m_strAutorunInf.str() == form);
    EXPECT_EQ(ReadBytes(m_ini), settings);

    // Put back, the file no longer holds back an approval: an ordinary
    // change read afterwards is approved and stored.
    ASSERT_TRUE(WriteBytes(m_inf, changed));
    seam.Push([&](CDialog& dialog) {
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog.m_hWnd, IDOK)));
        Click(dialog.m_hWnd, IDOK);
    });
    CheckAndTick();
    EXPECT_EQ(seam.Driven(), 4);
    EXPECT_EQ(boxes.Calls().size(), 2u);
    EXPECT_TRUE(m_host.m_panel.m_strAutorunInf.str() == changed);
    EXPECT_NE(ReadBytes(m_ini).find("AUTORUNINF=" + Hex(changed) + "\r\n"), std::string::npos);

    // A new approved text beyond the limit is refused: the one before stays,
    // and what is saved loads back.
    EXPECT_FALSE(m_host.m_panel.SetAutorunInf((form + "x\r\n").c_str()));
    EXPECT_TRUE(m_host.m_panel.m_strAutorunInf.str() == changed);
    m_host.m_panel.SaveSettings();
    CLauncherDlg loaded;
    loaded.m_strIniPath = m_ini.c_str();
    loaded.ReadIniFile();
    EXPECT_TRUE(loaded.m_strAutorunInf == m_host.m_panel.m_strAutorunInf);
}

// An endless file is read no further than the limit and reported as a
// change. (Here it is a link to a device, which no write replaces: the
// revert's failure keeps the dialog.)
TEST_F(AutorunWatch, AnEndlessFileIsReportedInBoundedTime)
{
    ASSERT_TRUE(m_medium.LinkToHostFile("\\Autorun.Inf", "/dev/zero"));
    Open(kApproved);
    const std::string settings = ReadBytes(m_ini);
    MessageBoxSeam boxes;  // OK
    ModalSeam seam;
    const ULONGLONG start = ::GetTickCount64();
    ULONGLONG shown = 0;
    seam.Push([&](CDialog& dialog) {
        shown = ::GetTickCount64();
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog.m_hWnd, IDOK)));
        Click(dialog.m_hWnd, IDC_BUTTON_REVERT);
        Click(dialog.m_hWnd, IDOK);
        EXPECT_TRUE(dialog.IsRunningModal());
        Click(dialog.m_hWnd, IDCANCEL);
    });
    {
        DebugLogCapture log;
        CheckAndTick();
        EXPECT_EQ(log.Count("CLauncherDlg::ReadAutorunInf() too large"), 1) << log.Text().substr(0, 200);
    }
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_EQ(seam.Unexpected() + seam.LeftOpen(), 0);
    EXPECT_LT(shown - start, 10000u);
    // The file is NULs without a line end, so its text is one line of
    // single bytes cut at the limit: exactly the limit long, what the edit
    // shows of it is empty whatever the read did, and only the length tells
    // that the read stopped there.
    EXPECT_EQ(m_host.m_panel.m_strAutorunInfNow.GetLength(), AUTORUNINF_MAX_TEXT);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "Autorun.infの更新に失敗しました.");
    EXPECT_EQ(m_host.Status(), kWatched);
    EXPECT_STREQ(m_host.m_panel.m_strAutorunInf, kApproved);
    EXPECT_EQ(ReadBytes(m_ini), settings);
    EXPECT_TRUE(m_medium.RemoveLink("\\Autorun.Inf"));
}

// The check timer as the program runs it: the first check about 100 ms
// after the start, the next 300000 ms after the last one ended however long
// its dialog stayed open (shortened here), and no check while one is open.
TEST_F(AutorunWatch, FirstCheckAfter100MsThenEach300000MsAfterTheLastEnded)
{
    ASSERT_TRUE(WriteBytes(m_inf, "[autorun]\r\nOPEN=changed.exe\r\n"));
    WriteSettings(m_ini, {Item("far", "\\no-such.exe", RUNKIND_AUTO_START, 600)}, kApproved);
    TimerSeam timers;
    timers.Shorten(300000, 300);
    ModalSeam seam;
    const CRunInf* item = nullptr;
    ULONGLONG firstShown = 0, firstEnded = 0, secondShown = 0;
    seam.Push([&](CDialog& dialog) {
        firstShown = ::GetTickCount64();
        // Held open for five run ticks, which go on meanwhile.
        const int count = item->m_nCountdown;
        EXPECT_TRUE(WaitFor([&] { return item->m_nCountdown <= count - 5; }));
        EXPECT_EQ(timers.Requests(m_host.Panel(), TIMER_AUTORUN_CHECK).size(), 1u) << "no check timer meanwhile";
        firstEnded = ::GetTickCount64();
        Click(dialog.m_hWnd, IDCANCEL);
    });
    seam.Push([&](CDialog& dialog) {
        secondShown = ::GetTickCount64();
        Click(dialog.m_hWnd, IDCANCEL);
    });
    ASSERT_TRUE(m_host.Create(m_medium.Drive()));
    const ULONGLONG start = ::GetTickCount64();
    m_host.Start(m_ini, true);
    item = &m_host.m_panel.m_runItems[0];
    ASSERT_TRUE(WaitFor([&] { return seam.Driven() == 2; }, 20000));
    m_host.m_panel.KillTimer(TIMER_AUTORUN_CHECK);
    EXPECT_EQ(seam.Unexpected(), 0);

    EXPECT_GE(firstShown - start, 90u);
    EXPECT_LT(firstShown - start, 3000u);
    const std::vector<TimerRequest> requests = timers.Requests(m_host.Panel(), TIMER_AUTORUN_CHECK);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].elapse, 100u);
    EXPECT_EQ(requests[1].elapse, 300000u);
    EXPECT_GE(requests[1].tick, firstEnded);
    EXPECT_EQ(requests[2].elapse, 300000u);
    EXPECT_GE(secondShown - firstEnded, 280u);
    EXPECT_LT(secondShown - firstEnded, 5000u);
}
