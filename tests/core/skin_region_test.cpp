#include "core/skin_region.h"

#include <gtest/gtest.h>

namespace {

QImage skinWithRedCorners(int height)
{
    QImage skin(800, height, QImage::Format_RGB32);
    skin.fill(qRgb(213, 222, 242));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3 - y; ++x) {
            skin.setPixel(x, y, qRgb(255, 0, 0));
            skin.setPixel(799 - x, y, qRgb(255, 0, 0));
            skin.setPixel(x, height - 1 - y, qRgb(255, 0, 0));
        }
    }
    return skin;
}

TEST(SkinRegionTest, pureRedIsCutAndTheMiddleRowsAreSolid)
{
    QImage skin = skinWithRedCorners(491);
    skin.setPixel(400, 10, qRgb(255, 0, 0));  // a hole in a scanned row
    skin.setPixel(400, 200, qRgb(255, 0, 0)); // ignored: the middle rows are never read
    skin.setPixel(401, 10, qRgb(254, 0, 0));  // almost red is opaque

    const QRegion region = SkinRegion::RegionGrand(skin);
    for (const QPoint hole : {QPoint(0, 0), QPoint(2, 0), QPoint(799, 0), QPoint(0, 490), QPoint(400, 10)})
        EXPECT_FALSE(region.contains(hole)) << hole.x() << "," << hole.y();
    for (const QPoint solid : {QPoint(3, 0), QPoint(1, 2), QPoint(401, 10), QPoint(400, 200), QPoint(0, 19),
                               QPoint(799, 473), QPoint(799, 490)})
        EXPECT_TRUE(region.contains(solid)) << solid.x() << "," << solid.y();
    EXPECT_FALSE(region.contains(QPoint(0, 491)));
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 800, 491));
}

TEST(SkinRegionTest, theCompactFormIsReadWhole)
{
    QImage skin = skinWithRedCorners(67);
    skin.setPixel(300, 40, qRgb(255, 0, 0));
    const QRegion region = SkinRegion::RegionPetit(skin);
    EXPECT_FALSE(region.contains(QPoint(300, 40)));
    EXPECT_FALSE(region.contains(QPoint(0, 66)));
    EXPECT_TRUE(region.contains(QPoint(5, 66)));
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 800, 67));
}

} // namespace
