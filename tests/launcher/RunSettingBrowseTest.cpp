// The settings dialog's two browse buttons with the system's own file
// dialog and folder picker, used as a user would, on a medium that Wine's
// mount manager lists (the picker's tree shows only such drives).
#include "PanelHost.h"

#include "AfxMessageBox.h"
#include "CRunSettingDlg.h"
#include "CWinApp.h"
#include "DialogWatch.h"
#include "ListedDrive.h"
#include "ModalSeam.h"
#include "RunSettingIds.h"
#include "SystemDialogs.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// What a system dialog showed as the user met it.
struct Met {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    std::string folder;  // the file dialog's folder, or the picker's selected item
};

class RunSettingBrowse : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        ASSERT_TRUE(m_made);
        ASSERT_TRUE(m_listed.IsListed());
        ASSERT_TRUE(WriteBytes(m_elsewhere / "c.exe", "c"));
        // The program's main window owns what is opened without an owner.
        m_main.Attach(::CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_main.Detach());
        EXPECT_EQ(m_watch.Unexpected(), 0);
        EXPECT_EQ(m_watch.Pending(), 0u);
    }

    // Shows the settings dialog on the item; the driver works on it while
    // the watch meets the system's dialogs that it opens.
    CRunInf Show(const CRunInf& item, const std::function<void(HWND)>& driver)
    {
        CRunSettingDlg dialog;
        dialog.SetRunItem(item);
        dialog.SetDrive(m_medium.Drive().c_str());
        ModalSeam seam;
        seam.Push([&](CDialog& d) {
            DialogWatch::Ignore(d.m_hWnd);
            m_dialog = d.m_hWnd;
            driver(d.m_hWnd);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        return *dialog.GetRunItem();
    }

    // The file dialog: notes what it showed, then types the name and opens it
    // (an empty name: cancels).
    void ChooseFile(Met& met, const std::string& name)
    {
        m_watch.Push([&met, name](HWND dialog) {
            met.dialog = dialog;
            met.owner = ::GetWindow(dialog, GW_OWNER);
            met.folder = FileDialogFolder(dialog);
            if (name.empty())
                ClickButton(dialog, IDCANCEL);
            else
                FileDialogChoose(dialog, name);
            return true;
        });
    }

    // The picker: notes its selection, then clicks the folder and presses OK
    // (no drive letter: presses Cancel).
    void PickFolder(Met& met, char letter, std::vector<std::string> folders)
    {
        m_watch.Push([&met, letter, folders, end = ULONGLONG(0)](HWND picker) mutable {
            if (!PickerSettled(picker, end))
                return false;
            met.dialog = picker;
            met.owner = ::GetWindow(picker, GW_OWNER);
            met.folder = PickerSelection(picker);
            if (letter == 0) {
                ClickButton(picker, IDCANCEL);
                return true;
            }
            EXPECT_TRUE(PickerSelect(picker, letter, folders));
            ClickButton(picker, IDOK);
            return true;
        });
    }

    TestMedium m_medium;
    // The medium's content, made before the drive is listed.
    bool m_made = m_medium.IsReady() && (m_medium.MakeFolders("\\tools\\sub"), true) &&
                  WriteBytes(m_medium.Path("\\tools\\a.exe"), "a") &&
                  WriteBytes(m_medium.Path("\\tools\\sub\\Skype.exe"), "b");
    ListedDrive m_listed{m_medium};
    TempFolder m_elsewhere;
    CWinApp m_app{"Vellokari"};
    CWnd m_main;
    DialogWatch m_watch;
    HWND m_dialog = nullptr;
    std::string m_refused = m_medium.Drive() + "ドライブ以外から選択はできません";
};

}  // namespace

TEST_F(RunSettingBrowse, ExecutableOnTheMediumIsStoredWithoutItsDrive)
{
    MessageBoxSeam boxes;
    const char letter = m_medium.Letter();
    Met empty, kept, chosen;
    // A new item: the dialog opens on the drive; a file on the medium is taken.
    ChooseFile(empty, m_medium.Path("\\tools\\a.exe"));
    // The path set: it opens on the executable's folder, and a cancel keeps it.
    ChooseFile(kept, "");
    ChooseFile(chosen, m_medium.Path("\\tools\\sub\\Skype.exe"));
    const CRunInf item = Show(CRunInf(), [&](HWND dialog) {
        SendClick(dialog, IDC_BUTTON_BROWSE_EXE);
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_PROGRAMPATH), "\\tools\\a.exe");
        SendClick(dialog, IDC_BUTTON_BROWSE_EXE);
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_PROGRAMPATH), "\\tools\\a.exe");
        SendClick(dialog, IDC_BUTTON_BROWSE_EXE);
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_PROGRAMPATH), "\\tools\\sub\\Skype.exe");
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(empty.folder, std::string(1, letter) + ":\\");
    EXPECT_EQ(kept.folder, m_medium.Path("\\tools"));
    EXPECT_EQ(chosen.folder, m_medium.Path("\\tools"));
    EXPECT_EQ(empty.owner, m_dialog);  // over the settings dialog
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(item.m_strProgramPath, "\\tools\\sub\\Skype.exe");
    EXPECT_EQ(item.m_strProgramName, "Skype.exe");
    EXPECT_FALSE(item.m_bSkype);
}

TEST_F(RunSettingBrowse, ExecutableOffTheMediumIsRefused)
{
    // A network path is not offered: Wine reaches \\server\share through
    // dosdevices/unc/server/share, but its file dialog never returns once
    // such a name is typed into it.
    std::string lower = m_medium.Path("\\tools\\a.exe");
    lower[0] = static_cast<char>(lower[0] - 'A' + 'a');
    const std::string refused[] = {m_elsewhere / "c.exe", lower};
    for (const std::string& path : refused) {
        SCOPED_TRACE(path);
        MessageBoxSeam boxes;
        Met met;
        ChooseFile(met, path);
        const CRunInf item = Show(Item("x", "\\tools\\sub\\Skype.exe", RUNKIND_MANUAL), [&](HWND dialog) {
            SendClick(dialog, IDC_BUTTON_BROWSE_EXE);
            EXPECT_EQ(ItemText(dialog, IDC_EDIT_PROGRAMPATH), "\\tools\\sub\\Skype.exe");
            EXPECT_TRUE(::IsWindowVisible(dialog));
            SendClick(dialog, IDOK);
        });
        EXPECT_EQ(met.folder, m_medium.Path("\\tools\\sub"));
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].text, m_refused);
        EXPECT_EQ(boxes.Calls()[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(item.m_strProgramPath, "\\tools\\sub\\Skype.exe");
    }
}

TEST_F(RunSettingBrowse, WorkingFolderFromThePicker)
{
    MessageBoxSeam boxes;
    const char letter = m_medium.Letter();
    Met fromExe, fromWork, root, off;
    PickFolder(fromExe, letter, {"tools", "sub"});
    PickFolder(fromWork, letter, {});  // the drive's root
    PickFolder(root, 'C', {"windows"});
    PickFolder(off, 0, {});
    const CRunInf item = Show(Item("x", "\\tools\\a.exe", RUNKIND_MANUAL), [&](HWND dialog) {
        // No working folder yet: the picker starts at the executable's folder.
        SendClick(dialog, IDC_BUTTON_BROWSE_FOLDER);
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_WORKPATH), "\\tools\\sub");
        // Now at the working folder; the root is stored as "\".
        SendClick(dialog, IDC_BUTTON_BROWSE_FOLDER);
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_WORKPATH), "\\");
        // A folder of another drive is refused; a cancel changes nothing.
        SendClick(dialog, IDC_BUTTON_BROWSE_FOLDER);
        SendClick(dialog, IDC_BUTTON_BROWSE_FOLDER);
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_WORKPATH), "\\");
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(fromExe.folder, "tools");
    EXPECT_EQ(fromWork.folder, "sub");
    EXPECT_EQ(root.folder, std::string(" (") + letter + ":)");
    EXPECT_EQ(off.folder, std::string(" (") + letter + ":)");
    EXPECT_EQ(fromExe.owner, m_main.m_hWnd);  // the main window, not the settings dialog
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, m_refused);
    EXPECT_EQ(item.m_strWorkPath, "\\");
}

TEST_F(RunSettingBrowse, PickerStartsOnTheDriveWithoutPaths)
{
    Met met;
    PickFolder(met, 0, {});
    Show(Item("x", "a.exe", RUNKIND_MANUAL), [&](HWND dialog) {
        SendClick(dialog, IDC_BUTTON_BROWSE_FOLDER);
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_WORKPATH), "");
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(met.folder, std::string(" (") + m_medium.Letter() + ":)");
}
