#include "core/program.h"

#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "net/download.h"
#include "settings/app_paths.h"
#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "settings/site_addresses.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

namespace {

// Texts of the string table used here (French ids; English ones are 1000 further).
constexpr int kConnecting = 10;
constexpr int kInProgress = 11;
constexpr int kNoFilmFound = 12;
constexpr int kOneFilmFound = 13;
constexpr int kFilmsFound = 14;
constexpr int kSitesNotAnswering = 422;
constexpr int kDownloading = 20;
constexpr int kFetchingThumbnail = 21;

// A status of this many characters or more takes two lines, so the label moves up.
constexpr int kTwoLineStatus = 23;
constexpr int kOneLineTop = 1305;
constexpr int kTwoLineTop = 1185;

} // namespace

Program::Program(SettingsStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_download(new Download(m_state, AppPaths::httpCache(), this))
    , m_catalogue(new SiteCatalogue(m_state, this))
    , m_history(new SearchHistory(store, this))
{
    m_state.DossierTemp = AppPaths::DossierTemp();
    QDir().mkpath(m_state.DossierTemp);
}

Program::~Program()
{
    // The windows may be gone: nothing is told any more.
    blockSignals(true);
    shutDown();
}

void Program::setSearch(int baseIndex, SearchProcedure procedure, const QString &site)
{
    m_searches.insert(baseIndex, std::move(procedure));
    m_siteNames.insert(baseIndex, site.isEmpty() ? m_catalogue->displayName(baseIndex) : site);
}

QString Program::siteAddress(const QString &settingName) const
{
    return SiteAddresses::address(m_store, settingName);
}

void Program::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(title);
}

QString Program::text(int id) const
{
    return StringTable::text(id, m_state.LangOffset).value_or(QString());
}

void Program::Lance(int button)
{
    if (m_title.isEmpty() || m_catalogue->tickedCount() == 0)
        return;
    // A download under way has the button disabled.
    if (!m_searchButtonEnabled)
        return;
    if (m_stopCaption) {
        requestStop();
        return;
    }
    // A stopped search that is still unwinding: a new one would run inside it.
    if (m_runUnwinding)
        return;
    runSearch(button);
}

void Program::requestStop()
{
    m_state.ArretDemande = true;
    setStopCaption(false);
    if (m_run)
        m_run->stop();
}

void Program::shutDown()
{
    emit closing();
    if (m_run)
        m_run->stop();
    m_download->cancelAll();
}

void Program::runSearch(int button)
{
    m_runUnwinding = true;
    setStopCaption(true);
    m_state.ClicDroit = button == 2;
    if (!m_quietSearch)
        setTitle(m_history->AjouteHistorique(m_title));
    setInputEnabled(false);
    EffaceResultats();
    AfficheAttente(true);

    QList<SearchRun::Base> bases;
    for (int base : m_catalogue->rowOrder()) {
        if (m_catalogue->isTicked(base)) {
            bases.append({base, m_searches.value(base), m_siteNames.value(base, m_catalogue->displayName(base))});
            m_catalogue->clearReport(base);
        }
    }
    m_run = std::make_unique<SearchRun>(*this, *m_download,
                                        [this](const QString &setting) { return siteAddress(setting); });
    connect(m_run.get(), &SearchRun::finished, this, &Program::endSearch);
    m_run->start(bases);
}

void Program::endSearch()
{
    QSet<QString> notAnswering;
    for (const SiteReport &report : m_run->reports()) {
        m_catalogue->setReport(report);
        if (report.didNotAnswer())
            notAnswering.insert(report.site);
    }
    m_sitesNotAnswering = int(notAnswering.size());
    FinTraitement();
    setStopCaption(false);
    m_results.placeFinalStrip();
    m_runUnwinding = false;
    emit runFinished();
}

void Program::FinTraitement()
{
    setSearchButtonEnabled(true);
    emit waitCursorChanged(false);
    AfficheAttente(false);
    AfficheStatut(QStringLiteral("Nb"), false);
    setInputEnabled(true);
    m_results.setSlotsEnabled(true);
}

void Program::AfficheAttente(bool busy)
{
    // Told even when unchanged: a Stop has already cleared the flag, and the band must still go.
    m_state.ArretDemande = !busy;
    emit busyChanged(busy);
}

void Program::AfficheStatut(const QString &status, bool connecting)
{
    const QString line = connecting ? text(kConnecting) + status + text(kInProgress) : status;
    QString shown = line;
    if (line == u"Nb") {
        const int found = m_results.NbResultats();
        shown = found == 0   ? text(kNoFilmFound)
                : found == 1 ? text(kOneFilmFound)
                             : QString::number(found) + text(kFilmsFound);
        if (m_sitesNotAnswering > 0)
            shown += text(kSitesNotAnswering) + QString::number(m_sitesNotAnswering);
    }
    m_statusText = shown;
    // Measured before "Nb" becomes the found count, which so keeps its place
    // whatever follows it.
    m_statusTop = line.size() < kTwoLineStatus ? kOneLineTop : kTwoLineTop;
    emit statusChanged(m_statusText, m_statusTop);
}

void Program::AjouteResultat(int index, bool Wide)
{
    const ResultEntry &hit = m_results.entry(m_results.NbVignettes() + 1);
    const bool shown = !m_state.ClicDroit
                       || ResultList::matchesTitle(ResultList::displayTitle(hit.Title), m_title);
    AfficheStatut(text(kFetchingThumbnail) + QString::number(index) + QStringLiteral(" / ")
                      + QString::number(m_results.NbResultats()),
                  false);
    m_results.addSlot(Wide, shown);
}

void Program::EffaceResultats()
{
    // Nothing of the last run may land in the cleared list.
    if (m_run && !m_run->isFinished())
        requestStop();
    Q_ASSERT(!m_run || m_run->isFinished());
    m_run.reset();
    m_sitesNotAnswering = 0;
    m_results.clear();
    m_statusText.clear();
    emit statusChanged(m_statusText, m_statusTop);
    AfficheAttente(false);
}

void Program::CentreVignettes()
{
    m_results.CentreVignettes(m_state.BaseUnique);
}

void Program::beginDownloadState()
{
    setSearchButtonEnabled(false);
    emit waitCursorChanged(true);
    AfficheAttente(true);
    AfficheStatut(text(kDownloading), false);
    m_results.setSlotsEnabled(false);
}

void Program::setStopCaption(bool stop)
{
    if (stop == m_stopCaption)
        return;
    m_stopCaption = stop;
    emit searchCaptionChanged(stop);
}

void Program::setInputEnabled(bool enabled)
{
    if (enabled == m_inputEnabled)
        return;
    m_inputEnabled = enabled;
    emit inputEnabledChanged(enabled);
}

void Program::setSearchButtonEnabled(bool enabled)
{
    if (enabled == m_searchButtonEnabled)
        return;
    m_searchButtonEnabled = enabled;
    emit searchButtonEnabledChanged(enabled);
}
