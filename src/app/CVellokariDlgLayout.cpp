// The main dialog's two layouts, its glass frame and its label colours.
#include "AppIds.h"
#include "CVellokariDlg.h"
#include "DwmWrappers.h"

#include <mbstring.h>

namespace {

int Width(const RECT& r)
{
    return r.right - r.left;
}

int Height(const RECT& r)
{
    return r.bottom - r.top;
}

}  // namespace

void CVellokariDlg::PlaceListAndButton(const RECT& list, int buttonTop)
{
    RECT button{};
    GetChildRectInParent(this, &m_btnExtent, &button);
    m_winListDlg.MoveWindow(list, TRUE);
    m_btnExtent.MoveWindow(button.left, buttonTop, Width(button), Height(button), TRUE);

    // The client area ends 2 pixels under the button.
    const int newBottom = buttonTop + Height(button);
    RECT window{};
    RECT client{};
    GetWindowRect(&window);
    GetClientRect(&client);
    const int height = Height(window) + newBottom + 2 - Height(client);
    MoveWindow(window.left, window.top, Width(window), height, TRUE);
}

void CVellokariDlg::ExpandLayout()
{
    RECT launcher{};
    RECT list{};
    GetChildRectInParent(this, &m_launcherDlg, &launcher);
    GetChildRectInParent(this, &m_winListDlg, &list);
    const RECT moved{list.left, launcher.bottom, list.left + Width(list), launcher.bottom + Height(list)};
    PlaceListAndButton(moved, launcher.bottom + Height(list) + 2);
}

void CVellokariDlg::CollapseLayout()
{
    RECT launcher{};
    GetChildRectInParent(this, &m_launcherDlg, &launcher);
    // Out of view, not hidden: its list keeps refreshing.
    const RECT moved{launcher.left, launcher.bottom + 40, launcher.right, launcher.bottom + 40 + Height(launcher)};
    PlaceListAndButton(moved, launcher.bottom + 2);
}

void CVellokariDlg::OnBnClickedExtent()
{
    if (!m_bExtended) {
        m_bExtended = TRUE;
        m_btnExtent.SetWindowText("Extent ↑");
        ExpandLayout();
    } else {
        m_bExtended = FALSE;
        m_btnExtent.SetWindowText("Extent ↓");
        CollapseLayout();
    }
}

void CVellokariDlg::UpdateGlass()
{
    if (m_bGlass) {
        SafeDwmExtendFrameIntoClientArea(m_hWnd, &m_margins);
        AttachGlassLabels();
    } else {
        // The frame stays as it is; without composition it shows nothing.
        DetachGlassLabels();
    }
    InvalidateRect(nullptr, TRUE);
}

LRESULT CVellokariDlg::OnDwmCompositionChanged(WPARAM, LPARAM)
{
    SafeDwmIsCompositionEnabled(&m_bGlass);
    UpdateGlass();
    return Default();
}

void CVellokariDlg::AttachGlassLabels()
{
    if (m_bLabelsAttached)
        return;
    m_bLabelsAttached = TRUE;
    m_staticMediumVer.SubclassDlgItem(IDC_STATIC_MEDIUM_VER, this);
    m_staticFixVer.SubclassDlgItem(IDC_STATIC_FIX_VER, this);
}

void CVellokariDlg::DetachGlassLabels()
{
    if (!m_bLabelsAttached)
        return;
    m_bLabelsAttached = FALSE;
    m_staticMediumVer.UnsubclassWindow();
    m_staticFixVer.UnsubclassWindow();
}

HBRUSH CVellokariDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const HBRUSH base = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    const int id = pWnd != nullptr ? pWnd->GetDlgCtrlID() : 0;
    if (nCtlColor == CTLCOLOR_STATIC && (id == IDC_STATIC_MEDIUM_VER || id == IDC_STATIC_FIX_VER)) {
        pDC->SetBkMode(TRANSPARENT);
        const bool differ = _mbscmp(reinterpret_cast<const unsigned char*>(m_strMediumVer.GetString()),
                                    reinterpret_cast<const unsigned char*>(m_strFixVer.GetString())) != 0;
        return differ ? m_brushDiffer : m_brushEqual;
    }
    if (m_bGlass) {
        // Black is what the glass shows through.
        pDC->SetBkMode(TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    }
    return base;
}
