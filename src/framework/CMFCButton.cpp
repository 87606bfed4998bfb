#include "CMFCButton.h"

#include "CGlobalData.h"
#include "UxThemeBinding.h"

#include <vsstyle.h>

namespace {
BOOL g_bWindowsTheming = FALSE;
}  // namespace

CMFCButton::~CMFCButton()
{
    CloseTheme();
}

void CMFCButton::EnableWindowsTheming(BOOL enable)
{
    g_bWindowsTheming = enable;
}

BOOL CMFCButton::IsWindowsThemingEnabled()
{
    return g_bWindowsTheming;
}

void CMFCButton::SetMouseCursorHand()
{
    SetMouseCursor(CGlobalData::GetHandCursor());
}

void CMFCButton::EnableMenuFont(BOOL on, BOOL redraw)
{
    if (on && !m_bMenuFont) {
        m_hFormerFont = GetFont();
        SetFont(CGlobalData::GetMenuFont(), FALSE);
    } else if (!on && m_bMenuFont) {
        SetFont(m_hFormerFont, FALSE);
        m_hFormerFont = nullptr;
    }
    m_bMenuFont = on != FALSE;
    if (redraw && m_hWnd != nullptr) {
        Invalidate();
        UpdateWindow();
    }
}

void CMFCButton::PreSubclassWindow()
{
    const DWORD style = GetStyle();
    const DWORD type = style & BS_TYPEMASK;
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)
        return;
    m_bOwnerDraw = true;
    m_bDefault = type == BS_DEFPUSHBUTTON;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>((style & ~BS_TYPEMASK) | BS_OWNERDRAW));
    Invalidate();
}

BOOL CMFCButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_DRAWITEM && m_bOwnerDraw) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        *result = TRUE;
        return TRUE;
    }
    return CButton::OnChildNotify(message, wParam, lParam, result);
}

HTHEME CMFCButton::Theme()
{
    const UxThemeCalls& calls = UxThemeBinding();
    // A theme that can be opened must also be drawn and closed.
    if (calls.isAppThemed == nullptr || calls.openThemeData == nullptr || calls.closeThemeData == nullptr ||
        calls.drawThemeBackground == nullptr || calls.getThemeBackgroundContentRect == nullptr)
        return nullptr;
    if (m_hTheme == nullptr && calls.isAppThemed())
        m_hTheme = calls.openThemeData(m_hWnd, L"BUTTON");
    return m_hTheme;
}

void CMFCButton::CloseTheme()
{
    if (m_hTheme != nullptr) {
        UxThemeBinding().closeThemeData(m_hTheme);
        m_hTheme = nullptr;
    }
}

void CMFCButton::DrawItem(const DRAWITEMSTRUCT& item)
{
    CDC dc(item.hDC);
    const RECT bounds = item.rcItem;
    const UINT state = item.itemState;
    const bool pushed = (state & ODS_SELECTED) != 0;
    const bool disabled = (state & ODS_DISABLED) != 0;

    // Around the button's shape the parent's button colour shows.
    HBRUSH brush = nullptr;
    if (const HWND parent = ::GetParent(m_hWnd))
        brush = reinterpret_cast<HBRUSH>(::SendMessageA(parent, WM_CTLCOLORBTN,
                                                        reinterpret_cast<WPARAM>(item.hDC),
                                                        reinterpret_cast<LPARAM>(m_hWnd)));
    ::FillRect(item.hDC, &bounds, brush != nullptr ? brush : ::GetSysColorBrush(COLOR_BTNFACE));

    RECT content = bounds;
    const HTHEME theme = g_bWindowsTheming ? Theme() : nullptr;
    if (theme != nullptr) {
        const int part = disabled ? PBS_DISABLED
                         : pushed ? PBS_PRESSED
                         : m_bHot ? PBS_HOT
                         : m_bDefault ? PBS_DEFAULTED
                                      : PBS_NORMAL;
        UxThemeBinding().drawThemeBackground(theme, item.hDC, BP_PUSHBUTTON, part, &bounds, nullptr);
        UxThemeBinding().getThemeBackgroundContentRect(theme, item.hDC, BP_PUSHBUTTON, part, &bounds, &content);
    } else {
        RECT frame = bounds;
        if (m_bDefault) {
            ::FrameRect(item.hDC, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            ::InflateRect(&frame, -1, -1);
        }
        ::DrawFrameControl(item.hDC, &frame, DFC_BUTTON,
                           DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));
        content = frame;
        ::InflateRect(&content, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
        if (pushed)
            ::OffsetRect(&content, 1, 1);
    }

    if ((state & ODS_FOCUS) != 0 && (state & ODS_NOFOCUSRECT) == 0) {
        RECT focus = content;
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(item.hDC, &focus);
    }
    OnDraw(&dc, content, state);
}

void CMFCButton::OnDraw(CDC* pDC, const RECT& rect, UINT state)
{
    const CString text = GetWindowText();
    const HFONT font = GetFont();
    const HGDIOBJ formerFont = pDC->SelectObject(font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    const int formerMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF formerColor =
        pDC->SetTextColor(::GetSysColor((state & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_BTNTEXT));

    UINT format = DT_CENTER | ((state & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0);
    RECT area = rect;
    if ((GetStyle() & BS_MULTILINE) != 0) {
        // Word-wrapped lines, centred as a block.
        RECT measure = rect;
        ::DrawTextA(*pDC, text, -1, &measure, format | DT_WORDBREAK | DT_CALCRECT);
        const int height = measure.bottom - measure.top;
        area.top = rect.top + ((rect.bottom - rect.top) - height) / 2;
        area.bottom = area.top + height;
        format |= DT_WORDBREAK;
    } else {
        format |= DT_VCENTER | DT_SINGLELINE;
    }
    ::DrawTextA(*pDC, text, -1, &area, format);

    pDC->SetTextColor(formerColor);
    pDC->SetBkMode(formerMode);
    pDC->SelectObject(formerFont);
}

const MessageMap* CMFCButton::GetMessageMap() const
{
    using H = Handler<CMFCButton>;
    static const MessageMap map{CButton::GetMessageMap(), {
        H::Raw(WM_SETCURSOR, &CMFCButton::OnSetCursorMsg),
        H::Raw(WM_GETDLGCODE, &CMFCButton::OnGetDlgCode),
        H::Raw(BM_SETSTYLE, &CMFCButton::OnSetStyle),
        H::Raw(WM_ERASEBKGND, &CMFCButton::OnEraseBkgnd),
        H::Raw(WM_MOUSEMOVE, &CMFCButton::OnMouseMove),
        H::Raw(WM_MOUSELEAVE, &CMFCButton::OnMouseLeave),
        H::Raw(WM_THEMECHANGED, &CMFCButton::OnThemeChanged),
    }};
    return &map;
}

LRESULT CMFCButton::OnSetCursorMsg(WPARAM, LPARAM lParam)
{
    if (m_hCursor != nullptr && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return Default();
}

LRESULT CMFCButton::OnGetDlgCode(WPARAM, LPARAM)
{
    // An owner-drawn button is no push button to the dialog manager unless it says so.
    if (m_bOwnerDraw)
        return DLGC_BUTTON | (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    return Default();
}

LRESULT CMFCButton::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    if (!m_bOwnerDraw)
        return Default();
    // The dialog manager moves the default between push buttons: keep the
    // flag for drawing and the button owner-drawn.
    m_bDefault = (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CMFCButton::OnEraseBkgnd(WPARAM, LPARAM)
{
    // The drawing covers the whole button.
    return m_bOwnerDraw ? TRUE : Default();
}

LRESULT CMFCButton::OnMouseMove(WPARAM, LPARAM)
{
    if (m_bOwnerDraw && !m_bHot) {
        m_bHot = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&track);
        Invalidate(FALSE);
    }
    return Default();
}

LRESULT CMFCButton::OnMouseLeave(WPARAM, LPARAM)
{
    if (m_bHot) {
        m_bHot = false;
        Invalidate(FALSE);
    }
    return Default();
}

LRESULT CMFCButton::OnThemeChanged(WPARAM, LPARAM)
{
    CloseTheme();
    Invalidate();
    return Default();
}
