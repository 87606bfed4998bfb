// The settings dialog's two browse buttons with the system's own file
// dialog and folder picker, used as a user would, on a medium that Wine's
// mount manager lists (the picker's tree shows only such drives).
#include "PanelHost.h"

#include "AfxMessageBox.h"
#include "CRunSettingDlg.h"
#include "CWinApp.h"
#include "CrashReport.h"
#include "DialogWatch.h"
#include "ListedDrive.h"
#include "ModalSeam.h"
#include "RunSettingIds.h"
#include "SystemDialogs.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// A click of the real mouse in the middle of the window, as the user's: the
// system gives it to the window only when nothing disables it.
void MouseClick(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT input[2]{};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

// The file dialog's name field and file type field, and the latter's entries.
const int kFileNameField = 0x47c;  // cmb13
const int kFileTypeField = 0x470;  // cmb1

std::vector<std::string> ComboTexts(HWND combo)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

// The names in the file dialog's list of the folder's contents.
std::vector<std::string> FileDialogNames(HWND dialog)
{
    const HWND view = ::FindWindowExA(dialog, nullptr, "SHELLDLL_DefView", nullptr);
    const HWND list = ::FindWindowExA(view, nullptr, "SysListView32", nullptr);
    std::vector<std::string> names;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH] = {};
        LVITEMA item{};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    std::sort(names.begin(), names.end());
    return names;
}

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

namespace {

// Paths that the ANSI interfaces would give back cut at MAX_PATH or with
// other characters; "漢" is two bytes in code page 932 and three in the
// host's names, so a folder name holds at most 85 of them.
std::string Kanji(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "漢";
    return text;
}

std::wstring Wide(const std::string& text)
{
    std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    return wide;
}

// Folders and a file named in UTF-16, each level made in turn.
bool MakeWide(const std::wstring& drive, const std::vector<std::wstring>& folders, const std::wstring& file = L"")
{
    std::wstring path = drive;
    for (const std::wstring& folder : folders) {
        path += L"\\" + folder;
        if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    if (file.empty())
        return true;
    const HANDLE handle = ::CreateFileW((path + L"\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(handle);
    return true;
}

const char kUnfitPath[] = "パスが長すぎるか、使用できない文字を含むため選択できません.";
// "한국": Hangul, which code page 932 does not have.
const wchar_t kHangul[] = L"\xD55C\xAD6D";

}  // namespace

TEST_F(RunSettingBrowse, ExecutableThatTheCodePageCannotCarryWholeIsRefused)
{
    const std::wstring drive = Wide(m_medium.Drive());
    // Three folders of 75: 455 bytes, cut to 259 by the ANSI dialog.
    const std::string kanji75 = Kanji(75), kanji50 = Kanji(50);
    const std::string folder = "\\" + kanji75;
    const std::string deep = folder + folder + folder;
    ASSERT_TRUE(MakeWide(drive, {Wide(Kanji(75)), Wide(Kanji(75)), Wide(Kanji(75))}, L"a.exe"));
    ASSERT_TRUE(MakeWide(drive, {kHangul}, L"rec.exe"));
    // Exactly 259 bytes with the drive: whole, and taken.
    const std::string name = "a" + kanji50 + ".exe";
    const std::string fits = folder + "\\" + name;
    ASSERT_EQ(m_medium.Path(fits).size(), 259u);
    ASSERT_TRUE(MakeWide(drive, {Wide(Kanji(75))}, Wide(name)));

    MessageBoxSeam boxes;
    Met cut, hangul, whole;
    ChooseFile(cut, m_medium.Path(deep + "\\a.exe"));
    m_watch.Push([&](HWND dialog) {
        hangul.dialog = dialog;
        ::SetDlgItemTextW(dialog, 0x47c, (drive + L"\\" + kHangul + L"\\rec.exe").c_str());
        ClickButton(dialog, IDOK);
        return true;
    });
    ChooseFile(whole, m_medium.Path(fits));
    const std::string refusal = std::string(", refused with \"") + kUnfitPath + "\"";
    const std::string expected[] = {
        "a file under folders of 455 bytes, which the file dialog gives back cut" + refusal,
        "a file under a folder in Hangul" + refusal,
        "a file whose path is 259 bytes taken",
    };
    std::vector<std::string> shown;
    const CRunInf item = Show(Item("x", "\\tools\\a.exe", RUNKIND_MANUAL), [&](HWND dialog) {
        for (int i = 0; i < 3; ++i) {
            const Expecting step(expected[i]);
            SendClick(dialog, IDC_BUTTON_BROWSE_EXE);
            shown.push_back(ItemText(dialog, IDC_EDIT_PROGRAMPATH));
        }
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"\\tools\\a.exe", "\\tools\\a.exe", fits}));
    ASSERT_EQ(boxes.Calls().size(), 2u);
    for (const MessageBoxCall& call : boxes.Calls()) {
        EXPECT_EQ(call.text, kUnfitPath);
        EXPECT_EQ(call.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(item.m_strProgramPath, fits.c_str());
}

TEST_F(RunSettingBrowse, WorkingFolderThatTheCodePageCannotCarryWholeIsRefused)
{
    const std::wstring drive = Wide(m_medium.Drive());
    const char letter = m_medium.Letter();
    // With the drive: 259 bytes (whole), 260 bytes and 455 bytes (both cut
    // to 259 by the ANSI picker).
    const std::string top = Kanji(75);
    const std::string fits = Kanji(52) + "a";
    const std::string over = Kanji(52) + "ab";
    ASSERT_EQ(m_medium.Path("\\" + top + "\\" + fits).size(), 259u);
    ASSERT_TRUE(MakeWide(drive, {Wide(top), Wide(fits)}));
    ASSERT_TRUE(MakeWide(drive, {Wide(top), Wide(over)}));
    ASSERT_TRUE(MakeWide(drive, {Wide(top), Wide(top), Wide(top)}));
    // Plain letters, 305 characters with the drive: cut in UTF-16 as well.
    const std::string plain(100, 'p');
    ASSERT_TRUE(MakeWide(drive, {Wide(plain), Wide(plain), Wide(plain)}));

    MessageBoxSeam boxes;
    Met deep, longer, plainDeep, whole;
    PickFolder(deep, letter, {top, top, top});
    PickFolder(longer, letter, {top, over});
    PickFolder(plainDeep, letter, {plain, plain, plain});
    PickFolder(whole, letter, {top, fits});
    const std::string refusal = std::string(", refused with \"") + kUnfitPath + "\"";
    const std::string expected[] = {
        "a folder of 455 bytes that the picker gives back cut" + refusal,
        "a folder of 260 bytes that the picker gives back cut" + refusal,
        "a folder of 305 characters that the picker gives back cut" + refusal,
        "a folder of 259 bytes taken",
    };
    std::vector<std::string> shown;
    const CRunInf item = Show(Item("x", "\\tools\\a.exe", RUNKIND_MANUAL), [&](HWND dialog) {
        for (int i = 0; i < 4; ++i) {
            const Expecting step(expected[i]);
            SendClick(dialog, IDC_BUTTON_BROWSE_FOLDER);
            shown.push_back(ItemText(dialog, IDC_EDIT_WORKPATH));
        }
        SendClick(dialog, IDOK);
    });
    const std::string fitting = "\\" + top + "\\" + fits;
    EXPECT_EQ(shown, (std::vector<std::string>{"", "", "", fitting}));
    ASSERT_EQ(boxes.Calls().size(), 3u);
    for (const MessageBoxCall& call : boxes.Calls())
        EXPECT_EQ(call.text, kUnfitPath);
    EXPECT_EQ(item.m_strWorkPath, fitting.c_str());
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

TEST_F(RunSettingBrowse, FileDialogOffersExecutablesAndTakesOnlyAFileThatExists)
{
    // Wine asks for the typed name itself to exist before it puts an
    // extension to it: a file of the bare name stands beside a.exe.
    ASSERT_TRUE(WriteBytes(m_medium.Path("\\tools\\readme.txt"), "r"));
    ASSERT_TRUE(WriteBytes(m_medium.Path("\\tools\\a"), "a"));
    MessageBoxSeam boxes;
    std::string nameShown;
    std::vector<std::string> types;
    std::vector<std::string> listed;
    std::vector<std::string> listedAll;
    HWND fileDialog = nullptr;
    HWND notFound = nullptr;
    HWND notFoundOwner = nullptr;
    bool keptOpen = false;
    // A name that is not there: the system's box, and the dialog stays.
    m_watch.Push([&, look = 0, end = ULONGLONG(0)](HWND dialog) mutable {
        if (look++ == 0) {
            fileDialog = dialog;
            nameShown = ItemText(dialog, kFileNameField);
            types = ComboTexts(::GetDlgItem(dialog, kFileTypeField));
            listed = FileDialogNames(dialog);
            FileDialogChoose(dialog, "none.exe");
            end = ::GetTickCount64() + 10000;
            return false;
        }
        if (notFound == nullptr || ::IsWindow(notFound)) {  // waits for the box to come and go
            if (::GetTickCount64() < end)
                return false;
            ClickButton(dialog, IDCANCEL);
            return true;
        }
        keptOpen = ::IsWindowVisible(dialog) != FALSE;
        // A bare name under "all files": the default extension is put to it,
        // as the name with that extension is there too.
        ::SendDlgItemMessageA(dialog, kFileTypeField, CB_SETCURSEL, 1, 0);
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kFileTypeField, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, kFileTypeField)));
        listedAll = FileDialogNames(dialog);
        FileDialogChoose(dialog, "a");
        return true;
    });
    m_watch.Push([&](HWND box) {
        notFound = box;
        notFoundOwner = ::GetWindow(box, GW_OWNER);
        ClickButton(box, IDOK);
        return true;
    });
    const CRunInf item = Show(Item("x", "\\tools\\a.exe", RUNKIND_MANUAL), [&](HWND dialog) {
        // Opened in the executable's folder, so a bare name is taken from there.
        SendClick(dialog, IDC_BUTTON_BROWSE_EXE);
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(nameShown, "*.exe");
    EXPECT_EQ(types, (std::vector<std::string>{"Exec(*.exe)", "全て(*.*)"}));
    EXPECT_EQ(listed, (std::vector<std::string>{"a.exe", "sub"}));
    EXPECT_EQ(listedAll, (std::vector<std::string>{"a", "a.exe", "readme.txt", "sub"}));
    EXPECT_NE(notFound, nullptr);
    EXPECT_EQ(notFoundOwner, fileDialog);
    EXPECT_TRUE(keptOpen);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(item.m_strProgramPath, "\\tools\\a.EXE");
}

TEST_F(RunSettingBrowse, SettingsDialogIsDisabledWhileThePickerRuns)
{
    // The picker belongs to the main window. A click on the settings
    // dialog's OK while it runs must not end that dialog: the folder chosen
    // afterwards would be dropped, and the main window freed under the picker.
    // (While the picker runs, the main window is disabled by the picker
    // itself; what the dialog must see to is the main window once it ends.)
    const char letter = m_medium.Letter();
    bool settingsEnabled = true;
    bool mainEnabledAfter = true;
    bool settingsShown = false;
    HWND owner = nullptr;
    m_watch.Push([&, clicked = false, end = ULONGLONG(0)](HWND picker) mutable {
        if (!PickerSettled(picker, end))
            return false;
        if (!clicked) {
            owner = ::GetWindow(picker, GW_OWNER);
            settingsEnabled = ::IsWindowEnabled(m_dialog) != FALSE;
            // The picker out of the way of the settings dialog's OK.
            RECT settings{};
            ::GetWindowRect(m_dialog, &settings);
            ::SetWindowPos(picker, nullptr, settings.right + 10, settings.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            MouseClick(::GetDlgItem(m_dialog, IDOK));
            clicked = true;
            return false;  // input comes before the next look's timer
        }
        settingsShown = ::IsWindowVisible(m_dialog) != FALSE;
        EXPECT_TRUE(PickerSelect(picker, letter, {"tools"}));
        ClickButton(picker, IDOK);
        return true;
    });
    const CRunInf item = Show(Item("x", "\\tools\\a.exe", RUNKIND_MANUAL), [&](HWND dialog) {
        SendClick(dialog, IDC_BUTTON_BROWSE_FOLDER);
        // Only a dialog still shown can be confirmed again.
        if (::IsWindowVisible(dialog)) {
            EXPECT_TRUE(::IsWindowEnabled(dialog));
            EXPECT_EQ(::GetActiveWindow(), dialog);
            // The picker's end frees its owner; the settings dialog still runs.
            mainEnabledAfter = ::IsWindowEnabled(m_main.m_hWnd) != FALSE;
            SendClick(dialog, IDOK);
        }
    });
    EXPECT_EQ(owner, m_main.m_hWnd);
    EXPECT_FALSE(settingsEnabled);
    EXPECT_FALSE(mainEnabledAfter);
    EXPECT_TRUE(settingsShown);
    EXPECT_EQ(item.m_strWorkPath, "\\tools");
}
