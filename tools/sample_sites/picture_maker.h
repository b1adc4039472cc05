#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Pictures and jackets for the sample sites, drawn from a seed (a film's
// title) so that each film looks different and the same seed always gives the
// same picture. Only shapes and gradients: no fonts are needed, so this runs
// in a QCoreApplication.
namespace PictureMaker {

constexpr QSize kThumbnailSize{111, 172};
constexpr QSize kPosterSize{500, 750};
constexpr QSize kJacketThumbnailSize{160, 109};
constexpr QSize kJacketSize{1000, 680};
constexpr QSize kBannerSize{468, 60};

// A poster, higher than wide, as JPEG bytes (kept once made).
QByteArray posterJpeg(const QString &seed, QSize size);
// A DVD jacket, wider than high: back, spine and, as its front, the poster of the same seed.
QByteArray jacketJpeg(const QString &seed, QSize size);
// An advertising banner of kBannerSize: a film strip, a few "text" bars and
// a button, in colours of its own for each number.
QByteArray bannerJpeg(int number);
// The colour the pictures of `seed` are built around.
QColor mainColour(const QString &seed);

// A printable one-page jacket: back cover with the text, spine, front cover
// with a picture.
struct PdfJacket
{
    QString seed;                  // colours of the spine
    QString title;
    QStringList lines;             // written under the title
    QByteArray font = "Helvetica"; // one of the standard PDF fonts: Helvetica, Times-Roman, Courier
    bool dark = false;             // white text on black instead of black on white
    QSizeF sizeMm{275, 185};       // the whole sheet: back, spine and front
    qreal spineMm = 14;
    QByteArray frontJpeg;          // optional; a colour JPEG
    QSize frontPixels;
};

// A PDF file (with its cross-reference table) that any reader opens.
QByteArray jacketPdf(const PdfJacket &jacket);

} // namespace PictureMaker
