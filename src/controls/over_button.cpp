#include "controls/over_button.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kTwipsPerPixel = 15;

// The "still over the button" bounds are fixed, whatever the button's size.
constexpr double kBoundsWidthTwips = 1545;
constexpr double kBoundsHeightTwips = 345;

constexpr int kCaptionHeightTwips = 195;
constexpr int kIconHeightTwips = 225;
constexpr int kIconLeftTwips = 90;
constexpr int kCaptionLeftWithIconTwips = 300;
constexpr int kPressedShiftTwips = 15;
constexpr int kPressedIconShiftTwips = 30;
// The icon's right edge (90 + 240 twips) passes the caption's left (300): keep
// left-aligned text clear of icons drawn to their full width.
constexpr int kTextIndentBesideIcon = 3;

constexpr QSize kDefaultSize(103, 23);

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

QPointF twips(const QPointF &pixels)
{
    return pixels * kTwipsPerPixel;
}

bool withinBounds(const QPointF &t)
{
    return t.x() >= 0 && t.y() >= 0 && t.x() <= kBoundsWidthTwips && t.y() <= kBoundsHeightTwips;
}

bool strictlyInside(const QPointF &t)
{
    return t.x() > 0 && t.y() > 0 && t.x() < kBoundsWidthTwips && t.y() < kBoundsHeightTwips;
}

// Twips to whole pixels, rounding towards zero as the layout did.
int pixels(int twipsValue)
{
    return twipsValue / kTwipsPerPixel;
}

} // namespace

OverButton::OverButton(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    resize(kDefaultSize);
}

void OverButton::setSkin(const QPixmap &skin)
{
    m_skin = skin;
    update();
}

void OverButton::Refresh()
{
    draw(Look::Normal);
}

void OverButton::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void OverButton::setIcon(const QPixmap &icon)
{
    m_icon = icon;
    update();
}

void OverButton::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void OverButton::setEnabledFlag(bool enabled)
{
    m_enabledFlag = enabled;
}

void OverButton::setFlipFlapIcons(const QPixmap &origin, const QPixmap &other)
{
    m_flipFlapIcons = {origin, other};
}

void OverButton::FlipFlap(bool Origine)
{
    setIcon(m_flipFlapIcons[Origine ? 0 : 1]);
}

QSize OverButton::sizeHint() const
{
    return kDefaultSize;
}

void OverButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const int heightTwips = h * kTwipsPerPixel;
    const bool pressed = m_look == Look::Pressed;

    if (!m_skin.isNull()) {
        const int row = m_look == Look::Normal ? 0 : m_look == Look::Hovered ? 1 : 2;
        painter.drawPixmap(QPoint(0, 0), m_skin, QRect(0, row * h, w, h));
    }

    const int shift = pressed ? pixels(kPressedShiftTwips) : 0;
    int captionLeft = 0;
    if (!m_icon.isNull()) {
        captionLeft = pixels(kCaptionLeftWithIconTwips);
        const int iconLeft = pixels(kIconLeftTwips + (pressed ? kPressedIconShiftTwips : 0));
        const int iconTop = pixels((heightTwips - kIconHeightTwips) / 2) + shift;
        if (!isEnabled())
            painter.setOpacity(0.4);
        painter.drawPixmap(iconLeft, iconTop, m_icon);
        painter.setOpacity(1.0);
    }

    // The caption box is centred vertically; its text may be taller than the box.
    const int captionTop = pixels((heightTwips - kCaptionHeightTwips) / 2) + shift;
    QRect captionBox(captionLeft + shift, captionTop, w - captionLeft, pixels(kCaptionHeightTwips));
    if (!m_icon.isNull() && !(m_alignment & (Qt::AlignRight | Qt::AlignHCenter)))
        captionBox.adjust(kTextIndentBesideIcon, 0, 0, 0);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(captionBox, int(m_alignment | Qt::AlignVCenter) | Qt::TextSingleLine, m_caption);
}

void OverButton::changeEvent(QEvent *event)
{
    // A greyed-out button gets no leave event, so it must not stay lit.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_hovering = false;
        draw(Look::Normal);
    }
    QWidget::changeEvent(event);
}

void OverButton::enterEvent(QEnterEvent *event)
{
    if (m_enabledFlag && !m_hovering)
        takeHover();
    QWidget::enterEvent(event);
}

void OverButton::leaveEvent(QEvent *event)
{
    if (m_enabledFlag && m_hovering)
        dropHover();
    QWidget::leaveEvent(event);
}

void OverButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_enabledFlag)
        return;
    if (!m_hovering)
        takeHover();
    else if (!withinBounds(twips(event->position())))
        dropHover();
}

void OverButton::mousePressEvent(QMouseEvent *)
{
    if (!m_enabledFlag)
        return;
    m_hovering = true;
    draw(Look::Pressed);
}

void OverButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_enabledFlag)
        return;
    draw(Look::Normal);
    const QPointF at = twips(event->position());
    if (strictlyInside(at))
        emit MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), at.x(), at.y());
}

void OverButton::draw(Look look)
{
    m_look = look;
    update();
}

void OverButton::takeHover()
{
    m_hovering = true;
    draw(Look::Hovered);
}

void OverButton::dropHover()
{
    m_hovering = false;
    draw(Look::Normal);
}
