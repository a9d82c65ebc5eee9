#include "platform/gui/RowIcons.h"

#include <QPixmap>
#include <gtest/gtest.h>

using namespace tessaly;

TEST(RowIconsTest, TheProgressIconsAreDrawnForSingleAndDoubleScale)
{
    for (int number = 3; number <= 6; ++number) {
        const QList<QSize> sizes = rowIcon(number).availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(30, 28))) << number;
        EXPECT_TRUE(sizes.contains(QSize(60, 56))) << number;
        EXPECT_EQ(rowIcon(number).pixmap(QSize(30, 28), 2.0).deviceIndependentSize(), QSizeF(30, 28))
            << number;
    }
}
