#pragma once

#include "fixture_server.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <memory>
#include <optional>
#include <vector>

class SampleSite;

// Plays every sample site on one port of 127.0.0.1, each under its own path
// prefixes; a request outside every prefix gets 404.
class SampleServer
{
public:
    // Ways a site can fail on purpose, so that every outcome of a search shows offline.
    enum class Failure {
        Refuse,    // its addresses point at a port that refuses connections
        Error,     // every request gets an HTTP error status
        Stall,     // every request is accepted and never answered
        NoMarkers, // every request gets 200 and a page the program finds nothing in
    };

    SampleServer();
    ~SampleServer();
    SampleServer(const SampleServer &) = delete;
    SampleServer &operator=(const SampleServer &) = delete;

    // Port 0 takes any free port.
    bool listen(quint16 port = 0);
    quint16 port() const;
    // Every reply waits this long before it is sent.
    void setLatency(int ms) { m_latencyMs = ms; }
    // Writes one line per request as it arrives: milliseconds since the epoch,
    // the method and the path (for the benchmarks). False when the file cannot be opened.
    bool setRequestLog(const QString &path);

    // (setting name, address) of every site address, in site order:
    // ("Hote-MovieCovers", "http://127.0.0.1:PORT/moviecovers").
    QList<QPair<QString, QString>> settings() const;

    // A site's name is its first prefix without the slash: "moviecovers".
    QStringList siteNames() const;
    // Makes the site named `site` (case-insensitive) fail on all its prefixes;
    // `status` is the one Error sends. False when no site has that name.
    bool setFailure(const QString &site, Failure failure, int status = 500);

private:
    struct SiteFailure
    {
        Failure failure;
        int status;
    };

    FixtureServer::Reply reply(const FixtureServer::Request &request) const;
    // What a failing site sends instead of its page; nothing when it answers as usual.
    std::optional<FixtureServer::Reply> failedReply(const SampleSite &site) const;

    FixtureServer m_server;
    std::vector<std::unique_ptr<SampleSite>> m_sites;
    int m_latencyMs = 0;
    std::unique_ptr<QFile> m_log;
    QHash<const SampleSite *, SiteFailure> m_failures;
    // Bound and never listening: connections to its port are refused, and no
    // one else can take the port while it is held.
    QTcpSocket m_refusingSocket;
};
