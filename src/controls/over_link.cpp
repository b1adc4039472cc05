#include "controls/over_link.h"

#include <QEvent>
#include <QMouseEvent>

OverLink::OverLink(QWidget *label, QObject *parent)
    : QObject(parent ? parent : label)
    , m_label(label)
{
    if (label)
        label->installEventFilter(this);
}

bool OverLink::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_label)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        enter();
        break;
    case QEvent::Leave:
        leave();
        break;
    case QEvent::MouseMove: {
        // While a button is held the label keeps the pointer, so leaving shows as a move.
        const bool over = m_label->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint());
        over ? enter() : leave();
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_label->rect().contains(mouse->position().toPoint()))
            emit Click();
        break;
    }
    default:
        break;
    }
    return false;
}

void OverLink::enter()
{
    if (m_hovering)
        return;
    m_hovering = true;
    emit MouseOver();
}

void OverLink::leave()
{
    if (!m_hovering)
        return;
    m_hovering = false;
    emit MouseOut();
}
