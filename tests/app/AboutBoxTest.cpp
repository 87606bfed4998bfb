// The about box as the main dialog opens it: the program's own version
// resource, the version text's replacements and the home-page link.
#include "AppIds.h"
#include "CAboutDlg.h"
#include "CVellokariDlg.h"
#include "HomePage.h"
#include "HttpsHandler.h"
#include "TestSupport.h"
#include "VersionText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ItemText(HWND dialog, int id)
{
    char text[512] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// Reads the program's own version from another file, with a fresh store;
// the real module and an empty store again when it goes.
class OwnVersionFrom {
public:
    explicit OwnVersionFrom(const std::string& path) : m_saved(VersionFileBinding().moduleFileName)
    {
        s_path = path;
        VersionFileBinding().moduleFileName = &Path;
        ForgetProductVersionString();
    }
    ~OwnVersionFrom()
    {
        VersionFileBinding().moduleFileName = m_saved;
        ForgetProductVersionString();
    }
    OwnVersionFrom(const OwnVersionFrom&) = delete;
    OwnVersionFrom& operator=(const OwnVersionFrom&) = delete;

private:
    static DWORD WINAPI Path(HMODULE, LPSTR path, DWORD size)
    {
        const DWORD n = static_cast<DWORD>(s_path.size());
        if (n + 1 > size)
            return 0;
        s_path.copy(path, n);
        path[n] = '\0';
        return n;
    }

    decltype(VersionFileCalls::moduleFileName) m_saved;
    static inline std::string s_path;
};

// Runs an about box and returns the text of its version static, then OK.
std::string VersionShownByAboutBox(INT_PTR* result = nullptr)
{
    ModalSeam seam;
    std::string shown;
    seam.Push([&](CDialog& dialog) {
        shown = ItemText(dialog.m_hWnd, IDC_STATIC_VERSION);
        ::SendMessageA(::GetDlgItem(dialog.m_hWnd, IDOK), BM_CLICK, 0, 0);
    });
    CAboutDlg about;
    const INT_PTR ended = about.DoModal();
    if (result != nullptr)
        *result = ended;
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_EQ(seam.LeftOpen(), 0);
    EXPECT_EQ(about.m_strVersion.str(), shown);
    return shown;
}

}  // namespace

TEST(AboutBox, ShowsTheProgramsOwnVersionResource)
{
    ForgetProductVersionString();
    ModalSeam seam;
    seam.Push([](CDialog& dialog) {
        const HWND hwnd = dialog.m_hWnd;
        EXPECT_EQ(WindowText(hwnd), "Vellokariのﾊﾞｰｼﾞｮﾝ情報");
        // The program's version resource says 1.0.0.1.
        EXPECT_EQ(ItemText(hwnd, IDC_STATIC_VERSION), "Vellokari Ver.:1-0-0-1");
        EXPECT_EQ(ItemText(hwnd, IDC_SYSLINK_ABOUT_HOMEPAGE), "<a>Morrowglintホームページ</a>");
        EXPECT_EQ(ItemText(hwnd, IDOK), "OK");
        EXPECT_EQ(::SendMessageA(hwnd, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
        ::SendMessageA(::GetDlgItem(hwnd, IDOK), BM_CLICK, 0, 0);
    });
    CAboutDlg about;
    EXPECT_TRUE(about.m_strVersion.IsEmpty());
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(seam.Driven(), 1);
    EXPECT_EQ(about.m_strVersion, "Vellokari Ver.:1-0-0-1");
    EXPECT_EQ(GetFileVersionString(FixturePath("vk_app_tests.exe").c_str()), "Ver.:1.0.0.1");
}

TEST(AboutBox, VersionOfOtherResourcesAsTheBoxShowsThem)
{
    {
        OwnVersionFrom own(FixturePath("vk_version_plain.exe"));
        INT_PTR result = 0;
        EXPECT_EQ(VersionShownByAboutBox(&result), "Vellokari Ver.:1-1-2-125");
        EXPECT_EQ(result, IDOK);
    }
    {
        OwnVersionFrom own(FixturePath("vk_recorder.exe"));  // no version resource
        EXPECT_EQ(VersionShownByAboutBox(), "Vellokari ");
    }
    {
        OwnVersionFrom own(FixturePath("vk_version_second.exe"));  // no string for the first translation
        EXPECT_EQ(VersionShownByAboutBox(), "Vellokari Ver.:");
    }
}

TEST(AboutBox, ReplacementsRunInTheirOrder)
{
    struct Case {
        const char* versionText;
        const char* shown;
    };
    const Case cases[] = {
        {"Ver.:1.1.2.125", "Vellokari Ver.:1-1-2-125"},
        {"Ver.:1, 1, 2, 125", "Vellokari Ver.:1- 1- 2- 125"},
        {"Ver.:2;0", "Vellokari Ver.:2.0"},           // a semicolon becomes a dot
        {"Ver.:1%2", "Vellokari Ver.:1.:2"},          // a percent comes out as ".:"
        {"Ver.:1.:2;3,4.5", "Vellokari Ver.:1.:2.3-4-5"},  // ".:" inside survives as well
        {"Ver.:版1.0", "Vellokari Ver.:版1-0"},
        {"Ver.:", "Vellokari Ver.:"},
        {"", "Vellokari "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeAboutVersionText(c.versionText), c.shown) << c.versionText;
}

TEST(AboutBox, LinkOpensTheHomePageThroughTheShell)
{
    TempFolder folder;
    const std::string record = folder / "record.txt";
    const std::string recorder = FixturePath("vk_recorder.exe");
    HttpsHandler handler("\"" + recorder + "\" \"%1\"");
    ASSERT_TRUE(handler.Ok());
    ::SetEnvironmentVariableA("VK_RECORD_FILE", record.c_str());

    ModalSeam seam;
    bool opened = false;
    seam.Push([&](CDialog& dialog) {
        // A click on the link's text, as the mouse gives it.
        const HWND link = ::GetDlgItem(dialog.m_hWnd, IDC_SYSLINK_ABOUT_HOMEPAGE);
        ASSERT_NE(link, nullptr);
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 5));
        ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(6, 5));
        opened = WaitFor([&] { return ReadBytes(record).find("CMD=") != std::string::npos; });
        EXPECT_TRUE(dialog.IsRunningModal());  // the box stays open
        dialog.EndDialog(IDOK);
    });
    CAboutDlg about;
    about.DoModal();
    ::SetEnvironmentVariableA("VK_RECORD_FILE", nullptr);
    ASSERT_TRUE(opened);
    EXPECT_NE(ReadBytes(record).find(std::string("\"") + kHomePageAddress + "\""), std::string::npos)
        << ReadBytes(record);
    EXPECT_STREQ(kHomePageAddress, "https://www.morrowglint.example/");
}

// The main dialog's system menu, read in this process: the system's items,
// then a separator and the about entry; chosen, the entry opens the about box.
TEST(AboutBox, MainDialogsSystemMenuEndsWithItsEntry)
{
    ModalSeam seam;
    seam.Push([](CDialog& dialog) {
        const HMENU menu = ::GetSystemMenu(dialog.m_hWnd, FALSE);
        const int count = menu != nullptr ? ::GetMenuItemCount(menu) : 0;
        ASSERT_GE(count, 2);
        MENUITEMINFOA separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(::GetMenuItemInfoA(menu, count - 2, TRUE, &separator));
        EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
        char text[128] = {};
        ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "Vellokari のﾊﾞｰｼﾞｮﾝ情報(&A)...");
        const UINT id = ::GetMenuItemID(menu, count - 1);
        EXPECT_EQ(id, 0x10u);
        dialog.SendMessage(WM_SYSCOMMAND, id, 0);
        dialog.EndDialog(IDCANCEL);
    });
    std::string aboutCaption;
    seam.Push([&](CDialog& about) {
        aboutCaption = WindowText(about.m_hWnd);
        about.EndDialog(IDOK);
    });
    CVellokariDlg main;
    EXPECT_EQ(main.DoModal(), IDCANCEL);
    EXPECT_EQ(seam.Driven(), 2);
    EXPECT_EQ(seam.LeftOpen(), 0);
    EXPECT_EQ(aboutCaption, "Vellokariのﾊﾞｰｼﾞｮﾝ情報");
}
