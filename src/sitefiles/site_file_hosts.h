#pragma once

#include "sitefiles/site_file.h"
#include "sitefiles/site_file_extraction.h"

#include <QList>
#include <QString>
#include <functional>
#include <utility>

// Where a site file may send requests: its home address and the hosts it
// lists, each moved by its setting when set ("Hote-<id>", "Hote-<id>-<name>").
class SiteFileHosts
{
public:
    // `address` reads a setting; empty when it is not set.
    SiteFileHosts(const SiteFile &site, const std::function<QString(const QString &)> &address);

    QString home() const { return m_home; }
    // "{home}" and each "{host.NAME}", for templates.
    SiteTemplateValues values() const;
    // An address a template or a field gave, made absolute against the home
    // address when it is relative.
    QString resolved(const QString &address) const;
    // An http or https address on the home host or a listed one (name and port).
    bool allows(const QString &address) const;

    static QString settingName(const SiteFile &site, const QString &host = {});

private:
    QString m_home;
    QList<std::pair<QString, QString>> m_hosts; // name and address
    QList<std::pair<QString, int>> m_allowed;   // host, in lower case, and port
};
