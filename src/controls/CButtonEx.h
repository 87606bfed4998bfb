#pragma once
// A button that shows a cursor of its own while the mouse is over its client area.
#include "CButton.h"

class CButtonEx : public CButton {
public:
    CButtonEx();
    ~CButtonEx() override;

    // The button does not own the cursor; null gives the usual cursor back.
    void SetMouseCursor(HCURSOR cursor);
    // The system's hand cursor, shared by the framework.
    void SetMouseCursorHand();

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnSetCursor(CWnd* pWnd, UINT hitTest, UINT message);

    HCURSOR m_hCursor;
};
