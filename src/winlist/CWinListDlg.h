#pragma once
// The window-list panel: every three seconds, the visible top-level windows
// of the programs that run from the medium, with a preview of the marked
// one and three commands on it (bring to front, close, register).
#include "CBitmap.h"
#include "CBrush.h"
#include "CButtonEx.h"
#include "CDialog.h"
#include "CImageListCash.h"
#include "CListCtrl.h"
#include "CMFCButton.h"
#include "CRect.h"
#include "CString.h"
#include "CWinItem.h"
#include "CWinListDlgListener.h"
#include "ProcessModuleMemo.h"

#include <dwmapi.h>

#include <vector>

#define TIMER_WINLIST_REFRESH 102

struct WindowImage;

class CWinListDlg : public CDialog {
public:
    enum { IDD = 131 };

    explicit CWinListDlg(CWnd* pParent = nullptr);
    ~CWinListDlg() override;

    // Releases the preview's thumbnail before the window goes.
    BOOL DestroyWindow() override;

    // The windows of programs from the medium (m_items, in the system's order).
    BOOL RefreshWindowItems();
    static BOOL CALLBACK EnumWindowsProc(HWND hWnd, LPARAM lParam);
    void AddWindowItem(HWND hWnd);

    // 1 when a window, hidden ones included, belongs to "Skype.exe" on the medium.
    BOOL IsSkypeRunning();
    static BOOL CALLBACK EnumSkypeWindowsProc(HWND hWnd, LPARAM lParam);
    int CheckSkypeWindow(HWND hWnd);

    // The preview of a window: a live thumbnail where the desktop composes,
    // else a captured image painted into m_rcPreview.
    int ShowPreview(HWND hWnd);
    int ReplaceThumbnail(HWND hWnd);
    int RegisterThumbnail(HWND hWnd);
    void UnregisterThumbnail();
    void CaptureWindowImage(HWND hWnd);
    // For the program's end, whatever ends it (the panel's end, the end of
    // the session, in which no window is destroyed): a capture left hanging
    // in a minimised window must not leave that window transparent. Waits
    // for it a bounded time.
    void FinishStuckCapture();

    void FillWindowList();
    void SetupButtons();

    CListCtrl m_listCtrl;
    BOOL m_bAutoRefresh;
    CString m_strDrive;  // written by the owner before the window is created
    CImageListCash m_imageCache;
    CWinListDlgListener* m_pListener;  // not owned
    std::vector<CWinItem> m_items;
    CBrush m_brush;
    int m_nBitmapWidth;
    int m_nBitmapHeight;
    CBitmap m_bitmap;
    BOOL m_bSkypeFound;
    HTHUMBNAIL m_hThumbnail;
    CRect m_rcPreview;
    CMFCButton m_btnRegister;
    CMFCButton m_btnBringToFront;
    CMFCButton m_btnCloseApp;
    CButtonEx m_chkAutoRefresh;

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnTimer(UINT_PTR nIDEvent);
    void OnBnClickedBringToFront();
    void OnBnClickedCloseApp();
    void OnBnClickedRegister();
    void OnBnClickedAutoRefresh();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnPaint();
    void OnDestroy();
    void OnNMClickWindowList(NMHDR* pNMHDR, LRESULT* pResult);

private:
    // The processes that the refresh under way has read.
    ProcessModuleMemo m_refreshModules;

    // The captured image in place of the last one; no image at all.
    void TakeImage(const WindowImage& image);
    void ClearImage();

    // The list's selection mark when a command starts: -1 shows the request
    // for a selection; the element's index when it names one, else -1.
    int MarkedItem();
};
