// The panel's preview of the marked window: a live thumbnail where the
// desktop composes, else a still image captured once and painted.
#include "CWinListDlg.h"

#include "AfxMessageBox.h"
#include "CDC.h"
#include "DwmWrappers.h"
#include "PreviewPaintSize.h"

#include <commctrl.h>

namespace {

const char kLayerQuestion[] = "レイヤー情報が取得できません。レイヤーパラメータが失われますが続行しますか?";

// Far enough to be out of every screen.
const int kOffScreen = 10000;
const UINT kWakeTimeoutMs = 1000;

// A memory device context with one bitmap selected, both given back at the end.
class MemoryDC {
public:
    MemoryDC(HDC compatible, HBITMAP bitmap) : m_hDC(::CreateCompatibleDC(compatible))
    {
        m_hFormer = ::SelectObject(m_hDC, bitmap);
    }
    ~MemoryDC()
    {
        ::SelectObject(m_hDC, m_hFormer);
        ::DeleteDC(m_hDC);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
    HGDIOBJ m_hFormer;
};

void SetWindowRedraw(HWND hWnd, BOOL redraw)
{
    ::SendMessageA(hWnd, WM_SETREDRAW, static_cast<WPARAM>(redraw), 0);
}

}  // namespace

void CWinListDlg::OnNMClickWindowList(NMHDR*, LRESULT* pResult)
{
    // The row marked at the moment of the click.
    const int i = MarkedItem();
    if (i >= 0)
        ShowPreview(m_items[static_cast<std::size_t>(i)].m_hWnd);
    *pResult = 0;
}

int CWinListDlg::ShowPreview(HWND hWnd)
{
    BOOL composition = FALSE;
    const int status = SafeDwmIsCompositionEnabled(&composition);
    // -1 is no window manager at all; any other failure leaves everything as it is.
    if (status < 0 && status != -1)
        return status;
    if (status >= 0 && composition)
        return ReplaceThumbnail(hWnd);
    CaptureWindowImage(hWnd);
    InvalidateRect(&m_rcPreview, TRUE);
    return status;
}

int CWinListDlg::ReplaceThumbnail(HWND hWnd)
{
    UnregisterThumbnail();
    return RegisterThumbnail(hWnd);
}

int CWinListDlg::RegisterThumbnail(HWND hWnd)
{
    CWnd* pParent = GetParent();
    HTHUMBNAIL hThumbnail = nullptr;
    const int status = SafeDwmRegisterThumbnail(pParent != nullptr ? pParent->m_hWnd : nullptr, hWnd, &hThumbnail);
    // A failed registration leaves no handle to release later.
    m_hThumbnail = status >= 0 ? hThumbnail : nullptr;
    if (status < 0)
        return status;

    // Over the preview area, placed by the panel's window rectangle in the
    // parent; it stays there until the next click.
    RECT panel{};
    GetChildRectInParent(pParent, this, &panel);
    CRect destination = m_rcPreview;
    destination.OffsetRect(panel.left, panel.top);

    DWM_THUMBNAIL_PROPERTIES properties{};
    properties.dwFlags = DWM_TNP_RECTDESTINATION | DWM_TNP_OPACITY | DWM_TNP_VISIBLE | DWM_TNP_SOURCECLIENTAREAONLY;
    properties.rcDestination = destination;
    properties.opacity = 255;
    properties.fVisible = TRUE;
    properties.fSourceClientAreaOnly = FALSE;
    return SafeDwmUpdateThumbnailProperties(m_hThumbnail, &properties);
}

void CWinListDlg::UnregisterThumbnail()
{
    if (m_hThumbnail == nullptr)
        return;
    SafeDwmUnregisterThumbnail(m_hThumbnail);
    m_hThumbnail = nullptr;
}

void CWinListDlg::CaptureWindowImage(HWND hWnd)
{
    if (!::IsWindow(hWnd))
        return;

    COLORREF key = 0xFFFFFF;
    BYTE alpha = 255;
    DWORD flags = 0;
    const LONG style = ::GetWindowLongA(hWnd, GWL_STYLE);
    const LONG exStyle = ::GetWindowLongA(hWnd, GWL_EXSTYLE);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(hWnd, &placement);
    const bool minimised = (style & WS_MINIMIZE) != 0;
    const bool layered = (exStyle & WS_EX_LAYERED) != 0;

    // A minimised window has nothing to draw: it is restored for the
    // moment, transparent and far off the screen.
    if (minimised) {
        if (layered) {
            COLORREF readKey = 0;
            BYTE readAlpha = 0;
            DWORD readFlags = 0;
            if (::GetLayeredWindowAttributes(hWnd, &readKey, &readAlpha, &readFlags)) {
                key = readKey;
                alpha = readAlpha;
                flags = readFlags;
            } else if (AfxMessageBox(kLayerQuestion, MB_YESNO) == IDNO) {
                return;
            }
        }
        ::SetWindowLongA(hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(hWnd, 0, 0, LWA_ALPHA);
        SetWindowRedraw(hWnd, FALSE);
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
        SetWindowRedraw(hWnd, TRUE);
        const RECT& normal = placement.rcNormalPosition;
        ::MoveWindow(hWnd, normal.left + kOffScreen, normal.top + kOffScreen, normal.right - normal.left,
                     normal.bottom - normal.top, TRUE);
    }

    const HDC panelDC = ::GetDC(m_hWnd);
    RECT rect{};
    ::GetWindowRect(hWnd, &rect);
    m_nBitmapWidth = rect.right - rect.left;
    m_nBitmapHeight = rect.bottom - rect.top;
    m_bitmap.DeleteObject();
    m_bitmap.CreateCompatibleBitmap(panelDC, m_nBitmapWidth, m_nBitmapHeight);
    {
        MemoryDC memory(panelDC, m_bitmap);
        // Gives the window's thread a moment to take messages before it draws.
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, kWakeTimeoutMs, &answer);
        ::PrintWindow(hWnd, memory.Get(), 0);
    }
    ::ReleaseDC(m_hWnd, panelDC);

    if (minimised) {
        SetWindowRedraw(hWnd, FALSE);
        placement.showCmd = SW_MINIMIZE;
        ::SetWindowPlacement(hWnd, &placement);
        ::SendMessageA(hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        SetWindowRedraw(hWnd, TRUE);
        if (layered)
            ::SetLayeredWindowAttributes(hWnd, key, alpha, flags);
        else
            ::SetWindowLongA(hWnd, GWL_EXSTYLE, exStyle);
    }
}

void CWinListDlg::OnPaint()
{
    CPaintDC dc(m_hWnd);
    if (static_cast<int>(m_listCtrl.SendMessage(LVM_GETSELECTIONMARK)) < 0)
        return;
    const int w = m_nBitmapWidth;
    const int h = m_nBitmapHeight;
    if (w <= 0 || h <= 0 || m_bitmap.GetSafeHandle() == nullptr)
        return;

    MemoryDC memory(dc, m_bitmap);
    const int x = m_rcPreview.left;
    const int y = m_rcPreview.top;
    bool stretched = false;
    const SIZE size = PreviewPaintSize(w, h, m_rcPreview.Width(), m_rcPreview.Height(), &stretched);
    if (!stretched) {
        ::BitBlt(dc, x, y, w, h, memory.Get(), 0, 0, SRCCOPY);
    } else {
        ::SetStretchBltMode(dc, HALFTONE);
        ::StretchBlt(dc, x, y, size.cx, size.cy, memory.Get(), 0, 0, w, h, SRCCOPY);
    }
}
