// The approval dialog, run modally and driven as a user would: its
// template, its colours, the approve and the revert way, and its failures.
#include "AutorunIds.h"
#include "CUpdateDlg.h"

#include "AfxMessageBox.h"
#include "DebugLog.h"
#include "DialogControls.h"
#include "ModalSeam.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

const char kFound[] = "[autorun]\r\nOPEN=virus.exe\r\n";
const char kApproved[] = "[autorun]\r\nOPEN=\\Vellokari.exe\r\nICON=\\Vellokari.exe\r\nACTION = Vellokari\r\n";
const char kQuestion[] = "現在の内容で内部データを更新しますよろしいですか？";
const char kWriteFailed[] = "Autorun.infの更新に失敗しました.";

class UpdateDlg : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        m_dialog.m_strDrive = m_medium.Drive().c_str();
        m_dialog.m_strApproved = kApproved;
        m_dialog.SetAutorunText(kFound);
    }

    INT_PTR Run(ModalSeam::Driver driver)
    {
        return RunDriven(m_dialog, std::move(driver));
    }

    TestMedium m_medium;
    std::string m_path = m_medium.Path("\\Autorun.Inf");
    CUpdateDlg m_dialog;
};

}  // namespace

TEST_F(UpdateDlg, TemplateColoursAndCancel)
{
    ExpectModalTemplate(CUpdateDlg::IDD, 201, 164, 5, L"更新確認");

    ASSERT_TRUE(WriteBytes(m_path, "[autorun]\nOPEN=virus.exe"));
    MessageBoxSeam boxes;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  const HWND hwnd = dialog.m_hWnd;
                  // Template order is tab order: the focus starts on button 1.
                  const DWORD edit = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                                     WS_HSCROLL | WS_TABSTOP;
                  ExpectDialog(hwnd, "更新確認", {201, 164},
                               {
                                   {IDOK, "Button", "承認", {7, 143, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP},
                                   {IDCANCEL, "Button", "ｷｬﾝｾﾙ", {144, 143, 50, 14}, WS_TABSTOP},
                                   {IDC_STATIC_UPDATE, "Static",
                                    "AutoRun.infの変更を検出しました。\r\n\r\n意図した変更の場合は承認ボタンを押下してください。"
                                    "\r\n\r\n意図した変更でない場合は、変更前に戻すボタンを押下後、保存ボタンを押下してください\r\n"
                                    "ウィルススキャンソフトでスキャン確認をお勧めします。",
                                    {7, 7, 187, 63}, SS_SUNKEN},
                                   {IDC_EDIT_AUTORUN, "Edit", kFound, {7, 73, 187, 59}, edit},
                                   {IDC_BUTTON_REVERT, "Button", "変更前に戻す", {78, 143, 53, 14}, WS_TABSTOP},
                               });
                  EXPECT_EQ(::SendMessageA(hwnd, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
                  // The system draws an edit's border as a client edge.
                  EXPECT_TRUE((edit & WS_BORDER) != 0 ||
                              (::GetWindowLongPtrA(::GetDlgItem(hwnd, IDC_EDIT_AUTORUN), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
                  const DWORD label = static_cast<DWORD>(::GetWindowLongPtrA(::GetDlgItem(hwnd, IDC_STATIC_UPDATE), GWL_STYLE));
                  EXPECT_EQ(label & (SS_TYPEMASK | SS_SUNKEN), static_cast<DWORD>(SS_LEFT | SS_SUNKEN));

                  // The edit and the message on light yellow, their text on it.
                  const HDC dc = ::CreateCompatibleDC(nullptr);
                  for (int id : {IDC_EDIT_AUTORUN, IDC_STATIC_UPDATE}) {
                      ::SetBkMode(dc, OPAQUE);
                      EXPECT_EQ(::SendMessageA(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                               reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, id))),
                                reinterpret_cast<LRESULT>(m_dialog.m_brush.GetSafeHandle()));
                      EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
                  }
                  LOGBRUSH brush{};
                  ASSERT_NE(::GetObjectA(m_dialog.m_brush, sizeof brush, &brush), 0);
                  EXPECT_EQ(brush.lbColor, 0xB4FFFFu);
                  EXPECT_NE(::SendMessageA(hwnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDOK))),
                            reinterpret_cast<LRESULT>(m_dialog.m_brush.GetSafeHandle()));
                  ::DeleteDC(dc);

                  Click(hwnd, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadBytes(m_path), "[autorun]\nOPEN=virus.exe");
}

TEST_F(UpdateDlg, ApproveAsksFirstAndNoKeepsTheDialog)
{
    // A file with LF alone is written back in comparison form.
    ASSERT_TRUE(WriteBytes(m_path, "[autorun]\nOPEN=virus.exe"));
    MessageBoxSeam boxes;
    boxes.Answer({IDNO, IDYES});
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  Click(dialog.m_hWnd, IDOK);
                  EXPECT_TRUE(dialog.IsRunningModal());
                  EXPECT_EQ(ItemText(dialog.m_hWnd, IDOK), "承認");
                  EXPECT_EQ(ReadBytes(m_path), "[autorun]\nOPEN=virus.exe");
                  Click(dialog.m_hWnd, IDOK);
                  EXPECT_FALSE(dialog.IsRunningModal());
              }),
              IDOK);
    ASSERT_EQ(boxes.Calls().size(), 2u);
    for (const MessageBoxCall& call : boxes.Calls()) {
        EXPECT_EQ(call.text, kQuestion);
        EXPECT_EQ(call.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    }
    EXPECT_EQ(ReadBytes(m_path), kFound);
    EXPECT_STREQ(m_dialog.GetAutorunText(), kFound);
}

TEST_F(UpdateDlg, RevertShowsTheApprovedTextAndSavesItWithoutAQuestion)
{
    ASSERT_TRUE(WriteBytes(m_path, kFound));
    MessageBoxSeam boxes;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  const HWND hwnd = dialog.m_hWnd;
                  Click(hwnd, IDC_BUTTON_REVERT);
                  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BUTTON_REVERT)));
                  EXPECT_EQ(ItemText(hwnd, IDOK), "保存");
                  EXPECT_EQ(ItemText(hwnd, IDC_EDIT_AUTORUN), kApproved);
                  EXPECT_EQ(ReadBytes(m_path), kFound);  // nothing written yet
                  Click(hwnd, IDOK);
              }),
              IDOK);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadBytes(m_path), kApproved);
    EXPECT_STREQ(m_dialog.GetAutorunText(), kApproved);
}

TEST_F(UpdateDlg, RevertThenCancelWritesNothing)
{
    ASSERT_TRUE(WriteBytes(m_path, kFound));
    MessageBoxSeam boxes;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  Click(dialog.m_hWnd, IDC_BUTTON_REVERT);
                  Click(dialog.m_hWnd, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadBytes(m_path), kFound);
}

TEST_F(UpdateDlg, FailedWritesKeepTheDialogAndTheOldFile)
{
    ASSERT_TRUE(m_medium.UseOwnFileSystem(1 << 20));  // to be filled up later
    ASSERT_TRUE(WriteBytes(m_path, kFound));
    MessageBoxSeam boxes;  // Yes to every question
    DebugLogCapture log;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  const HWND hwnd = dialog.m_hWnd;

                  // Another program holds the file and shares nothing: it cannot be replaced.
                  const HANDLE holder = ::CreateFileA(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr);
                  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
                  Click(hwnd, IDOK);
                  ::CloseHandle(holder);
                  EXPECT_TRUE(dialog.IsRunningModal());
                  EXPECT_EQ(ItemText(hwnd, IDOK), "承認");
                  EXPECT_EQ(ItemText(hwnd, IDC_EDIT_AUTORUN), kFound);
                  EXPECT_EQ(ReadBytes(m_path), kFound);

                  // The medium is full: the new text cannot be written beside the file.
                  Click(hwnd, IDC_BUTTON_REVERT);
                  ASSERT_TRUE(m_medium.Fill());
                  Click(hwnd, IDOK);
                  EXPECT_TRUE(dialog.IsRunningModal());
                  EXPECT_EQ(ItemText(hwnd, IDOK), "保存");
                  EXPECT_EQ(ItemText(hwnd, IDC_EDIT_AUTORUN), kApproved);
                  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDC_BUTTON_REVERT)));
                  EXPECT_EQ(ReadBytes(m_path), kFound);
                  ASSERT_TRUE(m_medium.MakeRoom());

                  // A read-only file is not the program's to replace.
                  ASSERT_TRUE(::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_READONLY));
                  Click(hwnd, IDOK);
                  EXPECT_TRUE(dialog.IsRunningModal());
                  EXPECT_EQ(ReadBytes(m_path), kFound);

                  // The user can try once more.
                  ASSERT_TRUE(::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL));
                  Click(hwnd, IDOK);
              }),
              IDOK);
    ASSERT_EQ(boxes.Calls().size(), 4u);
    EXPECT_EQ(boxes.Calls()[0].text, kQuestion);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(boxes.Calls()[i].text, kWriteFailed);
        EXPECT_EQ(boxes.Calls()[i].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(log.Count("CUpdateDlg::OnOK() write error=112 path=" + m_path + "\n"), 1) << log.Text();
    EXPECT_EQ(ReadBytes(m_path), kApproved);
}

// Shown only the beginning of a file over the limit, the dialog cannot
// approve it: it could not be stored whole. The way back stays.
TEST_F(UpdateDlg, ATextThatCannotBeStoredWholeIsNotApprovedButCanBeReverted)
{
    ASSERT_TRUE(WriteBytes(m_path, kFound));
    m_dialog.m_bApprovable = FALSE;
    MessageBoxSeam boxes;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  const HWND hwnd = dialog.m_hWnd;
                  EXPECT_EQ(ItemText(hwnd, IDOK), "承認");
                  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, IDOK)));
                  EXPECT_EQ(ItemText(hwnd, IDC_EDIT_AUTORUN), kFound);
                  // A click that reaches the dialog all the same asks nothing and writes nothing.
                  Click(hwnd, IDOK);
                  EXPECT_TRUE(dialog.IsRunningModal());
                  EXPECT_TRUE(boxes.Calls().empty());
                  EXPECT_EQ(ReadBytes(m_path), kFound);

                  Click(hwnd, IDC_BUTTON_REVERT);
                  EXPECT_EQ(ItemText(hwnd, IDOK), "保存");
                  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, IDOK)));
                  Click(hwnd, IDOK);
              }),
              IDOK);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadBytes(m_path), kApproved);
    EXPECT_STREQ(m_dialog.GetAutorunText(), kApproved);
}

// The read-only edit does not give back every code page 932 byte as it was
// set; what is approved and written is the text found, byte for byte, so
// that the next check finds the file equal to it.
TEST_F(UpdateDlg, ApprovalWritesTheTextFoundNotWhatTheEditGivesBack)
{
    const std::string cases[] = {
        "[autorun]\r\nlabel=abc\x82\r\n",  // a lead byte alone before the line end
        "[autorun]\r\nlabel=\x85\x40\r\n", // a double-byte pair that stands for no character
    };
    for (const std::string& found : cases) {
        SCOPED_TRACE(found);
        ASSERT_TRUE(WriteBytes(m_path, kApproved));
        CUpdateDlg dialog;
        dialog.m_strDrive = m_medium.Drive().c_str();
        dialog.m_strApproved = kApproved;
        dialog.SetAutorunText(found.c_str());
        MessageBoxSeam boxes;  // Yes
        EXPECT_EQ(RunDriven(dialog,
                            [&](CDialog& shown) {
                                EXPECT_NE(ItemText(shown.m_hWnd, IDC_EDIT_AUTORUN), found)
                                    << "the edit gives this text back as it was";
                                Click(shown.m_hWnd, IDOK);
                            }),
                  IDOK);
        EXPECT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(ReadBytes(m_path), found);
        EXPECT_EQ(dialog.GetAutorunText().str(), found);
    }
}
