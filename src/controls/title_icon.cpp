#include "controls/title_icon.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kSide = 32;
}

TitleIcon::TitleIcon(const QPixmap &strip, QWidget *parent)
    : QWidget(parent)
    , m_strip(strip)
{
    setFixedSize(kSide, kSide);
}

void TitleIcon::show(Frame frame)
{
    if (frame == m_frame)
        return;
    m_frame = frame;
    update();
}

void TitleIcon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_strip, 0, m_frame * kSide, kSide, kSide);
}

void TitleIcon::enterEvent(QEnterEvent *)
{
    show(Hover);
}

void TitleIcon::leaveEvent(QEvent *)
{
    show(Normal);
}

void TitleIcon::mousePressEvent(QMouseEvent *)
{
    show(Pressed);
}

void TitleIcon::mouseReleaseEvent(QMouseEvent *event)
{
    show(Normal);
    if (rect().contains(event->position().toPoint()))
        emit activated();
}
