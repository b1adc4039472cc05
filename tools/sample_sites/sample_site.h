#pragma once

#include "fixture_server.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// One web site played by the sample server. A site answers under path
// prefixes of its own ("/moviecovers"), one per address setting, so every
// site shares the server's one port.
class SampleSite
{
public:
    // An address setting of the site and the prefix that serves it.
    struct Address
    {
        QString settingName; // "Hote-MovieCovers"
        QString prefix;      // "/moviecovers": starts with "/", no trailing "/"
    };

    // A request under one of the site's prefixes.
    struct Request
    {
        const FixtureServer::Request &http; // method, headers and body as received
        QString prefix;                     // the prefix that matched
        QString base;                       // "http://127.0.0.1:PORT" + prefix
        QString path;                       // the rest, percent-decoded: "/", "/multicrit.html"...
        QList<QPair<QString, QString>> query; // decoded, in the order sent

        // The first value named `name` (case-sensitive), empty when absent.
        QString value(const QString &name) const;
    };

    virtual ~SampleSite() = default;

    virtual QList<Address> addresses() const = 0;
    virtual FixtureServer::Reply reply(const Request &request) const = 0;

    // Splits "a=1&b=x+y%E9" into pairs. "+" is a blank; percent-escapes are
    // read as UTF-8 when they form UTF-8 and as Latin-1 otherwise, since
    // browsers on the sites' Latin-1 pages send Latin-1.
    static QList<QPair<QString, QString>> parseQuery(QByteArrayView query);

protected:
    static FixtureServer::Reply html(const QString &page, const QByteArray &charset = "iso-8859-1");
    static FixtureServer::Reply jpeg(const QByteArray &bytes);
    static FixtureServer::Reply pdf(const QByteArray &bytes);
    static FixtureServer::Reply notFound();
};
