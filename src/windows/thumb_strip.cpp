#include "windows/thumb_strip.h"

#include "controls/over_button.h"
#include "controls/tool_tip.h"
#include "core/program.h"
#include "output/retrieval.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int kTwipsPerPixel = 15;
// Below the caption's three lines: the download button and its badge.
constexpr int kButtonTop = 3600;
constexpr int kBadgeTop = 3630;
constexpr int kBadgeOffset = 480;
constexpr int kCaptionHeight = 44;
const QSize kButtonSize(103, 23);

int px(int twips)
{
    return twips / kTwipsPerPixel;
}

} // namespace

ThumbStrip::ThumbStrip(Program &program, QWidget *parent)
    : QWidget(parent)
    , m_program(program)
    , m_buttonSkin(QStringLiteral(":/pictures/download_skin.png"))
    , m_badge(QStringLiteral(":/pictures/downloaded_badge.png"))
    , m_downloadIcon(QStringLiteral(":/pictures/icon_download.png"))
{
    ResultList &results = program.results();
    connect(&results, &ResultList::slotAdded, this, &ThumbStrip::addSlot);
    connect(&results, &ResultList::cleared, this, &ThumbStrip::clear);
    connect(&results, &ResultList::stripChanged, this, &ThumbStrip::relayout);
    connect(&results, &ResultList::slotChanged, this, &ThumbStrip::updateSlot);
    connect(&results, &ResultList::slotsEnabledChanged, this, [this](bool enabled) {
        for (OverButton *button : std::as_const(m_buttons))
            if (button)
                button->setEnabled(enabled);
        update();
    });
}

int ThumbStrip::originX() const
{
    return px(m_program.results().stripLeft()) - x();
}

QRect ThumbStrip::thumbRect(int slot) const
{
    const ResultList::Slot &s = m_program.results().slot(slot);
    return QRect(originX() + px(s.left), px(s.thumbTop), px(s.thumbWidth), px(s.thumbHeight));
}

QRect ThumbStrip::buttonRect(int slot) const
{
    const ResultList::Slot &s = m_program.results().slot(slot);
    return QRect(QPoint(originX() + px(s.buttonLeft), px(kButtonTop)), kButtonSize);
}

void ThumbStrip::addSlot(int slot)
{
    const ResultList::Slot &s = m_program.results().slot(slot);
    OverButton *button = nullptr;
    QLabel *badge = nullptr;
    if (s.shown) {
        button = new OverButton(this);
        button->setFixedSize(kButtonSize);
        button->setIcon(m_downloadIcon);
        button->setCaption(m_program.text(8));
        button->setSkin(m_buttonSkin);
        button->setEnabled(s.enabled);
        button->Refresh();
        connect(button, &OverButton::MouseUp, this, [this, slot] { emit downloadClicked(slot); });
        button->show();

        badge = new QLabel(this);
        badge->setPixmap(m_badge);
        badge->setFixedSize(m_badge.size());
        badge->setCursor(Qt::PointingHandCursor);
        badge->hide();
    }
    m_buttons.append(button);
    m_badges.append(badge);
    relayout();
}

void ThumbStrip::clear()
{
    qDeleteAll(m_buttons);
    qDeleteAll(m_badges);
    m_buttons.clear();
    m_badges.clear();
    update();
}

void ThumbStrip::relayout()
{
    for (int slot = 0; slot < m_buttons.size(); ++slot) {
        if (OverButton *button = m_buttons[slot])
            button->move(buttonRect(slot).topLeft());
        if (QLabel *badge = m_badges[slot]) {
            const ResultList::Slot &s = m_program.results().slot(slot);
            badge->move(originX() + px(s.badgeLeft), px(kBadgeTop));
        }
    }
    update();
}

void ThumbStrip::updateSlot(int slot)
{
    if (slot < m_badges.size() && m_badges[slot] && m_program.results().slot(slot).downloaded) {
        m_badges[slot]->show();
        m_badges[slot]->raise();
    }
    update();
}

void ThumbStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const ResultList &results = m_program.results();
    QFont captionFont = font();
    captionFont.setPointSizeF(7.5);
    painter.setFont(captionFont);
    for (int index = 0; index < results.NbVignettes(); ++index) {
        const ResultList::Slot &slot = results.slot(index);
        if (!slot.shown)
            continue;
        const QRect thumb = thumbRect(index);
        if (!thumb.intersects(rect().adjusted(-thumb.width(), 0, thumb.width(), 0)))
            continue;
        painter.fillRect(thumb, QColor(236, 240, 250));
        if (!slot.thumbnail.isNull()) {
            const QImage scaled = slot.thumbnail.scaled(thumb.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
            painter.drawImage(thumb.center() - scaled.rect().center(), scaled);
        }
        painter.setPen(QColor(176, 184, 203));
        painter.drawRect(thumb.adjusted(0, 0, -1, -1));

        const QRect caption(originX() + px(slot.left), px(slot.labelTop), px(slot.labelWidth), kCaptionHeight);
        painter.setPen(QColor(40, 48, 72));
        QString text = slot.caption;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop, text);
    }
}

int ThumbStrip::slotAt(QPoint point) const
{
    for (int index = 0; index < m_program.results().NbVignettes(); ++index)
        if (m_program.results().slot(index).shown && thumbRect(index).contains(point))
            return index;
    return -1;
}

void ThumbStrip::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    for (int index = 0; index < m_badges.size(); ++index) {
        if (m_badges[index] && m_badges[index]->isVisible() && m_badges[index]->geometry().contains(point)) {
            m_program.retrieval().badgeClicked(index);
            return;
        }
    }
    const int slot = slotAt(point);
    if (slot >= 0 && m_program.results().slot(slot).enabled)
        m_program.retrieval().thumbPressed(slot, event->button() == Qt::RightButton ? 2 : 1);
}

bool ThumbStrip::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int slot = slotAt(help->pos());
        if (slot >= 0)
            QToolTip::showText(help->globalPos(), ToolTip::plainText(m_program.results().slot(slot).tooltip), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
