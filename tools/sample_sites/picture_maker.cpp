#include "picture_maker.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <algorithm>

namespace {

// Every picture is drawn in this space and scaled to the size asked for, so
// a thumbnail is the full poster made small.
constexpr qreal kPosterWidth = 500;
constexpr qreal kPosterHeight = 750;
constexpr int kJpegQuality = 85;
// The sample server serves a handful of films: a small cache spares the
// benchmarks the drawing time without growing without bound.
constexpr qsizetype kCachedPictures = 64;
constexpr qreal kPointsPerMm = 72.0 / 25.4;

// FNV-1a: unlike qHash, the same on every run.
quint32 seedOf(const QString &seed)
{
    quint32 hash = 2166136261u;
    for (const char byte : seed.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return hash;
}

QColor randomColour(QRandomGenerator &rng, int baseHue, int alpha)
{
    return QColor::fromHsv((baseHue + rng.bounded(180)) % 360, 140 + rng.bounded(110),
                           140 + rng.bounded(115), alpha);
}

// A poster in kPosterWidth x kPosterHeight: sky, a glowing disc, shapes, a
// skyline, and the blocks where a real poster has its title and credits.
void paintPoster(QPainter &p, const QString &seed)
{
    QRandomGenerator rng(seedOf(seed));
    const int hue = rng.bounded(360);
    const int hue2 = (hue + 40 + rng.bounded(140)) % 360;

    QLinearGradient sky(rng.bounded(kPosterWidth), 0, rng.bounded(kPosterWidth), kPosterHeight);
    sky.setColorAt(0, QColor::fromHsv(hue, 200, 70));
    sky.setColorAt(0.6, QColor::fromHsv(hue2, 210, 200));
    sky.setColorAt(1, QColor::fromHsv(hue2, 120, 250));
    p.fillRect(QRectF(0, 0, kPosterWidth, kPosterHeight), sky);

    const QPointF centre(80 + rng.bounded(340.0), 120 + rng.bounded(260.0));
    const qreal radius = 60 + rng.bounded(110.0);
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0, QColor::fromHsv((hue + 180) % 360, 60, 255));
    glow.setColorAt(0.7, QColor::fromHsv((hue + 180) % 360, 160, 230, 200));
    glow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius, radius);

    const int shapes = 4 + rng.bounded(5);
    for (int i = 0; i < shapes; ++i) {
        const QColor colour = randomColour(rng, hue, 110 + rng.bounded(120));
        const QPointF at(rng.bounded(kPosterWidth), rng.bounded(kPosterHeight * 0.7));
        const qreal size = 30 + rng.bounded(140.0);
        p.save();
        p.translate(at);
        p.rotate(rng.bounded(360.0));
        switch (rng.bounded(4)) {
        case 0:
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawEllipse(QPointF(), size / 2, size / 2);
            break;
        case 1:
            p.setPen(QPen(colour, 4 + rng.bounded(12.0)));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(), size / 2, size / 2);
            break;
        case 2:
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawPolygon(QPolygonF({QPointF(0, -size / 2), QPointF(size / 2, size / 2), QPointF(-size / 2, size / 2)}));
            break;
        default:
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawRect(QRectF(-size / 2, -size / 6, size, size / 3));
            break;
        }
        p.restore();
    }

    QPainterPath skyline(QPointF(0, kPosterHeight));
    qreal x = 0;
    while (x < kPosterWidth) {
        const qreal top = 430 + rng.bounded(140.0);
        const qreal width = 20 + rng.bounded(60.0);
        skyline.lineTo(x, top);
        skyline.lineTo(x + width, top);
        x += width;
    }
    skyline.lineTo(kPosterWidth, kPosterHeight);
    skyline.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromHsv(hue, 180, 35));
    p.drawPath(skyline);

    // Title block and credits, as bars: no fonts in a QCoreApplication.
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawRect(QRectF(30, 590, 440, 80));
    p.setBrush(QColor::fromHsv((hue + 180) % 360, 40, 250));
    p.drawRect(QRectF(60, 610, 180 + rng.bounded(200.0), 40));
    p.setBrush(QColor(255, 255, 255, 140));
    for (int line = 0; line < 3; ++line)
        p.drawRect(QRectF(70 + rng.bounded(40.0), 690 + line * 14, 300 + rng.bounded(60.0), 6));
}

void paintJacket(QPainter &p, const QString &seed, QSizeF size)
{
    const QColor main = PictureMaker::mainColour(seed);
    const qreal spine = size.width() * 0.05;
    const qreal panel = (size.width() - spine) / 2;

    QLinearGradient back(0, 0, 0, size.height());
    back.setColorAt(0, main.darker(300));
    back.setColorAt(1, main.darker(150));
    p.fillRect(QRectF(0, 0, panel, size.height()), back);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    const qreal margin = panel * 0.1;
    for (qreal y = size.height() * 0.15; y < size.height() * 0.6; y += size.height() * 0.035)
        p.drawRect(QRectF(margin, y, panel - 2 * margin, size.height() * 0.012));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRect(QRectF(margin, size.height() * 0.66, panel - 2 * margin, size.height() * 0.22));

    p.fillRect(QRectF(panel, 0, spine, size.height()), main);
    p.fillRect(QRectF(panel + spine * 0.3, size.height() * 0.1, spine * 0.4, size.height() * 0.6), main.lighter(160));

    p.save();
    p.translate(panel + spine, 0);
    p.scale(panel / kPosterWidth, size.height() / kPosterHeight);
    paintPoster(p, seed);
    p.restore();
}

void paintBanner(QPainter &p, const QString &seed, QSizeF size)
{
    QRandomGenerator rng(seedOf(seed));
    const int hue = rng.bounded(360);
    QLinearGradient ground(0, 0, size.width(), 0);
    ground.setColorAt(0, QColor::fromHsv(hue, 200, 60));
    ground.setColorAt(1, QColor::fromHsv((hue + 60) % 360, 180, 200));
    p.fillRect(QRectF(QPointF(), size), ground);

    // A strip of film with its sprocket holes.
    const qreal strip = size.height() * 1.2;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    p.drawRect(QRectF(8, 0, strip, size.height()));
    p.setBrush(QColor(230, 230, 230));
    for (qreal x = 12; x + 6 < 8 + strip; x += 11) {
        p.drawRect(QRectF(x, 3, 6, 5));
        p.drawRect(QRectF(x, size.height() - 8, 6, 5));
    }
    p.setBrush(PictureMaker::mainColour(seed));
    p.drawRect(QRectF(12, 11, strip - 8, size.height() - 22));

    // Headline and tagline, as bars: no fonts in a QCoreApplication.
    const qreal left = strip + 24;
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawRect(QRectF(left, 12, 120 + rng.bounded(120.0), 14));
    p.setBrush(QColor(255, 255, 255, 140));
    p.drawRect(QRectF(left, 34, 80 + rng.bounded(110.0), 7));

    const QRectF button(size.width() - 96, size.height() / 2 - 13, 84, 26);
    p.setBrush(QColor::fromHsv((hue + 180) % 360, 200, 240));
    p.drawRoundedRect(button, 8, 8);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(button.adjusted(16, 10, -16, -10));
}

QByteArray encodeJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", kJpegQuality))
        return {};
    return bytes;
}

template<typename Paint>
QByteArray cachedPicture(const QString &cacheKey, QSize size, Paint paint)
{
    static QHash<QString, QByteArray> cache;
    if (const auto found = cache.constFind(cacheKey); found != cache.cend())
        return *found;
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    painter.end();
    const QByteArray bytes = encodeJpeg(image);
    if (cache.size() >= kCachedPictures)
        cache.clear();
    cache.insert(cacheKey, bytes);
    return bytes;
}

// Text for a PDF string in WinAnsiEncoding, which agrees with Latin-1 on the
// accented letters the titles use.
QByteArray pdfString(const QString &text)
{
    QByteArray out = "(";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const char byte = u < 0x20 || u > 0xFF ? '?' : char(u);
        if (byte == '(' || byte == ')' || byte == '\\')
            out += '\\';
        out += byte;
    }
    return out + ')';
}

QByteArray number(qreal value)
{
    return QByteArray::number(value, 'f', 2);
}

QByteArray rgb(const QColor &colour)
{
    return number(colour.redF()) + ' ' + number(colour.greenF()) + ' ' + number(colour.blueF());
}

} // namespace

namespace PictureMaker {

QByteArray posterJpeg(const QString &seed, QSize size)
{
    const QString key = QStringLiteral("poster %1x%2 ").arg(size.width()).arg(size.height()) + seed;
    return cachedPicture(key, size, [&](QPainter &p) {
        p.scale(size.width() / kPosterWidth, size.height() / kPosterHeight);
        paintPoster(p, seed);
    });
}

QByteArray jacketJpeg(const QString &seed, QSize size)
{
    const QString key = QStringLiteral("jacket %1x%2 ").arg(size.width()).arg(size.height()) + seed;
    return cachedPicture(key, size, [&](QPainter &p) { paintJacket(p, seed, QSizeF(size)); });
}

QByteArray bannerJpeg(int number)
{
    const QString seed = QStringLiteral("Bandeau") + QString::number(number);
    return cachedPicture(QStringLiteral("banner ") + seed, kBannerSize,
                         [&](QPainter &p) { paintBanner(p, seed, QSizeF(kBannerSize)); });
}

QColor mainColour(const QString &seed)
{
    QRandomGenerator rng(seedOf(seed));
    return QColor::fromHsv(rng.bounded(360), 200, 170);
}

QByteArray jacketPdf(const PdfJacket &jacket)
{
    const qreal width = jacket.sizeMm.width() * kPointsPerMm;
    const qreal height = jacket.sizeMm.height() * kPointsPerMm;
    const qreal spine = std::clamp(jacket.spineMm * kPointsPerMm, 0.0, width / 2);
    const qreal panel = (width - spine) / 2;
    const bool withPicture = !jacket.frontJpeg.isEmpty() && !jacket.frontPixels.isEmpty();

    QByteArray content;
    content += (jacket.dark ? "0 g" : "1 g") + QByteArray(" 0 0 ") + number(width) + ' ' + number(height) + " re f\n";
    content += rgb(mainColour(jacket.seed)) + " rg " + number(panel) + " 0 " + number(spine) + ' ' + number(height) + " re f\n";
    if (withPicture) {
        // Fitted into the front cover with a margin, keeping its proportions.
        const qreal margin = panel * 0.06;
        const qreal scale = std::min((panel - 2 * margin) / jacket.frontPixels.width(),
                                     (height - 2 * margin) / jacket.frontPixels.height());
        const qreal w = jacket.frontPixels.width() * scale;
        const qreal h = jacket.frontPixels.height() * scale;
        content += "q " + number(w) + " 0 0 " + number(h) + ' ' + number(panel + spine + (panel - w) / 2) + ' '
                   + number((height - h) / 2) + " cm /Im1 Do Q\n";
    }
    // Roughly fitted to the back cover: an average glyph is about half the font size wide.
    const qreal margin = panel * 0.08;
    const qreal titleSize = std::clamp((panel - 2 * margin) / (std::max<qsizetype>(jacket.title.size(), 1) * 0.55), 6.0, 24.0);
    const qreal lineSize = std::min(11.0, titleSize);
    content += QByteArray(jacket.dark ? "1 g" : "0 g") + " BT /F1 " + number(titleSize) + " Tf " + number(margin) + ' '
               + number(height - margin - titleSize) + " Td " + pdfString(jacket.title) + " Tj";
    content += " 0 " + number(-titleSize * 1.6) + " Td /F1 " + number(lineSize) + " Tf";
    for (const QString &line : jacket.lines)
        content += " 0 " + number(-lineSize * 1.4) + " Td " + pdfString(line) + " Tj";
    content += " ET\n";

    QList<QByteArray> objects;
    objects << "<< /Type /Catalog /Pages 2 0 R >>";
    objects << "<< /Type /Pages /Kids [3 0 R] /Count 1 >>";
    objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(width) + ' ' + number(height)
                   + "] /Resources << /Font << /F1 4 0 R >>" + (withPicture ? " /XObject << /Im1 7 0 R >>" : "")
                   + " >> /Contents 5 0 R >>";
    objects << "<< /Type /Font /Subtype /Type1 /BaseFont /" + jacket.font + " /Encoding /WinAnsiEncoding >>";
    objects << "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "\nendstream";
    objects << "<< /Title " + pdfString(jacket.title) + " /Producer (pellicam-sample-sites) >>";
    if (withPicture)
        objects << "<< /Type /XObject /Subtype /Image /Width " + QByteArray::number(jacket.frontPixels.width())
                       + " /Height " + QByteArray::number(jacket.frontPixels.height())
                       + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode /Length "
                       + QByteArray::number(jacket.frontJpeg.size()) + " >>\nstream\n" + jacket.frontJpeg
                       + "\nendstream";

    // The binary comment line tells readers the file holds 8-bit data.
    QByteArray file = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << file.size();
        file += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = file.size();
    file += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : std::as_const(offsets))
        file += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    file += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R /Info 6 0 R >>\nstartxref\n"
            + QByteArray::number(xref) + "\n%%EOF\n";
    return file;
}

} // namespace PictureMaker
