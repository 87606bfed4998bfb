// The launcher panel hosted on a medium: its template and set-up, the rows,
// the selection, the run tick, gate opens from another process, and the
// items that others hand in.
#include "CommonControlsBinding.h"
#include "PanelHost.h"

#include "CGlobalData.h"
#include "CMFCListCtrl.h"
#include "DebugLog.h"
#include "DialogTemplate.h"
#include "LauncherIds.h"
#include "TestMedium.h"
#include "TestSupport.h"
#include "TimerSeam.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const char kStartLine[] = "CRunInf::startRun() commanLine=";

using Names = std::vector<std::string>;

DWORD Style(HWND window)
{
    return static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE));
}

DWORD ExStyle(HWND window)
{
    return static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE));
}

COLORREF BrushColour(HBRUSH brush)
{
    LOGBRUSH info{};
    ::GetObjectA(brush, sizeof info, &info);
    return info.lbColor;
}

class LauncherPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        m_medium.MakeFolders("\\Vellokari");
    }

    TestMedium m_medium;
    std::string m_ini = m_medium.Path("\\Vellokari\\Vellokari.ini");
    PanelHost m_host;
};

// Panels whose items start the recording helper program from the medium.
class LauncherRuns : public LauncherPanel {
protected:
    void SetUp() override
    {
        LauncherPanel::SetUp();
        m_medium.Put(FixturePath("vk_recorder.exe"), "\\tools\\vk_recorder.exe");
        ::SetEnvironmentVariableA("VK_RECORD_FILE", m_record.c_str());
    }
    void TearDown() override { ::SetEnvironmentVariableA("VK_RECORD_FILE", nullptr); }

    // The records of n starts, once they are all there; a failure when they
    // do not all come.
    std::string Records(int n)
    {
        std::string records;
        const bool all = WaitFor([&] {
            records = ReadBytes(m_record);
            int ends = 0;
            for (std::size_t pos = records.find("\nDIR="); pos != std::string::npos;
                 pos = records.find("\nDIR=", pos + 1))
                ++ends;
            return ends >= n && records.back() == '\n';
        });
        EXPECT_TRUE(all) << n << " starts expected, recorded: " << records;
        return records;
    }

    const char* m_recorder = "\\tools\\vk_recorder.exe";
    TempFolder m_dir;
    std::string m_record = m_dir / "record.txt";
};

}  // namespace

TEST_F(LauncherPanel, TemplateAndSetUp)
{
    DebugLogCapture log;
    ASSERT_TRUE(m_host.Create(m_medium.Drive()));
    const HWND panel = m_host.Panel();

    // The gate-open message, registered as the window was made.
    const UINT gateOpen = ::RegisterWindowMessageA("BOREWAYOPEN");
    EXPECT_EQ(g_uLauncherGateOpenMsg, gateOpen);
    char line[64];
    std::snprintf(line, sizeof line, "●●RegisterWindowMessage() msg=0x%x\n", gateOpen);
    EXPECT_EQ(log.Count(line), 1) << log.Text();

    // A child with a border and a client edge, control parent, no caption,
    // hidden until its owner shows it; 255 by 130 dialog units.
    const DialogTemplateHead head = ReadDialogTemplateHead(CLauncherDlg::IDD);
    ASSERT_TRUE(head.found);
    EXPECT_EQ(head.style, static_cast<DWORD>(DS_SETFONT | DS_CONTROL | WS_CHILD | WS_BORDER));
    EXPECT_EQ(head.exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT));
    EXPECT_EQ(head.cx, 255);
    EXPECT_EQ(head.cy, 130);
    EXPECT_EQ(head.items, 8);
    EXPECT_EQ(head.title, L"");
    EXPECT_EQ(head.pointSize, 9);
    EXPECT_EQ(head.typeface, L"ＭＳ Ｐゴシック");
    EXPECT_FALSE(::IsWindowVisible(panel));
    EXPECT_EQ(Style(panel) & (WS_CHILD | WS_CAPTION | WS_VISIBLE), static_cast<DWORD>(WS_CHILD));
    EXPECT_EQ(ExStyle(panel) & (WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT),
              static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT));
    RECT client{};
    ::GetClientRect(panel, &client);
    RECT size{0, 0, 255, 130};
    ::MapDialogRect(panel, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    ExpectControls(panel, {
        {IDC_LIST_RUN, "SysListView32", "", {5, 7, 164, 121},
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP},
        {IDC_STATIC_AUTORUN, "Static", "AutorunInf監視", {175, 7, 76, 11}, SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN},
        {IDC_BUTTON_UP, "Button", "↑", {175, 22, 15, 26}, WS_TABSTOP},
        {IDC_BUTTON_DOWN, "Button", "↓", {175, 48, 15, 24}, WS_TABSTOP},
        {IDC_BUTTON_ADD, "Button", "追加", {196, 22, 51, 15}, WS_TABSTOP},
        {IDC_BUTTON_CHANGE, "Button", "変更", {196, 39, 51, 15}, WS_TABSTOP},
        {IDC_BUTTON_DELETE, "Button", "削除", {196, 56, 51, 16}, WS_TABSTOP},
        {IDC_BUTTON_LAUNCH, "Button", "起動", {175, 77, 72, 49}, WS_TABSTOP},
    }, [](HWND child, const ExpectedControl& c) {
        if (c.id == IDC_LIST_RUN) {  // the system draws the list's border as a client edge
            EXPECT_TRUE((Style(child) & WS_BORDER) != 0 || (ExStyle(child) & WS_EX_CLIENTEDGE) != 0);
        }
        if (std::string(c.className) == "Button") {
            // Drawn by the themed button class, in the menu font.
            EXPECT_EQ(Style(child) & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
            EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(child, WM_GETFONT, 0, 0)), CGlobalData::GetMenuFont());
        }
    });

    // The list: full rows and grid lines from version 6 on, three columns, the icon cache's images.
    const HWND list = m_host.List();
    ASSERT_GE(CGlobalData::GetWindowsMajorVersion(), 6u);
    EXPECT_EQ(::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const struct {
        const char* header;
        int format;
        int width;
    } columns[] = {{"ProgramName", LVCFMT_LEFT, 130}, {"起動", LVCFMT_LEFT, 60}, {"遅延(秒)", LVCFMT_RIGHT, 60}};
    const HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        char text[64] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        ASSERT_TRUE(::SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, columns[i].header);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, columns[i].format);
        EXPECT_EQ(column.cx, columns[i].width);
    }
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
              m_host.m_panel.m_imageCache.m_imageList.GetSafeHandle());

    // The colours: grey dialog and buttons, the status label light yellow,
    // statics with a transparent text background.
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const auto colour = [&](UINT message, int id) {
        ::SetBkMode(dc, OPAQUE);
        return reinterpret_cast<HBRUSH>(::SendMessageA(panel, message, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(id == 0 ? panel : ::GetDlgItem(panel, id))));
    };
    EXPECT_EQ(colour(WM_CTLCOLORDLG, 0), m_host.m_panel.m_brushGray.GetSafeHandle());
    EXPECT_EQ(colour(WM_CTLCOLORBTN, IDC_BUTTON_ADD), m_host.m_panel.m_brushGray.GetSafeHandle());
    EXPECT_EQ(colour(WM_CTLCOLORSTATIC, IDC_STATIC_AUTORUN), m_host.m_panel.m_brushStatus.GetSafeHandle());
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    const HBRUSH edit = colour(WM_CTLCOLOREDIT, IDC_LIST_RUN);
    EXPECT_NE(edit, m_host.m_panel.m_brushGray.GetSafeHandle());
    EXPECT_NE(edit, m_host.m_panel.m_brushStatus.GetSafeHandle());
    EXPECT_EQ(::GetBkMode(dc), OPAQUE);
    ::DeleteDC(dc);
    EXPECT_EQ(BrushColour(m_host.m_panel.m_brushGray), 0xA0A0A0u);
    EXPECT_EQ(BrushColour(m_host.m_panel.m_brushStatus), 0xB4FFFFu);

    // No settings file: no rows, both timers all the same. The label keeps
    // the template's text until the first tick.
    m_host.Start(m_ini);
    EXPECT_TRUE(m_host.m_bTimersStarted);
    EXPECT_EQ(m_host.Rows(), 0);
    EXPECT_EQ(m_host.Status(), "AutorunInf監視");
    m_host.Tick();
    EXPECT_EQ(m_host.Status(), "AutoRun.Inf監視なし");
    EXPECT_FALSE(FileExists(m_ini));  // nothing saved on the way
}

// The icon cache owns its image list; the list view only borrows it, so the
// list outlives the panel's window and the cache destroys it, once.
TEST_F(LauncherPanel, ImageListOutlivesTheWindowForTheCacheToDestroy)
{
    m_medium.Put(FixturePath("vk_icon_green.exe"), "\\tools\\green.exe");
    WriteSettings(m_ini, {Item("green", "\\tools\\green.exe", RUNKIND_MANUAL)});
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    CImageList& images = m_host.m_panel.m_imageCache.m_imageList;
    ASSERT_EQ(images.GetImageCount(), 1);

    ASSERT_TRUE(m_host.m_panel.DestroyWindow());
    int cx = 0, cy = 0;
    EXPECT_TRUE(CommonControlsBinding().imageListGetIconSize(images, &cx, &cy));
    EXPECT_EQ(cx, 24);
    EXPECT_EQ(images.GetImageCount(), 1);
    EXPECT_TRUE(images.DeleteImageList()) << "what the cache does as it goes";
}

// The run tick, as real time: every 100 ms from the start.
TEST_F(LauncherPanel, RunTickEvery100Ms)
{
    WriteSettings(m_ini, {Item("far", "\\no-such.exe", RUNKIND_AUTO_START, 600)});
    TimerSeam timers;
    ASSERT_TRUE(m_host.Create(m_medium.Drive()));
    const ULONGLONG start = ::GetTickCount64();
    m_host.Start(m_ini, true);
    const CRunInf& item = m_host.m_panel.m_runItems[0];
    ASSERT_TRUE(WaitFor([&] { return item.m_nCountdown <= 590; }, 20000));
    const ULONGLONG tenTicks = ::GetTickCount64() - start;
    EXPECT_GE(tenTicks, 900u);
    EXPECT_LT(tenTicks, 6000u);

    const std::vector<TimerRequest> requests = timers.Requests(m_host.Panel(), TIMER_RUN_TICK);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].elapse, 100u);
}

// The status label is right after every tick, but a tick that finds it
// right leaves it alone: ten repaints a second would be most of the idle load.
TEST_F(LauncherPanel, TickWritesTheStatusOnlyWhenTheLabelShowsOtherText)
{
    WriteSettings(m_ini, {});
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    const HWND label = ::GetDlgItem(m_host.Panel(), IDC_STATIC_AUTORUN);
    static int sets = 0;
    static WNDPROC original = nullptr;
    original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_SETTEXT)
                ++sets;
            return ::CallWindowProcA(original, hwnd, message, wParam, lParam);
        })));
    sets = 0;

    m_host.Tick();
    EXPECT_EQ(m_host.Status(), "AutoRun.Inf監視なし");
    EXPECT_EQ(sets, 1);
    m_host.Tick(20);
    EXPECT_EQ(sets, 1);

    ::SetWindowTextA(label, "x");
    m_host.Tick();
    EXPECT_EQ(m_host.Status(), "AutoRun.Inf監視なし");
    m_host.m_panel.m_bAutorunWatch = TRUE;
    m_host.Tick(5);
    EXPECT_EQ(m_host.Status(), "AutoRun.Inf監視中");
    EXPECT_EQ(sets, 4);
    ::SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

TEST_F(LauncherPanel, RowsShowNameKindDelayAndIcon)
{
    m_medium.Put(FixturePath("vk_icon_green.exe"), "\\tools\\green.exe");
    m_medium.Put(FixturePath("vk_icon_red.exe"), "\\tools\\red.exe");
    WriteSettings(m_ini, {
        Item("manual", "\\tools\\green.exe", RUNKIND_MANUAL, 25),
        Item("start now", "\\tools\\red.exe", RUNKIND_AUTO_START, 0),
        Item("start later", "\\tools\\green.exe", RUNKIND_AUTO_START, 25),
        Item("gate", "\\tools\\no-such.exe", RUNKIND_AUTO_GATE, 600, 3),
        Item("kind 7", "\\tools\\red.exe", 7, 15),
        Item("表示名", "\\tools\\green.exe", RUNKIND_MANUAL, -4),
    });
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));

    const struct {
        const char* name;
        const char* kind;
        const char* delay;
        bool bold;
    } rows[] = {
        {"manual", "手動", "--", false},         {"start now", "自動(P)", "0.0", true},
        {"start later", "自動(P)", "2.5", true}, {"gate", "自動(S)", "60.0", true},
        {"kind 7", "不明", "1.5", false},        {"表示名", "手動", "--", false},
    };
    ASSERT_EQ(m_host.Rows(), 6);
    std::vector<int> images;
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(m_host.Cell(row, 0), rows[row].name);
        EXPECT_EQ(m_host.Cell(row, 1), rows[row].kind);
        EXPECT_EQ(m_host.Cell(row, 2), rows[row].delay);
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(m_host.m_panel.m_listRun.OnGetCellFont(row, column, 0),
                      rows[row].bold ? CMFCListCtrl::GetBoldFont() : nullptr);
        LVITEMA item{};
        item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.stateMask = static_cast<UINT>(-1);
        item.iItem = row;
        ASSERT_TRUE(::SendMessageA(m_host.List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        images.push_back(item.iImage);
        EXPECT_EQ(item.lParam, 0);
        EXPECT_EQ(item.state & LVIS_SELECTED, 0u);
    }
    // One image per path on the medium; a missing program has the error icon.
    EXPECT_EQ(images, (std::vector<int>{0, 1, 0, 2, 1, 0}));
    EXPECT_EQ(m_host.m_panel.m_imageCache.m_imageList.GetImageCount(), 3);
}

TEST_F(LauncherPanel, SelectionFollowsTheMarkAndTheOffset)
{
    std::vector<CRunInf> items;
    for (int i = 0; i < 20; ++i)
        items.push_back(Item(("item" + std::to_string(i)).c_str(), "\\a.exe", RUNKIND_MANUAL));
    WriteSettings(m_ini, items);
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    const HWND list = m_host.List();
    CLauncherDlg& panel = m_host.m_panel;

    // No row ever selected: a rebuild selects nothing.
    ASSERT_EQ(m_host.Mark(), -1);
    panel.UpdateRunList(0);
    EXPECT_EQ(m_host.Mark(), -1);
    EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);

    // Mark 15 moved by -1: row 14 selected, hot and in full view.
    ::SendMessageA(list, LVM_SETSELECTIONMARK, 0, 15);
    panel.UpdateRunList(-1);
    EXPECT_EQ(m_host.Mark(), 14);
    EXPECT_EQ(m_host.Selected(), 14);
    EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(list, LVM_GETHOTITEM, 0, 0), 14);
    const int top = static_cast<int>(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    const int perPage = static_cast<int>(::SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GT(top, 0);
    EXPECT_LE(top, 14);
    EXPECT_LT(14, top + perPage);

    // +1 and 0.
    panel.UpdateRunList(1);
    EXPECT_EQ(m_host.Mark(), 15);
    EXPECT_EQ(m_host.Selected(), 15);
    panel.UpdateRunList(0);
    EXPECT_EQ(m_host.Mark(), 15);
    EXPECT_EQ(m_host.Selected(), 15);

    // The last row gone: the mark is one past the end and no row is selected.
    ::SendMessageA(list, LVM_SETSELECTIONMARK, 0, 19);
    panel.m_runItems.pop_back();
    panel.UpdateRunList(0);
    EXPECT_EQ(m_host.Rows(), 19);
    EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(LauncherRuns, AutomaticStartOnTheSecondTickRebuildsTheListOnlyThen)
{
    WriteSettings(m_ini, {Item("rec", m_recorder, RUNKIND_AUTO_START, 2, 0, "%letter%\\x"),
                          Item("manual", m_recorder, RUNKIND_MANUAL)});
    DebugLogCapture log;
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    // A mark of the test's own in the rows: a rebuild puts 0 back.
    m_host.SetData(0, 0x5A5A);
    m_host.SetData(1, 0x5A5A);

    m_host.Tick();
    EXPECT_EQ(log.Count(kStartLine), 0);
    EXPECT_EQ(m_host.Data(0), 0x5A5A);
    EXPECT_EQ(m_host.Data(1), 0x5A5A);
    EXPECT_EQ(m_host.Status(), "AutoRun.Inf監視なし");

    m_host.Tick();
    EXPECT_EQ(log.Count(kStartLine), 1) << log.Text();
    EXPECT_EQ(m_host.Data(0), 0);
    EXPECT_EQ(m_host.Data(1), 0);
    EXPECT_FALSE(m_host.m_panel.m_runItems[0].m_bArmed);
    const std::string d = m_medium.Drive();
    EXPECT_EQ(Records(1), "CMD=\"" + d + "\\tools\\vk_recorder.exe\" " + d + "\\x\nDIR=" + d + "\\tools\n");

    m_host.SetData(0, 0x5A5A);
    m_host.Tick(10);
    EXPECT_EQ(m_host.Data(0), 0x5A5A);
    EXPECT_EQ(log.Count(kStartLine), 1);
    EXPECT_EQ(m_host.Names(), (Names{"rec", "manual"}));
}

TEST_F(LauncherRuns, NoStartKeepsAnAutomaticItemArmedAndUnstarted)
{
    NoStart noStart(TRUE);
    WriteSettings(m_ini, {Item("rec", m_recorder, RUNKIND_AUTO_START, 2)});
    DebugLogCapture log;
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    m_host.SetData(0, 0x5A5A);
    m_host.Tick(30);
    EXPECT_EQ(log.Count(kStartLine), 0);
    const CRunInf& item = m_host.m_panel.m_runItems[0];
    EXPECT_TRUE(item.m_bArmed);
    EXPECT_EQ(item.m_nCountdown, 2);
    EXPECT_EQ(m_host.Data(0), 0x5A5A);
}

TEST_F(LauncherRuns, GateOpenFromAnotherProcessStartsTheMatchingItemsAfterTheirDelay)
{
    WriteSettings(m_ini, {
        Item("vnc", m_recorder, RUNKIND_AUTO_GATE, 3, 3, "vnc"),
        Item("ftp", m_recorder, RUNKIND_AUTO_GATE, 1, 1, "ftp"),
        Item("start", m_recorder, RUNKIND_AUTO_START, -1, 3, "start"),
        Item("manual", m_recorder, RUNKIND_MANUAL, 0, 3, "manual"),
    });
    DebugLogCapture log;
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    m_host.SetData(0, 0x5A5A);

    const auto gateOpen = [&](int times) {
        ChildProcess gate;
        const std::string exe = FixturePath("vk_gate.exe");
        ASSERT_TRUE(gate.Start("\"" + exe + "\" " +
                               std::to_string(reinterpret_cast<UINT_PTR>(m_host.Panel())) + " 3"));
        ASSERT_TRUE(gate.WaitExit());
        EXPECT_EQ(gate.ExitCode(), 0u);
        EXPECT_TRUE(WaitFor([&] { return log.Count("RECV BOREWAYFORVNC GATE OPEN!\n") == times; }));
    };

    gateOpen(1);
    EXPECT_EQ(m_host.m_panel.m_runItems[0].m_nCountdown, 3);
    m_host.Tick(2);
    // A second open before the countdown ran out counts the whole delay again.
    gateOpen(2);
    m_host.Tick(2);
    EXPECT_EQ(log.Count(kStartLine), 0) << log.Text();
    m_host.Tick();
    EXPECT_EQ(log.Count(kStartLine), 1) << log.Text();
    m_host.Tick(20);
    EXPECT_EQ(log.Count(kStartLine), 1) << log.Text();
    EXPECT_EQ(log.Count(std::string(kStartLine) + "\"" + m_medium.Drive() + "\\tools\\vk_recorder.exe\" vnc\n"), 1);
    const std::string records = Records(1);
    EXPECT_NE(records.find("\" vnc\n"), std::string::npos) << records;

    // A gate item stays armed after its start, so the rows are never rebuilt.
    EXPECT_TRUE(m_host.m_panel.m_runItems[0].m_bArmed);
    EXPECT_EQ(m_host.Data(0), 0x5A5A);
}

TEST_F(LauncherPanel, GateOpenLinesByKindAndKindsOutsideTheList)
{
    WriteSettings(m_ini, {Item("seven", "\\no-such.exe", RUNKIND_AUTO_GATE, 4, 7),
                          Item("zero", "\\no-such.exe", RUNKIND_AUTO_GATE, 5, 0),
                          Item("three", "\\no-such.exe", RUNKIND_AUTO_GATE, 6, 3),
                          Item("minus one", "\\no-such.exe", RUNKIND_AUTO_GATE, 8, -1)});
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    const struct {
        WPARAM kind;
        const char* line;             // empty: none
        int seven, zero, three, minus;  // the countdowns afterwards
    } cases[] = {
        {1, "RECV BOREWAYFORFTP GATE OPEN!\n", 0, 0, 0, 0},
        {2, "RECV BOREWAYFORCVS GATE OPEN!\n", 0, 0, 0, 0},
        {4, "RECV BOREWAYONE GATE OPEN!\n", 0, 0, 0, 0},
        {7, "", 4, 0, 0, 0},
        // The whole 64-bit value is the kind: these are not kinds 3, 0 and -1.
        {0x100000003ull, "", 4, 0, 0, 0},
        {0x100000000ull, "", 4, 0, 0, 0},
        {0xFFFFFFFFull, "", 4, 0, 0, 0},
        {0, "RECV BOREWAYFORTCP GATE OPEN!\n", 4, 5, 0, 0},
        {3, "RECV BOREWAYFORVNC GATE OPEN!\n", 4, 5, 6, 0},
        {static_cast<WPARAM>(-1), "", 4, 5, 6, 8},
        {9, "", 4, 5, 6, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        DebugLogCapture log;
        ASSERT_TRUE(::PostMessageA(m_host.Panel(), g_uLauncherGateOpenMsg, c.kind, 12345));
        PumpMessages();
        EXPECT_EQ(log.Text(), c.line);
        EXPECT_EQ(m_host.m_panel.m_runItems[0].m_nCountdown, c.seven);
        EXPECT_EQ(m_host.m_panel.m_runItems[1].m_nCountdown, c.zero);
        EXPECT_EQ(m_host.m_panel.m_runItems[2].m_nCountdown, c.three);
        EXPECT_EQ(m_host.m_panel.m_runItems[3].m_nCountdown, c.minus);
    }

    // With no items a gate open only writes its line.
    m_host.m_panel.m_runItems.clear();
    DebugLogCapture log;
    ::SendMessageA(m_host.Panel(), g_uLauncherGateOpenMsg, 3, 0);
    EXPECT_EQ(log.Text(), "RECV BOREWAYFORVNC GATE OPEN!\n");
}

TEST_F(LauncherRuns, SkypeItemGoesFirstAndEveryItemIsArmedAgain)
{
    CRunInf skype = Item("Skype", "\\skype\\bin\\Skype.exe", RUNKIND_MANUAL);
    skype.m_bSkype = TRUE;

    // An empty list.
    {
        PanelHost host;
        ASSERT_TRUE(host.Open(m_medium.Drive(), m_ini));
        host.m_panel.InsertSkypeRunItem(skype);
        EXPECT_EQ(host.Names(), (Names{"Skype"}));
        EXPECT_NE(ReadBytes(m_ini).find("LAUNCHER=1\r\n[RUNITEM0]\r\nPROGRAMNAME=Skype\r\n"), std::string::npos);
    }

    // The first item is not Skype, though one further down is.
    WriteSettings(m_ini, {
        Item("later", "\\no-such.exe", RUNKIND_AUTO_START, 3),
        Item("rec", m_recorder, RUNKIND_AUTO_START, 1),
        Item("Skype", "\\skype\\bin\\Skype.exe", RUNKIND_MANUAL),
        Item("gate", "\\no-such.exe", RUNKIND_AUTO_GATE, 2, 0),
    });
    DebugLogCapture log;
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    ASSERT_TRUE(m_host.m_panel.m_runItems[2].m_bSkype);
    m_host.Tick();  // "rec" has started, "later" counts on
    EXPECT_EQ(log.Count(kStartLine), 1);
    ::SendMessageA(m_host.List(), LVM_SETSELECTIONMARK, 0, 1);
    m_host.m_panel.InsertSkypeRunItem(skype);

    EXPECT_EQ(m_host.Names(), (Names{"Skype", "later", "rec", "Skype", "gate"}));
    const std::vector<CRunInf>& items = m_host.m_panel.m_runItems;
    EXPECT_FALSE(items[0].m_bArmed);
    EXPECT_TRUE(items[1].m_bArmed);
    EXPECT_EQ(items[1].m_nCountdown, 3);  // the whole delay again
    EXPECT_TRUE(items[2].m_bArmed);      // started before, armed again
    EXPECT_EQ(items[2].m_nCountdown, 1);
    EXPECT_TRUE(items[4].m_bArmed);
    // The mark stays on its row number, now the item one row higher before.
    EXPECT_EQ(m_host.Mark(), 1);
    EXPECT_EQ(m_host.Selected(), 1);
    EXPECT_NE(ReadBytes(m_ini).find("LAUNCHER=5\r\n[RUNITEM0]\r\nPROGRAMNAME=Skype\r\n"), std::string::npos);
    m_host.Tick();
    EXPECT_EQ(log.Count(kStartLine), 2);
    // "rec" started twice: before the insertion and once armed again.
    const std::string d = m_medium.Drive();
    const std::string start = "CMD=\"" + d + "\\tools\\vk_recorder.exe\" \nDIR=" + d + "\\tools\n";
    EXPECT_EQ(Records(2), start + start);

    // The first item is Skype: nothing at all, not even a save.
    const HANDLE file = ::CreateFileA(m_ini.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const FILETIME old{0x12345678, 0x01C00000};  // in 1998
    ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &old));
    ::CloseHandle(file);
    const std::string bytes = ReadBytes(m_ini);
    ::SendMessageA(m_host.List(), LVM_SETSELECTIONMARK, 0, 3);
    m_host.m_panel.InsertSkypeRunItem(skype);
    EXPECT_EQ(m_host.Names(), (Names{"Skype", "later", "rec", "Skype", "gate"}));
    EXPECT_EQ(m_host.Mark(), 3);
    EXPECT_EQ(ReadBytes(m_ini), bytes);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExA(m_ini.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, old.dwLowDateTime);
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, old.dwHighDateTime);
}

TEST_F(LauncherRuns, ItemFromTheWindowListIsAppendedArmedAndSaved)
{
    WriteSettings(m_ini, {Item("first", "\\a.exe", RUNKIND_MANUAL)});
    DebugLogCapture log;
    ASSERT_TRUE(m_host.Open(m_medium.Drive(), m_ini));
    m_host.m_panel.AddRunItem(Item("window", m_recorder, RUNKIND_MANUAL));
    EXPECT_EQ(m_host.Names(), (Names{"first", "window"}));
    EXPECT_FALSE(m_host.m_panel.m_runItems[1].m_bArmed);
    EXPECT_NE(ReadBytes(m_ini).find("LAUNCHER=2\r\n"), std::string::npos);
    EXPECT_NE(ReadBytes(m_ini).find("[RUNITEM1]\r\nPROGRAMNAME=window\r\nPROGRAMPATH=\\tools\\vk_recorder.exe\r\n"),
              std::string::npos);

    // An automatic one counts from now on.
    m_host.m_panel.AddRunItem(Item("auto", m_recorder, RUNKIND_AUTO_START, 2));
    EXPECT_TRUE(m_host.m_panel.m_runItems[2].m_bArmed);
    m_host.Tick(2);
    EXPECT_EQ(log.Count(kStartLine), 1);
    const std::string d = m_medium.Drive();
    EXPECT_EQ(Records(1), "CMD=\"" + d + "\\tools\\vk_recorder.exe\" \nDIR=" + d + "\\tools\n");
}
