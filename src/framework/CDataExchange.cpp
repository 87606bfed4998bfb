#include "CDataExchange.h"

#include "CWnd.h"

HWND CDataExchange::Control(int id) const
{
    return ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd == nullptr)
        control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    const HWND item = pDX->Control(id);
    if (item == nullptr)
        return;
    if (pDX->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthA(item);
        char* buffer = value.GetBuffer(length);
        ::GetWindowTextA(item, buffer, length + 1);
        value.ReleaseBuffer();
    } else {
        ::SetWindowTextA(item, value);
    }
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    const HWND item = pDX->Control(id);
    if (item == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(item, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(item, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

namespace {

bool IsRadioButton(HWND item)
{
    return (::SendMessageA(item, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

}  // namespace

void DDX_Radio(CDataExchange* pDX, int id, int& value)
{
    HWND item = pDX->Control(id);
    if (item == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    do {
        if (IsRadioButton(item)) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = index;
            } else {
                ::SendMessageA(item, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        item = ::GetWindow(item, GW_HWNDNEXT);
    } while (item != nullptr && (::GetWindowLongPtrA(item, GWL_STYLE) & WS_GROUP) == 0);
}

void DDX_CBString(CDataExchange* pDX, int id, CString& value)
{
    const HWND item = pDX->Control(id);
    if (item == nullptr)
        return;
    if (pDX->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthA(item);
        char* buffer = value.GetBuffer(length);
        ::GetWindowTextA(item, buffer, length + 1);
        value.ReleaseBuffer();
    } else if (::SendMessageA(item, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR) {
        ::SetWindowTextA(item, value);
    }
}
