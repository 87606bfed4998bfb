// The launcher panel's commands on a hosted panel with a real settings
// file: add, change, start (button and double click), delete and move, the
// boxes they show, and what each of them saves.
#include "PanelHost.h"

#include "AfxMessageBox.h"
#include "DebugLog.h"
#include "DialogWatch.h"
#include "LauncherIds.h"
#include "ModalSeam.h"
#include "RunSettingIds.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

const char kStartLine[] = "CRunInf::startRun() commanLine=";

void Command(HWND panel, int id)
{
    ::SendMessageA(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(panel, id)));
}

class LauncherCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        m_medium.MakeFolders("\\Vellokari");
        m_medium.Put(FixturePath("vk_recorder.exe"), "\\tools\\vk_recorder.exe");
        ::SetEnvironmentVariableA("VK_RECORD_FILE", m_record.c_str());
    }
    void TearDown() override { ::SetEnvironmentVariableA("VK_RECORD_FILE", nullptr); }

    void Open(const std::vector<CRunInf>& items)
    {
        WriteSettings(m_ini, items);
        ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    }
    CLauncherDlg& Panel() { return m_host.m_panel; }
    // The panel's buttons notify as when clicked (their own clicks draw
    // themselves on the shared desktop, which these tests keep out of).
    void Press(int id) { Command(m_host.Panel(), id); }
    // Selects the row as a click does: selected, and the list's selection mark.
    void Mark(int row)
    {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = state.stateMask;
        ::SendMessageA(m_host.List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
        ::SendMessageA(m_host.List(), LVM_SETSELECTIONMARK, 0, row);
    }

    // Dates the settings file back, so that a save shows in its time.
    void Stamp()
    {
        const HANDLE file = ::CreateFileA(m_ini.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &kOld));
        ::CloseHandle(file);
        m_stamped = ReadBytes(m_ini);
    }
    // Neither the bytes nor the time of the file changed since Stamp.
    bool Untouched() const
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExA(m_ini.c_str(), GetFileExInfoStandard, &data);
        return ReadBytes(m_ini) == m_stamped && data.ftLastWriteTime.dwLowDateTime == kOld.dwLowDateTime &&
               data.ftLastWriteTime.dwHighDateTime == kOld.dwHighDateTime;
    }
    // The names in the file, in its order.
    Names Saved() const
    {
        Names names;
        const std::string bytes = ReadBytes(m_ini);
        for (std::size_t pos = bytes.find("PROGRAMNAME="); pos != std::string::npos;
             pos = bytes.find("PROGRAMNAME=", pos + 1)) {
            const std::size_t start = pos + 12;
            names.push_back(bytes.substr(start, bytes.find("\r\n", start) - start));
        }
        return names;
    }
    // Waits until n starts of the recorder are recorded (their processes run apart).
    void Records(int n) const
    {
        EXPECT_TRUE(WaitFor([&] {
            const std::string records = ReadBytes(m_record);
            int count = 0;
            for (std::size_t pos = records.find("\nDIR="); pos != std::string::npos; pos = records.find("\nDIR=", pos + 1))
                ++count;
            return count >= n;
        }));
    }
    std::string StartOf(const char* arg) const
    {
        return std::string(kStartLine) + "\"" + m_medium.Drive() + m_recorder + "\" " + arg + "\n";
    }

    static constexpr FILETIME kOld{0x12345678, 0x01C00000};  // in 1998
    TestMedium m_medium;
    std::string m_ini = m_medium.Path("\\Vellokari\\Vellokari.ini");
    const char* m_recorder = "\\tools\\vk_recorder.exe";
    TempFolder m_dir;
    std::string m_record = m_dir / "record.txt";
    std::string m_stamped;
    PanelHost m_host;
};

CRunInf Skype()
{
    CRunInf skype = Item("Skype", "\\skype\\bin\\Skype.exe", RUNKIND_MANUAL);
    skype.m_bSkype = TRUE;
    return skype;
}

}  // namespace

TEST_F(LauncherCommands, AddAppendsArmsAndSavesTheNewItem)
{
    Open({Item("first", m_recorder, RUNKIND_MANUAL, 0, 0, "first")});
    DebugLogCapture log;
    ModalSeam seam;
    // The dialog of a new item; the executable as its browse button would set it.
    seam.Push([](CDialog& dialog) {
        const HWND d = dialog.m_hWnd;
        EXPECT_EQ(::GetWindowTextLengthA(::GetDlgItem(d, IDC_EDIT_PROGRAMPATH)), 0);
        ::SetDlgItemTextA(d, IDC_EDIT_PROGRAMPATH, "\\tools\\vk_recorder.exe");
        ::SetDlgItemTextA(d, IDC_EDIT_ARG, "added");
        SendClick(d, IDC_CHECK_AUTOSTART);
        ::SetDlgItemTextA(d, IDC_EDIT_DELAY, "2");
        SendClick(d, IDOK);
    });
    Press(IDC_BUTTON_ADD);
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_EQ(m_host.Names(), (Names{"first", "vk_recorder.exe"}));
    EXPECT_EQ(m_host.Cell(1, 1), "自動(P)");
    EXPECT_EQ(Saved(), (Names{"first", "vk_recorder.exe"}));
    EXPECT_NE(ReadBytes(m_ini).find("ARG=added\r\nRUNKIND=1\r\nDELAYTIME=2\r\nBOREWAY=0\r\n"), std::string::npos);

    // It starts after its delay, without a restart.
    m_host.Tick();
    EXPECT_EQ(log.Count(kStartLine), 0);
    m_host.Tick();
    EXPECT_EQ(log.Count(StartOf("added")), 1) << log.Text();

    // Cancelled: nothing changes, nothing is saved.
    Stamp();
    seam.Push([](CDialog& dialog) { SendClick(dialog.m_hWnd, IDCANCEL); });
    Press(IDC_BUTTON_ADD);
    EXPECT_EQ(m_host.Rows(), 2);
    EXPECT_TRUE(Untouched());
}

TEST_F(LauncherCommands, ChangeReplacesTheItemWithTheDialogsCopy)
{
    Open({Item("manual", m_recorder, RUNKIND_MANUAL, 0, 0, "manual"),
          Item("auto", m_recorder, RUNKIND_AUTO_START, 5, 0, "auto")});
    DebugLogCapture log;
    MessageBoxSeam boxes;
    ModalSeam seam;

    // No selection: the box.
    Press(IDC_BUTTON_CHANGE);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "設定変更するプログラムを一覧で選択してください");
    EXPECT_EQ(seam.Driven() + seam.Unexpected(), 0);

    // Manual to automatic at start: not armed now, so it never starts in this run.
    Mark(0);
    seam.Push([](CDialog& dialog) {
        SendClick(dialog.m_hWnd, IDC_CHECK_AUTOSTART);
        ::SetDlgItemTextA(dialog.m_hWnd, IDC_EDIT_DELAY, "1");
        SendClick(dialog.m_hWnd, IDOK);
    });
    Press(IDC_BUTTON_CHANGE);
    EXPECT_EQ(m_host.Cell(0, 1), "自動(P)");
    EXPECT_FALSE(Panel().m_runItems[0].m_bArmed);
    EXPECT_NE(ReadBytes(m_ini).find("ARG=manual\r\nRUNKIND=1\r\nDELAYTIME=1\r\n"), std::string::npos);
    EXPECT_EQ(m_host.Selected(), 0);

    // The counting item: it runs out and starts while the dialog is open;
    // a new name, its timing kept, leaves it started: it starts no second time.
    m_host.Tick(2);
    ASSERT_EQ(Panel().m_runItems[1].m_nCountdown, 3);
    Mark(1);
    seam.Push([&](CDialog& dialog) {
        m_host.Tick(3);
        EXPECT_EQ(log.Count(StartOf("auto")), 1);
        ::SetDlgItemTextA(dialog.m_hWnd, IDC_EDIT_PROGRAMNAME, "renamed");
        SendClick(dialog.m_hWnd, IDOK);
    });
    Press(IDC_BUTTON_CHANGE);
    EXPECT_FALSE(Panel().m_runItems[1].m_bArmed);
    m_host.Tick(5);
    EXPECT_EQ(log.Count(StartOf("auto")), 1);
    EXPECT_EQ(log.Count(StartOf("manual")), 0);
    EXPECT_EQ(Saved(), (Names{"manual", "renamed"}));

    // To a gate item: armed, it starts on its gateway's gate open.
    Mark(0);
    seam.Push([](CDialog& dialog) {
        SendClick(dialog.m_hWnd, IDC_RADIO_TIMING_GATE);
        ::SendDlgItemMessageA(dialog.m_hWnd, IDC_COMBO_GATE, CB_SETCURSEL, 3, 0);
        SendClick(dialog.m_hWnd, IDOK);
    });
    Press(IDC_BUTTON_CHANGE);
    EXPECT_TRUE(Panel().m_runItems[0].m_bArmed);
    ::SendMessageA(m_host.Panel(), g_uLauncherGateOpenMsg, 3, 0);
    m_host.Tick();
    EXPECT_EQ(log.Count(StartOf("manual")), 1);
    EXPECT_NE(ReadBytes(m_ini).find("ARG=manual\r\nRUNKIND=2\r\nDELAYTIME=1\r\nBOREWAY=3\r\n"), std::string::npos);

    // Its gate opens while its dialog is open: OK, unchanged, keeps the countdown.
    Mark(0);
    seam.Push([&](CDialog& dialog) {
        ::SendMessageA(m_host.Panel(), g_uLauncherGateOpenMsg, 3, 0);
        SendClick(dialog.m_hWnd, IDOK);
    });
    Press(IDC_BUTTON_CHANGE);
    m_host.Tick();
    EXPECT_EQ(log.Count(StartOf("manual")), 2);

    // Cancelled: nothing saved.
    Stamp();
    seam.Push([](CDialog& dialog) {
        ::SetDlgItemTextA(dialog.m_hWnd, IDC_EDIT_PROGRAMNAME, "never");
        SendClick(dialog.m_hWnd, IDCANCEL);
    });
    Press(IDC_BUTTON_CHANGE);
    EXPECT_EQ(m_host.Names(), (Names{"manual", "renamed"}));
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(seam.Unexpected() + seam.LeftOpen(), 0);
}

// A countdown running when the timing changes is the old timing's: it is
// dropped, and no start follows from it.
TEST_F(LauncherCommands, ChangedTimingDropsTheRunningCountdown)
{
    struct Case {
        const char* name;
        int kind;
        int gate;      // opened before the change, for a gate item
        int timing;    // the radio chosen in the dialog
        int newGate;
        bool armed;
    };
    const Case cases[] = {
        {"at start to a gate", RUNKIND_AUTO_START, 0, IDC_RADIO_TIMING_GATE, 3, true},
        {"gate to another gate", RUNKIND_AUTO_GATE, 3, IDC_RADIO_TIMING_GATE, 2, true},
        {"gate to at start", RUNKIND_AUTO_GATE, 3, IDC_RADIO_TIMING_START, 0, false},
    };
    Open({Item("item", m_recorder, RUNKIND_MANUAL, 0, 0, "item")});
    DebugLogCapture log;
    ModalSeam seam;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRunInf& item = Panel().m_runItems[0];
        item.m_nRunKind = c.kind;
        item.m_nDelayTime = 10;
        item.m_nGateKind = c.gate;
        item.armRun();
        if (c.gate != 0)
            ::SendMessageA(m_host.Panel(), g_uLauncherGateOpenMsg, c.gate, 0);
        m_host.Tick(2);
        ASSERT_EQ(item.m_nCountdown, 8);
        Mark(0);
        seam.Push([&](CDialog& dialog) {
            SendClick(dialog.m_hWnd, c.timing);
            if (c.newGate != 0)
                ::SendDlgItemMessageA(dialog.m_hWnd, IDC_COMBO_GATE, CB_SETCURSEL, c.newGate, 0);
            SendClick(dialog.m_hWnd, IDOK);
        });
        Press(IDC_BUTTON_CHANGE);
        EXPECT_EQ(Panel().m_runItems[0].m_bArmed, c.armed ? TRUE : FALSE);
        EXPECT_EQ(Panel().m_runItems[0].m_nCountdown, 0);
        m_host.Tick(10);
        EXPECT_EQ(log.Count(kStartLine), 0) << log.Text();
    }
    EXPECT_EQ(seam.Unexpected() + seam.LeftOpen(), 0);
}

// A new delay for an item whose start in this run is still to come counts
// from the OK, whatever the run tick and gate opens did while the dialog was
// open; an item that has started, or has nothing to count, gets no start.
TEST_F(LauncherCommands, NewDelayOfAPendingStartCountsFromTheOk)
{
    struct Case {
        const char* name;
        int kind;
        int delay;
        std::function<void()> before;  // after arming, before the dialog
        std::function<void()> during;  // inside the dialog, before its OK
        int timing;                    // the radio chosen in the dialog, 0 for none
        const char* newDelay;
        int startsAtOk;  // starts of the item up to the OK
        int startAfter;  // ticks after the OK to its next start, 0 for none
        bool armed;      // after the OK
    };
    const auto ticks = [this](int n) { return [this, n] { m_host.Tick(n); }; };
    const auto gate3 = [this](int n) {
        return [this, n] {
            ::SendMessageA(m_host.Panel(), g_uLauncherGateOpenMsg, 3, 0);
            m_host.Tick(n);
        };
    };
    const auto byHand = [this] {
        m_host.Tick(2);
        Mark(0);
        Press(IDC_BUTTON_LAUNCH);
    };
    const auto nothing = [] {};
    const Case cases[] = {
        {"at start, counting", RUNKIND_AUTO_START, 10, ticks(2), nothing, 0, "5", 0, 5, true},
        {"at start, counting, to no delay", RUNKIND_AUTO_START, 10, ticks(2), ticks(3), 0, "0", 0, 1, true},
        {"gate, counting since its gate", RUNKIND_AUTO_GATE, 10, gate3(2), nothing, 0, "5", 0, 5, true},
        {"gate, opened while the dialog is open", RUNKIND_AUTO_GATE, 10, nothing, gate3(2), 0, "5", 0, 5, true},
        {"at start, started before", RUNKIND_AUTO_START, 2, ticks(2), nothing, 0, "5", 1, 0, false},
        {"at start, started while the dialog is open", RUNKIND_AUTO_START, 10, ticks(2), ticks(8), 0, "5", 1, 0,
         false},
        {"gate, started before", RUNKIND_AUTO_GATE, 2, gate3(2), nothing, 0, "5", 1, 0, true},
        {"at start, started by hand", RUNKIND_AUTO_START, 10, byHand, nothing, 0, "5", 1, 0, false},
        {"manual", RUNKIND_MANUAL, 10, ticks(2), nothing, 0, "5", 0, 0, false},
        {"manual to at start", RUNKIND_MANUAL, 10, ticks(2), nothing, IDC_RADIO_TIMING_START, "5", 0, 0, false},
        {"at start to a gate", RUNKIND_AUTO_START, 10, ticks(2), nothing, IDC_RADIO_TIMING_GATE, "5", 0, 0, true},
    };
    Open({Item("item", m_recorder, RUNKIND_MANUAL, 0, 0, "item")});
    ModalSeam seam;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DebugLogCapture log;
        CRunInf& item = Panel().m_runItems[0];
        item = Item("item", m_recorder, c.kind, c.delay, 3, "item");
        item.armRun();
        c.before();
        Mark(0);
        seam.Push([&](CDialog& dialog) {
            c.during();
            if (c.timing == IDC_RADIO_TIMING_START)
                SendClick(dialog.m_hWnd, IDC_CHECK_AUTOSTART);
            else if (c.timing != 0)
                SendClick(dialog.m_hWnd, c.timing);
            ::SetDlgItemTextA(dialog.m_hWnd, IDC_EDIT_DELAY, c.newDelay);
            SendClick(dialog.m_hWnd, IDOK);
        });
        Press(IDC_BUTTON_CHANGE);
        EXPECT_EQ(Panel().m_runItems[0].m_nDelayTime, std::atoi(c.newDelay));
        EXPECT_EQ(log.Count(StartOf("item")), c.startsAtOk) << log.Text();
        EXPECT_EQ(Panel().m_runItems[0].m_bArmed, c.armed ? TRUE : FALSE);
        if (c.startAfter > 0) {
            m_host.Tick(c.startAfter - 1);
            EXPECT_EQ(log.Count(StartOf("item")), c.startsAtOk) << "before its new delay";
            m_host.Tick();
            EXPECT_EQ(log.Count(StartOf("item")), c.startsAtOk + 1) << "on its new delay";
        }
        m_host.Tick(20);
        EXPECT_EQ(log.Count(StartOf("item")), c.startsAtOk + (c.startAfter > 0 ? 1 : 0)) << log.Text();
    }
    EXPECT_EQ(seam.Unexpected() + seam.LeftOpen(), 0);
}

TEST_F(LauncherCommands, LaunchAndDoubleClickStartTheMarkedItem)
{
    m_medium.MakeFolders("\\work");
    Open({Item("rec", m_recorder, RUNKIND_MANUAL, 0, 0, "rec"),
          Item("missing", "\\tools\\no-such.exe", RUNKIND_MANUAL),
          Item("no folder", m_recorder, RUNKIND_MANUAL, 0, 0, "nofolder"),
          Item("auto", m_recorder, RUNKIND_AUTO_START, 5, 0, "auto"),
          Item("gate", m_recorder, RUNKIND_AUTO_GATE, 2, 1, "gate")});
    Panel().m_runItems[2].m_strWorkPath = "\\no-such-folder";
    DebugLogCapture log;
    MessageBoxSeam boxes;
    Stamp();

    Press(IDC_BUTTON_LAUNCH);  // no selection
    Mark(0);
    Press(IDC_BUTTON_LAUNCH);
    EXPECT_EQ(log.Count(StartOf("rec")), 1);
    Records(1);
    EXPECT_NE(ReadBytes(m_record).find("DIR=" + m_medium.Path("\\tools") + "\n"), std::string::npos);

    // A double click over row 0 acts on the mark, row 1: its program is missing.
    Mark(1);
    RECT row{};
    row.left = LVIR_BOUNDS;
    ::SendMessageA(m_host.List(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    ::SendMessageA(m_host.List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2));
    EXPECT_EQ(log.Count(StartOf("rec")), 1);
    Mark(2);
    Press(IDC_BUTTON_LAUNCH);  // a working folder that is not there

    ASSERT_EQ(boxes.Calls().size(), 3u);
    EXPECT_EQ(boxes.Calls()[0].text, "起動するプログラムを一覧で選択してください");
    EXPECT_EQ(boxes.Calls()[1].text, "プロセス起動に失敗しました. err=0x2");
    EXPECT_EQ(boxes.Calls()[2].text, "プロセス起動に失敗しました. err=0x10b");
    EXPECT_EQ(boxes.Calls()[2].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_FALSE(Panel().m_runItems[1].m_bArmed);
    EXPECT_FALSE(Panel().m_runItems[1].m_bFailed);  // a start by hand records no failure

    // By hand, an automatic item's countdown is cancelled; a gate item stays armed.
    Mark(3);
    Press(IDC_BUTTON_LAUNCH);
    Mark(4);
    Press(IDC_BUTTON_LAUNCH);
    m_host.Tick(10);
    EXPECT_EQ(log.Count(StartOf("auto")), 1);
    EXPECT_TRUE(Panel().m_runItems[4].m_bArmed);
    EXPECT_EQ(log.Count(StartOf("gate")), 1);
    EXPECT_TRUE(Untouched());  // starting saves nothing
}

TEST_F(LauncherCommands, DeleteAsksAndKeepsTheSelectionOnItsRow)
{
    Open({Skype(), Item("a", "\\a.exe", RUNKIND_MANUAL), Item("b", "\\b.exe", RUNKIND_MANUAL),
          Item("c", "\\c.exe", RUNKIND_MANUAL)});
    MessageBoxSeam boxes;
    Press(IDC_BUTTON_DELETE);  // no selection
    Mark(0);
    Press(IDC_BUTTON_DELETE);  // the Skype item
    Mark(1);
    boxes.Answer({IDNO});
    Stamp();
    Press(IDC_BUTTON_DELETE);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(m_host.Names(), (Names{"Skype", "a", "b", "c"}));

    Press(IDC_BUTTON_DELETE);  // Yes
    EXPECT_EQ(m_host.Names(), (Names{"Skype", "b", "c"}));
    EXPECT_EQ(m_host.Selected(), 1);  // the row now holds the next item
    EXPECT_EQ(Saved(), (Names{"Skype", "b", "c"}));
    EXPECT_NE(ReadBytes(m_ini).find("LAUNCHER=3\r\n"), std::string::npos);

    Mark(2);
    Press(IDC_BUTTON_DELETE);  // the last row: no row is selected afterwards
    EXPECT_EQ(m_host.Names(), (Names{"Skype", "b"}));
    EXPECT_EQ(m_host.Selected(), -1);
    EXPECT_EQ(Saved(), (Names{"Skype", "b"}));
    // The mark one past the rows is refused by Wine's list (Windows would
    // keep it, and a command would then do nothing): no mark, so the next
    // command asks for a selection.
    EXPECT_EQ(::SendMessageA(m_host.List(), LVM_GETSELECTIONMARK, 0, 0), -1);
    Stamp();
    Press(IDC_BUTTON_DELETE);
    EXPECT_TRUE(Untouched());

    std::vector<std::string> texts;
    for (const MessageBoxCall& call : boxes.Calls())
        texts.push_back(call.text);
    EXPECT_EQ(texts, (Names{"削除するプログラムを一覧で選択してください", "Skype.exeは削除できません.", "削除しますか？",
                            "削除しますか？", "削除しますか？", "削除するプログラムを一覧で選択してください"}));
    EXPECT_EQ(boxes.Calls()[2].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

TEST_F(LauncherCommands, DeleteRemovesOnlyTheItemItAskedAbout)
{
    // An item put first while the question waits: the row asked about now
    // holds another item, which the Yes must not delete.
    Open({Item("a", "\\a.exe", RUNKIND_MANUAL), Item("b", "\\b.exe", RUNKIND_MANUAL)});
    MessageBoxSeam boxes([this](const MessageBoxCall&) {
        Panel().InsertSkypeRunItem(Skype());
        return IDYES;
    });
    Mark(1);
    Press(IDC_BUTTON_DELETE);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(m_host.Names(), (Names{"Skype", "a", "b"}));
    EXPECT_EQ(Saved(), (Names{"Skype", "a", "b"}));
}

TEST_F(LauncherCommands, UpAndDownMoveTheWholeItemAndTheSelectionFollows)
{
    CRunInf counting = Item("b", m_recorder, RUNKIND_AUTO_START, 3, 0, "b");
    Open({Skype(), Item("a", "\\a.exe", RUNKIND_MANUAL), counting, Item("c", "\\c.exe", RUNKIND_MANUAL)});
    MessageBoxSeam boxes;
    const auto moved = [&](int id, int row, const Names& names, int selected) {
        SCOPED_TRACE(std::to_string(id) + " on row " + std::to_string(row));
        Mark(row);
        Press(id);
        EXPECT_EQ(m_host.Names(), names);
        EXPECT_EQ(m_host.Selected(), selected);
        EXPECT_EQ(Saved(), names);
    };
    m_host.Tick();
    Stamp();
    Press(IDC_BUTTON_UP);             // no selection
    moved(IDC_BUTTON_UP, 0, {"Skype", "a", "b", "c"}, 0);    // the Skype item: its box
    moved(IDC_BUTTON_DOWN, 0, {"Skype", "a", "b", "c"}, 0);  // likewise
    moved(IDC_BUTTON_UP, 1, {"Skype", "a", "b", "c"}, 1);    // nothing moves into row 0
    moved(IDC_BUTTON_DOWN, 3, {"Skype", "a", "b", "c"}, 3);  // the last row
    EXPECT_TRUE(Untouched());
    moved(IDC_BUTTON_UP, 2, {"Skype", "b", "a", "c"}, 1);
    moved(IDC_BUTTON_DOWN, 2, {"Skype", "b", "c", "a"}, 3);
    // The countdown went with its item.
    EXPECT_EQ(Panel().m_runItems[1].m_strProgramName, "b");
    EXPECT_EQ(Panel().m_runItems[1].m_nCountdown, 2);

    std::vector<std::string> texts;
    for (const MessageBoxCall& call : boxes.Calls())
        texts.push_back(call.text);
    EXPECT_EQ(texts, (Names{"移動するプログラムを一覧で選択してください", "Skypeは先頭から移動できません",
                            "Skypeは先頭から移動できません"}));
}

TEST_F(LauncherCommands, WithoutTheSkypeItemTheFirstRowMovesDownOnly)
{
    Open({Item("a", "\\a.exe", RUNKIND_MANUAL), Item("b", "\\b.exe", RUNKIND_MANUAL)});
    MessageBoxSeam boxes;
    Mark(1);
    Press(IDC_BUTTON_UP);
    EXPECT_EQ(m_host.Names(), (Names{"a", "b"}));
    Mark(0);
    Press(IDC_BUTTON_DOWN);
    EXPECT_EQ(m_host.Names(), (Names{"b", "a"}));
    EXPECT_EQ(m_host.Selected(), 1);
    EXPECT_EQ(Saved(), (Names{"b", "a"}));

    // A list of one cannot be reordered.
    PanelHost one;
    WriteSettings(m_ini, {Item("only", "\\a.exe", RUNKIND_MANUAL)});
    ASSERT_TRUE(one.Open(m_medium.Drive(), m_ini));
    Stamp();
    ::SendMessageA(one.List(), LVM_SETSELECTIONMARK, 0, 0);
    Command(one.Panel(), IDC_BUTTON_UP);
    Command(one.Panel(), IDC_BUTTON_DOWN);
    EXPECT_EQ(one.Names(), (Names{"only"}));
    EXPECT_TRUE(Untouched());
    EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(LauncherCommands, TimersAndGateOpensGoOnWhileABoxOrTheDialogIsOpen)
{
    Open({Item("gone", "\\a.exe", RUNKIND_MANUAL), Item("auto", m_recorder, RUNKIND_AUTO_START, 3, 0, "auto"),
          Item("gate", m_recorder, RUNKIND_AUTO_GATE, 1, 2, "gate")});
    Panel().SetTimer(TIMER_RUN_TICK, 100);  // the real run tick, for the nested loops
    DebugLogCapture log;
    DialogWatch watch;
    const HWND panel = m_host.Panel();

    // Inside the real box: a gate opens and the due item starts; then Yes.
    // Each handler waits for that inside the loop, at most 10 s.
    const auto waitThen = [&](int gateStarts, std::function<void(HWND)> then) {
        const ULONGLONG end = ::GetTickCount64() + 10000;
        bool opened = false;
        return [=, this, &log](HWND dialog) mutable {
            if (!opened) {
                ::PostMessageA(panel, g_uLauncherGateOpenMsg, 2, 0);
                opened = true;
            }
            const bool started = log.Count(StartOf("auto")) == 1 && log.Count(StartOf("gate")) == gateStarts;
            if (!started && ::GetTickCount64() < end)
                return false;
            then(dialog);
            return true;
        };
    };
    Mark(0);
    watch.Push(waitThen(1, [](HWND box) { ClickButton(box, IDYES); }));
    Press(IDC_BUTTON_DELETE);
    EXPECT_EQ(log.Count(StartOf("auto")), 1);
    EXPECT_EQ(log.Count(StartOf("gate")), 1);
    EXPECT_EQ(m_host.Names(), (Names{"auto", "gate"}));  // the item marked before the box
    EXPECT_EQ(Saved(), (Names{"auto", "gate"}));

    // Inside the settings dialog: the same, and OK changes the item it opened on.
    Mark(1);
    watch.Push(waitThen(2, [](HWND dialog) {
        ::SetDlgItemTextA(dialog, IDC_EDIT_PROGRAMNAME, "changed");
        ClickButton(dialog, IDOK);
    }));
    Press(IDC_BUTTON_CHANGE);
    EXPECT_EQ(log.Count(StartOf("gate")), 2);
    EXPECT_EQ(m_host.Names(), (Names{"auto", "changed"}));
    EXPECT_EQ(Saved(), (Names{"auto", "changed"}));

    ASSERT_EQ(watch.Seen().size(), 2u);
    EXPECT_NE(watch.Seen()[0].find("削除しますか？"), std::string::npos) << watch.Seen()[0];
    EXPECT_EQ(watch.Seen()[1].rfind("起動プログラム設定", 0), 0u) << watch.Seen()[1];
    EXPECT_EQ(watch.Unexpected(), 0);
    Records(2);
}

TEST_F(LauncherCommands, ChangeWritesNothingWhereItsItemNoLongerIs)
{
    // No command comes in while the dialog is open (its loop disables the
    // windows under it). Should the items change all the same, the dialog's
    // OK would land on another item or past the last one: it writes nothing
    // and says so.
    Open({Item("a", "\\a.exe", RUNKIND_MANUAL), Item("b", "\\b.exe", RUNKIND_MANUAL),
          Item("c", "\\c.exe", RUNKIND_MANUAL), Item("d", "\\d.exe", RUNKIND_MANUAL),
          Item("e", "\\e.exe", RUNKIND_MANUAL)});
    MessageBoxSeam boxes;  // the Delete box: Yes
    ModalSeam seam;
    struct Case {
        int changed;  // the row that Change opens on
        const char* meanwhile;
        std::function<void()> command;
        Names after;
    };
    const auto press = [&](int row, int id) {
        return [=, this] {
            Mark(row);
            Press(id);
        };
    };
    const Case cases[] = {
        {1, "an earlier item deleted", press(0, IDC_BUTTON_DELETE), {"b", "c", "d", "e"}},
        {1, "the item itself deleted", press(1, IDC_BUTTON_DELETE), {"b", "d", "e"}},
        {2, "the last item deleted", press(2, IDC_BUTTON_DELETE), {"b", "d"}},
        {0, "the item moved away", press(0, IDC_BUTTON_DOWN), {"d", "b"}},
        {1, "an item put first", [this] { Panel().InsertSkypeRunItem(Skype()); }, {"Skype", "d", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.meanwhile);
        Mark(c.changed);
        seam.Push([&](CDialog& dialog) {
            c.command();
            ::SetDlgItemTextA(dialog.m_hWnd, IDC_EDIT_PROGRAMNAME, "changed");
            SendClick(dialog.m_hWnd, IDOK);
        });
        const std::size_t before = boxes.Calls().size();
        Press(IDC_BUTTON_CHANGE);
        EXPECT_EQ(m_host.Names(), c.after);
        EXPECT_EQ(Saved(), c.after);
        EXPECT_EQ(Panel().m_runItems.size(), c.after.size());
        ASSERT_GT(boxes.Calls().size(), before);
        EXPECT_EQ(boxes.Calls().back().text, "一覧が変更されたため、設定変更は保存されませんでした.");
        EXPECT_EQ(boxes.Calls().back().type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(seam.Driven(), 5);
    EXPECT_EQ(seam.Unexpected() + seam.LeftOpen(), 0);
}
