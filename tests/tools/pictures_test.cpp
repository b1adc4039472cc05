#include <QImage>
#include <QString>
#include <gtest/gtest.h>

namespace {

QImage picture(const char *name)
{
    return QImage(QStringLiteral(PELLICAM_FIXTURES "/../../resources/") + QLatin1String(name));
}

bool isCutOut(const QImage &image, QPoint at)
{
    return image.pixel(at) == qRgb(255, 0, 0);
}

// The windows copy from these pictures at fixed offsets: a wrong size shifts every state.
TEST(PicturesTest, everyPictureExistsWithItsExactSize)
{
    const struct
    {
        const char *name;
        QSize size;
    } pictures[] = {
        {"skin_large.png", {800, 491}},    {"skin_compact.png", {800, 67}},   {"button_skin.png", {103, 69}},
        {"download_skin.png", {103, 69}},  {"icon_minimise.png", {32, 96}},   {"icon_about.png", {32, 96}},
        {"icon_close.png", {32, 96}},      {"icon_compact.png", {32, 96}},    {"busy_band.png", {187, 8}},
        {"icon_search.png", {16, 16}},     {"icon_stop.png", {16, 16}},       {"icon_download.png", {16, 16}},
        {"icon_folder.png", {16, 16}},     {"icon_options.png", {16, 16}},    {"flag_fr.png", {14, 14}},
        {"flag_us.png", {14, 14}},         {"flag_frus.png", {14, 12}},       {"sign_poster.png", {14, 14}},
        {"sign_jacket.png", {14, 14}},     {"close_picture.png", {33, 13}},   {"downloaded_badge.png", {69, 19}},
        {"site_list_toggle.png", {16, 17}},        {"pellicam.png", {64, 64}},        {"pellicam_16.png", {16, 16}},
        {"options_tabs.png", {128, 16}},   {"pdf_reader.png", {32, 32}},
    };
    for (const auto &expected : pictures)
        EXPECT_EQ(picture(expected.name).size(), expected.size) << expected.name;
}

// The skins are cut at their rounded corners only: the large window keeps
// rows 19..473 whole, opaque, without looking at them.
TEST(PicturesTest, skinsAreCutOnlyAtTheirCorners)
{
    const QImage large = picture("skin_large.png");
    for (int y = 19; y <= 473; ++y)
        for (int x = 0; x < large.width(); ++x)
            ASSERT_TRUE(!isCutOut(large, {x, y}) && qAlpha(large.pixel(x, y)) == 255) << x << "," << y;
    const QImage compact = picture("skin_compact.png");
    const struct
    {
        const QImage &skin;
        QPoint at;
        bool cut;
    } points[] = {
        {large, {0, 0}, true},     {large, {799, 0}, true},    {large, {0, 490}, true}, {large, {799, 490}, true},
        {large, {400, 0}, false},  {large, {400, 490}, false}, {compact, {0, 0}, true}, {compact, {799, 66}, true},
        {compact, {400, 33}, false},
    };
    for (const auto &point : points)
        EXPECT_EQ(isCutOut(point.skin, point.at), point.cut) << point.at.x() << "," << point.at.y();
}

// The icons sit at y 2 of the title strip: away from their glow, each frame
// must carry exactly the strip's own pixels, or a seam shows.
TEST(PicturesTest, titleIconsMatchTheStripBehindThem)
{
    const QImage skin = picture("skin_large.png");
    for (const auto &[name, left] : {std::pair{"icon_compact.png", 654}, std::pair{"icon_minimise.png", 690},
                                     std::pair{"icon_about.png", 726}, std::pair{"icon_close.png", 762}}) {
        const QImage strip = picture(name);
        ASSERT_EQ(strip.height(), 96) << name;
        for (int y = 0; y < 96; ++y)
            ASSERT_EQ(strip.pixel(0, y), skin.pixel(left, 2 + y % 32)) << name << " row " << y;
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
