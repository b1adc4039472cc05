#include "core/result_list.h"

#include "text/text_utils.h"

namespace {

struct Shape
{
    int width;
    int buttonOffset;
    int thumbTop, thumbWidth, thumbHeight;
    int labelTop, labelWidth;
    int titleCharacters;
};

constexpr Shape kPoster{ResultList::kPosterWidth, 0, 330, 1665, 2580, 2940, 1695, 22};
constexpr Shape kJacket{ResultList::kJacketWidth, 450, 550, 2580, 1665, 2400, 2580, 38};

// The badge sits on the download button's right.
constexpr int kBadgeOffset = 480;

// Beyond this width the strip no longer fits the window and scrolls.
constexpr int kWidestUnscrolled = 11355;
constexpr int kVisibleWidthSteps = 1135; // the visible part, in scroll steps of 10 twips

QString foldedForComparison(const QString &title)
{
    QString text = title.toLower();
    return Normalise(text, true);
}

} // namespace

ResultList::ResultList(QObject *parent)
    : QObject(parent)
{
}

void ResultList::resize(int upperBound)
{
    if (upperBound >= 0)
        m_resultats.resize(upperBound + 1);
}

ResultEntry &ResultList::entry(int index)
{
    if (index < 0 || index >= m_resultats.size()) {
        m_scratch = {};
        return m_scratch;
    }
    return m_resultats[index];
}

const ResultEntry &ResultList::entry(int index) const
{
    static const ResultEntry none;
    return index >= 0 && index < m_resultats.size() ? m_resultats[index] : none;
}

const ResultList::Slot &ResultList::slot(int index) const
{
    static const Slot none;
    return validSlot(index) ? m_slots[index] : none;
}

QString ResultList::displayTitle(const QString &title)
{
    return title.left(1).toUpper() + title.mid(1).toLower();
}

bool ResultList::matchesTitle(const QString &displayTitle, const QString &typedTitle)
{
    return foldedForComparison(displayTitle) == foldedForComparison(typedTitle);
}

void ResultList::addSlot(bool wide, bool shown)
{
    const Shape &shape = wide ? kJacket : kPoster;
    const ResultEntry &hit = entry(NbVignettes() + 1);
    const QString title = displayTitle(hit.Title);

    if (shown)
        m_largeurBande += shape.width;
    m_stripWidth = m_largeurBande;

    Slot slot;
    slot.wide = wide;
    slot.shown = shown;
    if (shown) {
        const int left = m_largeurBande - shape.width;
        slot.left = left;
        slot.thumbTop = shape.thumbTop;
        slot.thumbWidth = shape.thumbWidth;
        slot.thumbHeight = shape.thumbHeight;
        slot.labelTop = shape.labelTop;
        slot.labelWidth = shape.labelWidth;
        slot.buttonLeft = left + shape.buttonOffset;
        slot.badgeLeft = slot.buttonLeft + kBadgeOffset;
        slot.tooltip = title;
        slot.caption = title.left(shape.titleCharacters) + QStringLiteral("\r\n")
                       + (hit.Year >= 1 ? QString::number(hit.Year) : QString()) + QStringLiteral("\r\n[")
                       + hit.Site + u']';
    }
    m_slots.append(slot);
    if (shown)
        updateScrollBar();
    emit slotAdded(NbVignettes() - 1);
    emit stripChanged();
}

void ResultList::updateScrollBar()
{
    if (m_largeurBande <= kWidestUnscrolled) {
        m_scroll.visible = false;
        return;
    }
    const int maximum = m_largeurBande / 10 - kVisibleWidthSteps;
    m_scroll.maximum = maximum;
    // A step of 0 is refused by the bar, which keeps the one it had.
    if (maximum / 20 != 0)
        m_scroll.largeStep = maximum / 20;
    if (maximum / 40 != 0)
        m_scroll.smallStep = maximum / 40;
    m_scroll.visible = true;
    // Scrolled to the end, so that the newest slot is in view.
    scrollTo(maximum);
}

void ResultList::scrollTo(int value)
{
    m_scroll.value = qBound(0, value, qMax(0, m_scroll.maximum));
    m_stripLeft = kStripHome - m_scroll.value * 10;
    emit stripChanged();
}

void ResultList::clear()
{
    m_slots.clear();
    m_resultats = QList<ResultEntry>(1);
    m_nbResultats = 0;
    m_largeurBande = 0;
    m_stripWidth = 0;
    m_stripLeft = kStripHome;
    m_scroll.visible = false;
    m_scroll.value = 0;
    ++m_generation;
    emit cleared();
    emit stripChanged();
}

void ResultList::CentreVignettes(bool BaseUnique)
{
    if (!BaseUnique || m_nbResultats >= 6)
        return;
    m_stripLeft = (kWindowWidth - m_nbResultats * kPosterWidth) / 2 + 187;
    emit stripChanged();
}

void ResultList::placeFinalStrip()
{
    if (m_nbResultats == 0 || m_stripWidth >= kWidestUnscrolled)
        return;
    // Posters only: their slots are narrower, so the strip moves a little right.
    const int offset = m_stripWidth / m_nbResultats == kPosterWidth ? 135 : 60;
    m_stripLeft = (kWindowWidth - m_stripWidth) / 2 + offset;
    emit stripChanged();
}

void ResultList::setSlotsEnabled(bool enabled)
{
    for (Slot &slot : m_slots)
        slot.enabled = enabled;
    emit slotsEnabledChanged(enabled);
}

void ResultList::setThumbnailUrl(int slot, const QString &url)
{
    if (!validSlot(slot))
        return;
    m_slots[slot].thumbnailUrl = url;
}

void ResultList::setThumbnail(int slot, const QImage &picture)
{
    if (!validSlot(slot))
        return;
    m_slots[slot].thumbnail = picture;
    emit slotChanged(slot);
}

void ResultList::setDownloaded(int slot)
{
    if (!validSlot(slot))
        return;
    m_slots[slot].downloaded = true;
    emit slotChanged(slot);
}

void ResultList::setDownloaded(int slot, quint64 generation)
{
    if (generation == m_generation)
        setDownloaded(slot);
}
