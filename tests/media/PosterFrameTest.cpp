#include "media/PosterFrame.h"

#include "support/TestVideos.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tessaly::media;
using namespace tessaly::testing;

namespace {

int brightness(const YuvPicture &picture, int x, int y)
{
    return static_cast<unsigned char>(picture.planes[0].at(qsizetype(y) * picture.width + x));
}

} // namespace

TEST(PosterFrame, GivesTheAskedShapePackedAndTheWholeFrameAsAPlayerShowsIt)
{
    QTemporaryDir dir;
    // Stored landscape with its upper half white, turned a quarter
    // clockwise for display: the white half shows on the right.
    TestVideo phone;
    phone.picture = [](int, int, int y) { return y < 120 ? 255 : 0; };
    phone.displayTurn = 90;
    ASSERT_TRUE(phone.write(dir.filePath("phone.mp4")));
    // An odd shape: the colour planes are rounded up.
    const PosterFrame upright = takePosterFrame(QFile::encodeName(dir.filePath("phone.mp4")), 17, 33);
    ASSERT_TRUE(upright.ok());
    EXPECT_EQ(upright.displayWidth, 240);
    EXPECT_EQ(upright.displayHeight, 320);
    const YuvPicture &picture = upright.picture;
    ASSERT_EQ(picture.width, 17);
    ASSERT_EQ(picture.height, 33);
    EXPECT_EQ(picture.planes[0].size(), 17 * 33);
    EXPECT_EQ(picture.planes[1].size(), 9 * 17);
    EXPECT_EQ(picture.planes[2].size(), 9 * 17);
    for (int y : {0, 16, 32}) {
        EXPECT_LT(brightness(picture, 1, y), 50);
        EXPECT_GT(brightness(picture, 15, y), 200);
    }
    const GreyPicture jpeg = decodeJpeg(encodeJpeg(picture));
    ASSERT_EQ(jpeg.width, 17);
    ASSERT_EQ(jpeg.height, 33);
    EXPECT_LT(jpeg.brightnessAt(5, 50), 50);
    EXPECT_GT(jpeg.brightnessAt(90, 50), 200);

    TestVideo tallPixels;
    tallPixels.sampleAspectNumerator = 1;
    tallPixels.sampleAspectDenominator = 2;
    ASSERT_TRUE(tallPixels.write(dir.filePath("tall.mp4")));
    const PosterFrame narrow = takePosterFrame(QFile::encodeName(dir.filePath("tall.mp4")), 185, 250);
    ASSERT_TRUE(narrow.ok());
    EXPECT_EQ(narrow.displayWidth, 160);
    EXPECT_EQ(narrow.displayHeight, 240);
}
