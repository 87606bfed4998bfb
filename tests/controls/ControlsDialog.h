#pragma once
// The controls tests' window: each control class bound to an item of a real
// dialog, shown on the screen at a fixed place, with the panels' colours.
#include "CBrush.h"
#include "CButtonEx.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CMFCButton.h"
#include "CMFCButtonEx.h"
#include "CMFCLaucherListCtrl.h"
#include "COpaStatic.h"
#include "ControlsTest.h"

#include <map>
#include <utility>
#include <vector>

// A button that notes every drawing of its content.
template <class Base>
class DrawNotingButton : public Base {
public:
    struct Drawing {
        RECT rect;
        UINT state;
    };
    std::vector<Drawing> m_drawings;

protected:
    void OnDraw(CDC* pDC, const RECT& rect, UINT state) override
    {
        m_drawings.push_back({rect, state});
        Base::OnDraw(pDC, rect, state);
    }
};

// The run-item list, noting the font in the device context when each cell
// is about to be drawn.
class FontNotingList : public CMFCLaucherListCtrl {
public:
    std::map<std::pair<int, int>, HFONT> m_cellFonts;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        const BOOL handled = CMFCLaucherListCtrl::OnChildNotify(message, wParam, lParam, result);
        if (handled && message == WM_NOTIFY) {
            const auto* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(lParam);
            if (draw->nmcd.hdr.code == NM_CUSTOMDRAW &&
                draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
                m_cellFonts[{static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem}] =
                    static_cast<HFONT>(::GetCurrentObject(draw->nmcd.hdc, OBJ_FONT));
            }
        }
        return handled;
    }
};

// The opaque label, noting what asks it to draw into a device context
// other than its own: the buffer of its paint handler.
class PrintNotingLabel : public COpaStatic {
public:
    struct Print {
        LPARAM flags;
        bool inPaint;    // inside the label's own WM_PAINT
        DWORD dcType;    // OBJ_MEMDC for a buffer
        BITMAP bitmap;   // what the buffer draws on
    };
    std::vector<Print> m_prints;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT) {
            ++m_nPainting;
            const LRESULT result = COpaStatic::WindowProc(message, wParam, lParam);
            --m_nPainting;
            return result;
        }
        if (message == WM_PRINTCLIENT) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            Print print{lParam, m_nPainting > 0, ::GetObjectType(dc), {}};
            ::GetObjectA(::GetCurrentObject(dc, OBJ_BITMAP), sizeof print.bitmap, &print.bitmap);
            m_prints.push_back(print);
        }
        return COpaStatic::WindowProc(message, wParam, lParam);
    }

private:
    int m_nPainting = 0;
};

class ControlsDialog : public CDialog {
public:
    ControlsDialog() : CDialog(IDD_CT_TEST) {}
    ~ControlsDialog() override { DestroyWindow(); }

    // Creates the window at (x, y) of the screen and shows it painted. Not
    // activated: Wine hands an activated window to the window manager, and
    // without one (a bare X server) hiding it then waits 2 s for nothing.
    bool Open(int x = 40, int y = 40)
    {
        if (!Create(IDD_CT_TEST))
            return false;
        SetWindowPos(HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        UpdateWindow();
        return true;
    }

    FontNotingList m_list;
    DrawNotingButton<CMFCButton> m_btnThemed;
    DrawNotingButton<CMFCButtonEx> m_btnHand;
    CButtonEx m_chk;
    PrintNotingLabel m_label;
    int m_nThemedClicks = 0;
    CBrush m_brushGray{RGB(160, 160, 160)};
    CBrush m_brushLabel{RGB(255, 255, 180)};

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_CT_LIST, m_list);
        DDX_Control(pDX, IDC_CT_THEMED, m_btnThemed);
        DDX_Control(pDX, IDC_CT_HAND, m_btnHand);
        DDX_Control(pDX, IDC_CT_CHECK, m_chk);
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_label.SubclassDlgItem(IDC_CT_LABEL, this);
        m_list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        m_list.InsertColumn(0, "ProgramName", LVCFMT_LEFT, 130);
        m_list.InsertColumn(1, "起動", LVCFMT_LEFT, 60);
        m_list.InsertColumn(2, "遅延(秒)", LVCFMT_RIGHT, 60);
        return FALSE;  // no focus: focus would activate the window
    }

    const MessageMap* GetMessageMap() const override
    {
        using H = Handler<ControlsDialog>;
        static const MessageMap map{CDialog::GetMessageMap(), {
            H::Clicked(IDC_CT_THEMED, &ControlsDialog::OnThemed),
            H::CtlColor(&ControlsDialog::OnCtlColor),
        }};
        return &map;
    }

private:
    void OnThemed() { ++m_nThemedClicks; }

    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT kind)
    {
        const HBRUSH base = CDialog::OnCtlColor(pDC, pWnd, kind);
        if (kind == CTLCOLOR_BTN || kind == CTLCOLOR_DLG)
            return m_brushGray;
        if (kind == CTLCOLOR_STATIC) {
            pDC->SetBkMode(TRANSPARENT);
            return pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_CT_LABEL ? m_brushLabel.GetSafeHandle()
                                                                           : m_brushGray.GetSafeHandle();
        }
        return base;
    }
};
