#include "sites/site_adapter.h"

#include "core/program.h"
#include "core/text_helpers.h"
#include "core/text_utils.h"
#include "net/download.h"
#include "net/form_post.h"
#include "output/retrieval.h"
#include "settings/site_addresses.h"
#include "sites/title_preparation.h"

SiteAdapter::SiteAdapter(Program &program)
    : m_program(program)
{
}

SiteAdapter::~SiteAdapter() = default;

ProgramState &SiteAdapter::state() const { return m_program.state(); }
ResultList &SiteAdapter::results() const { return m_program.results(); }
SettingsStore &SiteAdapter::settings() const { return m_program.settings(); }
Retrieval &SiteAdapter::retrieval() const { return m_program.retrieval(); }

QString SiteAdapter::address(const QString &settingName) const
{
    return SiteAddresses::address(settings(), settingName);
}

QString SiteAdapter::typedTitle() const
{
    return m_program.title();
}

QString SiteAdapter::preparedTitle(const QString &site) const
{
    return titleForAddress(site, typedTitle());
}

QString SiteAdapter::formTitle(const QString &site) const
{
    return titleForForm(site, typedTitle());
}

int SiteAdapter::beginHits()
{
    const int first = results().NbResultats() + 1;
    results().resize(results().NbResultats() + ResultList::kGrowth);
    return first;
}

void SiteAdapter::announce(const QString &statusLabel)
{
    m_program.AfficheStatut(statusLabel, true);
}

void SiteAdapter::fetchPage(const QString &url)
{
    m_program.download().Start(url, QStringLiteral("Html"), false, true);
    DecodeHtml(state().PageHtml);
    Program::yieldOnce();
}

void SiteAdapter::postForm(const QString &SitePost, const QString &TitrePost, const QString &siteAddress)
{
    FormPost &form = m_program.formPost();
    form.post(SitePost, TitrePost, siteAddress);
    form.waitForReply();
    DecodeHtml(state().PageHtml);
    Program::yieldOnce();
}

ResultEntry *SiteAdapter::newHit()
{
    ResultList &list = results();
    if (stopRequested() || list.NbResultats() >= ResultList::kMaxHits)
        return nullptr;
    list.countHit();
    if (list.NbResultats() % ResultList::kGrowth == 0)
        list.resize(list.NbResultats() + ResultList::kGrowth);
    return &list.entry(list.NbResultats());
}

bool SiteAdapter::stopRequested() const
{
    return state().ArretDemande;
}

QString SiteAdapter::piece(QStringView text, qsizetype start, qsizetype length)
{
    return length < 0 ? QString() : text::mid(text, start, length);
}

qint16 SiteAdapter::yearValue(QStringView text)
{
    const int year = text::intValue(text, 0);
    return year >= -32768 && year <= 32767 ? qint16(year) : qint16(0);
}

ResultEntry &SiteAdapter::hit(int index) const
{
    return results().entry(index);
}

void SiteAdapter::CentreVignettes()
{
    m_program.CentreVignettes();
}

void SiteAdapter::addSlot(bool wide)
{
    m_program.AjouteResultat(state().IndiceCourant, wide);
}

void SiteAdapter::fetchThumbnail(const QString &url, Pacing pacing)
{
    const QString slot = QString::number(state().IndiceCourant - 1);
    const bool waited = pacing != Pacing::Settle;
    const bool settle = pacing != Pacing::Waited;
    m_program.download().Start(url, QStringLiteral("Thum") + slot, true, waited, settle);
}

void SiteAdapter::saveAndOpen(int index, bool copy, const QString &url, const QString &localPath,
                              bool reuseCached)
{
    if (!reuseCached || !Retrieval::FichierExiste(localPath))
        m_program.download().Start(url, QStringLiteral("Save") + localPath, false, true);
    retrieval().OuvreFichier(index, copy);
}
