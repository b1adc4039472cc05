#include "sitefiles/site_file_hosts.h"

#include "settings/site_addresses.h"

#include <QUrl>

namespace {

QString withoutTrailingSlashes(QString address)
{
    while (address.endsWith(u'/'))
        address.chop(1);
    return address;
}

bool isWeb(const QUrl &url)
{
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") && !url.host().isEmpty();
}

std::pair<QString, int> hostAndPort(const QUrl &url)
{
    return {url.host().toLower(), url.port(url.scheme() == u"https" ? 443 : 80)};
}

} // namespace

SiteFileHosts::SiteFileHosts(const SiteFile &site, const std::function<QString(const QString &)> &address)
{
    // A built-in site's setting has a default; only a stored address moves a file's.
    const auto moved = [&](const QString &setting, const QString &written) {
        const QString set = address ? address(setting) : QString();
        const bool stored = !set.isEmpty() && set != SiteAddresses::defaultAddress(setting);
        return withoutTrailingSlashes(stored ? set : written);
    };
    m_home = moved(settingName(site), site.home);
    for (const auto &[name, written] : site.hosts)
        m_hosts.append({name, moved(settingName(site, name), written)});
    if (isWeb(QUrl(m_home)))
        m_allowed.append(hostAndPort(QUrl(m_home)));
    for (const auto &host : std::as_const(m_hosts))
        if (isWeb(QUrl(host.second)))
            m_allowed.append(hostAndPort(QUrl(host.second)));
}

SiteTemplateValues SiteFileHosts::values() const
{
    SiteTemplateValues values{{QStringLiteral("home"), m_home}};
    for (const auto &[name, address] : m_hosts)
        values.insert(QStringLiteral("host.") + name, address);
    return values;
}

QString SiteFileHosts::resolved(const QString &address) const
{
    if (address.isEmpty() || !QUrl(address).isRelative())
        return address;
    QString path = address;
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    return m_home + u'/' + path;
}

bool SiteFileHosts::allows(const QString &address) const
{
    const QUrl url(address, QUrl::StrictMode);
    return isWeb(url) && m_allowed.contains(hostAndPort(url));
}

QString SiteFileHosts::settingName(const SiteFile &site, const QString &host)
{
    return QStringLiteral("Hote-") + site.id + (host.isEmpty() ? QString() : u'-' + host);
}
