#include "CGlobalData.h"
#include "ControlsDialog.h"
#include "Dib.h"
#include "TestSupport.h"
#include "UxThemeBinding.h"

#include <gtest/gtest.h>


namespace {

HCURSOR Hand()
{
    return ::LoadCursorA(nullptr, IDC_HAND);
}

HCURSOR Arrow()
{
    return ::LoadCursorA(nullptr, IDC_ARROW);
}

// Moves the real cursor and lets the window manager catch up.
bool MoveCursor(POINT point)
{
    ::SetCursorPos(point.x, point.y);
    return WaitFor([&] {
        POINT now{};
        ::GetCursorPos(&now);
        return now.x == point.x && now.y == point.y;
    });
}

struct CursorAnswer {
    LRESULT result;
    HCURSOR cursor;
};

// WM_SETCURSOR as the system sends it for the pointer where it stands now.
CursorAnswer AskCursor(HWND control)
{
    POINT point{};
    ::GetCursorPos(&point);
    const LRESULT hit = ::SendMessageA(control, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    const LRESULT result = ::SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                                          MAKELPARAM(hit, WM_MOUSEMOVE));
    return {result, ::GetCursor()};
}

TEST(CButtonEx, HandShowsOnlyOverTheClientAreaOnceSet)
{
    ControlsDialog dialog;
    ASSERT_TRUE(dialog.Open());
    RECT window{};
    dialog.m_chk.GetWindowRect(&window);
    RECT client{};
    dialog.m_chk.GetClientRect(&client);
    dialog.m_chk.ClientToScreen(&client);
    ASSERT_GT(client.left, window.left) << "the check box needs a border";

    const POINT inside{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    const POINT border{window.left, window.top};
    const POINT lastInside{client.right - 1, client.bottom - 1};
    const POINT rightEdge{client.right, client.top + 1};
    struct Case {
        bool hand;
        POINT where;
        bool expectHand;
    } cases[] = {
        {false, inside, false},  {false, border, false},
        {true, inside, true},    {true, lastInside, true},
        {true, border, false},   {true, rightEdge, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hand " << c.hand << " at " << c.where.x << "," << c.where.y);
        if (c.hand)
            dialog.m_chk.SetMouseCursorHand();
        else
            dialog.m_chk.SetMouseCursor(nullptr);
        ASSERT_TRUE(MoveCursor(c.where));
        const CursorAnswer answer = AskCursor(dialog.m_chk);
        if (c.expectHand) {
            EXPECT_EQ(answer.cursor, Hand());
            EXPECT_EQ(answer.result, TRUE);
        } else {
            // Default processing: the class cursor, never the stored one.
            EXPECT_NE(answer.cursor, Hand());
            EXPECT_EQ(answer.cursor, Arrow());
        }
    }
}

TEST(CMFCButton, PushButtonsBecomeOwnerDrawnAndStillClick)
{
    ControlsDialog dialog;
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(dialog.m_btnThemed.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(dialog.m_btnHand.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    // The check box is no CMFCButton: the system still draws it.
    EXPECT_EQ(dialog.m_chk.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));

    // Drawn by the button itself, on the WM_DRAWITEM its parent reflects.
    ASSERT_FALSE(dialog.m_btnThemed.m_drawings.empty());
    RECT client{};
    dialog.m_btnThemed.GetClientRect(&client);
    const RECT content = dialog.m_btnThemed.m_drawings.back().rect;
    EXPECT_GE(content.left, client.left);
    EXPECT_GE(content.top, client.top);
    EXPECT_LE(content.right, client.right);
    EXPECT_LE(content.bottom, client.bottom);
    EXPECT_LT(content.left, content.right);

    dialog.m_btnThemed.SendMessage(BM_CLICK);
    EXPECT_EQ(dialog.m_nThemedClicks, 1);

    // To the dialog manager it stays a push button, and it takes the default.
    EXPECT_EQ(dialog.m_btnThemed.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON),
              DLGC_UNDEFPUSHBUTTON);
    dialog.m_btnThemed.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(dialog.m_btnThemed.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(dialog.m_btnThemed.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON),
              DLGC_DEFPUSHBUTTON);
}

TEST(CMFCButton, HandCursorAndMenuFontAreTheSharedOnes)
{
    ControlsDialog dialog;
    ASSERT_TRUE(dialog.Open());
    CMFCButton* buttons[] = {&dialog.m_btnThemed, &dialog.m_btnHand};
    const HFONT dialogFont = dialog.GetFont();

    const CursorAnswer plain = [&] {
        RECT r{};
        dialog.m_btnThemed.GetWindowRect(&r);
        EXPECT_TRUE(MoveCursor({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
        return AskCursor(dialog.m_btnThemed);
    }();
    EXPECT_NE(plain.cursor, Hand());

    for (CMFCButton* button : buttons)
        button->SetMouseCursorHand();
    for (CMFCButton* button : buttons) {
        RECT r{};
        button->GetWindowRect(&r);
        ASSERT_TRUE(MoveCursor({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
        const CursorAnswer answer = AskCursor(*button);
        EXPECT_EQ(answer.cursor, Hand());
        EXPECT_EQ(answer.result, TRUE);
    }

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    for (CMFCButton* button : buttons) {
        const std::size_t drawn = dialog.m_btnThemed.m_drawings.size() + dialog.m_btnHand.m_drawings.size();
        button->EnableMenuFont(TRUE, TRUE);
        // Redrawn at once, without waiting for the message loop.
        EXPECT_GT(dialog.m_btnThemed.m_drawings.size() + dialog.m_btnHand.m_drawings.size(), drawn);
        EXPECT_EQ(button->GetFont(), CGlobalData::GetMenuFont());
    }
    LOGFONTA font{};
    ASSERT_NE(::GetObjectA(CGlobalData::GetMenuFont(), sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, metrics.lfMenuFont.lfFaceName);
    EXPECT_EQ(font.lfHeight, metrics.lfMenuFont.lfHeight);

    dialog.m_btnHand.EnableMenuFont(FALSE, TRUE);
    EXPECT_EQ(dialog.m_btnHand.GetFont(), dialogFont);
}

// The button as it draws itself into a 32-bit bitmap whose alpha is 0.
template <class Button>
void Render(Button& button, Dib& dib)
{
    button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.Dc()), PRF_CLIENT);
}

TEST(CMFCButton, ThemedAndClassicLooksDiffer)
{
    ControlsDialog dialog;
    ASSERT_TRUE(dialog.Open());
    RECT client{};
    dialog.m_btnThemed.GetClientRect(&client);

    const BOOL before = CMFCButton::IsWindowsThemingEnabled();
    CMFCButton::EnableWindowsTheming(FALSE);
    Dib classic(client.right, client.bottom);
    Render(dialog.m_btnThemed, classic);
    CMFCButton::EnableWindowsTheming(TRUE);
    Dib themed(client.right, client.bottom);
    Render(dialog.m_btnThemed, themed);
    CMFCButton::EnableWindowsTheming(before);

    // The classic face is the system's button colour; the theme has its own.
    const int x = client.right / 2, y = 3;
    EXPECT_EQ(Dib::Rgb(classic.At(x, y)), ::GetSysColor(COLOR_BTNFACE) & 0xFFFFFF)
        << std::hex << classic.At(x, y);
    const UxThemeCalls& themes = UxThemeBinding();
    if (themes.isAppThemed == nullptr || !themes.isAppThemed())
        GTEST_SKIP() << "no visual theme on this system";
    int differing = 0;
    for (int py = 0; py < client.bottom; ++py)
        for (int px = 0; px < client.right; ++px)
            differing += Dib::Rgb(classic.At(px, py)) != Dib::Rgb(themed.At(px, py));
    EXPECT_GT(differing, client.right * client.bottom / 4);
}

TEST(CMFCButtonEx, ContentComesOutOpaque)
{
    ControlsDialog dialog;
    ASSERT_TRUE(dialog.Open());
    for (BOOL theming : {FALSE, TRUE}) {
        SCOPED_TRACE(theming);
        const BOOL before = CMFCButton::IsWindowsThemingEnabled();
        CMFCButton::EnableWindowsTheming(theming);
        RECT client{};
        dialog.m_btnHand.GetClientRect(&client);
        Dib dib(client.right, client.bottom);
        dialog.m_btnHand.m_drawings.clear();
        Render(dialog.m_btnHand, dib);
        Dib plainDib(client.right, client.bottom);
        dialog.m_btnThemed.SetWindowText("起動");
        Render(dialog.m_btnThemed, plainDib);
        CMFCButton::EnableWindowsTheming(before);

        ASSERT_EQ(dialog.m_btnHand.m_drawings.size(), 1u);
        const RECT content = dialog.m_btnHand.m_drawings[0].rect;
        int opaque = 0, plainOpaque = 0, pixels = 0;
        for (int y = content.top; y < content.bottom; ++y) {
            for (int x = content.left; x < content.right; ++x) {
                ++pixels;
                opaque += Dib::Alpha(dib.At(x, y)) == 255;
                plainOpaque += Dib::Alpha(plainDib.At(x, y)) == 255;
            }
        }
        EXPECT_EQ(opaque, pixels);
        // Without the fill, GDI's drawing leaves pixels transparent.
        EXPECT_LT(plainOpaque, pixels);
    }
}

}  // namespace
