#include "sample_server.h"

#include "sample_site.h"
#include "site_list.h"

#include <QDateTime>

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
    for (const auto &site : m_sites)
        for (const SampleSite::Address &address : site->addresses())
            settings.append({address.settingName, m_server.url(address.prefix)});
    return settings;
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
