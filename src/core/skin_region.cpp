#include "core/skin_region.h"

namespace SkinRegion {

namespace {

constexpr int kWindowWidth = 800;
const QRgb kTransparent = qRgb(255, 0, 0);

bool transparent(const QImage &skin, int x, int y)
{
    return x >= skin.width() || y >= skin.height() || skin.pixel(x, y) == kTransparent;
}

} // namespace

QRegion scanRows(const QImage &skin, int firstRow, int lastRow)
{
    QRegion region;
    for (int y = firstRow; y <= lastRow; ++y) {
        int x = 0;
        while (x < kWindowWidth) {
            while (x < kWindowWidth && transparent(skin, x, y))
                ++x;
            if (x >= kWindowWidth)
                break;
            const int start = x;
            while (x < kWindowWidth && !transparent(skin, x, y))
                ++x;
            region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

QRegion RegionGrand(const QImage &skin)
{
    QRegion region = scanRows(skin, 0, 18);
    region += QRect(0, 19, kWindowWidth, 473 - 19 + 1);
    region += scanRows(skin, 474, 490);
    return region;
}

QRegion RegionPetit(const QImage &skin)
{
    return scanRows(skin, 0, 67);
}

} // namespace SkinRegion
