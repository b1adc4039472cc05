#pragma once

#include <QImage>
#include <QRegion>

// The window's outline, cut from its skin: pure red pixels are holes. Each run
// of other pixels on a row becomes a rectangle one pixel high.
namespace SkinRegion {

// Scans rows `firstRow` to `lastRow` of the skin (800 pixels wide at most).
QRegion scanRows(const QImage &skin, int firstRow, int lastRow);

// The large form: only the rounded top and bottom rows are read; rows 19 to
// 473 are solid whatever the skin holds.
QRegion RegionGrand(const QImage &skin);
// The compact form: rows 0 to 67 are read.
QRegion RegionPetit(const QImage &skin);

} // namespace SkinRegion
