// The medium's identity: its volume's serial, read again and compared.
#include "CMediumIdentity.h"
#include "MountManager.h"
#include "TestMedium.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(MediumIdentity, AnotherVolumeOrNoneIsNoLongerIt)
{
    TestMedium medium;
    TestMedium other;
    ASSERT_TRUE(medium.IsReady() && other.IsReady());
    // Wine reads a volume's serial from this file in its root.
    ASSERT_TRUE(WriteBytes(medium.Path("\\.windows-serial"), "1a2b3c4d\n"));
    ASSERT_TRUE(WriteBytes(other.Path("\\.windows-serial"), "5e6f7a8b\n"));
    ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
    CMediumIdentity identity;
    ASSERT_TRUE(identity.Take(medium.Drive().c_str()));
    EXPECT_TRUE(identity.IsStillHere());

    ASSERT_TRUE(RemoveDrive(medium.Letter()));
    EXPECT_FALSE(identity.IsStillHere());
    ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), other.HostFolder()));
    EXPECT_FALSE(identity.IsStillHere());
    // Put back, it is the same volume again.
    ASSERT_TRUE(DefineRemovableDrive(medium.Letter(), medium.HostFolder()));
    EXPECT_TRUE(identity.IsStillHere());
    EXPECT_TRUE(RemoveDrive(medium.Letter()));
}

// A program started where no volume can be read (a share's path) judges nothing.
TEST(MediumIdentity, NothingTakenIsNeverGone)
{
    for (const char* drive : {"\\\\", "", "B:"}) {
        SCOPED_TRACE(drive);
        CMediumIdentity identity;
        EXPECT_FALSE(identity.Take(drive));
        EXPECT_TRUE(identity.IsStillHere());
    }
}
