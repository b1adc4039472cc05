#pragma once

#include "core/program.h"
#include "core/result_entry.h"
#include "sites/site_adapter.h"

#include <QStringList>
#include <functional>

// A site that "finds" the titles it was given, through the same contract steps
// as the real adapters, without a network.
class StandInSite : public SiteAdapter
{
public:
    StandInSite(Program &program, QString site, QStringList titles, bool wide = false)
        : SiteAdapter(program), m_site(std::move(site)), m_titles(std::move(titles)), m_wide(wide)
    {
    }

    // Runs after the n-th hit of the first pass (1-based), e.g. a press on Stop.
    std::function<void(int)> afterHit;
    // Runs after CentreVignettes, before the slots are made.
    std::function<void()> beforeSlots;
    int year = 0;

    void search()
    {
        const int first = beginHits();
        announce(m_site);
        int found = 0;
        for (const QString &title : m_titles) {
            ResultEntry *entry = newHit();
            if (!entry)
                break;
            entry->Title = title;
            entry->Year = qint16(year);
            entry->Key = title;
            entry->Site = m_site;
            if (afterHit)
                afterHit(++found);
        }
        CentreVignettes();
        if (beforeSlots)
            beforeSlots();
        const int last = results().NbResultats();
        for (state().IndiceCourant = first; state().IndiceCourant <= last; ++state().IndiceCourant) {
            if (stopRequested())
                break;
            addSlot(m_wide);
        }
    }

private:
    QString m_site;
    QStringList m_titles;
    bool m_wide;
};
