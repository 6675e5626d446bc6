// The folder tree's small icons.
#include "platform/ShellInfo.h"

#include <QIcon>

#include <gtest/gtest.h>

// The folder tree's icons keep the pictures it draws (16 pixels, 32 at twice the density) and
// none of the large ones Qt's own icons carry.
TEST(SmallIconListTest, HoldsOnlySmallPictures) {
    const platform::SmallIconList* icons = platform::SystemSmallIcons();
    ASSERT_EQ(icons->Count(), platform::ICON_COUNT);
    for (int i = 0; i < icons->Count(); ++i) {
        const QIcon icon = icons->Icon(i);
        ASSERT_FALSE(icon.isNull()) << i;
        EXPECT_EQ(icon.availableSizes().first(), QSize(16, 16)) << i;
        for (const QSize& size : icon.availableSizes())
            EXPECT_LE(size.width(), 32) << i;
    }
}
