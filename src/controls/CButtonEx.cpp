#include "CButtonEx.h"

#include "CGlobalData.h"

CButtonEx::CButtonEx() : m_hCursor(nullptr) {}

CButtonEx::~CButtonEx() = default;

void CButtonEx::SetMouseCursor(HCURSOR cursor)
{
    m_hCursor = cursor;
}

void CButtonEx::SetMouseCursorHand()
{
    SetMouseCursor(CGlobalData::GetHandCursor());
}

const MessageMap* CButtonEx::GetMessageMap() const
{
    using H = Handler<CButtonEx>;
    static const MessageMap map{CButton::GetMessageMap(), {
        H::SetCursor(&CButtonEx::OnSetCursor),
    }};
    return &map;
}

BOOL CButtonEx::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_hCursor == nullptr)
        return static_cast<BOOL>(Default());
    // Only the client area counts; on the border the usual cursor shows.
    POINT point{};
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    RECT client{};
    GetClientRect(&client);
    if (!::PtInRect(&client, point))
        return static_cast<BOOL>(Default());
    ::SetCursor(m_hCursor);
    return TRUE;
}
