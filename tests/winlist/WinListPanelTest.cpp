// The window-list panel hosted in a window of the test, as the main dialog
// hosts it: its list, the refresh timer, the selection across refreshes and
// the three commands, on windows of real fixture processes.
#include "CommonControlsBinding.h"
#include "AfxMessageBox.h"
#include "CGlobalData.h"
#include "DialogTemplate.h"
#include "TimerSeam.h"
#include "WinListIds.h"
#include "WinListTest.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

const char kSelectProgram[] = "プログラムを一覧で選択してください";

class RecordingListener : public CWinListDlgListener {
public:
    virtual ~RecordingListener() = default;
    void OnWinItemRegister(CWinItem item) override { m_items.push_back(item); }
    std::vector<CWinItem> m_items;
};

struct Column {
    std::string heading;
    int format;
    int width;
};

Column ColumnOf(CListCtrl& list, int index)
{
    char heading[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.pszText = heading;
    column.cchTextMax = sizeof heading;
    list.SendMessage(LVM_GETCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    return {heading, column.fmt & LVCFMT_JUSTIFYMASK, column.cx};
}

int ImageOf(CListCtrl& list, int row)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

// The position of a window in the system's order of top-level windows.
int ZOrder(HWND hwnd)
{
    int i = 0;
    for (HWND w = ::GetTopWindow(nullptr); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT), ++i) {
        if (w == hwnd)
            return i;
    }
    return -1;
}

int SelectedCount(CWinListDlg& panel)
{
    return static_cast<int>(panel.m_listCtrl.SendMessage(LVM_GETSELECTEDCOUNT));
}

}  // namespace

class WinListPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        m_exe = PutFixture(m_medium, "\\apps\\vk_windows.exe");
    }

    TestMedium m_medium;
    std::string m_exe;
    PanelHost m_host;
    CWinListDlg m_panel;
};

TEST_F(WinListPanel, ListIsEmptyAtCreationAndFilledByTheFirstTick)
{
    WindowsFixture app, lower;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkFirst", "t=VkTwin"}));
    std::string lowerPath = m_exe;
    lowerPath[0] = static_cast<char>(lowerPath[0] - 'A' + 'a');
    ASSERT_TRUE(lower.Start(lowerPath, {"t=VkLower"}));

    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    EXPECT_EQ(m_panel.m_listCtrl.GetItemCount(), 0);
    EXPECT_TRUE(m_panel.m_items.empty());
    EXPECT_EQ(m_panel.m_bAutoRefresh, TRUE);
    EXPECT_EQ(m_panel.m_chkAutoRefresh.GetCheck(), BST_CHECKED);

    const Column expected[] = {{"Title", LVCFMT_LEFT, 170},
                               {"ProgramName", LVCFMT_LEFT, 100},
                               {"Drive", LVCFMT_RIGHT, 0},
                               {"Handle", LVCFMT_RIGHT, 0}};
    for (int i = 0; i < 4; ++i) {
        const Column column = ColumnOf(m_panel.m_listCtrl, i);
        EXPECT_EQ(column.heading, expected[i].heading);
        EXPECT_EQ(column.format, expected[i].format) << expected[i].heading;
        EXPECT_EQ(column.width, expected[i].width) << expected[i].heading;
    }
    // Wine reports Windows 7: grid lines beside the full-row selection.
    EXPECT_EQ(m_panel.m_listCtrl.SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(m_panel.m_listCtrl.SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL)),
              m_panel.m_imageCache.m_imageList.GetSafeHandle());

    // The timer's first tick, about 100 ms after creation.
    ASSERT_TRUE(WaitFor([&] { return m_panel.m_listCtrl.GetItemCount() == 3; }, 3000));
    CListCtrl& list = m_panel.m_listCtrl;
    for (int row = 0; row < 3; ++row) {
        const CWinItem& item = m_panel.m_items[static_cast<std::size_t>(row)];
        EXPECT_EQ(list.GetItemText(row, 0), item.m_strTitle);
        EXPECT_EQ(list.GetItemText(row, 1), "vk_windows.exe");
        EXPECT_EQ(list.GetItemText(row, 2), item.m_strProgramPath.Left(2));
        EXPECT_EQ(RowOf(m_panel, item.m_hWnd), row);
    }
    // Two windows of one program: the same icon, name and drive; their own handles.
    const int first = RowOf(m_panel, app.Window(0));
    const int twin = RowOf(m_panel, app.Window(1));
    const int low = RowOf(m_panel, lower.Window(0));
    ASSERT_GE(first, 0);
    ASSERT_GE(twin, 0);
    ASSERT_GE(low, 0);
    EXPECT_EQ(list.GetItemText(first, 2), m_medium.Drive().c_str());
    EXPECT_EQ(list.GetItemText(twin, 2), m_medium.Drive().c_str());
    EXPECT_EQ(list.GetItemText(low, 2), lowerPath.substr(0, 2).c_str()) << "the drive as the process reports it";
    EXPECT_NE(list.GetItemText(first, 3), list.GetItemText(twin, 3));
    EXPECT_GE(ImageOf(list, first), 0);
    EXPECT_EQ(ImageOf(list, first), ImageOf(list, twin));
    MarkRow(m_panel, twin);
    m_panel.UpdateWindow();
    SaveShot(m_host.Wnd()->m_hWnd, "panel-list.bmp");
}

TEST_F(WinListPanel, TemplateStylesPlacesAndTexts)
{
    // A child with a client edge, control parent, no caption and no border,
    // hidden until its owner shows it; 255 by 129 dialog units.
    const DialogTemplateHead head = ReadDialogTemplateHead(CWinListDlg::IDD);
    ASSERT_TRUE(head.found);
    EXPECT_EQ(head.style, static_cast<DWORD>(DS_SETFONT | DS_CONTROL | WS_CHILD));
    EXPECT_EQ(head.exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT));
    EXPECT_EQ(head.cx, 255);
    EXPECT_EQ(head.cy, 129);
    EXPECT_EQ(head.items, 5);
    EXPECT_EQ(head.title, L"");
    EXPECT_EQ(head.pointSize, 9);
    EXPECT_EQ(head.typeface, L"ＭＳ Ｐゴシック");

    m_panel.m_strDrive = m_medium.Drive().c_str();
    ASSERT_TRUE(m_panel.Create(CWinListDlg::IDD, m_host.Wnd()));
    const HWND panel = m_panel.m_hWnd;
    EXPECT_FALSE(::IsWindowVisible(panel));
    RECT client{};
    ::GetClientRect(panel, &client);
    RECT size{0, 0, 255, 129};
    ::MapDialogRect(panel, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    const DWORD pushButton = BS_OWNERDRAW | WS_TABSTOP;  // drawn by the themed button class
    ExpectControls(panel, {
        {IDC_LIST_WINDOWS, "SysListView32", "", {5, 3, 164, 122},
         LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP},
        {IDC_BUTTON_WINLIST_REGISTER, "Button", "Launcherに登録", {174, 3, 75, 13}, pushButton},
        {IDC_BUTTON_BRING_TO_FRONT, "Button", "前面に表示", {175, 84, 74, 13}, pushButton},
        {IDC_BUTTON_CLOSE_APP, "Button", "×アプリ終了", {175, 99, 74, 12}, pushButton},
        {IDC_CHECK_AUTO_REFRESH, "Button", "一覧自動更新", {175, 113, 57, 10}, BS_AUTOCHECKBOX | WS_TABSTOP},
    }, [&](HWND child, const ExpectedControl& c) {
        const DWORD type = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE)) & BS_TYPEMASK;
        if (c.style == pushButton) {  // the type is a value, not bits: exactly owner-drawn, in the menu font
            EXPECT_EQ(type, static_cast<DWORD>(BS_OWNERDRAW));
            EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(child, WM_GETFONT, 0, 0)), CGlobalData::GetMenuFont());
        } else if (c.id == IDC_CHECK_AUTO_REFRESH) {
            EXPECT_EQ(type, static_cast<DWORD>(BS_AUTOCHECKBOX));
        }
    });
}

// The icon cache owns its image list; the list view only borrows it, so the
// list outlives the panel's window and the cache destroys it, once.
TEST_F(WinListPanel, ImageListOutlivesTheWindowForTheCacheToDestroy)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkIcon"}));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    CImageList& images = m_panel.m_imageCache.m_imageList;
    ASSERT_EQ(images.GetImageCount(), 1);

    ASSERT_TRUE(m_panel.DestroyWindow());
    int cx = 0, cy = 0;
    EXPECT_TRUE(CommonControlsBinding().imageListGetIconSize(images, &cx, &cy));
    EXPECT_EQ(cx, 24);
    EXPECT_EQ(images.GetImageCount(), 1);
    EXPECT_TRUE(images.DeleteImageList()) << "what the cache does as it goes";
}

// The refresh timer as real time: first about 100 ms after creation, then
// 3000 ms after the end of each refresh.
TEST_F(WinListPanel, RefreshedFirstAfter100MsThenEvery3000Ms)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkTimed"}));
    TimerSeam timers;
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    ASSERT_TRUE(WaitFor([&] { return m_panel.m_listCtrl.GetItemCount() == 1; }, 5000));
    const ULONGLONG first = ::GetTickCount64();
    EXPECT_GE(first - start, 90u);
    EXPECT_LT(first - start, 2500u);

    // A mark of the test's own in the row: the next rebuild puts 0 back.
    LVITEMA row{};
    row.mask = LVIF_PARAM;
    row.lParam = 0x5A5A;
    ASSERT_TRUE(m_panel.m_listCtrl.SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&row)));
    ASSERT_TRUE(WaitFor([&] { return m_panel.m_listCtrl.GetItemData(0) == 0; }, 15000));
    const ULONGLONG second = ::GetTickCount64();
    EXPECT_GE(second - first, 2700u);
    EXPECT_LT(second - first, 9000u);

    const std::vector<TimerRequest> requests = timers.Requests(m_panel.m_hWnd, TIMER_WINLIST_REFRESH);
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0].elapse, 100u);
    EXPECT_EQ(requests[1].elapse, 3000u);
    EXPECT_EQ(requests[2].elapse, 3000u);
}

TEST_F(WinListPanel, SelectionFollowsItsWindowAcrossRefreshesAndIsLostWhenItCloses)
{
    WindowsFixture marked;
    ASSERT_TRUE(marked.Start(m_exe, {"t=VkMarked"}));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    ASSERT_EQ(RowOf(m_panel, marked.Window(0)), 0);
    MarkRow(m_panel, 0);

    // A newer window comes first in the system's order: the marked row moves down.
    WindowsFixture above;
    ASSERT_TRUE(above.Start(m_exe, {"t=VkAbove", "t=VkAboveToo"}));
    Tick(m_panel);
    const int moved = RowOf(m_panel, marked.Window(0));
    ASSERT_EQ(moved, 2);
    EXPECT_EQ(Mark(m_panel), moved);
    EXPECT_EQ(m_panel.m_listCtrl.GetItemState(moved, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(SelectedCount(m_panel), 1);
    EXPECT_EQ(m_panel.m_listCtrl.SendMessage(LVM_GETHOTITEM), moved);

    above.Kill();
    Tick(m_panel);
    EXPECT_EQ(RowOf(m_panel, marked.Window(0)), 0);
    EXPECT_EQ(Mark(m_panel), 0);
    EXPECT_EQ(SelectedCount(m_panel), 1);

    // Closed: the first refresh after it drops the selection.
    const HWND gone = marked.Window(0);
    marked.Kill();
    EXPECT_EQ(Mark(m_panel), 0) << "until the next refresh";
    Tick(m_panel);
    EXPECT_EQ(RowOf(m_panel, gone), -1);
    EXPECT_EQ(Mark(m_panel), -1);
    EXPECT_EQ(SelectedCount(m_panel), 0);
}

TEST_F(WinListPanel, ClearedCheckBoxKeepsTheListTickingItAgainUpdatesIt)
{
    WindowsFixture first;
    ASSERT_TRUE(first.Start(m_exe, {"t=VkBefore"}));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    ASSERT_EQ(m_panel.m_listCtrl.GetItemCount(), 1);

    // As the user clears the box: its state, then its click.
    m_panel.m_chkAutoRefresh.SetCheck(BST_UNCHECKED);
    ClickButton(m_panel, IDC_CHECK_AUTO_REFRESH);
    EXPECT_EQ(m_panel.m_bAutoRefresh, FALSE);

    WindowsFixture second;
    ASSERT_TRUE(second.Start(m_exe, {"t=VkAfter"}));
    const HWND before = first.Window(0);
    first.Kill();
    Tick(m_panel);
    EXPECT_EQ(m_panel.m_listCtrl.GetItemCount(), 1);
    EXPECT_EQ(RowOf(m_panel, before), 0) << "the list stays as it was";
    ASSERT_EQ(m_panel.m_items.size(), 1u);
    EXPECT_EQ(m_panel.m_items[0].m_hWnd, before);

    // Ticked again: the timer, still running every 3000 ms, brings it up to date.
    m_panel.m_chkAutoRefresh.SetCheck(BST_CHECKED);
    ClickButton(m_panel, IDC_CHECK_AUTO_REFRESH);
    EXPECT_EQ(m_panel.m_bAutoRefresh, TRUE);
    EXPECT_TRUE(WaitFor([&] { return RowOf(m_panel, second.Window(0)) == 0; }, 6000));
    EXPECT_EQ(m_panel.m_listCtrl.GetItemCount(), 1);
}

TEST_F(WinListPanel, CommandsWithoutAMarkAskForASelection)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkUnmarked"}));
    RecordingListener listener;
    m_panel.m_pListener = &listener;
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    ASSERT_EQ(m_panel.m_listCtrl.GetItemCount(), 1);
    ASSERT_EQ(Mark(m_panel), -1);

    MessageBoxSeam boxes;
    ClickButton(m_panel, IDC_BUTTON_WINLIST_REGISTER);
    ClickButton(m_panel, IDC_BUTTON_BRING_TO_FRONT);
    ClickButton(m_panel, IDC_BUTTON_CLOSE_APP);
    ClickList(m_panel);
    ASSERT_EQ(boxes.Calls().size(), 4u);
    for (const MessageBoxCall& call : boxes.Calls()) {
        EXPECT_EQ(call.text, kSelectProgram);
        EXPECT_EQ(call.type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    }
    EXPECT_TRUE(listener.m_items.empty());
    EXPECT_TRUE(::IsWindow(app.Window(0)));
    EXPECT_EQ(m_panel.m_nBitmapWidth, 0) << "no preview";
}

TEST_F(WinListPanel, CommandsActOnTheMarkedWindow)
{
    WindowsFixture lower, upper;
    ASSERT_TRUE(lower.Start(m_exe, {"t=VkLowerWindow"}));
    ASSERT_TRUE(upper.Start(m_exe, {"t=VkUpperWindow"}));
    RecordingListener listener;
    m_panel.m_pListener = &listener;
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    const HWND lowerWindow = lower.Window(0);
    const HWND upperWindow = upper.Window(0);
    ASSERT_LT(ZOrder(upperWindow), ZOrder(lowerWindow));

    MessageBoxSeam boxes;
    // Register: the listener gets a copy of the item.
    MarkRow(m_panel, RowOf(m_panel, lowerWindow));
    ClickButton(m_panel, IDC_BUTTON_WINLIST_REGISTER);
    ASSERT_EQ(listener.m_items.size(), 1u);
    EXPECT_EQ(listener.m_items[0].m_hWnd, lowerWindow);
    EXPECT_EQ(listener.m_items[0].m_dwProcessId, lower.Id());
    EXPECT_EQ(listener.m_items[0].m_strTitle, "VkLowerWindow");
    EXPECT_EQ(listener.m_items[0].m_strProgramName, "vk_windows.exe");
    EXPECT_EQ(listener.m_items[0].m_strProgramPath, m_exe.c_str());

    // Bring to front: above the window that was above it.
    ClickButton(m_panel, IDC_BUTTON_BRING_TO_FRONT);
    EXPECT_TRUE(WaitFor([&] { return ZOrder(lowerWindow) < ZOrder(upperWindow); }, 3000));

    // Close: the window gets WM_CLOSE and goes, without a question; the list
    // shows it at the next refresh.
    MarkRow(m_panel, RowOf(m_panel, upperWindow));
    ClickButton(m_panel, IDC_BUTTON_CLOSE_APP);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(upperWindow); }, 5000));
    EXPECT_TRUE(upper.WaitGone(5000)) << "its last window closed, so the fixture ended";
    EXPECT_GE(RowOf(m_panel, upperWindow), 0);
    EXPECT_TRUE(boxes.Calls().empty());

    // Its window gone since the refresh: bring to front and close do nothing,
    // register still hands over the item.
    ClickButton(m_panel, IDC_BUTTON_BRING_TO_FRONT);
    ClickButton(m_panel, IDC_BUTTON_CLOSE_APP);
    ClickButton(m_panel, IDC_BUTTON_WINLIST_REGISTER);
    ASSERT_EQ(listener.m_items.size(), 2u);
    EXPECT_EQ(listener.m_items[1].m_strTitle, "VkUpperWindow");
    EXPECT_TRUE(boxes.Calls().empty());

    // Without a listener, register does nothing.
    m_panel.m_pListener = nullptr;
    ClickButton(m_panel, IDC_BUTTON_WINLIST_REGISTER);
    EXPECT_EQ(listener.m_items.size(), 2u);
    EXPECT_TRUE(::IsWindow(lowerWindow));
}
