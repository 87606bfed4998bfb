#include "CDialog.h"

#include "CWinApp.h"
#include "Closing.h"
#include "CommonControlsBinding.h"
#include "ModalSeam.h"

#include <commctrl.h>

namespace {

// The system's dialog class; the templates name no class of their own.
const char kDialogClass[] = "#32770";

UINT ModalDriveMessage()
{
    static const UINT id = ::RegisterWindowMessageA("VellokariFrameworkModalDrive");
    return id;
}

}  // namespace

// Reached through the dialog's own procedure for what the object's window
// procedure left to the default processing.
INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    if (message == WM_INITDIALOG)
        return dialog != nullptr ? dialog->HandleInitDialog() : TRUE;
    if (message == ModalDriveMessage() && dialog != nullptr && dialog->m_bRunningModal) {
        ModalSeam::Drive(*dialog);
        return TRUE;
    }
    return FALSE;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_nIDTemplate(templateId) {}

CDialog::~CDialog() = default;

BOOL CDialog::HandleInitDialog()
{
    const BOOL result = OnInitDialog();
    if (m_bModal && ModalSeam::Active())
        PostMessage(ModalDriveMessage());
    return result;
}

INT_PTR CDialog::DoModal()
{
    if (AfxIsClosing() && !OpensWhileClosing())
        return IDCANCEL;
    InitCommonControlsOnce();
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (owner == nullptr)
        owner = AfxDefaultOwner();

    m_bModal = true;
    m_bRunningModal = true;
    m_bEndedForClosing = false;
    HookWindowCreate(kDialogClass, owner);
    const INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                             owner, &AfxDlgProc, 0);
    UnhookWindowCreate();
    m_bRunningModal = false;
    m_bModal = false;
    return m_bEndedForClosing ? IDCANCEL : result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    InitCommonControlsOnce();
    m_nIDTemplate = templateId;
    if (parent != nullptr)
        m_pParentWnd = parent;
    const HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    HookWindowCreate(kDialogClass, owner);
    const HWND hwnd =
        ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId), owner, &AfxDlgProc, 0);
    UnhookWindowCreate();
    return hwnd != nullptr;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result)
{
    if (m_hWnd == nullptr || m_bEndedForClosing)
        return;
    ::EndDialog(m_hWnd, result);
    if (m_bModal)
        m_bRunningModal = false;
}

void CDialog::EndForClosing()
{
    if (!m_bRunningModal)
        return;
    EndDialog(IDCANCEL);
    m_bEndedForClosing = true;
}

const MessageMap* CDialog::GetMessageMap() const
{
    using H = Handler<CDialog>;
    static const MessageMap map{CWnd::GetMessageMap(), {
        H::Clicked(IDOK, &CDialog::OnOK),
        H::Clicked(IDCANCEL, &CDialog::OnCancel),
    }};
    return &map;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    if (message == WM_HELP && !(GetStyle() & WS_CHILD)) {
        // F1 in a dialog that waits: the main window under it is disabled,
        // so the help goes to the application from here.
        CWnd* main = AfxGetMainWnd();
        if (CWinApp* app = AfxGetApp(); app != nullptr && main != nullptr && main->m_hWnd != nullptr) {
            if (!TakesNoCommands(m_hWnd))
                app->OnCmdMsg(ID_HELP);
            return TRUE;
        }
    }
    // A menu's or an accelerator's command (no control sent it), dropped as
    // the table's commands are while the window takes no input.
    if (message == WM_COMMAND && lParam == 0 && HIWORD(wParam) <= 1) {
        CWinApp* app = AfxGetApp();
        if (app != nullptr && TakesNoCommands(m_hWnd))
            return 0;
        if (app != nullptr && app->OnCmdMsg(LOWORD(wParam)))
            return 0;
    }
    return DefWindowProc(message, wParam, lParam);
}
