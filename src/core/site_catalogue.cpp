#include "core/site_catalogue.h"

#include "settings/program_state.h"
#include "text/text_helpers.h"
#include "settings/settings_store.h"
#include "settings/site_addresses.h"
#include "settings/string_table.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace {

using Language = SiteCatalogue::Language;
using Kind = SiteCatalogue::Kind;

struct BuiltIn
{
    const char16_t *name;
    int row;
    Language language;
    Kind kind;
    const char *addressSetting;
};

// BaseIndex order is historical, not alphabetical: rows give the window's order.
constexpr std::array<BuiltIn, SiteCatalogue::kBuiltInCount> kBuiltIns = {{
    {u"Affiches Cinéma", 0, Language::Fr, Kind::Posters, "Hote-AffichesCinema"},
    {u"AlloCiné", 2, Language::Fr, Kind::Posters, "Hote-AlloCine"},
    {u"Cinefil", 3, Language::Fr, Kind::Posters, "Hote-Cinefil"},
    {u"CineMovies", 5, Language::Fr, Kind::Posters, "Hote-CineMovies"},
    {u"DvdFr", 7, Language::Fr, Kind::Posters, "Hote-DvdFr"},
    {u"Internet Movie Poster Awards", 9, Language::Us, Kind::Posters, "Hote-IMPAwards"},
    {u"MovieCovers (JPG)", 10, Language::Fr, Kind::Posters, "Hote-MovieCovers"},
    {u"MoviePoster", 12, Language::Us, Kind::Posters, "Hote-MoviePoster"},
    {u"Vintage Movie Poster", 13, Language::Us, Kind::Posters, "Hote-Vintage"},
    {u"AllDivX", 1, Language::Fr, Kind::Jackets, "Hote-AllDivX"},
    {u"HD Covers", 8, Language::Fr, Kind::Jackets, "Hote-HDCovers"},
    {u"MovieCovers (PDF)", 11, Language::Fr, Kind::Jackets, "Hote-MovieCovers"},
    {u"CinEmotions", 4, Language::Fr, Kind::Posters, "Hote-CinEmotions"},
    {u"Cover Comoz", 6, Language::FrUs, Kind::Jackets, "Hote-CoverComoz"},
}};

constexpr std::array<int, SiteCatalogue::kBuiltInCount> kRowOrder = {0, 9, 1, 2, 12, 3, 13, 4, 10, 5, 6, 11, 7, 8};

const QString kAddressPrefix = QStringLiteral("Hote-");

constexpr int kTextNoneSelected = 211;
constexpr int kTextOneSelected = 212;
constexpr int kTextSeveralSelected = 213; // begins with a blank: it follows the count
constexpr int kGroupCount = 6;

QString singleBaseSetting()
{
    return QStringLiteral("BdD");
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

} // namespace

int SiteCatalogue::builtInBase(const QString &id)
{
    for (int base = 0; base < kBuiltInCount; ++base)
        if (QString::fromLatin1(kBuiltIns[base].addressSetting).mid(kAddressPrefix.size()).compare(id, Qt::CaseInsensitive) == 0)
            return base;
    return -1;
}

SiteCatalogue::SiteCatalogue(ProgramState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
{
    setFileBases({});
}

void SiteCatalogue::setFileBases(QList<FileBase> files, QList<QStringList> brokenFiles)
{
    m_brokenFiles = std::move(brokenFiles);
    m_bases.clear();
    for (int base = 0; base < kBuiltInCount; ++base) {
        const BuiltIn &builtIn = kBuiltIns[base];
        m_bases.append({base, QString::fromUtf16(builtIn.name), builtIn.row, builtIn.language, builtIn.kind,
                        QString::fromLatin1(builtIn.addressSetting), {}, {}, {}});
    }
    m_rowOrder = QList<int>(kRowOrder.begin(), kRowOrder.end());
    std::sort(files.begin(), files.end(), [](const FileBase &a, const FileBase &b) {
        return a.id.compare(b.id, Qt::CaseInsensitive) < 0;
    });
    for (const FileBase &file : files) {
        if (const int base = builtInBase(file.id); base >= 0) {
            m_bases[base].file = file.file;
            m_bases[base].home = file.home;
            continue;
        }
        const int base = baseCount();
        m_bases.append({base, file.name, base, file.language, file.kind, kAddressPrefix + file.id, file.id, file.file,
                        file.home});
        m_rowOrder.append(base);
    }
    m_reports = QList<std::optional<SiteReport>>(baseCount());
    replaceTicks(Ticks(baseCount(), 0));
    emit basesChanged();
}

void SiteCatalogue::reloadFileBases(QList<FileBase> files, QList<QStringList> brokenFiles, const SettingsStore &store)
{
    QHash<QString, int> ticks;
    QHash<QString, std::optional<SiteReport>> reports;
    for (int base = 0; base < baseCount(); ++base) {
        ticks.insert(settingName(base), m_ticks[base]);
        if (m_bases[base].file.isEmpty())
            reports.insert(settingName(base), m_reports[base]);
    }
    setFileBases(std::move(files), std::move(brokenFiles));
    Ticks kept(baseCount(), 0);
    for (int base = 0; base < baseCount(); ++base) {
        const QString name = settingName(base);
        if (ticks.contains(name))
            kept[base] = ticks.value(name);
        else if (!m_state.BaseUnique)
            kept[base] = text::intValue(store.LitValeur(name), 0) == 1 ? 1 : 0;
        if (m_bases[base].file.isEmpty())
            m_reports[base] = reports.value(name);
    }
    replaceTicks(kept);
    emit reportsChanged();
    AfficheNbrCoche();
}

QStringList SiteCatalogue::fileErrors() const
{
    QStringList errors;
    for (const QStringList &file : m_brokenFiles)
        errors << file;
    return errors;
}

QString SiteCatalogue::displayName(int base) const
{
    return validBase(base) ? m_bases[base].name : QString();
}

QString SiteCatalogue::homeAddress(const SettingsStore &store, int base) const
{
    if (!validBase(base))
        return {};
    const BaseInfo &info = m_bases[base];
    // A file's home page stands while its setting is unset or holds the built-in default.
    const QString address = SiteAddresses::address(store, info.addressSetting);
    const bool stored = !address.isEmpty() && address != SiteAddresses::defaultAddress(info.addressSetting);
    return stored || info.home.isEmpty() ? address : info.home;
}

int SiteCatalogue::baseOf(const QString &id) const
{
    for (const BaseInfo &base : m_bases)
        if (!base.id.isEmpty() && base.id.compare(id, Qt::CaseInsensitive) == 0)
            return base.index;
    return id.isEmpty() ? -1 : builtInBase(id);
}

QString SiteCatalogue::settingName(int base) const
{
    const QString &id = m_bases[base].id;
    return id.isEmpty() ? QStringLiteral("Base") + QString::number(base) : QStringLiteral("Base-") + id;
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
    return int(m_ticks.count(1));
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
            summary = displayName(int(m_ticks.indexOf(1)));
        } else {
            replaceTicks(Ticks(baseCount(), 0));
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
    Ticks ticks(baseCount(), 0);
    for (const BaseInfo &base : m_bases)
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
    Ticks ticks(baseCount(), 0);
    for (int base = 0; base < baseCount(); ++base)
        ticks[base] = text::intValue(store.LitValeur(settingName(base)), 0) == 1 ? 1 : 0;
    replaceTicks(ticks);
}

void SiteCatalogue::save(SettingsStore &store) const
{
    for (int base = 0; base < baseCount(); ++base)
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
            replaceTicks(Ticks(baseCount(), 0));
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
    Ticks ticks(baseCount(), 0);
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
    return validBase(base) ? m_reports[base] : none;
}

void SiteCatalogue::setReport(const SiteReport &report)
{
    if (!validBase(report.base))
        return;
    m_reports[report.base] = report;
    emit reportsChanged();
}

void SiteCatalogue::clearReport(int base)
{
    if (!validBase(base) || !m_reports[base])
        return;
    m_reports[base].reset();
    emit reportsChanged();
}
