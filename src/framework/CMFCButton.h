#pragma once
// A push button that draws itself: attached to a push button of a dialog, it
// makes the button owner-drawn and paints it, on the WM_DRAWITEM that the
// parent reflects to it, with the visual theme's button when theming is on
// and in the classic look otherwise. It can show the hand cursor and the
// menu font. Other kinds of button are left to the system's drawing.
#include "CButton.h"

#include <uxtheme.h>

class CMFCButton : public CButton {
public:
    CMFCButton() = default;
    ~CMFCButton() override;

    // Process-wide: themed drawing for every button of this class (off at start).
    static void EnableWindowsTheming(BOOL enable = TRUE);
    static BOOL IsWindowsThemingEnabled();

    // The system's hand cursor over the button (the framework's shared one).
    void SetMouseCursorHand();
    void SetMouseCursor(HCURSOR cursor) { m_hCursor = cursor; }
    // The system's menu font (shared) instead of the button's font; the
    // former font comes back when turned off.
    void EnableMenuFont(BOOL on = TRUE, BOOL redraw = TRUE);

protected:
    // Draws the button's content (its text) into the rectangle inside the
    // button's frame; state holds the ODS_ flags of the drawing.
    virtual void OnDraw(CDC* pDC, const RECT& rect, UINT state);

    void PreSubclassWindow() override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    const MessageMap* GetMessageMap() const override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    HTHEME Theme();
    void CloseTheme();

    LRESULT OnSetCursorMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnThemeChanged(WPARAM wParam, LPARAM lParam);

    bool m_bOwnerDraw = false;  // the attached window is a push button we draw
    bool m_bDefault = false;    // drawn as the dialog's default button
    bool m_bHot = false;        // the mouse is over the button
    bool m_bMenuFont = false;
    HFONT m_hFormerFont = nullptr;
    HCURSOR m_hCursor = nullptr;  // not owned
    HTHEME m_hTheme = nullptr;    // owned; opened on the first themed drawing
};
