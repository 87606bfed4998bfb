// The preview of the marked window. Wine composes nothing, so the capture
// runs on the real platform; the live thumbnail runs on a table of our own
// put in place of the window manager's binding.
#include "AfxMessageBox.h"
#include "DwmBinding.h"
#include "WinListIds.h"
#include "WinListTest.h"
#include "WindowCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <sstream>

namespace {

const std::uint32_t kGrey = 0xA0A0A0;

bool OnScreen(const RECT& rect)
{
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT common{};
    return ::IntersectRect(&common, &rect, &screen) != FALSE;
}
const char kLayerQuestion[] = "レイヤー情報が取得できません。レイヤーパラメータが失われますが続行しますか?";

// Repaints the panel now and reads what the screen shows of it.
ClientPixels Painted(CWinListDlg& panel)
{
    panel.Invalidate(TRUE);
    panel.UpdateWindow();
    return ClientPixels(panel.m_hWnd);
}

// A window of this process: Wine's capture draws it, while a window of
// another process comes out black (Wine sends the capture's device context
// to the other process, where it means nothing). It notes every state in
// which it could be seen.
class OwnWindow {
public:
    OwnWindow(int width, int height, COLORREF colour, int x = 700, int y = 600, DWORD exStyle = 0)
        : m_brush(::CreateSolidBrush(colour))
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &OwnWindow::Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VkOwnPreviewWindow";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(exStyle | WS_EX_NOACTIVATE, wc.lpszClassName, "own", WS_POPUP | WS_SYSMENU, x, y, width, height,
                                   nullptr, nullptr, wc.hInstance, this);
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    ~OwnWindow()
    {
        ::DestroyWindow(m_hWnd);
        ::DeleteObject(m_brush);
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    HWND Get() const { return m_hWnd; }

    std::vector<std::string> m_seen;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<OwnWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (message == WM_ERASEBKGND && self != nullptr) {
            RECT client{};
            ::GetClientRect(hwnd, &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, self->m_brush);
            return 1;
        }
        if (message == WM_WINDOWPOSCHANGED && self != nullptr) {
            const std::string state = StateOf(hwnd);
            if (!state.empty())
                self->m_seen.push_back(state);
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    // "" unless shown, not minimised, on the screen and not fully transparent.
    static std::string StateOf(HWND hwnd)
    {
        RECT rect{};
        ::GetWindowRect(hwnd, &rect);
        COLORREF key = 0;
        BYTE alpha = 255;
        DWORD flags = 0;
        const bool layered = (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
                             ::GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) && (flags & LWA_ALPHA);
        const bool seen = ::IsWindowVisible(hwnd) && !::IsIconic(hwnd) && OnScreen(rect) && !(layered && alpha == 0);
        return seen ? "seen at " + std::to_string(rect.left) + "," + std::to_string(rect.top) : std::string();
    }

    HBRUSH m_brush;
    HWND m_hWnd;
};

std::string Text(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

struct Placement {
    bool iconic;
    RECT normal;
    LONG exStyle;
};

Placement PlacementOf(HWND hwnd)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(hwnd, &placement);
    return {::IsIconic(hwnd) != FALSE, placement.rcNormalPosition, ::GetWindowLongA(hwnd, GWL_EXSTYLE)};
}

// The fixture's log lines (see its source) of states in which a window
// could be seen: shown, not minimised, on the screen, not fully transparent.
std::vector<std::string> SeenStates(const std::string& log)
{
    std::vector<std::string> seen;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string pos, text;
        int visible = 0, iconic = 0, x = 0, y = 0, w = 0, h = 0, layered = 0, alpha = 0;
        fields >> pos >> text >> visible >> iconic >> x >> y >> w >> h >> layered >> alpha;
        if (visible && !iconic && OnScreen(RECT{x, y, x + w, y + h}) && !(layered && alpha == 0))
            seen.push_back(line);
    }
    return seen;
}

// A pixel of the panel's captured image (0xRRGGBB).
COLORREF BitmapPixel(CWinListDlg& panel, int x, int y)
{
    const HDC memory = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ former = ::SelectObject(memory, panel.m_bitmap);
    const COLORREF pixel = ::GetPixel(memory, x, y);
    ::SelectObject(memory, former);
    ::DeleteDC(memory);
    return (GetRValue(pixel) << 16) | (GetGValue(pixel) << 8) | GetBValue(pixel);
}

// The preview area is placed for the program's own dialog font, whose
// dialog units are 7 pixels wide; Wine's stand-in font makes them 6, and
// the panel would end at x 383, inside the area. The panel is given the
// width it has with the program's font.
void Widen(CWinListDlg& panel)
{
    RECT rect{};
    panel.GetWindowRect(&rect);
    panel.SetWindowPos(nullptr, 0, 0, 255 * 7 / 4 + 4, rect.bottom - rect.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A window-manager table that composes and counts its thumbnails.
struct FakeDwm {
    static inline HRESULT composition = S_OK;
    static inline BOOL composing = TRUE;
    static inline HRESULT registration = S_OK;
    static inline int registered = 0;
    static inline int released = 0;
    static inline int updates = 0;
    static inline std::set<HTHUMBNAIL> live;
    static inline HWND destination = nullptr;
    static inline HWND source = nullptr;
    static inline HTHUMBNAIL updated = nullptr;
    static inline DWM_THUMBNAIL_PROPERTIES properties{};

    static void Reset()
    {
        composition = S_OK;
        composing = TRUE;
        registration = S_OK;
        registered = released = updates = 0;
        live.clear();
        destination = source = nullptr;
        updated = nullptr;
        properties = DWM_THUMBNAIL_PROPERTIES{};
    }
    static HRESULT WINAPI IsCompositionEnabled(BOOL* enabled)
    {
        *enabled = composing;
        return composition;
    }
    static HRESULT WINAPI RegisterThumbnail(HWND to, HWND from, PHTHUMBNAIL thumbnail)
    {
        if (FAILED(registration))
            return registration;
        destination = to;
        source = from;
        *thumbnail = reinterpret_cast<HTHUMBNAIL>(static_cast<UINT_PTR>(0x1000 + ++registered));
        live.insert(*thumbnail);
        return S_OK;
    }
    static HRESULT WINAPI UpdateThumbnailProperties(HTHUMBNAIL thumbnail, const DWM_THUMBNAIL_PROPERTIES* p)
    {
        ++updates;
        updated = thumbnail;
        properties = *p;
        return S_OK;
    }
    static HRESULT WINAPI UnregisterThumbnail(HTHUMBNAIL thumbnail)
    {
        ++released;
        return live.erase(thumbnail) == 1 ? S_OK : E_INVALIDARG;
    }
    static DwmCalls Table()
    {
        return {&IsCompositionEnabled, &UpdateThumbnailProperties, &RegisterThumbnail, &UnregisterThumbnail,
                nullptr};
    }
};


// Ends a process that the test still waits on after the time: a call that
// waits on its windows then returns, and Fired() tells that one did.
class Watchdog {
public:
    Watchdog(DWORD processId, DWORD timeoutMs)
        : m_process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId)),
          m_stop(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          m_timeoutMs(timeoutMs)
    {
        m_thread = ::CreateThread(nullptr, 0, &Watchdog::Watch, this, 0, nullptr);
    }
    ~Watchdog()
    {
        ::SetEvent(m_stop);
        ::WaitForSingleObject(m_thread, INFINITE);
        ::CloseHandle(m_thread);
        ::CloseHandle(m_stop);
        ::CloseHandle(m_process);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    bool Fired() const { return ::InterlockedCompareExchange(&m_fired, 0, 0) != 0; }

private:
    static DWORD WINAPI Watch(LPVOID parameter)
    {
        auto* self = static_cast<Watchdog*>(parameter);
        if (::WaitForSingleObject(self->m_stop, self->m_timeoutMs) == WAIT_TIMEOUT) {
            ::InterlockedExchange(&self->m_fired, 1);
            ::TerminateProcess(self->m_process, 1);
        }
        return 0;
    }

    HANDLE m_process;
    HANDLE m_stop;
    DWORD m_timeoutMs;
    HANDLE m_thread = nullptr;
    mutable LONG m_fired = 0;
};

// Counts the ticks of a timer of this thread, as the launcher's run tick is.
class ThreadTicks {
public:
    ThreadTicks() : m_id(::SetTimer(nullptr, 0, 100, &ThreadTicks::Tick)) { s_ticks = 0; }
    ~ThreadTicks() { ::KillTimer(nullptr, m_id); }
    ThreadTicks(const ThreadTicks&) = delete;
    ThreadTicks& operator=(const ThreadTicks&) = delete;
    int Count() const { return s_ticks; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ++s_ticks; }
    static inline int s_ticks = 0;
    UINT_PTR m_id;
};

}  // namespace

class WindowPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        m_exe = PutFixture(m_medium, "\\apps\\vk_windows.exe");
    }
    // Marks the window's row and clicks the list, as the user does.
    void Preview(HWND hwnd)
    {
        const int row = RowOf(m_panel, hwnd);
        ASSERT_GE(row, 0);
        MarkRow(m_panel, row);
        ClickList(m_panel);
    }

    TestMedium m_medium;
    std::string m_exe;
    PanelHost m_host;
    CWinListDlg m_panel;
};

TEST_F(WindowPreview, CapturedImageIsPaintedScaledDownIntoThePreviewArea)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkWide,w=280,h=100,x=600,y=300", "t=VkTall,w=100,h=160,x=600,y=420",
                                  "t=VkBoth,w=280,h=160,x=720,y=420", "t=VkSmall,w=100,h=60,x=900,y=300"}));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Widen(m_panel);
    Tick(m_panel);
    ASSERT_EQ(m_panel.m_listCtrl.GetItemCount(), 4);
    EXPECT_EQ(Text(m_panel.m_rcPreview), "304,30,444,110");

    struct Case {
        int window;
        int width, height;
        int paintedWidth, paintedHeight;
    };
    const Case cases[] = {{0, 280, 100, 140, 50}, {1, 100, 160, 50, 80}, {2, 280, 160, 140, 80}, {3, 100, 60, 100, 60}};
    for (const Case& c : cases) {
        Preview(app.Window(c.window));
        EXPECT_EQ(m_panel.m_nBitmapWidth, c.width);
        EXPECT_EQ(m_panel.m_nBitmapHeight, c.height);
        const ClientPixels pixels = Painted(m_panel);
        // The picture at the area's top-left corner; the rest is the panel's grey.
        EXPECT_NE(pixels.At(304, 30), kGrey);
        const SIZE block = pixels.BlockAt(304, 30);
        EXPECT_EQ(block.cx, c.paintedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(block.cy, c.paintedHeight) << c.width << "x" << c.height;
        EXPECT_EQ(pixels.At(303, 30), kGrey);
        EXPECT_EQ(pixels.At(304, 29), kGrey);
        if (c.paintedWidth < 140) {
            EXPECT_EQ(pixels.At(304 + c.paintedWidth, 30), kGrey);
        }
        if (c.paintedHeight < 80) {
            EXPECT_EQ(pixels.At(304, 30 + c.paintedHeight), kGrey);
        }
    }
    SaveShot(m_host.Wnd()->m_hWnd, "panel-capture-fixture.bmp");

    // The content of a window this process can draw: scaled with its colour.
    OwnWindow red(280, 100, RGB(255, 0, 0));
    m_panel.ShowPreview(red.Get());
    const ClientPixels pixels = Painted(m_panel);
    EXPECT_EQ(pixels.At(304, 30), 0xFF0000u);
    EXPECT_EQ(pixels.BlockAt(304, 30).cx, 140);
    EXPECT_EQ(pixels.BlockAt(304, 30).cy, 50);
    SaveShot(m_host.Wnd()->m_hWnd, "panel-capture-own.bmp");

    // A window that has closed: the capture returns at once, and the picture
    // of the window before does not stay under its row.
    const HWND gone = app.Window(3);
    const int row = RowOf(m_panel, gone);
    app.Kill();
    MarkRow(m_panel, row);
    ClickList(m_panel);
    EXPECT_EQ(m_panel.m_nBitmapWidth, 0);
    EXPECT_EQ(Painted(m_panel).At(304, 30), kGrey);

    // The selection lost in a refresh: the image is no longer painted.
    m_panel.ShowPreview(red.Get());
    ASSERT_EQ(Painted(m_panel).At(304, 30), 0xFF0000u);
    Tick(m_panel);
    ASSERT_EQ(Mark(m_panel), -1);
    EXPECT_EQ(m_panel.m_nBitmapWidth, 280);
    EXPECT_EQ(Painted(m_panel).At(304, 30), kGrey);
}

TEST_F(WindowPreview, MinimisedWindowOfThisProcessIsCapturedUnseenAndMinimisedAgainInItsPlace)
{
    OwnWindow plain(220, 90, RGB(255, 0, 0), 620, 340);
    OwnWindow layered(90, 60, RGB(255, 0, 255), 640, 360, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(layered.Get(), 0x123456, 200, LWA_ALPHA | LWA_COLORKEY);
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));

    struct Case {
        OwnWindow* window;
        COLORREF colour;
        RECT normal;
    };
    const Case cases[] = {{&plain, 0xFF0000, {620, 340, 840, 430}}, {&layered, 0xFF00FF, {640, 360, 730, 420}}};
    MessageBoxSeam boxes;
    for (const Case& c : cases) {
        const HWND hwnd = c.window->Get();
        ::ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
        const Placement before = PlacementOf(hwnd);
        ASSERT_TRUE(before.iconic);
        ASSERT_EQ(Text(before.normal), Text(c.normal));
        c.window->m_seen.clear();

        m_panel.CaptureWindowImage(hwnd);
        // Captured at its normal size and drawn, so it was restored for the moment.
        EXPECT_EQ(m_panel.m_nBitmapWidth, c.normal.right - c.normal.left);
        EXPECT_EQ(m_panel.m_nBitmapHeight, c.normal.bottom - c.normal.top);
        EXPECT_EQ(BitmapPixel(m_panel, 5, 5), c.colour);
        EXPECT_EQ(c.window->m_seen, std::vector<std::string>{}) << "never on the screen";
        const Placement after = PlacementOf(hwnd);
        EXPECT_TRUE(after.iconic);
        EXPECT_EQ(Text(after.normal), Text(before.normal));
        EXPECT_EQ(after.exStyle, before.exStyle);
    }
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(layered.Get(), &key, &alpha, &flags));
    EXPECT_EQ(key, 0x123456u);
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA | LWA_COLORKEY));
    EXPECT_TRUE(boxes.Calls().empty());
}

// Wine's GetWindowPlacement knows no normal position of another process's
// window (it answers the current rectangle, here its minimised one): the
// fixture's windows are restored at the end to show where they were put back.
TEST_F(WindowPreview, MinimisedFixtureWindowIsCapturedUnseenAndMinimisedAgain)
{
    TempFolder logs;
    const std::string log = logs / "positions.log";
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe,
                          {"t=VkMinPlain,min,x=620,y=340,w=220,h=90", "t=VkMinLayered,min,x=640,y=360,w=90,h=60,alpha=200",
                           "t=VkMinUnreadable,min,x=660,y=380,w=130,h=70,layered"},
                          log));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    ASSERT_EQ(m_panel.m_listCtrl.GetItemCount(), 3) << "minimised windows are listed";

    MessageBoxSeam boxes;
    for (const int i : {0, 1}) {
        const HWND hwnd = app.Window(i);
        const LONG exStyle = ::GetWindowLongA(hwnd, GWL_EXSTYLE);
        const std::size_t logged = ReadBytes(log).size();
        Preview(hwnd);
        EXPECT_GT(ReadBytes(log).size(), logged) << "it was restored for the moment";
        EXPECT_EQ(SeenStates(ReadBytes(log).substr(logged)), std::vector<std::string>{}) << i;
        EXPECT_TRUE(::IsIconic(hwnd)) << i;
        EXPECT_EQ(::GetWindowLongA(hwnd, GWL_EXSTYLE), exStyle) << i;
    }
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(app.Window(1), &key, &alpha, &flags));
    EXPECT_EQ(key, 0x123456u);
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA | LWA_COLORKEY));
    EXPECT_TRUE(boxes.Calls().empty());

    // Layered, but its attributes cannot be read: the question; No leaves
    // the window alone and the preview empty.
    const HWND unreadable = app.Window(2);
    ASSERT_GT(m_panel.m_nBitmapWidth, 0);
    const std::string logBefore = ReadBytes(log);
    boxes.Answer({IDNO});
    Preview(unreadable);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, kLayerQuestion);
    EXPECT_EQ(boxes.Calls()[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(m_panel.m_nBitmapWidth, 0) << "no picture of the window before";
    EXPECT_EQ(ReadBytes(log), logBefore) << "the window was not touched";
    EXPECT_TRUE(::IsIconic(unreadable));
    EXPECT_FALSE(::GetLayeredWindowAttributes(unreadable, &key, &alpha, &flags));

    // Yes captures it; it ends with the preset attributes: white colour key,
    // no flags (Wine keeps no alpha without LWA_ALPHA).
    boxes.Answer({IDYES});
    Preview(unreadable);
    EXPECT_EQ(boxes.Calls().size(), 2u);
    EXPECT_GT(ReadBytes(log).size(), logBefore.size());
    EXPECT_EQ(SeenStates(ReadBytes(log).substr(logBefore.size())), std::vector<std::string>{});
    EXPECT_TRUE(::IsIconic(unreadable));
    ASSERT_TRUE(::GetLayeredWindowAttributes(unreadable, &key, &alpha, &flags));
    EXPECT_EQ(key, 0xFFFFFFu);
    EXPECT_EQ(flags, 0u);

    // Restored by their user, they come back where they were minimised from.
    const char* const places[] = {"620,340,840,430", "640,360,730,420", "660,380,790,450"};
    for (const int i : {0, 1, 2}) {
        ::ShowWindow(app.Window(i), SW_SHOWNOACTIVATE);
        RECT rect{};
        ::GetWindowRect(app.Window(i), &rect);
        EXPECT_EQ(Text(rect), places[i]) << i;
    }
}

TEST_F(WindowPreview, PictureFollowsTheWindowManagersAnswer)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkChoice,w=120,h=40"}));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);

    struct Case {
        const char* what;
        bool bound;  // the call is there; else the wrapper reports -1
        HRESULT status;
        BOOL composing;
        bool thumbnail;
        bool captured;
    };
    const Case cases[] = {
        {"composing", true, S_OK, TRUE, true, false},
        {"not composing", true, S_OK, FALSE, false, true},
        {"no window manager", false, S_OK, TRUE, false, true},
        {"the question fails", true, E_FAIL, TRUE, false, false},
    };
    for (const Case& c : cases) {
        FakeDwm::Reset();
        FakeDwm::composition = c.status;
        FakeDwm::composing = c.composing;
        DwmCalls table = FakeDwm::Table();
        if (!c.bound)
            table.isCompositionEnabled = nullptr;
        ScopedDwmBinding binding(table);
        m_panel.m_nBitmapWidth = 0;
        Preview(app.Window(0));
        EXPECT_EQ(FakeDwm::registered, c.thumbnail ? 1 : 0) << c.what;
        EXPECT_EQ(m_panel.m_nBitmapWidth, c.captured ? 120 : 0) << c.what;
        m_panel.UnregisterThumbnail();
    }
}

TEST_F(WindowPreview, AtMostOneThumbnailReplacedOnTheNextClickReleasedWithTheWindow)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkThumbA", "t=VkThumbB"}));
    FakeDwm::Reset();
    ScopedDwmBinding binding(FakeDwm::Table());
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    // Where the main dialog's layout puts the panel, not at the parent's corner.
    m_panel.SetWindowPos(nullptr, 12, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Tick(m_panel);

    Preview(app.Window(0));
    EXPECT_EQ(FakeDwm::registered, 1);
    EXPECT_EQ(FakeDwm::live.size(), 1u);
    EXPECT_EQ(FakeDwm::destination, m_host.Wnd()->m_hWnd) << "drawn by the panel's parent";
    EXPECT_EQ(FakeDwm::source, app.Window(0));
    EXPECT_EQ(FakeDwm::updated, m_panel.m_hThumbnail);
    EXPECT_EQ(FakeDwm::properties.dwFlags, 0x1Du);
    EXPECT_EQ(Text(FakeDwm::properties.rcDestination), "316,37,456,117");
    EXPECT_EQ(FakeDwm::properties.opacity, 255);
    EXPECT_TRUE(FakeDwm::properties.fVisible);
    EXPECT_FALSE(FakeDwm::properties.fSourceClientAreaOnly);
    EXPECT_EQ(m_panel.m_nBitmapWidth, 0) << "nothing captured";

    // The next click replaces it: the first is released before the second is made.
    const HTHUMBNAIL first = m_panel.m_hThumbnail;
    Preview(app.Window(1));
    EXPECT_EQ(FakeDwm::registered, 2);
    EXPECT_EQ(FakeDwm::released, 1);
    EXPECT_EQ(FakeDwm::live.size(), 1u);
    EXPECT_EQ(FakeDwm::live.count(first), 0u);
    EXPECT_EQ(FakeDwm::source, app.Window(1));

    // The list lost its selection: the thumbnail stays until the panel goes.
    app.Kill();
    Tick(m_panel);
    EXPECT_EQ(FakeDwm::live.size(), 1u);
    m_panel.DestroyWindow();
    EXPECT_EQ(FakeDwm::released, 2);
    EXPECT_TRUE(FakeDwm::live.empty());
    EXPECT_EQ(m_panel.m_hThumbnail, nullptr);
}

TEST_F(WindowPreview, FailedRegistrationLeavesNoThumbnailToRelease)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkNoThumb"}));
    FakeDwm::Reset();
    FakeDwm::registration = E_FAIL;
    ScopedDwmBinding binding(FakeDwm::Table());
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    Preview(app.Window(0));
    EXPECT_EQ(m_panel.m_hThumbnail, nullptr);
    EXPECT_EQ(FakeDwm::updates, 0);
    m_panel.DestroyWindow();
    EXPECT_EQ(FakeDwm::released, 0);
}

// A program that has stopped taking messages: its shown window is taken from
// the screen, its minimised one is left alone with an empty preview, bring to front does not wait
// on it, and this thread's timers and the panel's refresh go on.
TEST_F(WindowPreview, HungProgramHoldsNeitherThePanelNorTheTimers)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkHungShown,w=120,h=80,x=560,y=320,color=C00000,hang",
                                  "t=VkHungMin,min,x=800,y=340,w=220,h=90"}));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    ASSERT_EQ(m_panel.m_listCtrl.GetItemCount(), 2);
    const HWND shown = app.Window(0);
    const HWND minimised = app.Window(1);
    ThreadTicks ticks;
    MessageBoxSeam boxes;
    Watchdog watchdog(app.Id(), 20000);

    Preview(shown);
    EXPECT_EQ(m_panel.m_nBitmapWidth, 120);
    EXPECT_EQ(m_panel.m_nBitmapHeight, 80);
    EXPECT_EQ(BitmapPixel(m_panel, 60, 40), 0xC00000u) << "what the screen shows of it";

    // Its minimised one shows nothing, not the other's picture.
    Preview(minimised);
    EXPECT_EQ(m_panel.m_nBitmapWidth, 0);
    EXPECT_EQ(Painted(m_panel).At(304, 30), kGrey);
    EXPECT_TRUE(::IsIconic(minimised));

    MarkRow(m_panel, RowOf(m_panel, shown));
    ClickButton(m_panel, IDC_BUTTON_BRING_TO_FRONT);

    const int counted = ticks.Count();
    EXPECT_TRUE(WaitFor([&] { return ticks.Count() >= counted + 3; }, 5000));
    m_panel.m_items.clear();
    EXPECT_TRUE(WaitFor([&] { return m_panel.m_items.size() == 2; }, 10000)) << "the panel's own refresh";
    EXPECT_FALSE(watchdog.Fired()) << "a call waited on the hung program until it was ended";
    EXPECT_TRUE(boxes.Calls().empty());
}

// The question about a minimised layered window leaves the window the time
// to close or to be restored; what was read before it is not acted on then.
TEST_F(WindowPreview, WindowChangedDuringTheLayerQuestionIsLeftAlone)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkRestored,min,x=620,y=340,w=130,h=70,layered",
                                  "t=VkClosed,min,x=660,y=380,w=130,h=70,layered", "t=VkFirst,w=90,h=50"}));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    ASSERT_EQ(m_panel.m_listCtrl.GetItemCount(), 3);

    const HWND restored = app.Window(0);
    const HWND closed = app.Window(1);
    struct Case {
        const char* what;
        HWND window;
        std::function<void()> meanwhile;
    };
    const Case cases[] = {
        {"restored", restored, [&] { ::ShowWindow(restored, SW_SHOWNOACTIVATE); }},
        {"closed", closed,
         [&] {
             ::PostMessageA(closed, WM_CLOSE, 0, 0);
             WaitFor([&] { return !::IsWindow(closed); }, 5000);
         }},
    };
    for (const Case& c : cases) {
        Preview(app.Window(2));
        ASSERT_EQ(m_panel.m_nBitmapWidth, 90);
        MessageBoxSeam boxes([&](const MessageBoxCall&) {
            c.meanwhile();
            return IDYES;
        });
        Preview(c.window);
        ASSERT_EQ(boxes.Calls().size(), 1u) << c.what;
        EXPECT_EQ(boxes.Calls()[0].text, kLayerQuestion);
        EXPECT_EQ(m_panel.m_nBitmapWidth, 0) << c.what << ": nothing captured, no picture of the window before";
    }
    // The restored window stays where its user put it: shown, not moved
    // away, not made transparent.
    EXPECT_FALSE(::IsIconic(restored));
    RECT rect{};
    ::GetWindowRect(restored, &rect);
    EXPECT_EQ(Text(rect), "620,340,750,410");
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_FALSE(::GetLayeredWindowAttributes(restored, &key, &alpha, &flags));
}

// A window that answers the first question and then hangs while it draws.
// Wine delivers no WM_PRINT to another process, so the window is one of
// another thread of this process, which takes messages until it draws. One
// that answers while it hangs waits as a window does that sends to another
// that hangs: it still handles what is sent to it, more drawing too.
class DrawingHangs {
public:
    explicit DrawingHangs(bool answersWhileHung = false) : m_release(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        s_answers = answersWhileHung;
        m_thread = ::CreateThread(nullptr, 0, &DrawingHangs::Run, this, 0, nullptr);
        WaitFor([&] { return Get() != nullptr; }, 5000);
    }
    ~DrawingHangs()
    {
        ::SetEvent(m_release);
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(m_thread, 10000);
        ::CloseHandle(m_thread);
        ::CloseHandle(m_release);
    }
    DrawingHangs(const DrawingHangs&) = delete;
    DrawingHangs& operator=(const DrawingHangs&) = delete;
    HWND Get() const { return m_hWnd; }
    void Release() { ::SetEvent(m_release); }
    LONG Prints() const { return ::InterlockedCompareExchange(&s_prints, 0, 0); }
    bool TimedOut() const { return ::InterlockedCompareExchange(&s_timedOut, 0, 0) != 0; }

private:
    static DWORD WINAPI Run(LPVOID parameter)
    {
        auto* self = static_cast<DrawingHangs*>(parameter);
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DrawingHangs::Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VkDrawingHangs";
        ::RegisterClassA(&wc);
        s_release = self->m_release;
        const HWND hwnd = ::CreateWindowExA(WS_EX_NOACTIVATE, wc.lpszClassName, "drawing", WS_POPUP | WS_SYSMENU,
                                            560, 450, 90, 50, nullptr, nullptr, wc.hInstance, nullptr);
        self->m_hWnd = hwnd;
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
        return 0;
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_PRINT) {
            ::InterlockedIncrement(&s_prints);
            // Released by the test, or by the time when the capture waited
            // for it that long.
            if (!Wait(20000))
                ::InterlockedExchange(&s_timedOut, 1);
            return 0;
        }
        if (message == WM_CLOSE) {
            ::DestroyWindow(hwnd);
            ::PostQuitMessage(0);
            return 0;
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }

    static bool Wait(DWORD timeoutMs)
    {
        if (!s_answers)
            return ::WaitForSingleObject(s_release, timeoutMs) == WAIT_OBJECT_0;
        const ULONGLONG end = ::GetTickCount64() + timeoutMs;
        for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
            const DWORD woken =
                ::MsgWaitForMultipleObjects(1, &s_release, FALSE, static_cast<DWORD>(end - now), QS_SENDMESSAGE);
            if (woken == WAIT_OBJECT_0)
                return true;
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        return false;
    }

    static inline bool s_answers = false;
    static inline HANDLE s_release = nullptr;
    static inline LONG s_prints = 0;
    static inline LONG s_timedOut = 0;
    HANDLE m_release;
    HANDLE m_thread = nullptr;
    std::atomic<HWND> m_hWnd{nullptr};
};

TEST_F(WindowPreview, CaptureOfAWindowThatHangsWhileItDrawsIsGivenUp)
{
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    OwnWindow first(90, 50, RGB(255, 0, 0), 700, 450);
    m_panel.CaptureWindowImage(first.Get());
    ASSERT_EQ(m_panel.m_nBitmapWidth, 90);

    DrawingHangs drawing;
    ASSERT_NE(drawing.Get(), nullptr);
    ThreadTicks ticks;
    OwnWindow second(60, 40, RGB(0, 0, 255), 700, 520);
    m_panel.CaptureWindowImage(drawing.Get());
    EXPECT_EQ(drawing.Prints(), 1) << "it was asked to draw";
    EXPECT_FALSE(drawing.TimedOut()) << "the capture waited on the window";
    EXPECT_EQ(m_panel.m_nBitmapWidth, 0) << "no picture of the window before";
    EXPECT_EQ(m_panel.m_bitmap.GetSafeHandle(), nullptr);

    // This thread goes on: its timers, and the next capture.
    const int counted = ticks.Count();
    EXPECT_TRUE(WaitFor([&] { return ticks.Count() >= counted + 3; }, 5000));
    m_panel.CaptureWindowImage(second.Get());
    EXPECT_EQ(m_panel.m_nBitmapWidth, 60);
    EXPECT_EQ(BitmapPixel(m_panel, 5, 5), 0x0000FFu);
}

// A window that keeps answering while it hangs in its drawing: the capture
// left in it is the only one, and clicks on it start no other.
TEST_F(WindowPreview, AWindowThatHoldsACaptureGetsNoOtherUntilItHasDrawn)
{
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    OwnWindow first(90, 50, RGB(255, 0, 0), 700, 450);
    m_panel.CaptureWindowImage(first.Get());
    ASSERT_EQ(m_panel.m_nBitmapWidth, 90);

    DrawingHangs drawing(true);
    ASSERT_NE(drawing.Get(), nullptr);
    OwnWindow second(60, 40, RGB(0, 0, 255), 700, 520);
    m_panel.CaptureWindowImage(drawing.Get());
    ASSERT_EQ(drawing.Prints(), 1);
    EXPECT_EQ(StuckCapture(), drawing.Get());

    // Another window meanwhile is taken from the screen, asking the hung one nothing.
    m_panel.CaptureWindowImage(second.Get());
    EXPECT_EQ(m_panel.m_nBitmapWidth, 60);
    EXPECT_EQ(BitmapPixel(m_panel, 5, 5), 0x0000FFu);
    EXPECT_EQ(drawing.Prints(), 1);

    // No capture for the window that holds one, and no picture of another.
    const ULONGLONG start = ::GetTickCount64();
    for (int click = 0; click < 3; ++click) {
        m_panel.CaptureWindowImage(second.Get());
        ASSERT_EQ(m_panel.m_nBitmapWidth, 60);
        m_panel.CaptureWindowImage(drawing.Get());
        EXPECT_EQ(m_panel.m_nBitmapWidth, 0) << click;
    }
    EXPECT_EQ(drawing.Prints(), 1) << "another capture asked it to draw";
    EXPECT_LT(::GetTickCount64() - start, 1000u) << "the window was waited for";

    // Once it has drawn, its capture has ended and it can be captured again.
    drawing.Release();
    EXPECT_TRUE(WaitFor([] { return StuckCapture() == nullptr; }, 5000));
    m_panel.CaptureWindowImage(drawing.Get());
    EXPECT_EQ(drawing.Prints(), 2);
    EXPECT_EQ(m_panel.m_nBitmapWidth, 90);
    EXPECT_FALSE(drawing.TimedOut());
}

// A capture held up in a listed window (minimised, it draws slowly once
// restored): neither that window nor a minimised other one, which cannot be
// captured meanwhile, shows the picture of the window selected before.
TEST_F(WindowPreview, NoOtherWindowsPictureWhereTheSelectedOneCannotBeCaptured)
{
    WindowsFixture app;
    ASSERT_TRUE(app.Start(m_exe, {"t=VkShown,w=120,h=80,x=560,y=320", "t=VkSlow,min,x=620,y=340,w=220,h=90,slow=8000",
                                  "t=VkOtherMin,min,x=660,y=380,w=130,h=70"}));
    const HWND shown = app.Window(0);
    const HWND slow = app.Window(1);
    const HWND other = app.Window(2);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(slow) && ::IsIconic(other); }));
    ASSERT_TRUE(m_host.Open(m_panel, m_medium.Drive()));
    Tick(m_panel);
    ASSERT_EQ(m_panel.m_listCtrl.GetItemCount(), 3);

    // What the preview shows of a window selected after the shown one.
    const auto afterShown = [&](HWND hwnd) {
        Preview(shown);
        EXPECT_NE(Painted(m_panel).At(304, 30), kGrey) << "the shown window's picture";
        Preview(hwnd);
        return Painted(m_panel).At(304, 30);
    };
    EXPECT_EQ(afterShown(slow), kGrey) << "the capture given up";
    ASSERT_EQ(StuckCapture(), slow);
    EXPECT_EQ(afterShown(slow), kGrey) << "the window that holds the capture";
    EXPECT_EQ(afterShown(other), kGrey) << "a minimised window while a capture hangs";
    EXPECT_TRUE(::IsIconic(other));

    // Once the slow window has drawn, its capture ends and minimises it again.
    EXPECT_TRUE(WaitFor([] { return StuckCapture() == nullptr; }, 15000));
    EXPECT_TRUE(::IsIconic(slow));
}

// A minimised window of another thread of this process that, once armed,
// stops taking messages at a given message of the capture (its n-th of that
// kind) until released, as a program does that hangs at that moment.
class HangsAt {
public:
    HangsAt() : m_release(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        m_thread = ::CreateThread(nullptr, 0, &HangsAt::Run, this, 0, nullptr);
        WaitFor([&] { return Get() != nullptr; }, 5000);
    }
    ~HangsAt()
    {
        ::SetEvent(m_release);
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(m_thread, 10000);
        ::CloseHandle(m_thread);
        ::CloseHandle(m_release);
    }
    HangsAt(const HangsAt&) = delete;
    HangsAt& operator=(const HangsAt&) = delete;
    HWND Get() const { return m_hWnd; }
    void Arm(UINT message, WPARAM wParam, int occurrence)
    {
        m_message = message;
        m_wParam = wParam;
        m_left = occurrence;
    }
    bool Hanging() const { return m_hanging; }
    void Release() { ::SetEvent(m_release); }

private:
    static DWORD WINAPI Run(LPVOID parameter)
    {
        auto* self = static_cast<HangsAt*>(parameter);
        WNDCLASSA wc{};
        wc.lpfnWndProc = &HangsAt::Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
        wc.lpszClassName = "VkHangsAt";
        ::RegisterClassA(&wc);
        const HWND hwnd = ::CreateWindowExA(WS_EX_NOACTIVATE, wc.lpszClassName, "hangs", WS_POPUP | WS_SYSMENU, 600,
                                            300, 150, 80, nullptr, nullptr, wc.hInstance, self);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ::ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
        self->m_hWnd = hwnd;
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
        return 0;
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<HangsAt*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self != nullptr && self->m_left > 0 && message == self->m_message && wParam == self->m_wParam &&
            --self->m_left == 0) {
            self->m_hanging = true;
            ::WaitForSingleObject(self->m_release, 20000);
        }
        if (message == WM_CLOSE) {
            ::DestroyWindow(hwnd);
            ::PostQuitMessage(0);
            return 0;
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }

    HANDLE m_release;
    HANDLE m_thread = nullptr;
    std::atomic<HWND> m_hWnd{nullptr};
    std::atomic<UINT> m_message{0};
    std::atomic<WPARAM> m_wParam{0};
    std::atomic<int> m_left{0};
    std::atomic<bool> m_hanging{false};
};

// The program ends while the capture of a minimised window hangs at one of
// its steps; the window answers afterwards. It is then minimised where it
// was, with its own style, and comes back at its normal place: what the end
// puts back is only what the capture had done and not yet undone itself.
TEST_F(WindowPreview, EndDuringAHungCapturePutsBackOnlyWhatTheCaptureHadDone)
{
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        int occurrence;
    };
    const Case cases[] = {
        {"restored, about to draw", WM_SETREDRAW, TRUE, 1},
        {"minimising again", WM_SYSCOMMAND, SC_MINIMIZE, 1},
        {"minimised again, about to draw", WM_SETREDRAW, TRUE, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HangsAt window;
        const HWND hwnd = window.Get();
        ASSERT_NE(hwnd, nullptr);
        ASSERT_TRUE(::IsIconic(hwnd));
        const Placement before = PlacementOf(hwnd);
        RECT minimised{};
        ::GetWindowRect(hwnd, &minimised);

        window.Arm(c.message, c.wParam, c.occurrence);
        WindowCaptureRequest request;
        request.window = hwnd;
        request.minimised = true;
        request.exStyle = before.exStyle;
        request.placement.length = sizeof request.placement;
        ::GetWindowPlacement(hwnd, &request.placement);
        WindowImage image;
        EXPECT_FALSE(CaptureWindowBounded(request, 100, &image));
        ASSERT_TRUE(WaitFor([&] { return window.Hanging(); }, 5000));
        ASSERT_EQ(StuckCapture(), hwnd);

        m_panel.FinishStuckCapture();
        window.Release();
        ASSERT_TRUE(WaitFor([] { return StuckCapture() == nullptr; }, 5000));
        // Everything queued to the window has been taken once it answers
        // with its own style.
        ASSERT_TRUE(WaitFor([&] { return ::GetWindowLongA(hwnd, GWL_EXSTYLE) == before.exStyle; }, 5000));
        DWORD_PTR answer = 0;
        ASSERT_NE(::SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer), 0);

        RECT after{};
        ::GetWindowRect(hwnd, &after);
        EXPECT_TRUE(::IsIconic(hwnd));
        EXPECT_EQ(Text(after), Text(minimised)) << "minimised in its place";
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        EXPECT_FALSE(::GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) && (flags & LWA_ALPHA) && alpha == 0);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ::GetWindowRect(hwnd, &after);
        EXPECT_EQ(Text(after), Text(before.normal)) << "restored at its place";
    }
}
