// The panel's preview of the marked window: a live thumbnail where the
// desktop composes, else a still image captured once and painted.
#include "CWinListDlg.h"

#include "AfxMessageBox.h"
#include "CDC.h"
#include "DwmWrappers.h"
#include "MemoryDC.h"
#include "PreviewPaintSize.h"
#include "WindowCapture.h"

#include <commctrl.h>

namespace {

const char kLayerQuestion[] = "レイヤー情報が取得できません。レイヤーパラメータが失われますが続行しますか?";

// How long the window's thread may take to answer before it counts as hung.
const UINT kAnswerTimeoutMs = 1000;
// How long the capture of a window that answered may keep this thread.
const DWORD kCaptureTimeoutMs = 3000;
// How long the panel's end waits for a capture that ran out of time.
const DWORD kEndWaitMs = 1000;

bool IsMinimised(HWND hWnd)
{
    return (::GetWindowLongA(hWnd, GWL_STYLE) & WS_MINIMIZE) != 0;
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
    // Whatever the capture gets is of this window: no other's picture
    // stays in the preview, and where it gets none the preview is empty.
    ClearImage();
    if (!::IsWindow(hWnd))
        return;

    WindowCaptureRequest request;
    request.window = hWnd;
    request.minimised = IsMinimised(hWnd);
    WindowImage image;
    // A window that still holds the thread of an earlier capture gets no other.
    const HWND stuck = StuckCapture();
    if (stuck == hWnd)
        return;
    // Nothing here may wait on a window that does not answer: such a window
    // is taken from the screen, or left alone when minimised. So is every
    // window while a capture hangs in another.
    if (stuck != nullptr || !WindowAnswers(hWnd, kAnswerTimeoutMs)) {
        if (!request.minimised && CaptureWindowFromScreen(hWnd, &image))
            TakeImage(image);
        return;
    }

    request.exStyle = ::GetWindowLongA(hWnd, GWL_EXSTYLE);
    request.layered = (request.exStyle & WS_EX_LAYERED) != 0;
    if (request.minimised && request.layered) {
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        if (::GetLayeredWindowAttributes(hWnd, &key, &alpha, &flags)) {
            request.key = key;
            request.alpha = alpha;
            request.flags = flags;
        } else {
            if (AfxMessageBox(kLayerQuestion, MB_YESNO) == IDNO)
                return;
            // The window had the time of the question to close or change.
            if (!::IsWindow(hWnd) || !IsMinimised(hWnd))
                return;
            request.exStyle = ::GetWindowLongA(hWnd, GWL_EXSTYLE);
            request.layered = (request.exStyle & WS_EX_LAYERED) != 0;
        }
    }
    request.placement.length = sizeof request.placement;
    ::GetWindowPlacement(hWnd, &request.placement);

    if (CaptureWindowBounded(request, kCaptureTimeoutMs, &image))
        TakeImage(image);
}

void CWinListDlg::TakeImage(const WindowImage& image)
{
    m_bitmap.Attach(image.bitmap);
    m_nBitmapWidth = image.width;
    m_nBitmapHeight = image.height;
}

void CWinListDlg::ClearImage()
{
    m_bitmap.DeleteObject();
    m_nBitmapWidth = 0;
    m_nBitmapHeight = 0;
}

void CWinListDlg::FinishStuckCapture()
{
    ::FinishStuckCapture(kEndWaitMs);
}

// Whatever ends the panel, the program ends soon after.
void CWinListDlg::OnDestroy()
{
    FinishStuckCapture();
    CDialog::OnDestroy();
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
