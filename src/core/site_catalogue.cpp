#include "core/site_catalogue.h"

#include "settings/program_state.h"
#include "text/text_helpers.h"
#include "settings/settings_store.h"
#include "settings/site_addresses.h"
#include "settings/string_table.h"

#include <algorithm>
#include <optional>

namespace {

using Language = SiteCatalogue::Language;
using Kind = SiteCatalogue::Kind;

// BaseIndex order is historical, not alphabetical: rows give the window's order.
constexpr std::array<SiteCatalogue::BaseInfo, SiteCatalogue::kBaseCount> kBases = {{
    {0, u"Affiches Cinéma", 0, Language::Fr, Kind::Posters, "Hote-AffichesCinema"},
    {1, u"AlloCiné", 2, Language::Fr, Kind::Posters, "Hote-AlloCine"},
    {2, u"Cinefil", 3, Language::Fr, Kind::Posters, "Hote-Cinefil"},
    {3, u"CineMovies", 5, Language::Fr, Kind::Posters, "Hote-CineMovies"},
    {4, u"DvdFr", 7, Language::Fr, Kind::Posters, "Hote-DvdFr"},
    {5, u"Internet Movie Poster Awards", 9, Language::Us, Kind::Posters, "Hote-IMPAwards"},
    {6, u"MovieCovers (JPG)", 10, Language::Fr, Kind::Posters, "Hote-MovieCovers"},
    {7, u"MoviePoster", 12, Language::Us, Kind::Posters, "Hote-MoviePoster"},
    {8, u"Vintage Movie Poster", 13, Language::Us, Kind::Posters, "Hote-Vintage"},
    {9, u"AllDivX", 1, Language::Fr, Kind::Jackets, "Hote-AllDivX"},
    {10, u"HD Covers", 8, Language::Fr, Kind::Jackets, "Hote-HDCovers"},
    {11, u"MovieCovers (PDF)", 11, Language::Fr, Kind::Jackets, "Hote-MovieCovers"},
    {12, u"CinEmotions", 4, Language::Fr, Kind::Posters, "Hote-CinEmotions"},
    {13, u"Cover Comoz", 6, Language::FrUs, Kind::Jackets, "Hote-CoverComoz"},
}};

constexpr std::array<int, SiteCatalogue::kBaseCount> kRowOrder = {0, 9, 1, 2, 12, 3, 13, 4, 10, 5, 6, 11, 7, 8};

constexpr int kTextNoneSelected = 211;
constexpr int kTextOneSelected = 212;
constexpr int kTextSeveralSelected = 213; // begins with a blank: it follows the count
constexpr int kGroupCount = 6;

QString singleBaseSetting()
{
    return QStringLiteral("BdD");
}

bool validBase(int base)
{
    return base >= 0 && base < SiteCatalogue::kBaseCount;
}

// The group links' table: which bases link n ticks (all others are unticked).
bool inGroup(int n, const SiteCatalogue::BaseInfo &base)
{
    switch (n) {
    case 0: return true;
    case 1: return false;
    case 2: return base.language != Language::Us;
    case 3: return base.language != Language::Fr;
    case 4: return base.kind == Kind::Posters;
    case 5: return base.kind == Kind::Jackets;
    }
    return false;
}

QString settingName(int base)
{
    return QStringLiteral("Base") + QString::number(base);
}

} // namespace

const std::array<SiteCatalogue::BaseInfo, SiteCatalogue::kBaseCount> &SiteCatalogue::bases()
{
    return kBases;
}

const std::array<int, SiteCatalogue::kBaseCount> &SiteCatalogue::rowOrder()
{
    return kRowOrder;
}

QString SiteCatalogue::displayName(int base)
{
    return validBase(base) ? kBases[base].name.toString() : QString();
}

QString SiteCatalogue::homeAddress(const SettingsStore &store, int base)
{
    if (!validBase(base))
        return {};
    return SiteAddresses::address(store, QString::fromLatin1(kBases[base].addressSetting));
}

SiteCatalogue::SiteCatalogue(ProgramState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
{
}

int SiteCatalogue::tick(int base) const
{
    return validBase(base) ? m_ticks[base] : 0;
}

void SiteCatalogue::setTick(int base, int value)
{
    if (!validBase(base) || (value != 0 && value != 1))
        return;
    Ticks ticks = m_ticks;
    ticks[base] = value;
    replaceTicks(ticks);
}

bool SiteCatalogue::isTicked(int base) const
{
    return tick(base) == 1;
}

int SiteCatalogue::tickedCount() const
{
    return int(std::count(m_ticks.begin(), m_ticks.end(), 1));
}

bool SiteCatalogue::singleBase() const
{
    return m_state.BaseUnique;
}

void SiteCatalogue::AfficheNbrCoche()
{
    const int count = tickedCount();
    QString summary;
    if (m_state.BaseUnique) {
        if (count == 1) {
            summary = displayName(int(std::find(m_ticks.begin(), m_ticks.end(), 1) - m_ticks.begin()));
        } else {
            replaceTicks(Ticks{});
            summary = text(kTextNoneSelected);
        }
    } else if (count == 0) {
        summary = text(kTextNoneSelected);
    } else if (count == 1) {
        summary = text(kTextOneSelected);
    } else {
        summary = QString::number(count) + text(kTextSeveralSelected);
    }
    m_summary = summary;
    emit summaryChanged(m_summary);
}

void SiteCatalogue::applyGroup(int n)
{
    if (n < 0 || n >= kGroupCount)
        return;
    Ticks ticks{};
    for (const BaseInfo &base : kBases)
        ticks[base.index] = inGroup(n, base) ? 1 : 0;
    replaceTicks(ticks);
    AfficheNbrCoche();
}

void SiteCatalogue::tickBoxReleased(int base)
{
    if (!validBase(base))
        return;
    if (m_state.BaseUnique) {
        pickOnly(base);
        emit hideRequested();
        AfficheNbrCoche();
        return;
    }
    setTick(base, isTicked(base) ? 0 : 1);
    AfficheNbrCoche();
}

void SiteCatalogue::nameClicked(int base)
{
    if (!validBase(base))
        return;
    if (m_state.BaseUnique) {
        pickOnly(base);
        AfficheNbrCoche();
        emit hideRequested();
        return;
    }
    setTick(base, m_ticks[base] == 0 ? 1 : 0);
    AfficheNbrCoche();
}

void SiteCatalogue::restore(const SettingsStore &store)
{
    Ticks ticks{};
    for (int base = 0; base < kBaseCount; ++base)
        ticks[base] = text::intValue(store.LitValeur(settingName(base)), 0) == 1 ? 1 : 0;
    replaceTicks(ticks);
}

void SiteCatalogue::save(SettingsStore &store) const
{
    for (int base = 0; base < kBaseCount; ++base)
        store.EcritValeur(settingName(base), isTicked(base) ? QStringLiteral("1") : QStringLiteral("0"));
}

void SiteCatalogue::onActivated(const SettingsStore &store)
{
    if (const std::optional<bool> single = store.readBool(singleBaseSetting()))
        m_state.BaseUnique = *single;
}

void SiteCatalogue::applySingleBaseSetting(const SettingsStore &store)
{
    const std::optional<bool> single = store.readBool(singleBaseSetting());
    if (single && *single != m_state.BaseUnique) {
        m_state.BaseUnique = *single;
        if (m_state.BaseUnique && tickedCount() > 1)
            replaceTicks(Ticks{});
    }
    AfficheNbrCoche();
}

void SiteCatalogue::replaceTicks(const Ticks &ticks)
{
    if (ticks == m_ticks)
        return;
    m_ticks = ticks;
    emit ticksChanged();
}

void SiteCatalogue::pickOnly(int base)
{
    Ticks ticks{};
    ticks[base] = 1;
    replaceTicks(ticks);
}

QString SiteCatalogue::text(int id) const
{
    return StringTable::text(id, m_state.LangOffset).value_or(QString());
}

const std::optional<SiteReport> &SiteCatalogue::report(int base) const
{
    static const std::optional<SiteReport> none;
    return base >= 0 && base < kBaseCount ? m_reports[size_t(base)] : none;
}

void SiteCatalogue::setReport(const SiteReport &report)
{
    if (report.base < 0 || report.base >= kBaseCount)
        return;
    m_reports[size_t(report.base)] = report;
    emit reportsChanged();
}

void SiteCatalogue::clearReport(int base)
{
    if (base < 0 || base >= kBaseCount || !m_reports[size_t(base)])
        return;
    m_reports[size_t(base)].reset();
    emit reportsChanged();
}
