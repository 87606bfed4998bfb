// The size at which a captured image is painted into the 140 by 80 preview area.
#include "PreviewPaintSize.h"

#include <gtest/gtest.h>

TEST(PreviewPaintSize, SmallImagesStayAsTheyAreLargerOnesShrinkKeepingTheirRatio)
{
    struct Case {
        int width, height;
        int paintedWidth, paintedHeight;
        bool stretched;
    };
    const Case cases[] = {
        {100, 60, 100, 60, false},   // smaller in both directions
        {139, 79, 139, 79, false},
        {1, 1, 1, 1, false},
        {140, 50, 140, 50, true},    // as wide as the area: the stretching path, at its own size
        {140, 79, 140, 79, true},
        {50, 80, 50, 80, true},      // as high as the area
        {280, 100, 140, 50, true},   // width decides
        {100, 160, 50, 80, true},    // height decides
        {280, 160, 140, 80, true},   // equal ratios: computed by the height
        {1000, 1000, 80, 80, true},
        {200, 50, 140, 35, true},    // never enlarged in the other direction
        {3, 1000, 0, 80, true},      // truncated towards zero
        {1400, 81, 140, 8, true},
    };
    for (const Case& c : cases) {
        bool stretched = !c.stretched;
        const SIZE size = PreviewPaintSize(c.width, c.height, 140, 80, &stretched);
        EXPECT_EQ(size.cx, c.paintedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(size.cy, c.paintedHeight) << c.width << "x" << c.height;
        EXPECT_EQ(stretched, c.stretched) << c.width << "x" << c.height;
    }
}
