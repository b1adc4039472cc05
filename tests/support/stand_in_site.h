#pragma once

#include "core/site_search.h"
#include "net/wake_up.h"

#include <QStringList>
#include <functional>
#include <memory>

// A base that "finds" the titles it was given through the same steps as the
// real sites, without a network. A held one ends only once released, so a
// test chooses the order in which bases end.
class StandInSite
{
public:
    StandInSite(QString site, QStringList titles, bool wide = false)
        : m_site(std::move(site)), m_titles(std::move(titles)), m_wide(wide)
    {
    }

    // Runs after the hits are found, before their slots are made.
    std::function<void()> beforeSlots;

    // Where a held search waits until release().
    enum class Hold { BeforeHits, AfterHits, AfterSlots };
    void hold(Hold where = Hold::AfterHits)
    {
        m_held = std::make_unique<WakeUp>();
        m_holdWhere = where;
    }
    void release()
    {
        if (m_held)
            m_held->wake();
    }

    QCoro::Task<> search(SiteSearch &search)
    {
        search.announce(m_site);
        co_await waitIfHeld(Hold::BeforeHits, search);
        for (const QString &title : m_titles) {
            ResultEntry *entry = search.newHit();
            if (!entry)
                break;
            entry->Title = title;
            entry->Key = title;
            entry->Site = m_site;
        }
        co_await waitIfHeld(Hold::AfterHits, search);
        search.centre();
        if (beforeSlots)
            beforeSlots();
        co_await search.placeHits(1, m_wide, SiteSearch::Pacing::Settle, {});
        co_await waitIfHeld(Hold::AfterSlots, search);
    }

private:
    QCoro::Task<> waitIfHeld(Hold here, SiteSearch &search)
    {
        if (m_held && m_holdWhere == here)
            co_await search.until(*m_held);
    }

    QString m_site;
    QStringList m_titles;
    bool m_wide;
    std::unique_ptr<WakeUp> m_held;
    Hold m_holdWhere = Hold::AfterHits;
};
