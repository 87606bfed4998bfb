#include "CDrawingManager.h"
#include "ControlsDialog.h"
#include "Dib.h"

#include <gtest/gtest.h>

namespace {

TEST(CDrawingManager, FillAlphaSetsAlphaInsideTheRectangleOnly)
{
    struct Case {
        RECT rect;
        RECT inside;  // the part of the rectangle on the bitmap
    } cases[] = {
        {{5, 6, 25, 16}, {5, 6, 25, 16}},
        {{0, 0, 40, 30}, {0, 0, 40, 30}},
        {{30, 20, 60, 50}, {30, 20, 40, 30}},  // reaches past the bitmap
        {{10, 10, 10, 20}, {0, 0, 0, 0}},      // empty
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.left << "," << c.rect.top << "," << c.rect.right << ","
                                        << c.rect.bottom);
        Dib dib(40, 30, 0x00123456);
        // Some colour of its own in every pixel, alpha 0 everywhere.
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ::SetPixelV(dib.Dc(), x, y, RGB(x * 6, y * 8, 100));
        CDC dc(dib.Dc());
        CDrawingManager(dc).FillAlpha(c.rect, 255);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const POINT p{x, y};
                const std::uint32_t pixel = dib.At(x, y);
                ASSERT_EQ(Dib::Alpha(pixel), ::PtInRect(&c.inside, p) ? 255 : 0) << x << "," << y;
                ASSERT_EQ(Dib::Rgb(pixel), static_cast<std::uint32_t>((x * 6) << 16 | (y * 8) << 8 | 100))
                    << x << "," << y;
            }
        }
    }
}

RECT ClientRect(HWND hwnd)
{
    RECT r{};
    ::GetClientRect(hwnd, &r);
    return r;
}

// The colours of a window's client area as the screen shows them.
class ScreenCopy : public Dib {
public:
    explicit ScreenCopy(HWND hwnd) : Dib(ClientRect(hwnd).right, ClientRect(hwnd).bottom)
    {
        const HDC dc = ::GetDC(hwnd);
        ::BitBlt(Dc(), 0, 0, Width(), Height(), dc, 0, 0, SRCCOPY);
        ::ReleaseDC(hwnd, dc);
    }
};

TEST(COpaStatic, LabelShowsItsTextAndColoursThroughTheBuffer)
{
    ControlsDialog dialog;
    ASSERT_TRUE(dialog.Open());
    ASSERT_EQ(CWnd::FromHandlePermanent(dialog.GetDlgItem(IDC_CT_LABEL)->m_hWnd), &dialog.m_label);

    // Painted black first, so only the label's own painting can bring its colours.
    {
        const HDC dc = ::GetDC(dialog.m_label);
        const RECT r = ClientRect(dialog.m_label);
        ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::ReleaseDC(dialog.m_label, dc);
    }
    dialog.m_label.m_prints.clear();
    dialog.m_label.Invalidate();
    dialog.m_label.UpdateWindow();
    const ScreenCopy shot(dialog.m_label);

    // The paint went through a buffer of 32-bit pixels over the whole label,
    // which can be made opaque (the screen here keeps no alpha to look at).
    ASSERT_EQ(dialog.m_label.m_prints.size(), 1u);
    const PrintNotingLabel::Print& print = dialog.m_label.m_prints[0];
    EXPECT_TRUE(print.inPaint);
    EXPECT_EQ(print.flags, static_cast<LPARAM>(PRF_CLIENT));
    EXPECT_EQ(print.dcType, static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(print.bitmap.bmBitsPixel, 32);
    EXPECT_GE(print.bitmap.bmWidth, shot.Width());
    EXPECT_GE(print.bitmap.bmHeight, shot.Height());

    int background = 0, text = 0, black = 0;
    for (int y = 0; y < shot.Height(); ++y) {
        for (int x = 0; x < shot.Width(); ++x) {
            const std::uint32_t rgb = Dib::Rgb(shot.At(x, y));
            background += rgb == 0xFFFFB4;  // the dialog's brush for the label, RGB(255, 255, 180)
            black += rgb == 0;
            text += rgb != 0xFFFFB4;
        }
    }
    const int pixels = shot.Width() * shot.Height();
    EXPECT_GT(background, pixels / 2);
    EXPECT_GT(text, 0);              // the text "Ver.:1.2.3"
    EXPECT_LT(black, pixels / 10);   // no longer the black it was
}

}  // namespace
