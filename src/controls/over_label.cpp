#include "controls/over_label.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr QSize kSize(1725 / kTwipsPerPixel, 315 / kTwipsPerPixel);
constexpr QPoint kIconAt(45 / kTwipsPerPixel, 30 / kTwipsPerPixel);
constexpr int kIconSize = 16;
constexpr QPoint kCaptionAt(420 / kTwipsPerPixel, 60 / kTwipsPerPixel);
constexpr int kCaptionHeight = 255 / kTwipsPerPixel;
constexpr int kCaptionMargin = 4;
// The hover area is fixed, narrower than the control: 1095 x 315 twips.
constexpr QSize kHoverArea(1095 / kTwipsPerPixel, 315 / kTwipsPerPixel);

bool insideHoverArea(QPoint p)
{
    return p.x() >= 0 && p.y() >= 0 && p.x() <= kHoverArea.width() && p.y() <= kHoverArea.height();
}

} // namespace

OverLabel::OverLabel(const QPixmap &icons, QWidget *parent)
    : QWidget(parent)
{
    for (int i = 0; i < kIcons; ++i)
        m_icons[i] = icons.copy(i * kIconSize, 0, kIconSize, kIconSize);
    setFixedSize(kSize);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void OverLabel::ACharger(int index)
{
    if (index < 0 || index >= kIcons)
        return;
    m_icon = index;
    update();
}

void OverLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    // A caption longer than our font allows for widens the control and its frames.
    const int needed = kCaptionAt.x() + fontMetrics().horizontalAdvance(caption) + kCaptionMargin;
    setFixedWidth(std::max(kSize.width(), needed));
    update();
}

void OverLabel::Selection(bool selected)
{
    m_selected = selected;
    update();
}

void OverLabel::setHovering(bool hovering)
{
    if (hovering == m_hovering)
        return;
    m_hovering = hovering;
    update();
}

void OverLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (isEnabled())
        setHovering(insideHoverArea(event->position().toPoint()));
}

void OverLabel::leaveEvent(QEvent *)
{
    setHovering(false);
}

void OverLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && p.x() > 0 && p.y() > 0 && p.x() < kHoverArea.width()
        && p.y() < kHoverArea.height())
        emit Click();
}

void OverLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        setHovering(false);
    QWidget::changeEvent(event);
}

void OverLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_icon >= 0)
        p.drawPixmap(kIconAt, m_icons[m_icon]);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(QRect(kCaptionAt, QSize(width() - kCaptionAt.x(), kCaptionHeight)), Qt::AlignLeft | Qt::AlignVCenter,
               m_caption);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.setBrush(Qt::NoBrush);
    if (m_hovering) {
        p.setPen(kHoverColour);
        p.drawRect(frame);
    }
    // The selection frame is drawn over the hover frame.
    if (m_selected) {
        p.setPen(kSelectionColour);
        p.drawRect(frame);
    }
}
