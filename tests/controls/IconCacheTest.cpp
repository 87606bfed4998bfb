#include "CImageListCash.h"
#include "CommonControlsBinding.h"
#include "DebugLog.h"
#include "Dib.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kRed = FixturePath("vk_icon_red.exe");
const std::string kGreen = FixturePath("vk_icon_green.exe");

// The colour in the middle of image i as the list draws it.
std::uint32_t ImageColour(HIMAGELIST list, int index)
{
    Dib dib(24, 24, 0xFF00FF);
    CommonControlsBinding().imageListDraw(list, index, dib.Dc(), 0, 0, ILD_NORMAL);
    return Dib::Rgb(dib.At(12, 12));
}

std::uint32_t ImageColour(CImageListCash& cache, int index)
{
    return ImageColour(cache.m_imageList, index);
}

// The system's error icon as an image list like the cache's draws it.
std::uint32_t ErrorIconColour()
{
    CImageList reference;
    reference.Create(24, 24, ILC_COLORDDB, 0, 50);
    reference.SetBkColor(0xFFFFFF);
    return ImageColour(reference, reference.Add(::LoadIconA(nullptr, IDI_HAND)));
}

std::string Missing()
{
    return ProgramFolder() + "\\no such program.exe";
}

// Windows maps .exe to exefile, whose icon is the file's own; Wine's fresh
// prefix lacks the mapping, and its shell then gives every program the
// generic icon. The tests run on the mapping that Windows has.
class IconCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char value[32] = {};
        LONG size = sizeof value;
        if (::RegQueryValueA(HKEY_CLASSES_ROOT, ".exe", value, &size) != ERROR_SUCCESS ||
            std::string(value) != "exefile") {
            ASSERT_EQ(::RegSetValueA(HKEY_CLASSES_ROOT, ".exe", REG_SZ, "exefile", 7), ERROR_SUCCESS);
        }
    }
};

TEST_F(IconCacheTest, NewCacheHoldsNothingAndFirstPathGetsTheFilesIcon)
{
    CImageListCash cache;
    EXPECT_EQ(cache.m_imageList.GetImageCount(), 0);
    ASSERT_NE(cache.m_imageList.GetSafeHandle(), nullptr);
    EXPECT_EQ(CommonControlsBinding().imageListGetBkColor(cache.m_imageList), 0xFFFFFFu);
    int cx = 0, cy = 0;
    CommonControlsBinding().imageListGetIconSize(cache.m_imageList, &cx, &cy);
    EXPECT_EQ(cx, 24);
    EXPECT_EQ(cy, 24);

    DebugLogCapture log;
    EXPECT_EQ(cache.GetIndex(kRed.c_str()), 0);
    EXPECT_EQ(cache.GetIndex(kGreen.c_str()), 1);
    EXPECT_EQ(cache.m_imageList.GetImageCount(), 2);
    // The files' own icons, scaled to the list's size; no fallback.
    EXPECT_EQ(ImageColour(cache, 0), 0xFF0000u);
    EXPECT_EQ(ImageColour(cache, 1), 0x008000u);
    EXPECT_EQ(log.Count("ICON get fail"), 0);
}

TEST_F(IconCacheTest, RepeatedPathKeepsItsIndexWithoutAskingTheShellAgain)
{
    TempFolder folder;
    const std::string path = folder / "tool.exe";
    ASSERT_TRUE(::CopyFileA(kRed.c_str(), path.c_str(), FALSE));

    CImageListCash cache;
    EXPECT_EQ(cache.GetIndex(path.c_str()), 0);
    EXPECT_EQ(cache.GetIndex(kGreen.c_str()), 1);
    // The file now carries another icon: a cached path does not see it,
    // and nothing is added.
    ASSERT_TRUE(::CopyFileA(kGreen.c_str(), path.c_str(), FALSE));
    EXPECT_EQ(cache.GetIndex(path.c_str()), 0);
    EXPECT_EQ(cache.GetIndex(kGreen.c_str()), 1);
    EXPECT_EQ(cache.m_imageList.GetImageCount(), 2);
    EXPECT_EQ(ImageColour(cache, 0), 0xFF0000u);
    EXPECT_EQ(cache.GetIndex(Missing().c_str()), 2);
}

TEST_F(IconCacheTest, PathsThatDifferOnlyInCaseAreTwoImages)
{
    std::string upper = kRed;
    const std::size_t name = upper.rfind('\\') + 1;
    for (std::size_t i = name; i < upper.size(); ++i)
        upper[i] = static_cast<char>(::toupper(static_cast<unsigned char>(upper[i])));
    ASSERT_NE(upper, kRed);

    CImageListCash cache;
    EXPECT_EQ(cache.GetIndex(kRed.c_str()), 0);
    EXPECT_EQ(cache.GetIndex(upper.c_str()), 1);
    EXPECT_EQ(cache.GetIndex(kRed.c_str()), 0);
    EXPECT_EQ(cache.GetIndex(upper.c_str()), 1);
    EXPECT_EQ(cache.m_imageList.GetImageCount(), 2);
    EXPECT_EQ(ImageColour(cache, 1), 0xFF0000u);
}

TEST_F(IconCacheTest, FileWithoutIconGetsTheErrorIconAndOneLogLine)
{
    CImageListCash cache;
    DebugLogCapture log;
    const std::string missing = Missing();
    const std::string line = "ICON get fail path =" + missing + "\n";

    EXPECT_EQ(cache.GetIndex(kRed.c_str()), 0);
    EXPECT_EQ(cache.GetIndex(missing.c_str()), 1);
    EXPECT_EQ(log.Count(line), 1);
    EXPECT_EQ(cache.GetIndex(missing.c_str()), 1);
    EXPECT_EQ(log.Count(line), 1);
    EXPECT_EQ(cache.m_imageList.GetImageCount(), 2);
    ASSERT_NE(ErrorIconColour(), 0xFF0000u);
    EXPECT_EQ(ImageColour(cache, 1), ErrorIconColour());

    // A second path without an icon: the same shared icon, an image of its own.
    const std::string other = missing + "2";
    EXPECT_EQ(cache.GetIndex(other.c_str()), 2);
    EXPECT_EQ(log.Count("ICON get fail path =" + other + "\n"), 1);
    EXPECT_EQ(ImageColour(cache, 2), ImageColour(cache, 1));
}

TEST_F(IconCacheTest, FailedAddRecordsNothingAndIsTriedAgain)
{
    CImageListCash cache;
    cache.m_imageList.DeleteImageList();
    EXPECT_EQ(cache.GetIndex(kRed.c_str()), -1);
    EXPECT_EQ(cache.GetIndex(kRed.c_str()), -1);

    // With an image list again, the path is not known: it goes to the shell
    // and its image is the first; later paths follow in order.
    ASSERT_TRUE(cache.m_imageList.Create(24, 24, ILC_COLORDDB, 0, 50));
    EXPECT_EQ(cache.GetIndex(kRed.c_str()), 0);
    EXPECT_EQ(cache.m_imageList.GetImageCount(), 1);
    EXPECT_EQ(ImageColour(cache, 0), 0xFF0000u);
    EXPECT_EQ(cache.GetIndex(kGreen.c_str()), 1);
    EXPECT_EQ(cache.GetIndex(kRed.c_str()), 0);
}

}  // namespace
