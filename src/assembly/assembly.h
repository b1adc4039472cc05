#pragma once

#include "core/program.h"
#include "output/retrieval.h"
#include "sites/site_adapter.h"
#include "sitefiles/file_site.h"
#include "sitefiles/site_file_set.h"

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

private:
    Program m_program;
    Retrieval m_retrieval;
    SiteFileSet m_siteFiles;
    std::vector<std::unique_ptr<SiteAdapter>> m_sites;
};
