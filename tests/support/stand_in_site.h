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

    // The search waits, its hits found, until release().
    void hold() { m_held = std::make_unique<WakeUp>(); }
    void release()
    {
        if (m_held)
            m_held->wake();
    }

    QCoro::Task<> search(SiteSearch &search)
    {
        search.announce(m_site);
        for (const QString &title : m_titles) {
            ResultEntry *entry = search.newHit();
            if (!entry)
                break;
            entry->Title = title;
            entry->Key = title;
            entry->Site = m_site;
        }
        if (m_held)
            co_await search.until(*m_held);
        search.centre();
        if (beforeSlots)
            beforeSlots();
        co_await search.placeHits(1, m_wide, SiteSearch::Pacing::Settle, {});
    }

private:
    QString m_site;
    QStringList m_titles;
    bool m_wide;
    std::unique_ptr<WakeUp> m_held;
};
