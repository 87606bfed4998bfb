#pragma once
// The closing notice: the medium was removed and the program ends. It closes
// itself after five seconds, or earlier with its OK button.
#include "Framework.h"

class CTermDlg : public CDialog {
public:
    explicit CTermDlg(CWnd* pParent = nullptr);

    static constexpr UINT_PTR TIMER_TERM_CLOSE = 103;
    static constexpr UINT TERM_CLOSE_MS = 5000;

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    bool OpensWhileClosing() const override { return true; }
    const MessageMap* GetMessageMap() const override;

    void OnTimer(UINT_PTR nIDEvent);
};
