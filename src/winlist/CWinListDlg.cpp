#include "CWinListDlg.h"

#include "AfxMessageBox.h"
#include "CDataExchange.h"
#include "CGlobalData.h"
#include "WinListIds.h"

#include <commctrl.h>

namespace {

const char kSelectProgram[] = "プログラムを一覧で選択してください";

const UINT kFirstRefreshMs = 100;
const UINT kRefreshMs = 3000;

CString HandleText(HWND hWnd)
{
    CString text;
    text.Format("0x%08x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(hWnd)));
    return text;
}

}  // namespace

CWinListDlg::CWinListDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_bAutoRefresh(FALSE),
      m_pListener(nullptr),
      m_brush(RGB(160, 160, 160)),
      m_nBitmapWidth(0),
      m_nBitmapHeight(0),
      m_bSkypeFound(0),
      m_hThumbnail(nullptr),
      m_rcPreview(304, 30, 444, 110)
{
}

CWinListDlg::~CWinListDlg() = default;

const MessageMap* CWinListDlg::GetMessageMap() const
{
    using H = Handler<CWinListDlg>;
    static const MessageMap map{CDialog::GetMessageMap(), {
        H::Timer(&CWinListDlg::OnTimer),
        H::Clicked(IDC_BUTTON_BRING_TO_FRONT, &CWinListDlg::OnBnClickedBringToFront),
        H::Clicked(IDC_BUTTON_CLOSE_APP, &CWinListDlg::OnBnClickedCloseApp),
        H::Clicked(IDC_BUTTON_WINLIST_REGISTER, &CWinListDlg::OnBnClickedRegister),
        H::Clicked(IDC_CHECK_AUTO_REFRESH, &CWinListDlg::OnBnClickedAutoRefresh),
        H::CtlColor(&CWinListDlg::OnCtlColor),
        H::Message(WM_PAINT, &CWinListDlg::OnPaint),
        H::Message(WM_DESTROY, &CWinListDlg::OnDestroy),
        H::Notify(NM_CLICK, IDC_LIST_WINDOWS, &CWinListDlg::OnNMClickWindowList),
    }};
    return &map;
}

BOOL CWinListDlg::DestroyWindow()
{
    UnregisterThumbnail();
    return CDialog::DestroyWindow();
}

void CWinListDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST_WINDOWS, m_listCtrl);
    DDX_Check(pDX, IDC_CHECK_AUTO_REFRESH, m_bAutoRefresh);
    DDX_Control(pDX, IDC_BUTTON_WINLIST_REGISTER, m_btnRegister);
    DDX_Control(pDX, IDC_BUTTON_BRING_TO_FRONT, m_btnBringToFront);
    DDX_Control(pDX, IDC_BUTTON_CLOSE_APP, m_btnCloseApp);
    DDX_Control(pDX, IDC_CHECK_AUTO_REFRESH, m_chkAutoRefresh);
}

BOOL CWinListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    const DWORD extended = CGlobalData::GetWindowsMajorVersion() >= 6 ? LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES
                                                                       : LVS_EX_FULLROWSELECT;
    // A mask of 0 replaces every extended style bit.
    m_listCtrl.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended);
    m_listCtrl.InsertColumn(0, "Title", LVCFMT_LEFT, 170);
    m_listCtrl.InsertColumn(1, "ProgramName", LVCFMT_LEFT, 100);
    m_listCtrl.InsertColumn(2, "Drive", LVCFMT_RIGHT, 0);
    m_listCtrl.InsertColumn(3, "Handle", LVCFMT_RIGHT, 0);
    m_listCtrl.SetImageList(&m_imageCache.m_imageList, LVSIL_SMALL);

    m_bAutoRefresh = TRUE;
    UpdateData(FALSE);

    SetupButtons();
    SetTimer(TIMER_WINLIST_REFRESH, kFirstRefreshMs);
    return TRUE;
}

void CWinListDlg::SetupButtons()
{
    m_btnRegister.SetMouseCursorHand();
    m_btnBringToFront.SetMouseCursorHand();
    m_btnCloseApp.SetMouseCursorHand();
    m_chkAutoRefresh.SetMouseCursorHand();
    m_btnRegister.EnableMenuFont(TRUE, TRUE);
    m_btnBringToFront.EnableMenuFont(TRUE, TRUE);
    m_btnCloseApp.EnableMenuFont(TRUE, TRUE);
}

void CWinListDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_WINLIST_REFRESH) {
        // Stopped while it works, so that ticks never pile up.
        KillTimer(TIMER_WINLIST_REFRESH);
        if (m_bAutoRefresh) {
            RefreshWindowItems();
            FillWindowList();
        }
        SetTimer(TIMER_WINLIST_REFRESH, kRefreshMs);
    }
    CDialog::OnTimer(nIDEvent);
}

// The box takes its state only when the user changes it.
void CWinListDlg::OnBnClickedAutoRefresh()
{
    UpdateData(TRUE);
}

void CWinListDlg::FillWindowList()
{
    const int mark = static_cast<int>(m_listCtrl.SendMessage(LVM_GETSELECTIONMARK));
    const CString key = mark >= 0 ? m_listCtrl.GetItemText(mark, 3) : CString();

    m_listCtrl.SetRedraw(FALSE);
    m_listCtrl.DeleteAllItems();
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const CWinItem item = m_items[i];
        const int row = static_cast<int>(i);
        const int image = m_imageCache.GetIndex(item.m_strProgramPath);
        if (image >= 0)
            m_listCtrl.InsertItem(row, item.m_strTitle, image);
        else
            m_listCtrl.InsertItem(row, item.m_strTitle);
        m_listCtrl.SetItemText(row, 1, item.m_strProgramName);
        m_listCtrl.SetItemText(row, 2, item.m_strProgramPath.Left(2));
        m_listCtrl.SetItemText(row, 3, HandleText(item.m_hWnd));
    }

    if (mark >= 0) {
        const int count = m_listCtrl.GetItemCount();
        for (int row = 0; row < count; ++row) {
            if (m_listCtrl.GetItemText(row, 3) != key)
                continue;
            m_listCtrl.SendMessage(LVM_SETSELECTIONMARK, 0, row);
            m_listCtrl.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
            m_listCtrl.SendMessage(LVM_SETHOTITEM, static_cast<WPARAM>(row));
            m_listCtrl.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
            break;
        }
    }
    m_listCtrl.SetRedraw(TRUE);
}

int CWinListDlg::MarkedItem()
{
    const int mark = static_cast<int>(m_listCtrl.SendMessage(LVM_GETSELECTIONMARK));
    if (mark == -1) {
        AfxMessageBox(kSelectProgram, MB_OK);
        return -1;
    }
    if (mark < 0 || mark >= static_cast<int>(m_items.size()))
        return -1;
    return mark;
}

void CWinListDlg::OnBnClickedBringToFront()
{
    const int i = MarkedItem();
    if (i < 0)
        return;
    const HWND hWnd = m_items[static_cast<std::size_t>(i)].m_hWnd;
    // Asynchronous: a window that does not answer must not hold this one.
    if (::IsWindow(hWnd))
        ::SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
}

void CWinListDlg::OnBnClickedCloseApp()
{
    const int i = MarkedItem();
    if (i < 0)
        return;
    const HWND hWnd = m_items[static_cast<std::size_t>(i)].m_hWnd;
    if (::IsWindow(hWnd))
        ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
}

void CWinListDlg::OnBnClickedRegister()
{
    const int i = MarkedItem();
    if (i < 0)
        return;
    // A run item of a path that the ANSI interfaces cut or change would
    // name no program and fail at every start.
    if (m_items[static_cast<std::size_t>(i)].m_bPathUnfit) {
        AfxMessageBox("パスが長すぎるか、使用できない文字を含むため登録できません.");
        return;
    }
    if (m_pListener != nullptr)
        m_pListener->OnWinItemRegister(m_items[static_cast<std::size_t>(i)]);
}

HBRUSH CWinListDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    const HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    switch (nCtlColor) {
    case CTLCOLOR_BTN:
    case CTLCOLOR_DLG:
        return m_brush;
    case CTLCOLOR_STATIC:
        pDC->SetBkMode(TRANSPARENT);
        return m_brush;
    default:
        return hbr;
    }
}
