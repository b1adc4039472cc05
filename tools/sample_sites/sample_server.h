#pragma once

#include "fixture_server.h"

#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <vector>

class SampleSite;

// Plays every sample site on one port of 127.0.0.1, each under its own path
// prefixes; a request outside every prefix gets 404.
class SampleServer
{
public:
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

private:
    FixtureServer::Reply reply(const FixtureServer::Request &request) const;

    FixtureServer m_server;
    std::vector<std::unique_ptr<SampleSite>> m_sites;
    int m_latencyMs = 0;
    std::unique_ptr<QFile> m_log;
};
