// Draws every picture of the windows (skins, button skins, title-bar icons,
// small icons, flags, badges, the application icon) and writes them as PNG
// files into the folder given as argument. No fonts: shapes and gradients
// only, each drawn at the exact pixel size it is shown at.
//
//     QT_QPA_PLATFORM=offscreen pellicam-picture-generator resources/

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace {

// The window region cuts away every pixel of exactly this colour.
constexpr QRgb kCutOut = qRgb(255, 0, 0);

constexpr QRgb kBody = qRgb(213, 222, 242);
constexpr QRgb kBodyTop = qRgb(220, 228, 246);
constexpr QRgb kBodyBottom = qRgb(204, 214, 238);
constexpr QRgb kPanel = qRgb(226, 232, 247);
constexpr QRgb kAccent = qRgb(120, 145, 216);
constexpr QRgb kInk = qRgb(52, 68, 120);

constexpr QRgb kTitleTop = qRgb(128, 153, 224);
constexpr QRgb kTitleBottom = qRgb(76, 102, 186);
constexpr QRgb kTitleHighlight = qRgb(150, 172, 234);
constexpr QRgb kTitleEdge = qRgb(54, 76, 152);

constexpr QRgb kFrenchBlue = qRgb(0, 85, 164);
constexpr QRgb kFrenchRed = qRgb(237, 41, 57);
constexpr QRgb kUsRed = qRgb(191, 34, 56);
constexpr QRgb kUsBlue = qRgb(52, 58, 120);
constexpr QRgb kFlagWhite = qRgb(248, 248, 250);

constexpr int kWidth = 800;
constexpr int kLargeHeight = 491;
constexpr int kCompactHeight = 67;
constexpr int kTitleHeight = 37;      // rows 0..36
constexpr int kTitleIconTop = 2;      // the icons sit at y 2 of the strip
constexpr qreal kOuterRadius = 12;
constexpr int kIconSide = 32;
constexpr QSize kButton(103, 23);
constexpr int kBusyPeriod = 12;

QColor mix(const QColor &from, const QColor &to, qreal t)
{
    t = std::clamp(t, 0.0, 1.0);
    const auto channel = [t](int a, int b) { return qRound(a + (b - a) * t); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()), channel(from.alpha(), to.alpha()));
}

QColor alpha(const QColor &colour, int a)
{
    QColor c = colour;
    c.setAlpha(a);
    return c;
}

// The title strip is a function of the row alone, so the title-bar icons can
// carry exactly the same background as the skin behind them.
QColor titleRow(int y)
{
    if (y >= kTitleHeight - 1)
        return kTitleEdge;
    if (y == kTitleHeight - 2)
        return kTitleHighlight;
    const QColor base = mix(kTitleTop, kTitleBottom, y / 34.0);
    constexpr int kSheenRows = 18;
    return y < kSheenRows ? mix(base, Qt::white, 0.16 * (1.0 - qreal(y) / kSheenRows)) : base;
}

QColor bodyRow(int y)
{
    QColor c;
    if (y < 120)
        c = mix(kBodyTop, kBody, (y - kTitleHeight) / 83.0);
    else if (y <= 404)
        c = kBody;
    else
        c = mix(kBody, kBodyBottom, (y - 404) / 86.0);
    // The title strip casts a short shadow on the body.
    constexpr qreal kShadow[] = {0.16, 0.08, 0.03};
    const int below = y - kTitleHeight;
    if (below >= 0 && below < 3)
        c = mix(c, QColor(70, 90, 160), kShadow[below]);
    return c;
}

QImage blank(int width, int height, const QColor &fill = Qt::transparent)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void fillRows(QImage &image, int from, int to, QColor (*rowColour)(int), int rowOffset = 0)
{
    QPainter p(&image);
    for (int y = from; y <= to && y < image.height(); ++y)
        p.fillRect(0, y, image.width(), 1, rowColour(y + rowOffset));
}

// Pure red would be cut out of the window: nothing but the cut-out may be that exact colour.
void keepOffCutOut(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == kCutOut)
                line[x] = qRgb(254, 0, 0);
    }
}

// Pixels less than half inside the outline become pure red. Edge pixels
// blend toward the body only, so the cut is hard on the red side.
void cutOutside(QImage &image, const QPainterPath &outline)
{
    keepOffCutOut(image);
    QImage coverage = blank(image.width(), image.height());
    {
        QPainter p(&coverage);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(outline, Qt::black);
    }
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const auto *inside = reinterpret_cast<const QRgb *>(coverage.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(inside[x]) < 128)
                line[x] = kCutOut;
    }
}

// A 1-px line that fades in and out at its ends.
QBrush fadingBrush(QPointF from, QPointF to, const QColor &colour)
{
    QLinearGradient g(from, to);
    g.setColorAt(0, alpha(colour, 0));
    g.setColorAt(0.12, colour);
    g.setColorAt(0.88, colour);
    g.setColorAt(1, alpha(colour, 0));
    return g;
}

// An engraved separator: a shadow line and a highlight next to it.
void separator(QPainter &p, QPoint from, QPoint to)
{
    const QColor shadow(30, 50, 120, 48);
    const QColor light(255, 255, 255, 160);
    if (from.y() == to.y()) {
        const int width = to.x() - from.x() + 1;
        p.fillRect(from.x(), from.y(), width, 1, fadingBrush(from, to, shadow));
        p.fillRect(from.x(), from.y() + 1, width, 1, fadingBrush(from, to, light));
    } else {
        const int height = to.y() - from.y() + 1;
        p.fillRect(from.x(), from.y(), 1, height, fadingBrush(from, to, shadow));
        p.fillRect(from.x() + 1, from.y(), 1, height, fadingBrush(from, to, light));
    }
}

// The window's own 1-px edge (dark along the title strip, softer along the
// body) and a faint bevel inside it.
void outerEdge(QPainter &p, int height)
{
    const qreal titleEnd = qreal(kTitleHeight - 1) / height;
    const qreal bodyStart = qreal(kTitleHeight) / height;
    QLinearGradient edge(0, 0, 0, height);
    edge.setColorAt(0, QColor(40, 60, 136));
    edge.setColorAt(titleEnd, QColor(40, 60, 136));
    edge.setColorAt(bodyStart, QColor(128, 145, 192));
    edge.setColorAt(1, QColor(112, 130, 182));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(edge), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, kWidth - 1, height - 1), kOuterRadius - 0.5, kOuterRadius - 0.5);

    QLinearGradient bevel(0, 0, 0, height);
    bevel.setColorAt(0, QColor(255, 255, 255, 90));
    bevel.setColorAt(titleEnd, QColor(255, 255, 255, 0));
    bevel.setColorAt(bodyStart, QColor(255, 255, 255, 110));
    bevel.setColorAt(1, QColor(255, 255, 255, 60));
    p.setPen(QPen(QBrush(bevel), 1));
    p.drawRoundedRect(QRectF(1.5, 1.5, kWidth - 3, height - 3), kOuterRadius - 1.5, kOuterRadius - 1.5);
}

QPainterPath windowOutline(int height)
{
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, kWidth, height), kOuterRadius, kOuterRadius);
    return outline;
}

// The strip's recessed panel: lighter than the body, a 1-px edge and a soft
// inner shadow under its top edge.
void stripPanel(QPainter &p)
{
    const QRectF panel(15, 114, 771, 291);
    constexpr qreal kRadius = 6;
    QPainterPath shape;
    shape.addRoundedRect(panel, kRadius, kRadius);
    p.fillPath(shape, QColor(kPanel));

    p.save();
    p.setClipPath(shape);
    p.setBrush(Qt::NoBrush);
    for (int depth = 1; depth <= 2; ++depth) {
        QLinearGradient shade(0, panel.top(), 0, panel.top() + 24);
        shade.setColorAt(0, QColor(20, 40, 110, depth == 1 ? 56 : 22));
        shade.setColorAt(1, QColor(20, 40, 110, 0));
        p.setPen(QPen(QBrush(shade), 1));
        const qreal inset = depth + 0.5;
        p.drawRoundedRect(panel.adjusted(inset, inset, -inset, -inset), kRadius - inset, kRadius - inset);
    }
    p.restore();

    p.setPen(QPen(QColor(164, 179, 218), 1));
    p.drawRoundedRect(panel.adjusted(0.5, 0.5, -0.5, -0.5), kRadius - 0.5, kRadius - 0.5);
}

// The banner's frame: the 468 x 60 banner at (166, 411) sits inside a 2-px
// recessed frame with a highlight on its lower and right outside edges.
void bannerFrame(QPainter &p)
{
    QLinearGradient empty(0, 411, 0, 471);
    empty.setColorAt(0, QColor(200, 210, 236));
    empty.setColorAt(1, QColor(188, 200, 231));
    p.fillRect(166, 411, 468, 60, empty);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 166, 210), 1));
    p.drawRect(QRectF(164.5, 409.5, 471, 63));
    p.setPen(QPen(QColor(182, 195, 228), 1));
    p.drawLine(QPointF(165.5, 410.5), QPointF(633.5, 410.5));
    p.drawLine(QPointF(165.5, 410.5), QPointF(165.5, 470.5));
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawLine(QPointF(634.5, 411.5), QPointF(634.5, 471.5));
    p.drawLine(QPointF(166.5, 471.5), QPointF(634.5, 471.5));
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.drawLine(QPointF(636.5, 410.5), QPointF(636.5, 473.5));
    p.drawLine(QPointF(165.5, 473.5), QPointF(636.5, 473.5));
}

QImage skinLarge()
{
    QImage image = blank(kWidth, kLargeHeight);
    fillRows(image, 0, kTitleHeight - 1, titleRow);
    fillRows(image, kTitleHeight, kLargeHeight - 1, bodyRow);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // Between the search row and the status row, and around the controls.
        separator(p, QPoint(20, 71), QPoint(780, 71));
        separator(p, QPoint(486, 41), QPoint(486, 61));
        stripPanel(p);
        bannerFrame(p);
        separator(p, QPoint(657, 414), QPoint(657, 468));
        outerEdge(p, kLargeHeight);
    }
    cutOutside(image, windowOutline(kLargeHeight));
    return image;
}

QImage skinCompact()
{
    QImage image = blank(kWidth, kCompactHeight);
    fillRows(image, 0, kTitleHeight - 1, titleRow);
    // The compact body matches the large one row for row, then darkens a
    // little toward its rounded lower edge.
    fillRows(image, kTitleHeight, kCompactHeight - 1, bodyRow);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient foot(0, kCompactHeight - 14, 0, kCompactHeight);
        foot.setColorAt(0, QColor(70, 90, 160, 0));
        foot.setColorAt(1, QColor(70, 90, 160, 26));
        p.fillRect(0, kCompactHeight - 14, kWidth, 14, foot);
        outerEdge(p, kCompactHeight);
    }
    cutOutside(image, windowOutline(kCompactHeight));
    return image;
}

// ---- Push buttons -------------------------------------------------------

enum class State { Normal, Hovered, Pressed };
constexpr State kStates[] = {State::Normal, State::Hovered, State::Pressed};

struct ButtonLook
{
    QColor top, bottom, border, glow;
};

struct ButtonStyle
{
    QColor background;
    ButtonLook normal, hovered, pressed;
};

const ButtonStyle kPushButton{
    kBody,
    {QColor(252, 253, 255), QColor(224, 231, 247), QColor(138, 156, 206), QColor()},
    {QColor(248, 251, 255), QColor(206, 221, 252), QColor(92, 124, 212), QColor(150, 182, 246, 150)},
    {QColor(186, 200, 234), QColor(212, 221, 243), QColor(82, 104, 172), QColor()},
};

// Under each thumbnail: flatter and lighter, on the panel's colour.
const ButtonStyle kDownloadButton{
    kPanel,
    {QColor(255, 255, 255), QColor(238, 242, 252), QColor(176, 190, 226), QColor()},
    {QColor(252, 254, 255), QColor(220, 232, 253), QColor(112, 142, 222), QColor(170, 198, 250, 120)},
    {QColor(208, 219, 245), QColor(230, 236, 251), QColor(102, 124, 194), QColor()},
};

void paintButton(QPainter &p, const ButtonStyle &style, State state)
{
    const ButtonLook &look = state == State::Normal    ? style.normal
                             : state == State::Hovered ? style.hovered
                                                       : style.pressed;
    const QRectF frame(0.5, 0.5, kButton.width() - 1, kButton.height() - 1);
    constexpr qreal kRadius = 4;

    p.fillRect(QRect(QPoint(0, 0), kButton), style.background);
    QLinearGradient face(0, 0, 0, kButton.height());
    face.setColorAt(0, look.top);
    face.setColorAt(1, look.bottom);
    p.setPen(QPen(look.border, 1));
    p.setBrush(face);
    p.drawRoundedRect(frame, kRadius, kRadius);
    p.setBrush(Qt::NoBrush);

    const QRectF inner = frame.adjusted(1, 1, -1, -1);
    if (state == State::Pressed) {
        // Inset: a shadow under the top edge instead of a highlight.
        p.setPen(QPen(QColor(40, 60, 130, 70), 1));
        p.drawLine(QPointF(inner.left() + 2, inner.top()), QPointF(inner.right() - 2, inner.top()));
        p.setPen(QPen(QColor(40, 60, 130, 26), 1));
        p.drawLine(QPointF(inner.left() + 1, inner.top() + 1), QPointF(inner.right() - 1, inner.top() + 1));
        return;
    }
    if (look.glow.isValid()) {
        p.setPen(QPen(look.glow, 1));
        p.drawRoundedRect(inner, kRadius - 1, kRadius - 1);
    }
    p.setPen(QPen(QColor(255, 255, 255, 210), 1));
    p.drawLine(QPointF(inner.left() + 2, inner.top()), QPointF(inner.right() - 2, inner.top()));
}

QImage buttonStrip(const ButtonStyle &style)
{
    QImage image = blank(kButton.width(), kButton.height() * 3);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(0, i * kButton.height());
        p.setClipRect(QRect(QPoint(0, 0), kButton));
        paintButton(p, style, kStates[i]);
        p.restore();
    }
    return image;
}

// ---- Title-bar icons ----------------------------------------------------

enum class Glyph { Minimise, About, Close, Compact };

QPen roundPen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawGlyph(QPainter &p, Glyph glyph, const QColor &colour)
{
    switch (glyph) {
    case Glyph::Minimise:
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(10, 19, 12, 3), 1.5, 1.5);
        break;
    case Glyph::About:
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QPointF(16.5, 9.5), 2.1, 2.1);
        p.drawRoundedRect(QRectF(15, 14, 3, 10), 1.2, 1.2);
        break;
    case Glyph::Close:
        p.setPen(roundPen(colour, 2.4));
        p.drawLine(QPointF(11.5, 11.5), QPointF(20.5, 20.5));
        p.drawLine(QPointF(20.5, 11.5), QPointF(11.5, 20.5));
        break;
    case Glyph::Compact:
        p.setPen(roundPen(colour, 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(11, 15.5), QPointF(16, 10.5), QPointF(21, 15.5)}));
        p.drawPolyline(QPolygonF({QPointF(11, 21.5), QPointF(16, 16.5), QPointF(21, 21.5)}));
        break;
    }
}

QImage titleIcon(Glyph glyph)
{
    QImage image = blank(kIconSide, kIconSide * 3);
    QPainter p(&image);
    for (int y = 0; y < image.height(); ++y)
        p.fillRect(0, y, kIconSide, 1, titleRow(kTitleIconTop + y % kIconSide));
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(16, 16);
    constexpr qreal kGlowRadius = 12.5;
    for (int frame = 0; frame < 3; ++frame) {
        const State state = kStates[frame];
        p.save();
        p.translate(0, frame * kIconSide);
        p.setClipRect(0, 0, kIconSide, kIconSide);
        if (state == State::Hovered) {
            QRadialGradient glow(centre, kGlowRadius, QPointF(16, 11));
            if (glyph == Glyph::Close) {
                glow.setColorAt(0, QColor(240, 120, 110));
                glow.setColorAt(1, QColor(200, 58, 60));
            } else {
                glow.setColorAt(0, QColor(255, 255, 255, 96));
                glow.setColorAt(1, QColor(255, 255, 255, 40));
            }
            p.setBrush(glow);
            p.setPen(QPen(glyph == Glyph::Close ? QColor(255, 196, 190, 170) : QColor(255, 255, 255, 120), 1));
            p.drawEllipse(centre, kGlowRadius, kGlowRadius);
        } else if (state == State::Pressed) {
            QLinearGradient dip(0, 4, 0, 28);
            const QColor deep = glyph == Glyph::Close ? QColor(150, 26, 36, 200) : QColor(16, 30, 90, 110);
            dip.setColorAt(0, deep);
            dip.setColorAt(1, alpha(deep, deep.alpha() / 3));
            p.setBrush(dip);
            p.setPen(QPen(QColor(255, 255, 255, 50), 1));
            p.drawEllipse(centre, kGlowRadius, kGlowRadius);
        }
        // Pressed: the glyph sinks by one pixel.
        const int sink = state == State::Pressed ? 1 : 0;
        p.translate(0, sink + 1);
        drawGlyph(p, glyph, QColor(10, 24, 80, state == State::Pressed ? 60 : 90));
        p.translate(0, -1);
        drawGlyph(p, glyph, state == State::Pressed ? QColor(226, 233, 252) : QColor(252, 253, 255));
        p.restore();
    }
    p.end();
    keepOffCutOut(image);
    return image;
}

// ---- Busy band ----------------------------------------------------------

// Diagonal stripes that repeat every kBusyPeriod pixels along x, so a window
// onto the band moved one pixel a tick looks like a turning barber pole.
QImage busyBand()
{
    constexpr int kBandWidth = 187;
    constexpr int kBandHeight = 8;
    constexpr int kSamples = 4;
    const QColor light(178, 197, 244);
    const QColor dark(98, 124, 204);
    // Rows shaded like a tube: lit from above.
    constexpr qreal kShade[kBandHeight] = {0.30, 0.22, 0.12, 0.04, 0.0, -0.06, -0.14, -0.26};

    QImage image = blank(kBandWidth, kBandHeight);
    for (int y = 0; y < kBandHeight; ++y)
        for (int x = 0; x < kBandWidth; ++x) {
            int inStripe = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    // Sample offsets are exact binary fractions, so column x
                    // and column x + 12 come out bit for bit the same.
                    const qreal phase = std::fmod(x + (sx + 0.5) / kSamples + y + (sy + 0.5) / kSamples,
                                                  qreal(kBusyPeriod));
                    inStripe += phase < kBusyPeriod / 2 ? 1 : 0;
                }
            QColor c = mix(light, dark, qreal(inStripe) / (kSamples * kSamples));
            const qreal shade = kShade[y];
            c = shade >= 0 ? mix(c, Qt::white, shade) : mix(c, QColor(20, 36, 100), -shade);
            image.setPixelColor(x, y, c);
        }
    return image;
}

// ---- 16 x 16 icons ------------------------------------------------------

QImage iconSearch()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(QColor(44, 58, 100), 2.8));
    p.drawLine(QPointF(10.3, 10.3), QPointF(14, 14));
    QRadialGradient glass(QPointF(5.5, 5.5), 5, QPointF(4.5, 4.2));
    glass.setColorAt(0, QColor(255, 255, 255));
    glass.setColorAt(1, QColor(184, 204, 246));
    p.setBrush(glass);
    p.setPen(QPen(QColor(64, 90, 170), 1.8));
    p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
    p.setPen(roundPen(QColor(255, 255, 255, 220), 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.6, 3.6, 5.8, 5.8), 100 * 16, 70 * 16);
    return image;
}

QImage iconStop()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 2, 0, 14);
    face.setColorAt(0, QColor(236, 104, 94));
    face.setColorAt(1, QColor(190, 44, 46));
    p.setBrush(face);
    p.setPen(QPen(QColor(146, 32, 36), 1));
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2.8, 2.8);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawLine(QPointF(5, 3.5), QPointF(11, 3.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(QRectF(6, 6, 4, 4), 0.8, 0.8);
    p.end();
    keepOffCutOut(image);
    return image;
}

QImage iconDownload()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(roundPen(QColor(60, 74, 116), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(2, 10), QPointF(2, 14), QPointF(14, 14), QPointF(14, 10)}));

    QLinearGradient arrowFill(0, 1, 0, 12);
    arrowFill.setColorAt(0, QColor(120, 160, 236));
    arrowFill.setColorAt(1, QColor(50, 96, 200));
    QPainterPath arrow;
    arrow.moveTo(7, 1);
    arrow.lineTo(9, 1);
    arrow.lineTo(9, 6.5);
    arrow.lineTo(12.5, 6.5);
    arrow.lineTo(8, 11.5);
    arrow.lineTo(3.5, 6.5);
    arrow.lineTo(7, 6.5);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(36, 70, 160), 0.8));
    p.setBrush(arrowFill);
    p.drawPath(arrow);
    return image;
}

QImage iconFolder()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline(160, 112, 32);
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(226, 176, 70));
    p.drawPath(back);

    QLinearGradient front(0, 6, 0, 14);
    front.setColorAt(0, QColor(255, 222, 130));
    front.setColorAt(1, QColor(240, 186, 78));
    p.setBrush(front);
    p.drawRect(QRectF(1.5, 6.5, 13, 7));
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawLine(QPointF(2.5, 7.5), QPointF(13.5, 7.5));
    return image;
}

QImage iconOptions()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    constexpr int kTeeth = 8;
    constexpr qreal kOuter = 7.2;
    constexpr qreal kInner = 5.2;
    const QPointF centre(8, 8);
    QPolygonF rim;
    for (int i = 0; i < kTeeth * 4; ++i) {
        const qreal step = 2 * std::numbers::pi / (kTeeth * 4);
        const qreal angle = (i - 0.5) * step;
        // Two points on a tooth, two in the gap after it.
        const qreal radius = (i % 4 < 2) ? kOuter : kInner;
        rim << centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
    }
    QPainterPath gear;
    gear.addPolygon(rim);
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, 2.3, 2.3);
    gear = gear.subtracted(hole);

    QLinearGradient metal(0, 1, 0, 15);
    metal.setColorAt(0, QColor(150, 168, 214));
    metal.setColorAt(1, QColor(74, 92, 150));
    p.setPen(QPen(QColor(48, 62, 108), 0.9));
    p.setBrush(metal);
    p.drawPath(gear);
    return image;
}

// ---- Options window tabs ------------------------------------------------

QLinearGradient verticalGradient(qreal top, qreal bottom, const QColor &from, const QColor &to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// The colours of the download arrow, shared by every arrow of the tabs.
QLinearGradient arrowBlue(qreal top, qreal bottom)
{
    return verticalGradient(top, bottom, QColor(120, 160, 236), QColor(50, 96, 200));
}

const QColor kArrowEdge(36, 70, 160);
const QColor kMetalEdge(48, 62, 108);

// A sheet of paper with its upper right corner folded down.
QPainterPath foldedPage(const QRectF &page, qreal fold)
{
    QPainterPath path;
    path.moveTo(page.topLeft());
    path.lineTo(page.right() - fold, page.top());
    path.lineTo(page.right(), page.top() + fold);
    path.lineTo(page.bottomRight());
    path.lineTo(page.bottomLeft());
    path.closeSubpath();
    return path;
}

void drawFold(QPainter &p, const QRectF &page, qreal fold, const QColor &edge)
{
    const QPointF corner(page.right() - fold, page.top() + fold);
    p.setBrush(verticalGradient(page.top(), corner.y(), QColor(244, 247, 253), QColor(190, 202, 232)));
    p.setPen(QPen(edge, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolygon(QPolygonF({QPointF(page.right() - fold, page.top()), corner, QPointF(page.right(), corner.y())}));
}

// Ribbons and bands share the stop button's red.
QLinearGradient ribbonRed(qreal top, qreal bottom)
{
    return verticalGradient(top, bottom, QColor(236, 104, 94), QColor(190, 44, 46));
}

const QColor kRibbonEdge(146, 32, 36);

// A small window with two sliders.
void tabGeneral(QPainter &p)
{
    const QRectF frame(1.5, 1.5, 13, 13);
    QPainterPath shape;
    shape.addRoundedRect(frame, 1.5, 1.5);
    p.fillPath(shape, verticalGradient(5, 14, QColor(252, 253, 255), QColor(226, 232, 247)));
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRect(1, 1, 14, 4), verticalGradient(1, 5, QColor(kTitleTop), QColor(kTitleBottom)));
    p.restore();
    p.setPen(QPen(QColor(60, 74, 116), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);

    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(4, 7, 8, 1, QColor(150, 162, 200));
    p.fillRect(4, 11, 8, 1, QColor(150, 162, 200));
    p.fillRect(5, 6, 2, 3, QColor(kInk));
    p.fillRect(9, 10, 2, 3, QColor(kInk));
    p.setRenderHint(QPainter::Antialiasing);
}

// A blue ball with its meridians and parallels.
void tabConnection(QPainter &p)
{
    const QPointF centre(8, 8);
    constexpr qreal kRadius = 6.5;
    QRadialGradient sea(centre, kRadius, QPointF(6, 5.5));
    sea.setColorAt(0, QColor(178, 204, 250));
    sea.setColorAt(1, QColor(50, 96, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawEllipse(centre, kRadius, kRadius);

    QPainterPath ball;
    ball.addEllipse(centre, kRadius, kRadius);
    p.save();
    p.setClipPath(ball);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    // The grid sits on pixel centres, half a pixel off the ball's own centre, to stay sharp.
    p.drawEllipse(QPointF(7.5, 8), 3, kRadius);
    p.drawLine(QPointF(7.5, 1), QPointF(7.5, 15));
    for (const qreal y : {4.5, 7.5, 10.5})
        p.drawLine(QPointF(1, y), QPointF(15, y));
    p.restore();

    p.setPen(QPen(kArrowEdge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, kRadius, kRadius);
}

// A right-pointing arrow whose shaft starts at x `from` and tip ends at x `to`.
void sideArrow(QPainter &p, qreal from, qreal to, qreal y)
{
    QPainterPath arrow;
    arrow.moveTo(from, y - 1);
    arrow.lineTo(to - 3, y - 1);
    arrow.lineTo(to - 3, y - 3);
    arrow.lineTo(to, y);
    arrow.lineTo(to - 3, y + 3);
    arrow.lineTo(to - 3, y + 1);
    arrow.lineTo(from, y + 1);
    arrow.closeSubpath();
    p.setPen(QPen(kArrowEdge, 0.8));
    p.setBrush(arrowBlue(y - 3, y + 3));
    p.drawPath(arrow);
}

// A small server that requests pass through, in on the left, out on the right.
void tabProxy(QPainter &p)
{
    const QRectF box(5.5, 1.5, 5, 13);
    p.setPen(QPen(kMetalEdge, 1));
    p.setBrush(verticalGradient(1, 15, QColor(150, 168, 214), QColor(74, 92, 150)));
    p.drawRoundedRect(box, 1, 1);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const int y : {4, 7}) {
        p.fillRect(7, y, 3, 1, QColor(36, 48, 92));
        p.fillRect(7, y + 1, 3, 1, QColor(255, 255, 255, 110));
    }
    p.fillRect(7, 11, 1, 1, QColor(120, 230, 120));
    p.setRenderHint(QPainter::Antialiasing);
    sideArrow(p, 0.5, 5.5, 8);
    sideArrow(p, 10.5, 15.5, 8);
}

// Two arrows chasing each other round a circle, each one outline like the
// download arrow: a band along the arc that ends in a head.
void tabUpdate(QPainter &p)
{
    const QPointF centre(8, 8);
    constexpr qreal kRadius = 5.2;
    constexpr qreal kHalfBand = 1.2;
    constexpr qreal kSpan = 110;
    const auto circle = [&](qreal radius) {
        return QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    };
    p.setPen(QPen(kArrowEdge, 0.8));
    p.setBrush(arrowBlue(2, 14));
    for (const qreal start : {30.0, 210.0}) {
        // Counter-clockwise, so the heads point on round the circle.
        const qreal a = (start + kSpan) * std::numbers::pi / 180;
        const QPointF radial(std::cos(a), -std::sin(a));
        const QPointF along(-std::sin(a), -std::cos(a));
        const QPointF base = centre + radial * kRadius;
        QPainterPath arrow;
        arrow.arcMoveTo(circle(kRadius + kHalfBand), start);
        arrow.arcTo(circle(kRadius + kHalfBand), start, kSpan);
        arrow.lineTo(base + radial * 3);
        arrow.lineTo(base + along * 3.5);
        arrow.lineTo(base - radial * 3);
        arrow.arcTo(circle(kRadius - kHalfBand), start + kSpan, -kSpan);
        arrow.closeSubpath();
        p.drawPath(arrow);
    }
}

// A cylinder of three stacked discs.
void tabDatabase(QPainter &p)
{
    constexpr qreal kLeft = 2.5;
    constexpr qreal kRight = 13.5;
    constexpr qreal kTop = 3.5;
    constexpr qreal kBottom = 12.5;
    constexpr qreal kRy = 2;
    const auto lowerHalf = [&](qreal y) {
        QPainterPath arc;
        const QRectF oval(kLeft, y - kRy, kRight - kLeft, 2 * kRy);
        arc.arcMoveTo(oval, 180);
        arc.arcTo(oval, 180, 180);
        return arc;
    };
    QPainterPath body = lowerHalf(kBottom);
    body.lineTo(kRight, kTop);
    body.arcTo(QRectF(kLeft, kTop - kRy, kRight - kLeft, 2 * kRy), 0, 180);
    body.closeSubpath();
    QLinearGradient metal(kLeft, 0, kRight, 0);
    metal.setColorAt(0, QColor(112, 132, 192));
    metal.setColorAt(0.35, QColor(172, 190, 234));
    metal.setColorAt(1, QColor(74, 92, 150));
    p.setPen(QPen(kMetalEdge, 0.9));
    p.setBrush(metal);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    for (const qreal y : {kTop + 3, kTop + 6}) {
        p.setPen(QPen(QColor(255, 255, 255, 130), 0.8));
        p.drawPath(lowerHalf(y + 1));
        p.setPen(QPen(kMetalEdge, 0.8));
        p.drawPath(lowerHalf(y));
    }
    p.setPen(QPen(kMetalEdge, 0.9));
    p.setBrush(verticalGradient(kTop - kRy, kTop + kRy, QColor(226, 234, 252), QColor(168, 186, 232)));
    p.drawEllipse(QRectF(kLeft, kTop - kRy, kRight - kLeft, 2 * kRy));
}

// A page crossed by a red band, as the output format's files look.
void tabPdf(QPainter &p)
{
    const QRectF page(2.5, 0.5, 11, 15);
    constexpr qreal kFold = 4;
    const QColor edge(96, 112, 160);
    p.setPen(QPen(edge, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(verticalGradient(0, 16, QColor(255, 255, 255), QColor(228, 234, 249)));
    p.drawPath(foldedPage(page, kFold));
    drawFold(p, page, kFold, edge);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(4, 3, 5, 1, QColor(150, 162, 200));
    p.fillRect(4, 5, 7, 1, QColor(150, 162, 200));
    p.fillRect(4, 13, 7, 1, QColor(150, 162, 200));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kRibbonEdge, 1));
    p.setBrush(ribbonRed(7, 12));
    p.drawRect(QRectF(1.5, 7.5, 13, 4));
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawLine(QPointF(2.5, 8.5), QPointF(13.5, 8.5));
}

// The About glyph on a blue disc.
void tabInfo(QPainter &p)
{
    const QPointF centre(8, 8);
    QRadialGradient disc(centre, 7, QPointF(6, 5));
    disc.setColorAt(0, QColor(150, 182, 246));
    disc.setColorAt(1, QColor(50, 96, 200));
    p.setPen(QPen(kArrowEdge, 1));
    p.setBrush(disc);
    p.drawEllipse(centre, 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
    p.drawRoundedRect(QRectF(7, 7, 2, 5.5), 0.6, 0.6);
}

// A golden five-pointed star, in the folder's yellows.
void tabStar(QPainter &p)
{
    const QPointF centre(8, 8.7);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const qreal radius = i % 2 == 0 ? 7.4 : 3.0;
        star << centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
    }
    p.setPen(QPen(QColor(160, 112, 32), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(verticalGradient(1, 15, QColor(255, 226, 136), QColor(232, 166, 54)));
    p.drawPolygon(star);
}

// The section tabs of the options window, side by side in tab order.
QImage optionsTabs()
{
    using DrawTab = void (*)(QPainter &);
    constexpr DrawTab kTabs[] = {tabGeneral,  tabConnection, tabProxy, tabUpdate,
                                 tabDatabase, tabPdf,        tabInfo,  tabStar};
    constexpr int kSide = 16;
    QImage image = blank(kSide * int(std::size(kTabs)), kSide);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < int(std::size(kTabs)); ++i) {
        p.save();
        p.translate(i * kSide, 0);
        p.setClipRect(0, 0, kSide, kSide);
        kTabs[i](p);
        p.restore();
    }
    p.end();
    keepOffCutOut(image);
    return image;
}

// ---- Flags and signs ----------------------------------------------------

// Flags are filled on whole-pixel rectangles: at 14 pixels any smoothing
// would blur the colour bands.
void frenchBands(QPainter &p, const QRect &area)
{
    const int third = area.width() / 3;
    p.fillRect(area.left(), area.top(), third, area.height(), QColor(kFrenchBlue));
    p.fillRect(area.left() + third, area.top(), area.width() - 2 * third, area.height(), QColor(kFlagWhite));
    p.fillRect(area.right() - third + 1, area.top(), third, area.height(), QColor(kFrenchRed));
}

void usStripes(QPainter &p, const QRect &area, const QSize &canton)
{
    for (int row = 0; row < area.height(); ++row)
        p.fillRect(area.left(), area.top() + row, area.width(), 1, QColor(row % 2 ? kFlagWhite : kUsRed));
    p.fillRect(QRect(area.topLeft(), canton), QColor(kUsBlue));
    // A few light dots stand for the stars.
    for (int y = 1; y < canton.height() - 1; ++y)
        for (int x = 1 + (y % 2); x < canton.width() - 1; x += 2)
            p.fillRect(area.left() + x, area.top() + y, 1, 1, QColor(176, 184, 226));
}

QImage flag(void (*bands)(QPainter &, const QRect &))
{
    QImage image = blank(14, 14);
    QPainter p(&image);
    const QRect outer(0, 2, 14, 11);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    p.fillRect(outer, QColor(70, 80, 120));
    bands(p, inner);
    p.fillRect(inner.left(), inner.top(), inner.width(), 2, QColor(255, 255, 255, 44));
    p.fillRect(inner.left(), inner.bottom(), inner.width(), 1, QColor(0, 0, 40, 28));
    return image;
}

QImage flagFrench()
{
    return flag(frenchBands);
}

QImage flagUs()
{
    return flag([](QPainter &p, const QRect &area) { usStripes(p, area, QSize(6, 5)); });
}

// Both languages: the French half on the left, the American half on the right.
QImage flagFrenchUs()
{
    QImage image = blank(14, 12);
    QPainter p(&image);
    const QRect outer(0, 0, 14, 12);
    p.fillRect(outer, QColor(70, 80, 120));
    frenchBands(p, QRect(1, 1, 6, 10));
    usStripes(p, QRect(7, 1, 6, 10), QSize(3, 5));
    p.fillRect(1, 1, 12, 2, QColor(255, 255, 255, 44));
    p.fillRect(1, 10, 12, 1, QColor(0, 0, 40, 28));
    return image;
}

// A little landscape (sky, sun, hills) inside a picture of the given area.
void tinyScene(QPainter &p, const QRect &area)
{
    QLinearGradient sky(0, area.top(), 0, area.bottom());
    sky.setColorAt(0, QColor(118, 150, 228));
    sky.setColorAt(1, QColor(214, 226, 250));
    p.fillRect(area, sky);
    p.fillRect(area.right() - 2, area.top() + 1, 2, 2, QColor(252, 214, 110));
    const int hill = area.bottom() - area.height() / 3 + 1;
    p.fillRect(area.left(), hill + 1, area.width(), area.bottom() - hill, QColor(70, 108, 190));
    p.fillRect(area.left(), hill, area.width() / 2, 1, QColor(70, 108, 190));
    p.fillRect(area.left() + area.width() / 2, hill, area.width() - area.width() / 2, 1, QColor(96, 132, 206));
}

QImage signPoster()
{
    QImage image = blank(14, 14);
    QPainter p(&image);
    const QRect frame(3, 1, 8, 12);
    p.fillRect(frame.translated(1, 1), QColor(20, 30, 70, 60));
    p.fillRect(frame, QColor(kInk));
    p.fillRect(frame.adjusted(1, 1, -1, -1), QColor(250, 251, 255));
    tinyScene(p, frame.adjusted(2, 2, -2, -2));
    return image;
}

QImage signJacket()
{
    QImage image = blank(14, 14);
    QPainter p(&image);
    const QRect box(0, 3, 13, 9);
    p.fillRect(box.translated(1, 1), QColor(20, 30, 70, 60));
    p.fillRect(box, QColor(kInk));
    // Back cover, spine, front cover.
    p.fillRect(1, 4, 5, 7, QColor(190, 202, 232));
    p.fillRect(2, 5, 3, 1, QColor(150, 166, 210));
    p.fillRect(2, 7, 3, 1, QColor(150, 166, 210));
    p.fillRect(6, 4, 1, 7, QColor(94, 116, 180));
    tinyScene(p, QRect(7, 4, 5, 7));
    return image;
}

// ---- Small buttons and badges -------------------------------------------

// A pill-shaped face with a vertical gradient, an edge and a sheen along its top.
void drawPill(QPainter &p, QSize size, QColor top, QColor bottom, QColor edge, int sheenAlpha, qreal sheenInset)
{
    QLinearGradient face(0, 0, 0, size.height());
    face.setColorAt(0, top);
    face.setColorAt(1, bottom);
    p.setBrush(face);
    p.setPen(QPen(edge, 1));
    const qreal radius = (size.height() - 1) / 2.0;
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, sheenAlpha), 1));
    p.drawLine(QPointF(sheenInset, 1.5), QPointF(size.width() - sheenInset, 1.5));
}

QImage closePicture()
{
    QImage image = blank(33, 13);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawPill(p, image.size(), QColor(136, 160, 228), QColor(86, 112, 194), QColor(60, 82, 160), 90, 6);
    p.setPen(roundPen(QColor(255, 255, 255), 1.6));
    p.drawLine(QPointF(14.3, 4.3), QPointF(18.7, 8.7));
    p.drawLine(QPointF(18.7, 4.3), QPointF(14.3, 8.7));
    return image;
}

QImage downloadedBadge()
{
    QImage image = blank(69, 19);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawPill(p, image.size(), QColor(132, 210, 124), QColor(58, 152, 70), QColor(40, 118, 54), 110, 9);
    p.setPen(roundPen(QColor(20, 90, 36, 90), 2.4));
    p.setBrush(Qt::NoBrush);
    const QPolygonF tick({QPointF(28.5, 9.5), QPointF(32.5, 13.5), QPointF(40.5, 5.5)});
    p.drawPolyline(tick.translated(0, 1));
    p.setPen(roundPen(Qt::white, 2.4));
    p.drawPolyline(tick);
    return image;
}

// The toggle of the site window: a tiny button showing a ticked list.
QImage siteListToggle()
{
    QImage image = blank(16, 17);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, 17);
    face.setColorAt(0, QColor(252, 253, 255));
    face.setColorAt(1, QColor(220, 228, 247));
    p.setBrush(face);
    p.setPen(QPen(QColor(138, 156, 206), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 16), 3, 3);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A ticked row above an unticked one.
    p.fillRect(3, 4, 4, 4, QColor(kAccent));
    p.fillRect(4, 5, 2, 2, QColor(kInk));
    p.fillRect(3, 9, 4, 4, QColor(kAccent));
    p.fillRect(4, 10, 2, 2, QColor(255, 255, 255));
    p.fillRect(8, 5, 5, 2, QColor(96, 112, 160));
    p.fillRect(8, 10, 5, 2, QColor(150, 162, 200));
    return image;
}

// ---- Application icon ---------------------------------------------------

// A blue tile with film perforations down both sides and a poster in the middle,
// drawn on a 64-pixel grid and scaled for the larger sizes desktops ask for.
QImage appIcon(int side)
{
    QImage image = blank(side, side);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);
    const QRectF tile(3, 2, 58, 58);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 20, 60, 50));
    p.drawRoundedRect(tile.translated(0, 2), 13, 13);

    QLinearGradient body(0, tile.top(), 0, tile.bottom());
    body.setColorAt(0, QColor(140, 164, 232));
    body.setColorAt(1, QColor(60, 86, 172));
    p.setBrush(body);
    p.setPen(QPen(QColor(44, 64, 140), 1));
    p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), 12.5, 12.5);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(tile.adjusted(1.5, 1.5, -1.5, -1.5), 11.5, 11.5);

    // Film strip behind the poster, trimmed to the tile's rounded outline.
    QPainterPath tileShape;
    tileShape.addRoundedRect(tile.adjusted(1, 1, -1, -1), 11.5, 11.5);
    QPainterPath strip;
    strip.addRect(QRectF(10, 0, 44, 64));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(28, 38, 78));
    p.drawPath(strip.intersected(tileShape));
    p.setBrush(QColor(210, 222, 250));
    for (int y = 8; y < 54; y += 7) {
        p.drawRoundedRect(QRectF(12, y, 4, 4), 1, 1);
        p.drawRoundedRect(QRectF(48, y, 4, 4), 1, 1);
    }

    // The poster.
    const QRectF poster(19, 9, 26, 44);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawRect(poster.translated(1, 1.5));
    p.setBrush(QColor(250, 251, 255));
    p.drawRect(poster);
    const QRectF picture = poster.adjusted(2, 2, -2, -9);
    QLinearGradient sky(0, picture.top(), 0, picture.bottom());
    sky.setColorAt(0, QColor(70, 96, 186));
    sky.setColorAt(0.65, QColor(236, 150, 120));
    sky.setColorAt(1, QColor(252, 210, 140));
    p.setBrush(sky);
    p.drawRect(picture);
    p.setBrush(QColor(255, 236, 170));
    p.drawEllipse(QPointF(32, 33), 5, 5);
    QPainterPath hills;
    hills.moveTo(picture.left(), picture.bottom());
    hills.lineTo(picture.left(), 37);
    hills.quadTo(26, 31, 32, 36);
    hills.quadTo(38, 40, picture.right(), 34);
    hills.lineTo(picture.right(), picture.bottom());
    hills.closeSubpath();
    p.setBrush(QColor(40, 52, 104));
    p.drawPath(hills);
    // Where a poster has its title and credits.
    p.setBrush(QColor(120, 134, 180));
    p.drawRect(QRectF(23, 46, 18, 2));
    p.setBrush(QColor(176, 186, 216));
    p.drawRect(QRectF(25, 49, 14, 1));
    return image;
}

QImage appIcon16()
{
    QImage image = blank(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 16);
    body.setColorAt(0, QColor(136, 160, 230));
    body.setColorAt(1, QColor(58, 84, 170));
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0, 0, 16, 16), 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.fillPath(tile, body);
    QPainterPath strip;
    strip.addRect(QRectF(2, 0, 12, 16));
    p.fillPath(strip.intersected(tile), QColor(28, 38, 78));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y = 2; y < 15; y += 3) {
        p.fillRect(2, y, 1, 1, QColor(200, 214, 248));
        p.fillRect(13, y, 1, 1, QColor(200, 214, 248));
    }
    p.fillRect(4, 2, 8, 12, QColor(250, 251, 255));
    QLinearGradient sky(0, 3, 0, 10);
    sky.setColorAt(0, QColor(70, 96, 186));
    sky.setColorAt(1, QColor(246, 176, 126));
    p.fillRect(5, 3, 6, 7, sky);
    p.fillRect(7, 7, 2, 1, QColor(255, 236, 170));
    p.fillRect(5, 8, 6, 2, QColor(40, 52, 104));
    p.fillRect(6, 11, 4, 1, QColor(130, 144, 186));
    return image;
}

// ---- About window ---------------------------------------------------------

// Night blue behind light texts, the program's icon in the upper left and a
// strip of film between the header and the rows of links.
QImage aboutBackground()
{
    constexpr int kAboutWidth = 400;
    constexpr int kAboutHeight = 232;
    constexpr int kFilmTop = 108;
    constexpr int kFilmHeight = 16;
    QImage image = blank(kAboutWidth, kAboutHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient night(0, 0, 0, kAboutHeight);
    night.setColorAt(0, QColor(54, 74, 148));
    night.setColorAt(0.45, QColor(34, 46, 96));
    night.setColorAt(1, QColor(24, 32, 70));
    p.fillRect(image.rect(), night);

    QRadialGradient glow(QPointF(60, 56), 90);
    glow.setColorAt(0, QColor(150, 172, 234, 70));
    glow.setColorAt(1, QColor(150, 172, 234, 0));
    p.fillRect(image.rect(), glow);

    p.drawImage(QPoint(28, 24), appIcon(64));

    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, kFilmTop, kAboutWidth, kFilmHeight, QColor(16, 22, 50));
    p.fillRect(0, kFilmTop - 1, kAboutWidth, 1, QColor(255, 255, 255, 40));
    p.fillRect(0, kFilmTop + kFilmHeight, kAboutWidth, 1, QColor(255, 255, 255, 24));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(196, 208, 240));
    for (int x = 6; x + 7 <= kAboutWidth - 6; x += 14)
        p.drawRoundedRect(QRectF(x, kFilmTop + 4, 7, 8), 1.5, 1.5);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(96, 120, 200), 1));
    p.drawRect(QRectF(0.5, 0.5, kAboutWidth - 1, kAboutHeight - 1));
    p.setPen(QPen(QColor(255, 255, 255, 36), 1));
    p.drawRect(QRectF(1.5, 1.5, kAboutWidth - 3, kAboutHeight - 3));
    return image;
}

// The donation button: a warm tile with a heart, in the badges' rounded style.
QImage donateButton()
{
    QImage image = blank(72, 44);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, 44);
    face.setColorAt(0, QColor(254, 222, 124));
    face.setColorAt(1, QColor(232, 148, 58));
    p.setBrush(face);
    p.setPen(QPen(QColor(172, 100, 30), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 71, 43), 9, 9);
    p.setPen(QPen(QColor(255, 255, 255, 140), 1));
    p.drawLine(QPointF(9, 1.5), QPointF(63, 1.5));

    QPainterPath heart;
    heart.moveTo(36, 35);
    heart.cubicTo(22, 26, 23, 12, 31, 11);
    heart.cubicTo(34, 11, 36, 14, 36, 16);
    heart.cubicTo(36, 14, 38, 11, 41, 11);
    heart.cubicTo(49, 12, 50, 26, 36, 35);
    heart.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 50, 10, 80));
    p.drawPath(heart.translated(0, 1.5));
    QLinearGradient red(0, 11, 0, 35);
    red.setColorAt(0, QColor(240, 84, 84));
    red.setColorAt(1, QColor(186, 30, 46));
    p.setBrush(red);
    p.setPen(QPen(QColor(255, 255, 255), 1.6));
    p.drawPath(heart);
    return image;
}

// The link to a PDF reader: a plain page with a folded corner and a red
// ribbon across it, no maker's mark.
QImage pdfReader()
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF page(5.5, 1.5, 20, 28);
    constexpr qreal kFold = 7;
    const QColor edge(96, 112, 160);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 30, 70, 60));
    p.drawPath(foldedPage(page, kFold).translated(1, 1.5));
    p.setPen(QPen(edge, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(verticalGradient(1, 30, QColor(255, 255, 255), QColor(226, 232, 248)));
    p.drawPath(foldedPage(page, kFold));
    drawFold(p, page, kFold, edge);

    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor line(166, 178, 212);
    p.fillRect(9, 6, 9, 1, line);
    p.fillRect(9, 9, 13, 1, line);
    p.fillRect(9, 12, 11, 1, line);
    p.fillRect(9, 25, 13, 1, line);
    p.setRenderHint(QPainter::Antialiasing);

    // The ribbon's ends tuck behind the page: a darker fold below each one.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 24, 30));
    p.drawPolygon(QPolygonF({QPointF(3, 21.5), QPointF(5.5, 21.5), QPointF(5.5, 23.5)}));
    p.drawPolygon(QPolygonF({QPointF(26.5, 21.5), QPointF(29, 21.5), QPointF(26.5, 23.5)}));
    QPainterPath ribbon;
    ribbon.moveTo(1, 15.5);
    ribbon.lineTo(31, 15.5);
    ribbon.lineTo(29, 18.5);
    ribbon.lineTo(31, 21.5);
    ribbon.lineTo(1, 21.5);
    ribbon.lineTo(3, 18.5);
    ribbon.closeSubpath();
    p.setPen(QPen(kRibbonEdge, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(ribbonRed(15, 22));
    p.drawPath(ribbon);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawLine(QPointF(4, 16.5), QPointF(28, 16.5));
    p.end();
    keepOffCutOut(image);
    return image;
}

// ---- Output -------------------------------------------------------------

struct Picture
{
    const char *name;
    QImage (*draw)();
    bool opaque;
};

const Picture kPictures[] = {
    {"skin_large.png", skinLarge, true},
    {"skin_compact.png", skinCompact, true},
    {"button_skin.png", [] { return buttonStrip(kPushButton); }, true},
    {"download_skin.png", [] { return buttonStrip(kDownloadButton); }, true},
    {"icon_minimise.png", [] { return titleIcon(Glyph::Minimise); }, true},
    {"icon_about.png", [] { return titleIcon(Glyph::About); }, true},
    {"icon_close.png", [] { return titleIcon(Glyph::Close); }, true},
    {"icon_compact.png", [] { return titleIcon(Glyph::Compact); }, true},
    {"busy_band.png", busyBand, true},
    {"icon_search.png", iconSearch, false},
    {"icon_stop.png", iconStop, false},
    {"icon_download.png", iconDownload, false},
    {"icon_folder.png", iconFolder, false},
    {"icon_options.png", iconOptions, false},
    {"flag_fr.png", flagFrench, false},
    {"flag_us.png", flagUs, false},
    {"flag_frus.png", flagFrenchUs, false},
    {"sign_poster.png", signPoster, false},
    {"sign_jacket.png", signJacket, false},
    {"close_picture.png", closePicture, false},
    {"downloaded_badge.png", downloadedBadge, false},
    {"site_list_toggle.png", siteListToggle, false},
    {"pellicam.png", [] { return appIcon(64); }, false},
    {"pellicam_48.png", [] { return appIcon(48); }, false},
    {"pellicam_128.png", [] { return appIcon(128); }, false},
    {"pellicam_256.png", [] { return appIcon(256); }, false},
    {"pellicam_16.png", appIcon16, false},
    {"about_background.png", aboutBackground, true},
    {"donate_button.png", donateButton, false},
    {"options_tabs.png", optionsTabs, false},
    {"pdf_reader.png", pdfReader, false},
};

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        err << "usage: pellicam-picture-generator FOLDER\n";
        return 2;
    }
    QDir folder(args.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cannot create " << args.at(1) << '\n';
        return 1;
    }
    int failures = 0;
    for (const Picture &picture : kPictures) {
        const QImage image = picture.draw().convertToFormat(picture.opaque ? QImage::Format_RGB32
                                                                           : QImage::Format_ARGB32);
        const QString path = folder.filePath(QString::fromLatin1(picture.name));
        if (!image.save(path, "PNG")) {
            err << "cannot write " << path << '\n';
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
