#include "AfxMessageBox.h"
#include "CDialog.h"
#include "CWinApp.h"
#include "FrameworkTest.h"

#include <gtest/gtest.h>

TEST(AfxMessageBox, CaptionIsTheTitleAndTheIconFollowsTheButtons)
{
    MessageBoxSeam seam;
    seam.Answer({IDOK, IDNO, IDOK});
    EXPECT_EQ(AfxMessageBox("起動するプログラムを一覧で選択してください"), IDOK);
    EXPECT_EQ(AfxMessageBox("削除しますか？", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("情報", MB_OK | MB_ICONINFORMATION), IDOK);

    ASSERT_EQ(seam.Calls().size(), 3u);
    EXPECT_EQ(seam.Calls()[0].text, "起動するプログラムを一覧で選択してください");
    EXPECT_EQ(seam.Calls()[0].caption, "vk_framework_tests");  // the executable's name
    EXPECT_EQ(seam.Calls()[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(seam.Calls()[1].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(seam.Calls()[2].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(seam.Calls()[0].owner, nullptr);  // no main window yet
}

TEST(AfxMessageBox, OwnedByTheMainWindowAndCaptionedByTheApplication)
{
    CWinApp app("Vellokari");
    CDialog main(IDD_FW_TEST);
    ASSERT_TRUE(main.Create(IDD_FW_TEST));
    app.m_pMainWnd = &main;

    MessageBoxSeam seam;
    EXPECT_EQ(AfxMessageBox("削除しますか？", MB_YESNO), IDYES);  // the first button by default
    ASSERT_EQ(seam.Calls().size(), 1u);
    EXPECT_EQ(seam.Calls()[0].owner, main.m_hWnd);
    EXPECT_EQ(seam.Calls()[0].caption, "Vellokari");
    EXPECT_STREQ(AfxGetAppName(), "Vellokari");
}

TEST(CWinApp, TitleAndArgumentsComeFromTheProgram)
{
    CWinApp app;
    EXPECT_STREQ(app.GetAppName(), "vk_framework_tests");
    EXPECT_EQ(AfxGetApp(), &app);
    ASSERT_GE(CWinApp::GetArgCount(), 1);
    EXPECT_NE(std::string(CWinApp::GetArg(0)).find("vk_framework_tests"), std::string::npos);
    EXPECT_STREQ(CWinApp::GetArg(99), "");
}
