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

QList<SiteCatalogue::FileBase> fileBases(const SiteFileSet &files)
{
    QList<SiteCatalogue::FileBase> bases;
    for (const SiteFileSet::Entry *entry : files.running())
        bases << fileBase(*entry);
    return bases;
}

QList<QStringList> brokenFiles(const SiteFileSet &files)
{
    QList<QStringList> broken;
    for (const SiteFileSet::Entry &entry : files.files()) {
        if (entry.state != SiteFileSet::State::Broken)
            continue;
        QStringList errors;
        for (const SiteFileError &error : entry.reading.errors)
            errors << error.text();
        broken << errors;
    }
    return broken;
}

// A built-in base keeps its number; a file base is found again by its id.
int baseNow(const SiteCatalogue &catalogue, const SiteCatalogue::BaseInfo &before)
{
    return before.id.isEmpty() ? before.index : catalogue.baseOf(before.id);
}

} // namespace

Assembly::Assembly(SettingsStore &store) : Assembly(store, SiteFileSet::read(store))
{
}

Assembly::Assembly(SettingsStore &store, SiteFileSet siteFiles)
    : m_program(store), m_retrieval(m_program), m_siteFiles(std::move(siteFiles)), m_sites(makeSites())
{
    m_program.setRetrieval(&m_retrieval);
    m_program.catalogue().setFileBases(fileBases(m_siteFiles), brokenFiles(m_siteFiles));
    runSiteFiles();
}

// The built-in sites run the bases no file took, the files run the others.
void Assembly::runSiteFiles()
{
    const SiteCatalogue &catalogue = m_program.catalogue();
    m_runners.clear();
    for (const auto &site : m_sites)
        for (const int base : site->bases())
            if (catalogue.bases()[base].file.isEmpty())
                enlist(site.get(), base);
    for (const SiteFileSet::Entry *entry : m_siteFiles.running()) {
        const int base = catalogue.baseOf(entry->reading.site.id);
        m_sites.push_back(std::make_unique<FileSite>(entry->reading.site, base));
        enlist(m_sites.back().get(), base);
    }
}

void Assembly::enlist(SiteAdapter *adapter, int base)
{
    m_program.setSearch(base, [adapter, base](SiteSearch &search) { return adapter->search(search, base); },
                        adapter->name());
    m_retrieval.setResolver(base, [adapter](PictureRequest &request) { return adapter->picture(request); });
    m_runners.insert(base, adapter);
}

FileSite *Assembly::fileSite(int base) const
{
    return dynamic_cast<FileSite *>(m_runners.value(base));
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

void Assembly::reloadSiteFiles()
{
    if (m_program.searching()) {
        if (!m_reloadPending)
            QObject::connect(&m_program, &Program::runFinished, &m_program, [this] { reloadSiteFiles(); },
                             Qt::SingleShotConnection);
        m_reloadPending = true;
        return;
    }
    m_reloadPending = false;
    SiteCatalogue &catalogue = m_program.catalogue();
    const QList<SiteCatalogue::BaseInfo> before = catalogue.bases();
    const QHash<int, SiteAdapter *> runners = m_runners;
    for (auto site = m_sites.begin(); site != m_sites.end();) {
        if (dynamic_cast<FileSite *>(site->get())) {
            m_retired.push_back(std::move(*site));
            site = m_sites.erase(site);
        } else {
            ++site;
        }
    }
    m_siteFiles = SiteFileSet::read(m_program.settings());
    catalogue.reloadFileBases(fileBases(m_siteFiles), brokenFiles(m_siteFiles), m_program.settings());
    runSiteFiles();
    keepHitsWithTheirSites(before, runners);
}

// A hit's key means something only to the site that found it: when another
// site now runs its base, the hit keeps its own under a number no base has.
void Assembly::keepHitsWithTheirSites(const QList<SiteCatalogue::BaseInfo> &before,
                                      const QHash<int, SiteAdapter *> &runners)
{
    const SiteCatalogue &catalogue = m_program.catalogue();
    QHash<int, int> moved;
    const auto numberNow = [&](int base) {
        if (base < 0 || base >= before.size())
            return base; // already on a spare number
        if (const auto found = moved.constFind(base); found != moved.cend())
            return *found;
        SiteAdapter *runner = runners.value(base);
        int now = baseNow(catalogue, before[base]);
        if (!runner) {
            now = -1;
        } else if (now < 0 || m_runners.value(now) != runner) {
            now = m_nextSpareBase--;
            m_retrieval.setResolver(now, [runner](PictureRequest &request) { return runner->picture(request); });
        }
        moved.insert(base, now);
        return now;
    };
    ResultList &results = m_program.results();
    for (int hit = 1; hit <= results.NbResultats(); ++hit) {
        ResultEntry &entry = results.entry(hit);
        entry.Base = numberNow(entry.Base);
    }
}
