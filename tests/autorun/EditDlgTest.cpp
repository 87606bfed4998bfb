// The Autorun.inf editor, run modally and driven as a user would, on the
// file of a test medium: its template, what it loads, what a save writes,
// and the failures that leave the old file whole.
#include "AutorunIds.h"
#include "AutorunInfText.h"
#include "CEditDlg.h"

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

const char kCreated[] = "[autorun]\r\nOPEN=\\Vellokari.exe\r\nICON=\\Vellokari.exe\r\nACTION = Vellokari\r\n";
const char kQuestion[] = "Autoconf.infを更新します.よろしいですか？";
const char kWriteFailed[] = "Autorun.infの更新に失敗しました.";

class EditDlg : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_medium.IsReady()); }

    // Loads the medium's file and runs the editor with the driver.
    INT_PTR Run(ModalSeam::Driver driver)
    {
        EXPECT_EQ(m_dialog.LoadAutorunInf(m_medium.Drive().c_str()), 1);
        return RunDriven(m_dialog, std::move(driver));
    }

    // Types the text over the edit's content (as a paste would) and presses "保存".
    static void TypeAndSave(CDialog& dialog, const std::string& text)
    {
        ::SetDlgItemTextA(dialog.m_hWnd, IDC_EDIT_AUTORUNINF, text.c_str());
        Click(dialog.m_hWnd, IDOK);
    }

    TestMedium m_medium;
    std::string m_path = m_medium.Path("\\Autorun.Inf");
    CEditDlg m_dialog;
};

}  // namespace

TEST_F(EditDlg, TemplateShowsTheFileAndTheEnterKeyMakesANewLine)
{
    ExpectModalTemplate(CEditDlg::IDD, 187, 126, 3, L"Autorun.inf編集");

    // Read in its comparison form, whatever the letter case of its name.
    ASSERT_TRUE(WriteBytes(m_medium.Path("\\AUTORUN.INF"), "[autorun]\nOPEN=\\Vellokari.exe"));
    MessageBoxSeam boxes;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  const HWND hwnd = dialog.m_hWnd;
                  // Template order is tab order, all three are tab stops: the focus starts on button 1.
                  const DWORD editStyle = ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL |
                                     WS_HSCROLL | WS_TABSTOP;
                  ExpectDialog(hwnd, "Autorun.inf編集", {187, 126},
                               {
                                   {IDOK, "Button", "保存", {7, 105, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP},
                                   {IDCANCEL, "Button", "ｷｬﾝｾﾙ", {130, 105, 50, 14}, WS_TABSTOP},
                                   {IDC_EDIT_AUTORUNINF, "Edit", "[autorun]\r\nOPEN=\\Vellokari.exe\r\n", {7, 7, 173, 97},
                                    editStyle},
                               });
                  EXPECT_EQ(::SendMessageA(hwnd, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
                  const HWND edit = ::GetDlgItem(hwnd, IDC_EDIT_AUTORUNINF);
                  EXPECT_EQ(::GetWindowLongPtrA(edit, GWL_STYLE) & ES_READONLY, 0);
                  // The system draws an edit's border as a client edge.
                  EXPECT_TRUE((::GetWindowLongPtrA(edit, GWL_STYLE) & WS_BORDER) != 0 ||
                              (::GetWindowLongPtrA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);

                  // Enter in the edit, handed to the dialog as its loop does, makes a new
                  // line there and does not press the default button.
                  ::SetFocus(edit);
                  ::SendMessageA(edit, EM_SETSEL, 0, -1);
                  MSG enter{edit, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {}};
                  EXPECT_TRUE(::IsDialogMessageA(hwnd, &enter));
                  EXPECT_TRUE(WaitFor([&] { return ItemText(hwnd, IDC_EDIT_AUTORUNINF) == "\r\n"; }, 5000))
                      << ItemText(hwnd, IDC_EDIT_AUTORUNINF);
                  EXPECT_TRUE(dialog.IsRunningModal());
                  Click(hwnd, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadBytes(m_medium.Path("\\AUTORUN.INF")), "[autorun]\nOPEN=\\Vellokari.exe");
}

TEST_F(EditDlg, AMissingFileIsNotLoadedNorCreated)
{
    CEditDlg dialog;
    dialog.m_strText = "before";
    EXPECT_EQ(dialog.LoadAutorunInf(m_medium.Drive().c_str()), 0);
    EXPECT_STREQ(dialog.m_strDrive, m_medium.Drive().c_str());
    EXPECT_STREQ(dialog.GetAutorunText(), "before");
    EXPECT_FALSE(FileExists(m_path));
}

// The editor shows what a save writes: the text up to a 0x1A, whatever
// follows it.
TEST_F(EditDlg, AFileWithBytesAfterA1AIsLoadedUpToIt)
{
    ASSERT_TRUE(WriteBytes(m_path, std::string(kCreated) + "\x1A" "shellexecute=evil.exe\r\n"));
    CEditDlg dialog;
    EXPECT_EQ(dialog.LoadAutorunInf(m_medium.Drive().c_str()), 1);
    EXPECT_STREQ(dialog.GetAutorunText(), kCreated);
}

TEST_F(EditDlg, SaveWritesTheTextEndedByCrLf)
{
    const struct {
        const char* what;
        std::string typed;
        std::string file;
    } cases[] = {
        {"emptied", "", "\r\n"},
        {"a last line without a line end", "[autorun]\r\nOPEN=a.exe", "[autorun]\r\nOPEN=a.exe\r\n"},
        {"ended by CR LF", kCreated, kCreated},
        {"a lone LF pasted in stays", "[autorun]\nOPEN=a.exe\r\n", "[autorun]\nOPEN=a.exe\r\n"},
        {"double-byte text", "ICON=\\表示\\a.ico", "ICON=\\表示\\a.ico\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_path, kCreated));
        MessageBoxSeam boxes;
        EXPECT_EQ(Run([&](CDialog& dialog) { TypeAndSave(dialog, c.typed); }), IDOK);
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].text, kQuestion);
        EXPECT_EQ(boxes.Calls()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(ReadBytes(m_path), c.file);
        // The text as typed: its caller ends it with the same CR LF.
        EXPECT_EQ(m_dialog.GetAutorunText().str(), c.typed);
    }
}

TEST_F(EditDlg, NoKeepsTheEditorWithItsTextAndCancelLeavesTheFile)
{
    ASSERT_TRUE(WriteBytes(m_path, kCreated));
    MessageBoxSeam boxes;
    boxes.Answer({IDNO});
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  TypeAndSave(dialog, "[autorun]\r\nOPEN=typed.exe\r\n");
                  EXPECT_TRUE(dialog.IsRunningModal());
                  EXPECT_EQ(ItemText(dialog.m_hWnd, IDC_EDIT_AUTORUNINF), "[autorun]\r\nOPEN=typed.exe\r\n");
                  EXPECT_EQ(ReadBytes(m_path), kCreated);
                  Click(dialog.m_hWnd, IDCANCEL);
              }),
              IDCANCEL);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, kQuestion);
    EXPECT_EQ(ReadBytes(m_path), kCreated);
}

TEST_F(EditDlg, FailedWritesKeepTheEditorAndTheOldFile)
{
    ASSERT_TRUE(m_medium.UseOwnFileSystem(1 << 20));  // to be filled up later
    const std::string old = "[autorun]\r\nOPEN=old.exe\r\n";
    const std::string typed = "[autorun]\r\nOPEN=typed.exe\r\n";
    ASSERT_TRUE(WriteBytes(m_path, old));
    ASSERT_TRUE(::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    MessageBoxSeam boxes;  // Yes to every question
    DebugLogCapture log;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  const HWND hwnd = dialog.m_hWnd;
                  const auto expectUnchanged = [&] {
                      EXPECT_TRUE(dialog.IsRunningModal());
                      EXPECT_EQ(ItemText(hwnd, IDC_EDIT_AUTORUNINF), typed);
                      EXPECT_EQ(ReadBytes(m_path), old);
                  };

                  // Another program holds the file and shares nothing.
                  const HANDLE holder = ::CreateFileA(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr);
                  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
                  TypeAndSave(dialog, typed);
                  ::CloseHandle(holder);
                  expectUnchanged();

                  // The medium is full: the new text cannot be written beside the file.
                  ASSERT_TRUE(m_medium.Fill());
                  Click(hwnd, IDOK);
                  expectUnchanged();
                  ASSERT_TRUE(m_medium.MakeRoom());

                  // A read-only file is not the program's to replace.
                  ASSERT_TRUE(::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                                       FILE_ATTRIBUTE_SYSTEM));
                  Click(hwnd, IDOK);
                  expectUnchanged();

                  ASSERT_TRUE(::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
                  Click(hwnd, IDOK);
              }),
              IDOK);
    ASSERT_EQ(boxes.Calls().size(), 7u);
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(boxes.Calls()[i].text, i % 2 == 0 ? kQuestion : kWriteFailed) << i;
    EXPECT_EQ(boxes.Calls()[1].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(log.Count("CEditDlg::OnOK() write error=112 path=" + m_path + "\n"), 1) << log.Text();

    // Saved at last, it is still hidden and a system file.
    EXPECT_EQ(ReadBytes(m_path), typed);
    EXPECT_EQ(::GetFileAttributesA(m_path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(EditDlg, ATextTooLongToWatchIsNotWritten)
{
    ASSERT_TRUE(WriteBytes(m_path, kCreated));
    // With its CR LF one byte over the limit, then just at it.
    const std::string over(AUTORUNINF_MAX_TEXT - 1, 'x');
    const std::string atLimit = std::string(AUTORUNINF_MAX_TEXT - 2, 'x') + "\r\n";
    // Under the limit as typed, with lone LFs: each gains a CR when the
    // check reads it back, which puts the text over the limit there.
    std::string loneLfs;
    for (int i = 0; i < 60000; ++i)
        loneLfs += "xxxxxxx\n";
    // Short where it reads back, which stops at the 0x1A; over the limit as
    // typed, which is what would be stored.
    const std::string pasted = "[autorun]\r\n\x1A" + std::string(AUTORUNINF_MAX_TEXT, ';');
    MessageBoxSeam boxes;
    DebugLogCapture log;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  for (const std::string& text : {over, loneLfs, pasted}) {
                      TypeAndSave(dialog, text);
                      EXPECT_TRUE(dialog.IsRunningModal());
                      EXPECT_TRUE(ReadBytes(m_path) == kCreated) << "the file was written";
                  }
                  TypeAndSave(dialog, atLimit);
              }),
              IDOK);
    ASSERT_EQ(boxes.Calls().size(), 7u);
    for (std::size_t i : {1, 3, 5})
        EXPECT_EQ(boxes.Calls()[i].text, kWriteFailed) << i;
    EXPECT_EQ(log.Count("CEditDlg::OnOK() too large size=" + std::to_string(AUTORUNINF_MAX_TEXT + 1) + "\n"), 1);
    EXPECT_EQ(log.Count("CEditDlg::OnOK() too large size=540002\n"), 1) << log.Text().substr(0, 300);
    EXPECT_EQ(log.Count("CEditDlg::OnOK() too large size=" + std::to_string(pasted.size() + 2) + "\n"), 1);
    EXPECT_EQ(ReadBytes(m_path), atLimit);
}

// Bytes after a 0x1A are read by the system but by no check: such a text is
// neither written nor taken as the editor's.
TEST_F(EditDlg, ATextWithBytesAfterA1AIsNotWritten)
{
    ASSERT_TRUE(WriteBytes(m_path, kCreated));
    MessageBoxSeam boxes;
    DebugLogCapture log;
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  for (const char* text : {"[autorun]\r\n\x1A;x\r\n", "[autorun]\r\n\x1A"}) {
                      TypeAndSave(dialog, text);
                      EXPECT_TRUE(dialog.IsRunningModal());
                      EXPECT_TRUE(ReadBytes(m_path) == kCreated) << "the file was written";
                  }
                  Click(dialog.m_hWnd, IDCANCEL);
              }),
              IDCANCEL);
    ASSERT_EQ(boxes.Calls().size(), 4u);
    for (std::size_t i : {1, 3})
        EXPECT_EQ(boxes.Calls()[i].text, kWriteFailed) << i;
    EXPECT_EQ(log.Count("CEditDlg::OnOK() text after 0x1A\n"), 2);
    EXPECT_EQ(ReadBytes(m_path), kCreated);
}

// Typing goes on past the edit's own default of 30000 characters, up to the
// most that a save accepts, and no further.
TEST_F(EditDlg, TypingGoesOnUpToTheLimitOfASave)
{
    std::string file;
    while (file.size() < 40000)
        file += std::string(98, 'x') + "\r\n";
    ASSERT_TRUE(WriteBytes(m_path, file));
    // One character short of the limit, in lines as a file has them.
    std::string almost;
    while (almost.size() + 1024 < static_cast<std::size_t>(AUTORUNINF_MAX_TEXT))
        almost += std::string(1022, 'x') + "\r\n";
    almost += std::string(AUTORUNINF_MAX_TEXT - 1 - almost.size(), 'x');
    EXPECT_EQ(Run([&](CDialog& dialog) {
                  const HWND edit = ::GetDlgItem(dialog.m_hWnd, IDC_EDIT_AUTORUNINF);
                  const auto typeAtEnd = [&](char c) {
                      ::SendMessageA(edit, EM_SETSEL, -2, -1);
                      ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
                      return static_cast<std::size_t>(::GetWindowTextLengthA(edit));
                  };
                  ::SetFocus(edit);
                  EXPECT_EQ(typeAtEnd('y'), file.size() + 1);

                  ::SetWindowTextA(edit, almost.c_str());
                  EXPECT_EQ(typeAtEnd('y'), static_cast<std::size_t>(AUTORUNINF_MAX_TEXT));
                  EXPECT_EQ(typeAtEnd('z'), static_cast<std::size_t>(AUTORUNINF_MAX_TEXT));
                  Click(dialog.m_hWnd, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_EQ(ReadBytes(m_path), file);
}
