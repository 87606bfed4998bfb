#include "COpaStatic.h"

#include "BufferedPaint.h"

COpaStatic::COpaStatic() = default;

COpaStatic::~COpaStatic() = default;

const MessageMap* COpaStatic::GetMessageMap() const
{
    using H = Handler<COpaStatic>;
    static const MessageMap map{CStatic::GetMessageMap(), {
        H::Message(WM_PAINT, &COpaStatic::OnPaint),
    }};
    return &map;
}

void COpaStatic::OnPaint()
{
    CPaintDC paint(m_hWnd);
    CClientDC dc(m_hWnd);
    RECT client{};
    GetClientRect(&client);

    // The system's label draws itself into the buffer; the buffer is made
    // opaque and copied to the window. No buffer, no drawing this time.
    HDC buffer = nullptr;
    const HPAINTBUFFER paintBuffer =
        BufferedPaint::BeginBufferedPaint(dc, &client, BPBF_TOPDOWNDIB, nullptr, &buffer);
    if (paintBuffer == nullptr)
        return;
    SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer), PRF_CLIENT);
    BufferedPaint::BufferedPaintSetAlpha(paintBuffer, &client, 255);
    BufferedPaint::EndBufferedPaint(paintBuffer, TRUE);
}
