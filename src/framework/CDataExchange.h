#pragma once
// One run of data exchange between a dialog's controls and its members.
#include "CString.h"

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    HWND Control(int id) const;  // the dialog item, or null

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

// Binds the control object to the dialog item (once; later runs do nothing).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// The item's text.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
// A check box: 0 off, 1 on, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// A group of radio buttons that begins at id and runs to the next item with
// WS_GROUP: the index of the button that is on, -1 when none is.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
// A combo box: from the control, the text of its field; to the control, the
// first list entry that begins with the text is selected, else the text is
// put into the field.
void DDX_CBString(CDataExchange* pDX, int id, CString& value);
