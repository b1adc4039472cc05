#include "assembly/assembly.h"

#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "core/options.h"
#include "settings/settings_store.h"
#include "sites/site_registry.h"

namespace {

SiteCatalogue::FileBase fileBase(const SiteFileSet::Entry &entry)
{
    const SiteFile &site = entry.reading.site;
    using Language = SiteCatalogue::Language;
    const Language language = site.language == SiteFile::Language::Fr   ? Language::Fr
                              : site.language == SiteFile::Language::Us ? Language::Us
                                                                        : Language::FrUs;
    const SiteCatalogue::Kind kind = site.kind == SiteFile::Kind::Posters ? SiteCatalogue::Kind::Posters
                                                                          : SiteCatalogue::Kind::Jackets;
    return {site.id, site.name, language, kind, entry.path, site.home};
}

} // namespace

Assembly::Assembly(SettingsStore &store) : Assembly(store, SiteFileSet::read(store))
{
}

Assembly::Assembly(SettingsStore &store, SiteFileSet siteFiles)
    : m_program(store), m_retrieval(m_program), m_siteFiles(std::move(siteFiles)), m_sites(makeSites())
{
    m_program.setRetrieval(&m_retrieval);
    SiteCatalogue &catalogue = m_program.catalogue();
    QList<SiteCatalogue::FileBase> fileBases;
    for (const SiteFileSet::Entry *entry : m_siteFiles.running())
        fileBases << fileBase(*entry);
    catalogue.setFileBases(fileBases);
    const auto enlist = [this](SiteAdapter *adapter, int base) {
        m_program.setSearch(base, [adapter, base](SiteSearch &search) { return adapter->search(search, base); },
                            adapter->name());
        m_retrieval.setResolver(base, [adapter](PictureRequest &request) { return adapter->picture(request); });
    };
    for (const auto &site : m_sites)
        for (const int base : site->bases())
            // A file that takes a built-in site's id runs that site's base instead of its code.
            if (catalogue.bases()[base].file.isEmpty())
                enlist(site.get(), base);
    for (const SiteFileSet::Entry *entry : m_siteFiles.running()) {
        const int base = catalogue.baseOf(entry->reading.site.id);
        m_sites.push_back(std::make_unique<FileSite>(entry->reading.site, base));
        enlist(m_sites.back().get(), base);
    }
}

FileSite *Assembly::fileSite(int base) const
{
    for (const auto &site : m_sites)
        if (auto *file = dynamic_cast<FileSite *>(site.get()); file && file->bases().contains(base))
            return file;
    return nullptr;
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
