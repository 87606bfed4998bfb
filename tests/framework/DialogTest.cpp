#include "AfxMessageBox.h"
#include "BrowseForFolder.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CFileDialog.h"
#include "CWinApp.h"
#include "Closing.h"
#include "DialogWatch.h"
#include "FrameworkTest.h"
#include "ModalSeam.h"
#include "SystemDialogs.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A dialog that exchanges all four kinds of value and logs what it handles.
class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(IDD_FW_TEST, parent) {}

    CString m_strEdit;
    int m_nCheck = 0;
    int m_nRadio = -1;
    CString m_strCombo;
    std::vector<std::string> m_log;
    CWnd m_button;

    BOOL OnInitDialog() override
    {
        for (const char* name : {"BorewayForTCP", "BorewayForFTP", "BorewayOne"})
            SendDlgItemMessageA(m_hWnd, IDC_FW_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        m_log.push_back("init");
        return CDialog::OnInitDialog();
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
            m_log.push_back("create");
        if (message == WM_COMMAND && LOWORD(wParam) == IDC_FW_BUTTON)
            m_log.push_back("windowproc");
        return CDialog::WindowProc(message, wParam, lParam);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_FW_BUTTON, m_button);
        DDX_Text(pDX, IDC_FW_EDIT, m_strEdit);
        DDX_Check(pDX, IDC_FW_CHECK, m_nCheck);
        DDX_Radio(pDX, IDC_FW_RADIO1, m_nRadio);
        DDX_CBString(pDX, IDC_FW_COMBO, m_strCombo);
    }

    const MessageMap* GetMessageMap() const override
    {
        using H = Handler<TestDialog>;
        static const MessageMap map{CDialog::GetMessageMap(), {
            H::Clicked(IDC_FW_BUTTON, &TestDialog::OnButton),
            H::Notify(NM_CLICK, IDC_FW_BUTTON, &TestDialog::OnNotifyClick),
            H::Timer(&TestDialog::OnTimer),
            H::Clicked(IDC_FW_BUTTON, &TestDialog::OnButtonSecond),  // never reached: first entry wins
            H::CtlColor(&TestDialog::OnCtlColor),
        }};
        return &map;
    }

private:
    void OnButton() { m_log.push_back("clicked"); }
    void OnButtonSecond() { m_log.push_back("second"); }
    void OnNotifyClick(NMHDR* header, LRESULT* result)
    {
        m_log.push_back("notify " + std::to_string(header->idFrom));
        *result = 7;
    }
    void OnTimer(UINT_PTR id)
    {
        m_log.push_back("timer " + std::to_string(id));
        CDialog::OnTimer(id);
    }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT kind)
    {
        const HBRUSH base = CDialog::OnCtlColor(pDC, pWnd, kind);
        if (kind == CTLCOLOR_STATIC && pWnd->GetDlgCtrlID() == IDC_FW_LABEL)
            return static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        return base;
    }
};

std::string Text(HWND dialog, int id)
{
    char text[256] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool Checked(HWND dialog, int id)
{
    return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

TEST(Dialog, DataExchangeRunsBothWaysThroughRealControls)
{
    TestDialog dialog;
    dialog.m_strEdit = "\\tools\\表.exe";
    dialog.m_nCheck = 1;
    dialog.m_nRadio = 2;
    dialog.m_strCombo = "BorewayForF";  // selects the entry that begins with it
    ASSERT_TRUE(dialog.Create(IDD_FW_TEST));
    const HWND hwnd = dialog.m_hWnd;

    EXPECT_EQ(Text(hwnd, IDC_FW_EDIT), "\\tools\\表.exe");
    EXPECT_TRUE(Checked(hwnd, IDC_FW_CHECK));
    EXPECT_FALSE(Checked(hwnd, IDC_FW_RADIO1));
    EXPECT_TRUE(Checked(hwnd, IDC_FW_RADIO3));
    EXPECT_EQ(::SendDlgItemMessageA(hwnd, IDC_FW_COMBO, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(hwnd, IDC_FW_COMBO), "BorewayForFTP");

    ::SetDlgItemTextA(hwnd, IDC_FW_EDIT, "引数 %letter%");
    ::SendDlgItemMessageA(hwnd, IDC_FW_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendDlgItemMessageA(hwnd, IDC_FW_RADIO3, BM_SETCHECK, BST_UNCHECKED, 0);
    ::SetDlgItemTextA(hwnd, IDC_FW_COMBO, "自由な文字");
    dialog.UpdateData(TRUE);
    EXPECT_EQ(dialog.m_strEdit, "引数 %letter%");
    EXPECT_EQ(dialog.m_nCheck, 0);
    EXPECT_EQ(dialog.m_nRadio, -1);  // no button of the group is on
    EXPECT_EQ(dialog.m_strCombo, "自由な文字");

    // A text that begins no entry goes into the field.
    dialog.m_strCombo = "none";
    dialog.m_nRadio = 0;
    dialog.UpdateData(FALSE);
    EXPECT_EQ(Text(hwnd, IDC_FW_COMBO), "none");
    EXPECT_TRUE(Checked(hwnd, IDC_FW_RADIO1));
    EXPECT_FALSE(Checked(hwnd, IDC_FW_RADIO3));
}

TEST(Dialog, WindowProcRunsFirstAndTheTableDispatchesByIdAndCode)
{
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FW_TEST));
    EXPECT_EQ(dialog.m_log, (std::vector<std::string>{"create", "init"}));
    dialog.m_log.clear();

    ::SendMessageA(::GetDlgItem(dialog.m_hWnd, IDC_FW_BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.m_log, (std::vector<std::string>{"windowproc", "clicked"}));
    dialog.m_log.clear();

    NMHDR header{::GetDlgItem(dialog.m_hWnd, IDC_FW_BUTTON), IDC_FW_BUTTON, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(dialog.SendMessage(WM_NOTIFY, IDC_FW_BUTTON, reinterpret_cast<LPARAM>(&header)), 7);
    header.code = static_cast<UINT>(NM_DBLCLK);  // not in the table
    dialog.SendMessage(WM_NOTIFY, IDC_FW_BUTTON, reinterpret_cast<LPARAM>(&header));
    dialog.SendMessage(WM_TIMER, 101, 0);
    EXPECT_EQ(dialog.m_log, (std::vector<std::string>{"notify 208", "timer 101"}));

    // The colour handler's brush is the message's result.
    const HWND label = ::GetDlgItem(dialog.m_hWnd, IDC_FW_LABEL);
    const HDC dc = ::GetDC(label);
    EXPECT_EQ(dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)),
              reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH)));
    ::ReleaseDC(label, dc);
}

TEST(Dialog, ControlsAreSubclassedAndLetGo)
{
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FW_TEST));
    const HWND button = ::GetDlgItem(dialog.m_hWnd, IDC_FW_BUTTON);
    EXPECT_EQ(dialog.m_button.m_hWnd, button);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), &dialog.m_button);
    EXPECT_EQ(dialog.GetDlgItem(IDC_FW_BUTTON), &dialog.m_button);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(button, GWLP_WNDPROC)), &AfxWndProc);

    EXPECT_EQ(dialog.m_button.UnsubclassWindow(), button);
    EXPECT_NE(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(button, GWLP_WNDPROC)), &AfxWndProc);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
    // A plain item is reached through a temporary object.
    CWnd* temporary = dialog.GetDlgItem(IDC_FW_BUTTON);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->m_hWnd, button);
    EXPECT_EQ(dialog.GetDlgItem(IDC_FW_EDIT)->GetDlgCtrlID(), IDC_FW_EDIT);

    // The window goes when its owner object goes.
    const HWND hwnd = dialog.m_hWnd;
    {
        TestDialog other;
        ASSERT_TRUE(other.Create(IDD_FW_TEST));
        EXPECT_TRUE(::IsWindow(other.m_hWnd));
        dialog.m_strEdit = "x";
    }
    EXPECT_TRUE(::IsWindow(hwnd));
}

TEST(Dialog, ModalDialogIsDrivenInsideItsLoop)
{
    ModalSeam seam;
    std::vector<std::string> seen;
    seam.Push([&](CDialog& d) {
        auto& dialog = dynamic_cast<TestDialog&>(d);
        seen.push_back(dialog.m_log.back());  // initialised before the driver runs
        // Timers and posted messages are still handled inside the loop.
        dialog.SetTimer(55, 10);
        WaitFor([&] { return dialog.m_log.back() == "timer 55"; }, 5000);
        dialog.KillTimer(55);
        ::SetDlgItemTextA(d.m_hWnd, IDC_FW_EDIT, "入力");
        ::SendMessageA(::GetDlgItem(d.m_hWnd, IDOK), BM_CLICK, 0, 0);
    });
    TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"init"}));
    EXPECT_EQ(dialog.m_log.back(), "timer 55");
    EXPECT_EQ(dialog.m_strEdit, "入力");  // OnOK took the controls
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(seam.Driven(), 1);

    // Cancel ends without taking the controls; a dialog without a driver,
    // or one its driver leaves open, is ended and counted.
    seam.Push([](CDialog& d) {
        ::SetDlgItemTextA(d.m_hWnd, IDC_FW_EDIT, "捨てる");
        ::SendMessageA(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    });
    seam.Push([](CDialog&) {});
    TestDialog second;
    EXPECT_EQ(second.DoModal(), IDCANCEL);
    EXPECT_EQ(second.m_strEdit, "");
    TestDialog third;
    EXPECT_EQ(third.DoModal(), IDCANCEL);
    EXPECT_EQ(seam.LeftOpen(), 1);
    TestDialog fourth;
    EXPECT_EQ(fourth.DoModal(), IDCANCEL);
    EXPECT_EQ(seam.Unexpected(), 1);
}

TEST(Dialog, ModalWithoutParentIsOwnedByTheMainWindow)
{
    CWinApp app;
    TestDialog main;
    ASSERT_TRUE(main.Create(IDD_FW_TEST));
    app.m_pMainWnd = &main;

    ModalSeam seam;
    HWND owner = nullptr;
    seam.Push([&](CDialog& d) {
        owner = ::GetWindow(d.m_hWnd, GW_OWNER);
        d.EndDialog(IDOK);
    });
    TestDialog modal;
    EXPECT_EQ(modal.DoModal(), IDOK);
    EXPECT_EQ(owner, main.m_hWnd);
}

namespace {

// Stands for the windows an input method makes on the thread of a window
// being created: on the creation of the first dialog window it sees, it
// creates a window of a class of its own.
class ImeLikeWindows {
public:
    ImeLikeWindows()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "MSCTFIME UI";
        ::RegisterClassA(&wc);
        s_made = nullptr;
        m_hook = ::SetWindowsHookExA(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~ImeLikeWindows()
    {
        ::UnhookWindowsHookEx(m_hook);
        if (s_made != nullptr)
            ::DestroyWindow(s_made);
    }
    ImeLikeWindows(const ImeLikeWindows&) = delete;
    ImeLikeWindows& operator=(const ImeLikeWindows&) = delete;
    HWND Made() const { return s_made; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        char className[32] = {};
        if (code == HCBT_CREATEWND && s_made == nullptr &&
            ::GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) > 0 &&
            std::string(className) == "#32770") {
            s_made = ::CreateWindowExA(0, "MSCTFIME UI", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline HWND s_made = nullptr;
    HHOOK m_hook;
};

// Arms the framework's creation hook as a dialog does, for a window that
// the test then makes itself, with others made before it while the hook waits.
class ArmedWnd : public CWnd {
public:
    using CWnd::HookWindowCreate;
    using CWnd::UnhookWindowCreate;
};

HWND MakeWindow(const char* className, HWND parent, DWORD style)
{
    return ::CreateWindowExA(0, className, "", style, 0, 0, 10, 10, parent, nullptr, ::GetModuleHandleA(nullptr),
                             nullptr);
}

std::string ClassOf(HWND hwnd)
{
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

}  // namespace

TEST(Dialog, CreationAttachesTheObjectsOwnWindowAndNoOtherOfTheThread)
{
    // A dialog made before, as the program makes its panels.
    TestDialog earlier;
    ASSERT_TRUE(earlier.Create(IDD_FW_TEST));

    ImeLikeWindows ime;
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FW_TEST));
    ASSERT_NE(ime.Made(), nullptr) << "a window of another class was made during the creation";
    EXPECT_EQ(CWnd::FromHandlePermanent(ime.Made()), nullptr);
    ASSERT_NE(dialog.m_hWnd, nullptr);
    EXPECT_EQ(ClassOf(dialog.m_hWnd), "#32770");
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    EXPECT_EQ(dialog.m_log, (std::vector<std::string>{"create", "init"}));

    // The hook above had already attached its dialog when the other window
    // came. Here the others come while it waits for a dialog window of a
    // child of the earlier dialog: one of another class with that parent,
    // and dialog windows of no parent and of another parent. Only the
    // dialog window of the child's top-level window (a modal dialog's
    // owner) is the armed one.
    const HWND child = MakeWindow("STATIC", earlier.m_hWnd, WS_CHILD);
    const HWND otherParent = MakeWindow("STATIC", nullptr, WS_POPUP);
    ASSERT_NE(child, nullptr);
    ArmedWnd armed;
    armed.HookWindowCreate("#32770", child);
    const HWND others[] = {MakeWindow("MSCTFIME UI", child, WS_CHILD), MakeWindow("#32770", nullptr, WS_POPUP),
                           MakeWindow("#32770", otherParent, WS_POPUP)};
    for (const HWND other : others) {
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(CWnd::FromHandlePermanent(other), nullptr) << ClassOf(other);
    }
    const HWND owned = MakeWindow("#32770", earlier.m_hWnd, WS_POPUP);
    EXPECT_TRUE(armed.UnhookWindowCreate());
    EXPECT_EQ(CWnd::FromHandlePermanent(owned), &armed);
    for (const HWND other : others)
        ::DestroyWindow(other);
    ::DestroyWindow(otherParent);
}

TEST(Dialog, EachThreadAttachesItsOwnDialogs)
{
    TestDialog first;
    ASSERT_TRUE(first.Create(IDD_FW_TEST));

    // The creation hook of one thread must neither stay behind nor stand
    // in for another thread's.
    struct Result {
        bool created = false;
        bool attached = false;
        std::vector<std::string> log;
    } result;
    const HANDLE thread = ::CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            auto* r = static_cast<Result*>(parameter);
            TestDialog dialog;
            r->created = dialog.Create(IDD_FW_TEST) != FALSE;
            r->attached = dialog.m_hWnd != nullptr && CWnd::FromHandlePermanent(dialog.m_hWnd) == &dialog;
            r->log = dialog.m_log;
            return 0;
        },
        &result, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(::WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
    ::CloseHandle(thread);
    EXPECT_TRUE(result.created);
    EXPECT_TRUE(result.attached);
    EXPECT_EQ(result.log, (std::vector<std::string>{"create", "init"}));

    TestDialog again;
    ASSERT_TRUE(again.Create(IDD_FW_TEST));
    EXPECT_EQ(CWnd::FromHandlePermanent(again.m_hWnd), &again);
}

namespace {

HWND g_keptWindow = nullptr;

// The program's closing, begun inside whatever modal loop runs when it fires.
void CALLBACK BeginClosing(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    AfxBeginClosing();
    AfxEndModalLoops(g_keptWindow);
}

}  // namespace

// The closing ends a modal dialog and the system's message box over it as
// cancelled, the dialog even when its OK comes afterwards; then no dialog or
// box opens any more.
TEST(Dialog, ClosingEndsTheOpenLoopsAsCancelledAndOpensNoneAfter)
{
    ClosingReset reset;
    CWinApp app;
    TestDialog main;
    ASSERT_TRUE(main.Create(IDD_FW_TEST));
    app.m_pMainWnd = &main;
    g_keptWindow = main.m_hWnd;

    ModalSeam seam;
    int answer = 0;
    seam.Push([&](CDialog& dialog) {
        ::SetTimer(nullptr, 0, 50, &BeginClosing);
        answer = AfxMessageBox("削除しますか？", MB_YESNO);  // a real box: the timer fires in its loop
        ::SendMessageA(dialog.m_hWnd, WM_COMMAND, IDOK, 0);
    });
    TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(seam.LeftOpen(), 0);

    TestDialog later;
    EXPECT_EQ(later.DoModal(), IDCANCEL);
    EXPECT_EQ(seam.Unexpected(), 0);  // never shown
    MessageBoxSeam boxes;
    EXPECT_EQ(AfxMessageBox("削除しますか？", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("起動するプログラムを一覧で選択してください"), IDOK);
    EXPECT_TRUE(boxes.Calls().empty());
}

// The closing road ends the system's file dialog and folder picker as their
// Cancel does. The system may still answer with a choice (its initial path,
// the start folder): the caller hears a cancel all the same.
TEST(Dialog, ClosingEndsTheSystemsFileDialogAndPickerAsCancelled)
{
    struct Case {
        const char* what;
        bool picker;
        std::function<std::string()> open;  // what the caller was told; "cancelled" for a cancel
    };
    const auto fileDialog = [](BOOL open, const char* name) {
        return [open, name] {
            CFileDialog dialog(open, "EXE", name, open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT,
                               "Exec(*.exe)|*.exe|全て(*.*)|*.*||");
            dialog.m_ofn.lpstrInitialDir = "C:\\windows";
            const INT_PTR result = dialog.DoModal();
            return result == IDCANCEL ? std::string("cancelled") : "IDOK " + std::string(dialog.GetPathName());
        };
    };
    const std::vector<Case> cases = {
        {"the file-open dialog", false, fileDialog(TRUE, "notepad.exe")},
        {"the file-save dialog", false, fileDialog(FALSE, "vk-new.exe")},
        {"the folder picker", true,
         [] {
             const char* chosen = BrowseForFolder("C:\\windows");
             return chosen == nullptr ? std::string("cancelled") : std::string(chosen);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClosingReset reset;
        CWinApp app;
        TestDialog main;
        ASSERT_TRUE(main.Create(IDD_FW_TEST));
        app.m_pMainWnd = &main;
        DialogWatch watch;
        ULONGLONG settled = 0;
        bool ended = false;
        watch.Push([&](HWND dialog) {
            // The picker has its start folder selected first.
            if (c.picker && !PickerSettled(dialog, settled))
                return false;
            AfxBeginClosing();
            AfxEndModalLoops(main.m_hWnd);
            ended = true;
            return true;
        });
        EXPECT_EQ(c.open(), "cancelled");
        EXPECT_TRUE(ended);
        EXPECT_EQ(watch.Unexpected(), 0);
        main.DestroyWindow();
    }
}
