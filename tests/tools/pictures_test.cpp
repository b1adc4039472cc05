#include <QImage>
#include <QString>
#include <gtest/gtest.h>

namespace {

const QString kResources = QStringLiteral(PELLICAM_FIXTURES "/../../resources/");

QImage picture(const char *name)
{
    return QImage(kResources + QLatin1String(name));
}

bool isCutOut(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 0, 0);
}

struct Expected
{
    const char *name;
    int width;
    int height;
};

// The windows copy from these pictures at fixed offsets: a wrong size shifts every state.
constexpr Expected kPictures[] = {
    {"skin_large.png", 800, 491},      {"skin_compact.png", 800, 67},
    {"button_skin.png", 103, 69},      {"download_skin.png", 103, 69},
    {"icon_minimise.png", 32, 96},     {"icon_about.png", 32, 96},
    {"icon_close.png", 32, 96},        {"icon_compact.png", 32, 96},
    {"busy_band.png", 187, 8},         {"icon_search.png", 16, 16},
    {"icon_stop.png", 16, 16},         {"icon_download.png", 16, 16},
    {"icon_folder.png", 16, 16},       {"icon_options.png", 16, 16},
    {"flag_fr.png", 14, 14},           {"flag_us.png", 14, 14},
    {"flag_frus.png", 14, 12},         {"sign_poster.png", 14, 14},
    {"sign_jacket.png", 14, 14},       {"close_picture.png", 33, 13},
    {"downloaded_badge.png", 69, 19},  {"site_list_toggle.png", 16, 17},
    {"pellicam.png", 64, 64},          {"pellicam_16.png", 16, 16},
    {"options_tabs.png", 128, 16},     {"pdf_reader.png", 32, 32},
};

TEST(PicturesTest, everyPictureExistsWithItsExactSize)
{
    for (const Expected &expected : kPictures) {
        const QImage image = picture(expected.name);
        ASSERT_FALSE(image.isNull()) << expected.name;
        EXPECT_EQ(image.size(), QSize(expected.width, expected.height)) << expected.name;
    }
}

TEST(PicturesTest, largeSkinIsCutOnlyAtItsRoundedCorners)
{
    const QImage skin = picture("skin_large.png");
    ASSERT_FALSE(skin.isNull());
    // The window keeps rows 19..473 whole without looking at them.
    for (int y = 19; y <= 473; ++y)
        for (int x = 0; x < skin.width(); ++x) {
            ASSERT_FALSE(isCutOut(skin, x, y)) << x << "," << y;
            ASSERT_EQ(qAlpha(skin.pixel(x, y)), 255) << x << "," << y;
        }
    for (const QPoint corner : {QPoint(0, 0), QPoint(799, 0), QPoint(0, 490), QPoint(799, 490)})
        EXPECT_TRUE(isCutOut(skin, corner.x(), corner.y())) << corner.x() << "," << corner.y();
    // The edges between the corners stay.
    EXPECT_FALSE(isCutOut(skin, 400, 0));
    EXPECT_FALSE(isCutOut(skin, 400, 490));
}

TEST(PicturesTest, compactSkinIsCutAtItsCornersOnly)
{
    const QImage skin = picture("skin_compact.png");
    ASSERT_FALSE(skin.isNull());
    EXPECT_TRUE(isCutOut(skin, 0, 0));
    EXPECT_TRUE(isCutOut(skin, 799, 66));
    EXPECT_FALSE(isCutOut(skin, 400, 33));
}

// The icons sit at y 2 of the title strip: away from their glow, each frame
// must carry exactly the strip's own pixels, or a seam shows.
TEST(PicturesTest, titleIconsMatchTheStripBehindThem)
{
    const QImage skin = picture("skin_large.png");
    const struct
    {
        const char *name;
        int left;
    } icons[] = {{"icon_compact.png", 654}, {"icon_minimise.png", 690}, {"icon_about.png", 726}, {"icon_close.png", 762}};
    for (const auto &icon : icons) {
        const QImage strip = picture(icon.name);
        ASSERT_EQ(strip.size(), QSize(32, 96)) << icon.name;
        for (int frame = 0; frame < 3; ++frame)
            for (int y = 0; y < 32; ++y)
                ASSERT_EQ(strip.pixel(0, frame * 32 + y), skin.pixel(icon.left, 2 + y))
                    << icon.name << " frame " << frame << " row " << y;
    }
}

TEST(PicturesTest, busyBandRepeatsEveryTwelvePixels)
{
    const QImage band = picture("busy_band.png");
    ASSERT_EQ(band.width(), 187);
    bool stripes = false;
    for (int y = 0; y < band.height(); ++y)
        for (int x = 0; x + 12 < band.width(); ++x) {
            ASSERT_EQ(band.pixel(x, y), band.pixel(x + 12, y)) << x << "," << y;
            stripes = stripes || band.pixel(x, y) != band.pixel(x + 1, y);
        }
    EXPECT_TRUE(stripes);
}

} // namespace
