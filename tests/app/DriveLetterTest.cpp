#include "CVellokariDlg.h"

#include <gtest/gtest.h>

TEST(DriveLetterFromUnitMask, LowestSetBitOfTheTwentySixDriveBits)
{
    struct Case {
        ULONG mask;
        char letter;
    };
    for (const Case& c : {Case{0x1, 'A'}, Case{0x4, 'C'}, Case{0x20000, 'R'}, Case{0x20004, 'C'},
                          Case{0x2000000, 'Z'}, Case{0x0, '['}, Case{0x4000000, '['}, Case{0xFC000000, '['}})
        EXPECT_EQ(DriveLetterFromUnitMask(c.mask), c.letter) << std::hex << c.mask;
}
