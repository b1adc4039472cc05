#pragma once

#include "core/program.h"
#include "core/site_catalogue.h"
#include "output/retrieval.h"
#include "sites/site_adapter.h"
#include "sitefiles/file_site.h"
#include "sitefiles/site_file_set.h"

#include <QHash>
#include <QSize>
#include <memory>
#include <optional>
#include <vector>

class SettingsStore;

// The program put together: its core, every site's search and resolver (the
// built-in ones and those of the site files), the retrieval. The window,
// pellicam-cli, the benchmarks, the fuzzers and the tests all start from one.
class Assembly
{
public:
    // The site files come from the program's folders.
    explicit Assembly(SettingsStore &store);
    Assembly(SettingsStore &store, SiteFileSet siteFiles);
    ~Assembly();

    Program &program() { return m_program; }
    Retrieval &retrieval() { return m_retrieval; }
    const SiteFileSet &siteFiles() const { return m_siteFiles; }
    // The site file that runs `base`; none for a base run by its code.
    FileSite *fileSite(int base) const;

    // The start-up steps that read the settings: options, history, ticks.
    // `screenTwips`: the screen's size, none without a window.
    void readSettings(std::optional<QSize> screenTwips = std::nullopt);

    // Reads the program's site folders again and runs what they hold now;
    // during a search, once the search is over. The hits on show keep the
    // site that found them.
    void reloadSiteFiles();
    bool reloadPending() const { return m_reloadPending; }

private:
    void runSiteFiles();
    void enlist(SiteAdapter *adapter, int base);
    void keepHitsWithTheirSites(const QList<SiteCatalogue::BaseInfo> &before, const QHash<int, SiteAdapter *> &runners);

    Program m_program;
    Retrieval m_retrieval;
    SiteFileSet m_siteFiles;
    std::vector<std::unique_ptr<SiteAdapter>> m_sites;
    // Site files read before a reload: a retrieval may still run through them.
    std::vector<std::unique_ptr<SiteAdapter>> m_retired;
    QHash<int, SiteAdapter *> m_runners; // by base
    int m_nextSpareBase = -2;            // resolvers of hits whose site was replaced
    bool m_reloadPending = false;
};
