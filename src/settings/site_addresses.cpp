#include "settings/site_addresses.h"

#include "settings/settings_store.h"

#include <QUrl>

namespace SiteAddresses {
namespace {

struct Site
{
    const char *setting;
    const char *address;
};

constexpr Site kSites[] = {
    {"Hote-AffichesCinema", "http://www.affichescinema.com"},
    {"Hote-AllDivX", "http://www.alldivx.com"},
    {"Hote-AlloCine", "http://www.allocine.fr"},
    {"Hote-CinEmotions", "http://www.cinemotions.com"},
    {"Hote-Cinefil", "http://www.cinefil.com"},
    {"Hote-CinefilImages", "http://images.cinefil.com"},
    {"Hote-CineMovies", "http://www.cinemovies.fr"},
    {"Hote-CoverComoz", "http://www.comoz.com"},
    {"Hote-DvdFr", "http://www.dvdfr.com"},
    {"Hote-Editeur", "http://pellicam.example.org"},
    {"Hote-HDCovers", "http://www.hdcovers.net"},
    {"Hote-IMPAwards", "http://www.impawards.com"},
    {"Hote-MoteurRecherche", "http://www.google.com"},
    {"Hote-MovieCovers", "http://www.moviecovers.com"},
    {"Hote-MoviePoster", "http://www.movieposter.com"},
    {"Hote-Vintage", "http://www.vintagemovieposters.com"},
};

QString withoutTrailingSlashes(QString address)
{
    while (address.endsWith(u'/'))
        address.chop(1);
    return address;
}

} // namespace

QStringList settingNames()
{
    QStringList names;
    for (const Site &site : kSites)
        names.append(QString::fromLatin1(site.setting));
    return names;
}

QString defaultAddress(const QString &settingName)
{
    for (const Site &site : kSites)
        if (settingName.compare(QLatin1String(site.setting), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(site.address);
    return {};
}

QString address(const SettingsStore &store, const QString &settingName)
{
    const QString stored = withoutTrailingSlashes(store.LitValeur(settingName).trimmed());
    return stored.isEmpty() ? defaultAddress(settingName) : stored;
}

QString hostName(const QString &address)
{
    const QUrl url(address);
    const int port = url.port();
    return port < 0 ? url.host() : url.host() + u':' + QString::number(port);
}

} // namespace SiteAddresses
