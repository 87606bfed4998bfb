// The system's folder picker, driven as a user would: opened on its start
// folder, a folder clicked in its tree, then OK or Cancel.
#include "BrowseForFolder.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "DialogWatch.h"
#include "ListedDrive.h"
#include "SystemDialogs.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the picker showed as it opened.
struct PickerSeen {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    std::string selected;
};

// A handler that notes the picker, selects a folder (none: keeps the
// start folder) and presses OK, or Cancel when told so.
DialogWatch::Handler Pick(PickerSeen& seen, char letter, std::vector<std::string> folders, int button = IDOK)
{
    return [&seen, letter, folders, button, end = ULONGLONG(0)](HWND picker) mutable {
        if (!PickerSettled(picker, end))
            return false;
        seen.owner = ::GetWindow(picker, GW_OWNER);
        char text[256] = {};
        ::GetWindowTextA(picker, text, sizeof text);
        seen.caption = text;
        seen.text = DialogTexts(picker);
        seen.selected = PickerSelection(picker);
        if (letter != 0) {
            EXPECT_TRUE(PickerSelect(picker, letter, folders));
        }
        ClickButton(picker, button);
        return true;
    };
}

class FolderPicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_medium.IsReady());
        ASSERT_TRUE(m_listed.IsListed());
        // Wine's picker, the first time a process shows it, at times selects
        // nothing of a start folder two levels down: once shown and
        // cancelled, it does so every time.
        m_watch.Push([](HWND picker) {
            ClickButton(picker, IDCANCEL);
            return true;
        });
        ASSERT_EQ(BrowseForFolder(m_medium.Path("\\tools\\sub").c_str()), nullptr);
    }

    TestMedium m_medium;
    bool m_made = (m_medium.MakeFolders("\\tools\\sub"), true);
    ListedDrive m_listed{m_medium};
    DialogWatch m_watch;
    PickerSeen m_seen;
};

}  // namespace

TEST_F(FolderPicker, OpensOnTheStartFolderAndGivesTheChosenPath)
{
    const char letter = m_medium.Letter();
    // The start folder confirmed as it is.
    m_watch.Push(Pick(m_seen, 0, {}));
    const char* chosen = BrowseForFolder(m_medium.Path("\\tools\\sub").c_str());
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(std::string(chosen), m_medium.Path("\\tools\\sub"));
    EXPECT_EQ(m_seen.selected, "sub");
    EXPECT_NE(m_seen.text.find("フォルダの選択"), std::string::npos) << m_seen.text;
    EXPECT_EQ(m_seen.owner, nullptr);  // no main window

    // A drive string alone starts on the drive; its root comes with its backslash.
    m_watch.Push(Pick(m_seen, 0, {}));
    chosen = BrowseForFolder(m_medium.Drive().c_str());
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(std::string(chosen), m_medium.Drive() + "\\");
    EXPECT_EQ(m_seen.selected, std::string(" (") + letter + ":)");

    // Another folder clicked; then one off the medium.
    m_watch.Push(Pick(m_seen, letter, {"tools"}));
    chosen = BrowseForFolder(m_medium.Drive().c_str());
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(std::string(chosen), m_medium.Path("\\tools"));
    m_watch.Push(Pick(m_seen, 'C', {"windows"}));
    chosen = BrowseForFolder(m_medium.Drive().c_str());
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(std::string(chosen), "C:\\windows");

    // Cancel.
    m_watch.Push(Pick(m_seen, letter, {"tools"}, IDCANCEL));
    EXPECT_EQ(BrowseForFolder(m_medium.Drive().c_str()), nullptr);
    EXPECT_EQ(m_watch.Unexpected(), 0);
}

TEST_F(FolderPicker, OnlyFileSystemFoldersCanBeConfirmed)
{
    bool okEnabled = true;
    m_watch.Push([&](HWND picker) {
        EXPECT_TRUE(PickerSelectTopItem(picker, "My Computer"));
        okEnabled = ::IsWindowEnabled(::GetDlgItem(picker, IDOK)) != FALSE;
        ClickButton(picker, IDCANCEL);
        return true;
    });
    EXPECT_EQ(BrowseForFolder(m_medium.Drive().c_str()), nullptr);
    EXPECT_FALSE(okEnabled);
}

TEST_F(FolderPicker, OwnedByTheMainWindow)
{
    CWinApp app("Vellokari");
    CWnd main;
    main.Attach(::CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    app.m_pMainWnd = &main;
    m_watch.Push(Pick(m_seen, 0, {}, IDCANCEL));
    EXPECT_EQ(BrowseForFolder(m_medium.Drive().c_str()), nullptr);
    EXPECT_EQ(m_seen.owner, main.m_hWnd);
    app.m_pMainWnd = nullptr;
    ::DestroyWindow(main.Detach());
}

TEST_F(FolderPicker, EveryCallSharesOneResultBuffer)
{
    m_watch.Push(Pick(m_seen, 0, {}));
    const char* first = BrowseForFolder(m_medium.Path("\\tools\\sub").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::string(first), m_medium.Path("\\tools\\sub"));
    m_watch.Push(Pick(m_seen, 0, {}));
    const char* second = BrowseForFolder(m_medium.Drive().c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::string(first), m_medium.Drive() + "\\");
}

