#include "assembly/assembly.h"

#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "core/options.h"
#include "settings/settings_store.h"
#include "sites/site_registry.h"

Assembly::Assembly(SettingsStore &store)
    : m_program(store), m_retrieval(m_program), m_sites(makeSites())
{
    m_program.setRetrieval(&m_retrieval);
    for (const auto &site : m_sites) {
        SiteAdapter *adapter = site.get();
        for (const int base : adapter->bases())
            m_program.setSearch(base, [adapter, base](SiteSearch &search) { return adapter->search(search, base); },
                                adapter->name());
        m_retrieval.setResolver(adapter->name(), [adapter](PictureRequest &request) { return adapter->picture(request); });
    }
}

Assembly::~Assembly()
{
    // Every task ends while the sites it runs in are still there.
    m_program.shutDown();
}

void Assembly::readSettings(std::optional<QSize> screenTwips)
{
    SettingsStore &store = m_program.settings();
    LitOptions(store, m_program.state(), m_program.catalogue(), screenTwips);
    m_program.history().load();
    m_program.catalogue().restore(store);
    m_program.catalogue().AfficheNbrCoche();
}
