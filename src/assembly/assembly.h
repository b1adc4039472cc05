#pragma once

#include "core/program.h"
#include "output/retrieval.h"
#include "sites/site_adapter.h"

#include <QSize>
#include <memory>
#include <optional>
#include <vector>

class SettingsStore;

// The program put together: its core, every site's search and resolver, the
// retrieval. The window, pellicam-cli, the benchmarks, the fuzzers and the
// tests all start from one.
class Assembly
{
public:
    explicit Assembly(SettingsStore &store);
    ~Assembly();

    Program &program() { return m_program; }
    Retrieval &retrieval() { return m_retrieval; }

    // The start-up steps that read the settings: options, history, ticks.
    // `screenTwips`: the screen's size, none without a window.
    void readSettings(std::optional<QSize> screenTwips = std::nullopt);

private:
    Program m_program;
    Retrieval m_retrieval;
    std::vector<std::unique_ptr<SiteAdapter>> m_sites;
};
