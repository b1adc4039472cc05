#pragma once

#include "core/result_entry.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

// The hits of the current search and the strip that shows them, as a model:
// every slot's geometry (twips, relative to the strip), caption, tooltip and
// state, the strip's place and width in the main window, and its scroll bar.
// The strip widget only draws this.
class ResultList : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxHits = 100;
    static constexpr int kGrowth = 10;

    // Twips of the main window that the strip's layout is built on.
    static constexpr int kWindowWidth = 12000;
    static constexpr int kStripHome = 375;  // left edge of the visible part of the strip
    static constexpr int kPosterWidth = 1935;
    static constexpr int kJacketWidth = 2700;

    struct Slot
    {
        bool wide = false;
        bool shown = false;
        bool enabled = false;    // thumbnail and download button
        bool downloaded = false; // the badge: the picture was copied or saved
        int left = 0;            // within the strip
        int thumbTop = 0, thumbWidth = 0, thumbHeight = 0;
        int labelTop = 0, labelWidth = 0;
        int buttonLeft = 0;
        int badgeLeft = 0;
        QString caption;  // title, year and "[site]" on three lines
        QString tooltip;  // the display title
        QString thumbnailUrl;
        QImage thumbnail;
    };

    struct ScrollBar
    {
        bool visible = false;
        int maximum = 0;
        int value = 0;
        int largeStep = 1;
        int smallStep = 1;
    };

    explicit ResultList(QObject *parent = nullptr);

    // Hits, 1 to NbResultats; the array grows in steps of 10.
    int NbResultats() const { return m_nbResultats; }
    int upperBound() const { return int(m_resultats.size()) - 1; }
    void resize(int upperBound);
    // Index out of the array: a scratch entry, so a careless scan cannot crash.
    ResultEntry &entry(int index);
    const ResultEntry &entry(int index) const;
    // Counts one more hit; the caller has checked the limit.
    void countHit() { ++m_nbResultats; }

    // Slots, 0 to NbVignettes - 1; slot s shows hit s + 1.
    int NbVignettes() const { return int(m_slots.size()); }
    const Slot &slot(int index) const;
    int LargeurBande() const { return m_largeurBande; }
    int stripLeft() const { return m_stripLeft; }
    int stripWidth() const { return m_stripWidth; }
    const ScrollBar &scrollBar() const { return m_scroll; }

    // First letter up, the rest down: how a hit's title is shown.
    static QString displayTitle(const QString &title);
    // Exact-title mode: the hit's title and the typed one fold to the same text.
    static bool matchesTitle(const QString &displayTitle, const QString &typedTitle);

    // Creates the slot of hit NbVignettes + 1, in the poster or the jacket
    // shape, and lays it out at the strip's end unless it is not shown.
    void addSlot(bool wide, bool shown);

    // Removes every hit and slot and puts the strip home.
    void clear();

    // Single-site mode with a few hits: the strip starts near the middle.
    void CentreVignettes(bool BaseUnique);
    // Once a search is over: a short strip is centred in the window.
    void placeFinalStrip();
    // The scroll bar moved.
    void scrollTo(int value);

    void setSlotsEnabled(bool enabled);
    void setThumbnailUrl(int slot, const QString &url);
    void setThumbnail(int slot, const QImage &picture);
    void setDownloaded(int slot);
    // The same, from one who saw the list as it was at `generation`: nothing
    // when the list was cleared since, as the slot now holds another hit.
    void setDownloaded(int slot, quint64 generation);
    // Counts the clears.
    quint64 generation() const { return m_generation; }

signals:
    void cleared();
    void slotAdded(int slot);
    void slotChanged(int slot);
    void slotsEnabledChanged(bool enabled);
    // Place or width of the strip, or its scroll bar.
    void stripChanged();

private:
    void updateScrollBar();
    bool validSlot(int slot) const { return slot >= 0 && slot < m_slots.size(); }

    QList<ResultEntry> m_resultats{1};
    ResultEntry m_scratch;
    int m_nbResultats = 0;
    QList<Slot> m_slots;
    int m_largeurBande = 0;
    int m_stripLeft = kStripHome;
    int m_stripWidth = 0;
    ScrollBar m_scroll;
    quint64 m_generation = 0;
};
