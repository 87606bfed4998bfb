#pragma once
// A dialog from a template of the program's resources: modal (DoModal) or a
// modeless child (Create). Its controls meet its members in DoDataExchange.
#include "CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog in its own modal loop; the value given to EndDialog,
    // or -1 when the dialog could not be created. Without a parent the main
    // window (or the popup last active over it) owns the dialog.
    virtual INT_PTR DoModal();
    // Creates the dialog's window as a modeless child of the parent.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);

    virtual BOOL OnInitDialog();  // the first exchange towards the controls; TRUE
    virtual void OnOK();          // takes the controls, ends with IDOK
    virtual void OnCancel();      // ends with IDCANCEL
    void EndDialog(int result);
    // Ends a running modal dialog as cancelled because the program closes;
    // a later EndDialog (a click that was on its way) no longer changes that.
    void EndForClosing();

    UINT GetTemplateId() const { return m_nIDTemplate; }
    bool IsRunningModal() const { return m_bRunningModal; }

protected:
    const MessageMap* GetMessageMap() const override;
    // After the message map: F1 in a top-level dialog asks the main window
    // for help, and a command that no entry took goes to the application.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Once the program closes no dialog opens, but the one that says so.
    virtual bool OpensWhileClosing() const { return false; }

    CWnd* m_pParentWnd;

private:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    BOOL HandleInitDialog();

    UINT m_nIDTemplate;
    bool m_bModal = false;
    bool m_bRunningModal = false;
    bool m_bEndedForClosing = false;
};
