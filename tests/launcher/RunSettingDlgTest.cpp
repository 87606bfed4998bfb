// The run-item settings dialog, shown modally and used through its controls
// as a user would: what it shows for an item, how its controls follow each
// other, and what OK stores.
#include "PanelHost.h"

#include "AfxMessageBox.h"
#include "CRunSettingDlg.h"
#include "DialogTemplate.h"
#include "DialogWatch.h"
#include "ModalSeam.h"
#include "RunSettingIds.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace {

const char kDrive[] = "M:";

bool Checked(HWND dialog, int id)
{
    return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(HWND dialog, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

// Which of the dialog's switchable controls are enabled, as one text:
// group, start, gate, delay label, delay, up-down, unit, gateway label,
// gateway, browse exe, browse folder, arguments.
std::string EnabledControls(HWND dialog)
{
    const int ids[] = {IDC_GROUP_TIMING, IDC_RADIO_TIMING_START, IDC_RADIO_TIMING_GATE, IDC_STATIC_DELAY,
                       IDC_EDIT_DELAY, IDC_SPIN_DELAY, IDC_STATIC_DELAYUNIT, IDC_STATIC_GATE, IDC_COMBO_GATE,
                       IDC_BUTTON_BROWSE_EXE, IDC_BUTTON_BROWSE_FOLDER, IDC_EDIT_ARG};
    std::string flags;
    for (int id : ids)
        flags += Enabled(dialog, id) ? '1' : '0';
    return flags;
}

// Shows the dialog on a copy of the item with the driver, as the launcher's
// commands do; the result and the item read back after it.
struct Shown {
    INT_PTR result;
    CRunInf item;
};

Shown Show(const CRunInf& item, std::function<void(HWND)> driver)
{
    CRunSettingDlg dialog;
    dialog.SetRunItem(item);
    dialog.SetDrive(kDrive);
    ModalSeam seam;
    seam.Push([&](CDialog& d) { driver(d.m_hWnd); });
    const INT_PTR result = dialog.DoModal();
    EXPECT_EQ(seam.Driven(), 1);
    return {result, *dialog.GetRunItem()};
}

CRunInf SkypeItem(int kind)
{
    CRunInf item = Item("Skype", "\\skype\\bin\\Skype.exe", kind, 0, 0, "/datapath:\"%letter%\\skype\\data\" /removable");
    item.m_bSkype = TRUE;
    return item;
}

}  // namespace

TEST(RunSettingDlg, Template)
{
    const DialogTemplateHead head = ReadDialogTemplateHead(CRunSettingDlg::IDD);
    ASSERT_TRUE(head.found);
    EXPECT_EQ(head.style, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(head.cx, 267);
    EXPECT_EQ(head.cy, 157);
    EXPECT_EQ(head.title, L"起動プログラム設定");
    EXPECT_EQ(head.pointSize, 9);
    EXPECT_EQ(head.typeface, L"ＭＳ Ｐゴシック");
    EXPECT_EQ(head.items, 23);

    Show(CRunInf(), [](HWND dialog) {
        // The up-down control (206, 92, 9, 10 in the template) moves into
        // its buddy's right edge, which narrows the buddy (167, 91, 40, 12);
        // a drop-down box (52 high) is as high as its field: these three as
        // the system places them.
        ExpectControls(dialog, {
            {-1, "Static", "プログラム名", {8, 16, 39, 8}, 0},
            {IDC_EDIT_PROGRAMNAME, "Edit", "", {50, 14, 187, 13}, ES_AUTOHSCROLL | WS_TABSTOP},
            {-1, "Static", "実行ファイル", {8, 32, 38, 8}, 0},
            {IDC_EDIT_PROGRAMPATH, "Edit", "", {50, 29, 187, 13}, WS_DISABLED},
            {IDC_BUTTON_BROWSE_EXE, "Button", "・・・", {239, 29, 21, 13}, WS_TABSTOP},
            {-1, "Static", "作業フォルダ", {7, 46, 38, 8}, 0},
            {IDC_EDIT_WORKPATH, "Edit", "", {50, 43, 187, 13}, WS_DISABLED},
            {IDC_BUTTON_BROWSE_FOLDER, "Button", "・・・", {239, 45, 21, 13}, WS_TABSTOP},
            {-1, "Static", "実行時引数", {8, 59, 38, 8}, 0},
            {IDC_EDIT_ARG, "Edit", "", {50, 57, 187, 13}, WS_TABSTOP},
            {-1, "Button", "自動起動", {7, 73, 253, 59}, BS_GROUPBOX},
            {IDC_GROUP_TIMING, "Button", "起動タイミング", {49, 84, 72, 43}, BS_GROUPBOX},
            {IDC_RADIO_TIMING_START, "Button", "Vellokari起動", {54, 96, 58, 10}, BS_AUTORADIOBUTTON | WS_GROUP},
            {IDC_RADIO_TIMING_GATE, "Button", "BorewayOpen", {54, 111, 55, 10}, BS_AUTORADIOBUTTON},
            {IDC_STATIC_DELAY, "Static", "遅延時間", {135, 93, 28, 8}, WS_GROUP},
            {IDC_EDIT_DELAY, "Edit", "0", {167, 91, 29, 12}, ES_RIGHT, 2},
            {IDC_SPIN_DELAY, "msctls_updown32", "Spin1", {195, 91, 11, 12},
             UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 2},
            {IDC_STATIC_DELAYUNIT, "Static", "×100ms", {218, 93, 27, 8}, 0},
            {IDC_STATIC_GATE, "Static", "Boreway種別", {126, 111, 39, 8}, 0},
            // The scroll bar's style goes to the box's list.
            {IDC_COMBO_GATE, "ComboBox", "BorewayForTCP", {167, 107, 76, 13}, CBS_DROPDOWN | CBS_SORT | WS_TABSTOP},
            {IDC_CHECK_AUTOSTART, "Button", "有効", {17, 88, 30, 10}, BS_AUTOCHECKBOX | WS_TABSTOP},
            {IDOK, "Button", "OK", {7, 136, 50, 14}, BS_DEFPUSHBUTTON},
            {IDCANCEL, "Button", "ｷｬﾝｾﾙ", {210, 136, 50, 14}, WS_TABSTOP},
        });
        // The up-down control took the delay edit as its buddy, at its right
        // edge (over the edit's border).
        const HWND spin = ::GetDlgItem(dialog, IDC_SPIN_DELAY);
        const HWND edit = ::GetDlgItem(dialog, IDC_EDIT_DELAY);
        EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageA(spin, UDM_GETBUDDY, 0, 0)), edit);
        RECT spinRect{}, editRect{};
        ::GetWindowRect(spin, &spinRect);
        ::GetWindowRect(edit, &editRect);
        EXPECT_NEAR(spinRect.left, editRect.right, 2);
        // The gateway names in kind order, as inserted.
        const HWND combo = ::GetDlgItem(dialog, IDC_COMBO_GATE);
        ASSERT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 5);
        for (int i = 0; i < 5; ++i) {
            char name[64] = {};
            ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
            EXPECT_STREQ(name, g_gateKindNames[i]);
        }
        int low = -1, high = -1;
        ::SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        EXPECT_EQ(low, 0);
        EXPECT_EQ(high, 600);
        SendClick(dialog, IDCANCEL);
    });
}

TEST(RunSettingDlg, OpensAsTheItemIsAndOkStoresItsKind)
{
    const struct {
        const char* name;
        CRunInf item;
        bool check, start, gate;
        const char* delay;
        const char* gateName;
        const char* enabled;  // see EnabledControls
        int storedKind;
    } cases[] = {
        {"manual with a delay", Item("m", "\\m.exe", RUNKIND_MANUAL, 30, 3), false, false, false, "30", "BorewayForVNC",
         "000000000111", RUNKIND_MANUAL},
        {"at start", Item("s", "\\s.exe", RUNKIND_AUTO_START, 25, 3), true, true, false, "25", "BorewayForVNC",
         "111111100111", RUNKIND_AUTO_START},
        {"on gate open", Item("g", "\\g.exe", RUNKIND_AUTO_GATE, 600, 4), true, false, true, "600", "BorewayOne",
         "111111111111", RUNKIND_AUTO_GATE},
        {"kind 7", Item("u", "\\u.exe", 7, 15, 1), true, false, true, "15", "BorewayForFTP", "111111111111",
         RUNKIND_AUTO_GATE},
        {"Skype manual", SkypeItem(RUNKIND_MANUAL), false, false, false, "0", "BorewayForTCP", "000000000000",
         RUNKIND_MANUAL},
        {"Skype at start", SkypeItem(RUNKIND_AUTO_START), true, true, false, "0", "BorewayForTCP", "110111100000",
         RUNKIND_AUTO_START},
        {"Skype on gate open", SkypeItem(RUNKIND_AUTO_GATE), true, false, true, "0", "BorewayForTCP", "110111111000",
         RUNKIND_AUTO_GATE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Shown shown = Show(c.item, [&](HWND dialog) {
            EXPECT_EQ(ItemText(dialog, IDC_EDIT_PROGRAMNAME), c.item.m_strProgramName.str());
            EXPECT_EQ(ItemText(dialog, IDC_EDIT_PROGRAMPATH), c.item.m_strProgramPath.str());
            EXPECT_EQ(ItemText(dialog, IDC_EDIT_ARG), c.item.m_strArg.str());
            EXPECT_EQ(Checked(dialog, IDC_CHECK_AUTOSTART), c.check);
            EXPECT_EQ(Checked(dialog, IDC_RADIO_TIMING_START), c.start);
            EXPECT_EQ(Checked(dialog, IDC_RADIO_TIMING_GATE), c.gate);
            EXPECT_EQ(ItemText(dialog, IDC_EDIT_DELAY), c.delay);
            EXPECT_EQ(ItemText(dialog, IDC_COMBO_GATE), c.gateName);
            EXPECT_EQ(EnabledControls(dialog), c.enabled);
            // Never enabled: the two paths; always: name, check box, OK, cancel.
            EXPECT_FALSE(Enabled(dialog, IDC_EDIT_PROGRAMPATH));
            EXPECT_FALSE(Enabled(dialog, IDC_EDIT_WORKPATH));
            for (int id : {IDC_EDIT_PROGRAMNAME, IDC_CHECK_AUTOSTART, IDOK, IDCANCEL})
                EXPECT_TRUE(Enabled(dialog, id)) << id;
            SendClick(dialog, IDOK);
        });
        EXPECT_EQ(shown.result, IDOK);
        EXPECT_EQ(shown.item.m_nRunKind, c.storedKind);
        EXPECT_EQ(shown.item.m_nDelayTime, c.item.m_nDelayTime);
        EXPECT_EQ(shown.item.m_nGateKind, c.item.m_nGateKind);
        EXPECT_EQ(shown.item.m_strProgramName, c.item.m_strProgramName);
        EXPECT_EQ(shown.item.m_strArg, c.item.m_strArg);
    }
}

TEST(RunSettingDlg, NewItemOpensEmptyAndNeedsAnExecutable)
{
    MessageBoxSeam boxes;
    const Shown shown = Show(CRunInf(), [](HWND dialog) {
        for (int id : {IDC_EDIT_PROGRAMNAME, IDC_EDIT_PROGRAMPATH, IDC_EDIT_WORKPATH, IDC_EDIT_ARG})
            EXPECT_EQ(ItemText(dialog, id), "") << id;
        EXPECT_FALSE(Checked(dialog, IDC_CHECK_AUTOSTART));
        EXPECT_FALSE(Checked(dialog, IDC_RADIO_TIMING_START));
        EXPECT_FALSE(Checked(dialog, IDC_RADIO_TIMING_GATE));
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_DELAY), "0");
        EXPECT_EQ(ItemText(dialog, IDC_COMBO_GATE), "BorewayForTCP");
        EXPECT_EQ(EnabledControls(dialog), "000000000111");

        // OK without an executable: the box, and the dialog stays as it was.
        ::SetDlgItemTextA(dialog, IDC_EDIT_PROGRAMNAME, "named");
        SendClick(dialog, IDOK);
        EXPECT_TRUE(::IsWindowVisible(dialog));
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_PROGRAMNAME), "named");
        SendClick(dialog, IDCANCEL);
    });
    EXPECT_EQ(shown.result, IDCANCEL);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "実行ファイルが指定されていません.");
    EXPECT_EQ(boxes.Calls()[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(shown.item.m_strProgramName, "");  // untouched by the refused OK
}

TEST(RunSettingDlg, CheckBoxOffAndOnAgainStartsWithTheProgramAnew)
{
    const Shown shown = Show(Item("g", "\\g.exe", RUNKIND_AUTO_GATE, 30, 3), [](HWND dialog) {
        SendClick(dialog, IDC_CHECK_AUTOSTART);  // off: the timing stays, disabled
        EXPECT_EQ(EnabledControls(dialog), "000000000111");
        EXPECT_TRUE(Checked(dialog, IDC_RADIO_TIMING_GATE));
        SendClick(dialog, IDC_CHECK_AUTOSTART);  // on: at program start again
        EXPECT_TRUE(Checked(dialog, IDC_RADIO_TIMING_START));
        EXPECT_FALSE(Checked(dialog, IDC_RADIO_TIMING_GATE));
        EXPECT_EQ(EnabledControls(dialog), "111111100111");
        SendClick(dialog, IDC_RADIO_TIMING_GATE);  // the gateway with it
        EXPECT_EQ(EnabledControls(dialog), "111111111111");
        SendClick(dialog, IDC_RADIO_TIMING_START);
        EXPECT_EQ(EnabledControls(dialog), "111111100111");
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(shown.item.m_nRunKind, RUNKIND_AUTO_START);
}

TEST(RunSettingDlg, CheckBoxOffStoresManualWithWhatTheDisabledControlsHold)
{
    const Shown shown = Show(Item("g", "\\g.exe", RUNKIND_AUTO_GATE, 30, 3), [](HWND dialog) {
        ::SetDlgItemTextA(dialog, IDC_EDIT_DELAY, "45");
        ::SendDlgItemMessageA(dialog, IDC_COMBO_GATE, CB_SETCURSEL, 1, 0);
        SendClick(dialog, IDC_CHECK_AUTOSTART);
        EXPECT_EQ(EnabledControls(dialog), "000000000111");
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(shown.result, IDOK);
    EXPECT_EQ(shown.item.m_nRunKind, RUNKIND_MANUAL);
    EXPECT_EQ(shown.item.m_nDelayTime, 45);
    EXPECT_EQ(shown.item.m_nGateKind, 1);
}

TEST(RunSettingDlg, EmptyNameTakesTheExecutablesFileName)
{
    const Shown shown = Show(Item("old", "\\skype\\bin\\Skype.exe", RUNKIND_MANUAL), [](HWND dialog) {
        ::SetDlgItemTextA(dialog, IDC_EDIT_PROGRAMNAME, "");
        ::SetDlgItemTextA(dialog, IDC_EDIT_ARG, "-x %letter%");
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(shown.item.m_strProgramName, "Skype.exe");
    EXPECT_EQ(shown.item.m_strArg, "-x %letter%");
    EXPECT_FALSE(shown.item.m_bSkype);  // the dialog never makes an item the Skype item
}

TEST(RunSettingDlg, OnlyAWholeNumberFrom0To600MovesTheDelay)
{
    const struct {
        const char* text;
        int stored;
    } cases[] = {{"600", 600}, {"0", 0}, {"601", 25}, {"-1", 25}, {"12a", 25},
                 // Wine's up-down control reads an empty buddy as 0, on purpose (its source says so).
                 {"", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Shown shown = Show(Item("s", "\\s.exe", RUNKIND_AUTO_START, 25), [&](HWND dialog) {
            ::SetDlgItemTextA(dialog, IDC_EDIT_DELAY, c.text);
            SendClick(dialog, IDOK);
        });
        EXPECT_EQ(shown.item.m_nDelayTime, c.stored);
    }
}

TEST(RunSettingDlg, OnlyAGatewayNameAsItIsChangesTheGatewayKind)
{
    const struct {
        const char* text;
        int stored;
    } cases[] = {{"BorewayForFTP", 1}, {"BorewayOne", 4}, {"borewayforftp", 3}, {"BorewayOne ", 3}, {"Boreway", 3}, {"", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Shown shown = Show(Item("g", "\\g.exe", RUNKIND_AUTO_GATE, 5, 3), [&](HWND dialog) {
            ::SetDlgItemTextA(dialog, IDC_COMBO_GATE, c.text);
            SendClick(dialog, IDOK);
        });
        EXPECT_EQ(shown.item.m_nGateKind, c.stored);
    }

    // A stored kind without a name shows none and stays.
    const Shown shown = Show(Item("g", "\\g.exe", RUNKIND_AUTO_GATE, 5, 9), [](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_COMBO_GATE), "");
        EXPECT_EQ(::SendDlgItemMessageA(dialog, IDC_COMBO_GATE, CB_GETCURSEL, 0, 0), CB_ERR);
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(shown.item.m_nGateKind, 9);
}

TEST(RunSettingDlg, WhatTheNameAndArgumentsTakeLoadsBackWhole)
{
    // Pasted text beyond the edits' limit is refused: they take as many
    // characters as the longest text that loads has in double-byte ones (an
    // edit that keeps its text in bytes counts bytes). What they took is
    // saved and loaded back whole.
    std::string wide;
    for (int i = 0; i < 40000; ++i)
        wide += "表";
    const std::string narrow(40000, 'a');
    const struct {
        const std::string* pasted;
        int least, most;  // bytes taken
    } cases[] = {{&wide, RUNINF_MAX_TEXT / 2 - 1, RUNINF_MAX_TEXT}, {&narrow, RUNINF_MAX_TEXT / 2, RUNINF_MAX_TEXT / 2}};
    for (const auto& c : cases) {
        const std::string* pasted = c.pasted;
        const Shown shown = Show(Item("n", "\\n.exe", RUNKIND_MANUAL), [&](HWND dialog) {
            for (int id : {IDC_EDIT_PROGRAMNAME, IDC_EDIT_ARG}) {
                ::SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
                ::SendDlgItemMessageA(dialog, id, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted->c_str()));
            }
            SendClick(dialog, IDOK);
        });
        ASSERT_EQ(shown.result, IDOK);
        for (const CString* field : {&shown.item.m_strProgramName, &shown.item.m_strArg}) {
            EXPECT_GE(field->GetLength(), c.least);
            EXPECT_LE(field->GetLength(), c.most);
            EXPECT_EQ(pasted->compare(0, static_cast<std::size_t>(field->GetLength()), field->str()), 0);
        }

        TempFolder dir;
        CLauncherDlg saver;
        saver.m_strIniPath = (dir / "Vellokari.ini").c_str();
        saver.m_runItems = {shown.item};
        saver.SaveSettings();
        CLauncherDlg loader;
        loader.m_strIniPath = saver.m_strIniPath;
        loader.ReadIniFile();
        ASSERT_EQ(loader.m_runItems.size(), 1u);
        EXPECT_TRUE(loader.m_runItems[0].m_strProgramName == shown.item.m_strProgramName)
            << loader.m_runItems[0].m_strProgramName.GetLength();
        EXPECT_TRUE(loader.m_runItems[0].m_strArg == shown.item.m_strArg) << loader.m_runItems[0].m_strArg.GetLength();
    }
}

TEST(RunSettingDlg, RunTimeStateAndTheSkypeFlagNeverChange)
{
    CRunInf item = SkypeItem(RUNKIND_AUTO_START);
    item.m_strWorkPath = "\\skype";
    item.m_bArmed = TRUE;
    item.m_nCountdown = 7;
    item.m_bFailed = TRUE;
    item.m_dwLastError = 5;
    const Shown shown = Show(item, [](HWND dialog) {
        ::SetDlgItemTextA(dialog, IDC_EDIT_PROGRAMNAME, "スカイプ");
        ::SetDlgItemTextA(dialog, IDC_EDIT_DELAY, "7");
        SendClick(dialog, IDC_CHECK_AUTOSTART);
        SendClick(dialog, IDOK);
    });
    EXPECT_EQ(shown.item.m_strProgramName, "スカイプ");
    EXPECT_EQ(shown.item.m_strProgramPath, "\\skype\\bin\\Skype.exe");
    EXPECT_EQ(shown.item.m_strWorkPath, "\\skype");
    EXPECT_EQ(shown.item.m_nRunKind, RUNKIND_MANUAL);
    EXPECT_EQ(shown.item.m_nDelayTime, 7);
    EXPECT_TRUE(shown.item.m_bArmed);
    EXPECT_EQ(shown.item.m_nCountdown, 7);
    EXPECT_TRUE(shown.item.m_bFailed);
    EXPECT_EQ(shown.item.m_dwLastError, 5u);
    EXPECT_TRUE(shown.item.m_bSkype);
}
