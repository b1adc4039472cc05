#include "sample_server.h"

#include "sample_site.h"
#include "site_list.h"

#include <QDateTime>
#include <QHostAddress>

namespace {

QString nameOf(const SampleSite &site)
{
    return site.addresses().value(0).prefix.mid(1);
}

} // namespace

SampleServer::SampleServer() : m_sites(makeSampleSites())
{
    m_server.setFallback([this](const FixtureServer::Request &request) {
        if (m_log) {
            m_log->write(QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + ' ' + request.method + ' '
                         + request.path + '\n');
            m_log->flush();
        }
        FixtureServer::Reply answer = reply(request);
        answer.delayMs += m_latencyMs;
        return answer;
    });
}

SampleServer::~SampleServer() = default;

bool SampleServer::setRequestLog(const QString &path)
{
    auto log = std::make_unique<QFile>(path);
    if (!log->open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    m_log = std::move(log);
    return true;
}

bool SampleServer::listen(quint16 port)
{
    return m_server.listen(port);
}

quint16 SampleServer::port() const
{
    return m_server.port();
}

QList<QPair<QString, QString>> SampleServer::settings() const
{
    QList<QPair<QString, QString>> settings;
    for (const auto &site : m_sites) {
        const auto failed = m_failures.constFind(site.get());
        const bool refused = failed != m_failures.cend() && failed->failure == Failure::Refuse;
        const quint16 port = refused ? m_refusingSocket.localPort() : m_server.port();
        for (const SampleSite::Address &address : site->addresses())
            settings.append({address.settingName, QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(address.prefix)});
    }
    return settings;
}

QStringList SampleServer::siteNames() const
{
    QStringList names;
    for (const auto &site : m_sites)
        names.append(nameOf(*site));
    return names;
}

bool SampleServer::setFailure(const QString &site, Failure failure, int status)
{
    for (const auto &candidate : m_sites) {
        if (nameOf(*candidate).compare(site, Qt::CaseInsensitive) != 0)
            continue;
        // Without SO_REUSEADDR, so that no other socket can share the port.
        if (failure == Failure::Refuse && m_refusingSocket.state() != QAbstractSocket::BoundState)
            m_refusingSocket.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress);
        m_failures.insert(candidate.get(), {failure, status});
        return true;
    }
    return false;
}

FixtureServer::Reply SampleServer::reply(const FixtureServer::Request &request) const
{
    const qsizetype question = request.path.indexOf('?');
    const QByteArray path = question < 0 ? request.path : request.path.left(question);
    const QByteArray query = question < 0 ? QByteArray() : request.path.mid(question + 1);
    for (const auto &site : m_sites) {
        for (const SampleSite::Address &address : site->addresses()) {
            const QByteArray prefix = address.prefix.toUtf8();
            if (!path.startsWith(prefix) || (path.size() > prefix.size() && path[prefix.size()] != '/'))
                continue;
            if (auto failed = failedReply(*site))
                return *failed;
            const QString rest = QString::fromUtf8(QByteArray::fromPercentEncoding(path.mid(prefix.size())));
            const SampleSite::Request siteRequest{request, address.prefix, m_server.url(address.prefix),
                                                  rest.isEmpty() ? QStringLiteral("/") : rest,
                                                  SampleSite::parseQuery(query)};
            return site->reply(siteRequest);
        }
    }
    FixtureServer::Reply notFound;
    notFound.status = 404;
    notFound.body = "<html><body>Not found</body></html>";
    return notFound;
}

std::optional<FixtureServer::Reply> SampleServer::failedReply(const SampleSite &site) const
{
    const auto failed = m_failures.constFind(&site);
    if (failed == m_failures.cend())
        return std::nullopt;
    FixtureServer::Reply answer;
    switch (failed->failure) {
    case Failure::Refuse: // its addresses lead elsewhere; whoever comes here anyway gets the site
        return std::nullopt;
    case Failure::Error:
        answer.status = failed->status;
        answer.body = "<html><body><h1>Error " + QByteArray::number(failed->status) + "</h1></body></html>";
        break;
    case Failure::Stall:
        answer.stall = true;
        break;
    case Failure::NoMarkers:
        answer.body = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Welcome</title></head>\n"
                      "<body><h1>Welcome</h1>\n<p>This page has changed. What used to be here has moved, "
                      "and nothing on this page replaces it.</p>\n</body></html>\n";
        break;
    }
    return answer;
}
