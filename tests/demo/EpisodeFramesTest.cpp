#include "demo/EpisodeFrames.h"

#include "covers/CoverSize.h"

#include <gtest/gtest.h>

using namespace tessaly;

// The example's covers are cut from the middle of a frame at the cover's
// shape: a name drawn wider than that loses both its ends on the cover.
TEST(EpisodeFrames, TheProjectNameStaysInsideTheMiddleACoverIsCutFrom)
{
    const demo::VideoShape shape;
    const QColor tint(40, 150, 120);
    const QString name = QStringLiteral("星河 Captain's 日记 第一季");
    const QImage named = demo::EpisodeFrames(QStringLiteral("星河"), name, 1, tint, shape).frame(0);
    const QImage unnamed = demo::EpisodeFrames(QStringLiteral("星河"), QString(), 1, tint, shape).frame(0);

    const covers::CoverSize cover;
    const int coverWidth = shape.height * cover.width / cover.height;
    const int left = (shape.width - coverWidth) / 2;
    int changedOutside = 0;
    int changedInside = 0;
    for (int y = 0; y < shape.height; ++y) {
        for (int x = 0; x < shape.width; ++x) {
            if (named.pixel(x, y) == unnamed.pixel(x, y))
                continue;
            if (x < left || x >= left + coverWidth)
                ++changedOutside;
            else
                ++changedInside;
        }
    }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(changedInside, 500); // the name is there, not dropped
}
