#pragma once

#include "core/result_entry.h"
#include "net/download.h"

#include <QCoro/QCoroTask>
#include <QString>
#include <functional>

class SettingsStore;

// Where a hit's full picture comes from, as its site says.
struct PictureSource
{
    QString url;              // empty: nothing to fetch (what is cached is shown)
    bool reuseCached = false; // a file already in the cache folder is not fetched again
    bool pdf = false;         // a printable jacket rather than a picture
};

// What a site's resolver may use to find a hit's full picture.
class PictureRequest
{
public:
    PictureRequest(const ResultEntry &hit, QString &fileName, const QString &cacheFolder,
                   Download &download, SettingsStore &settings,
                   std::function<QString(const QString &)> address);

    const ResultEntry &hit() const { return m_hit; }
    // The base name the picture is kept under in the cache folder; a site may add to it.
    QString &fileName() { return m_fileName; }
    // The cache file of the picture, with the extension of its kind.
    QString cachedPath(bool pdf = false) const;
    bool isCached(bool pdf = false) const;
    QString address(const QString &settingName) const;
    SettingsStore &settings() const { return m_settings; }
    // The redirects this picture's reads may follow: every one when unset.
    void checkRedirects(Download::RedirectCheck check) { m_redirects = std::move(check); }
    const Download::RedirectCheck &redirects() const { return m_redirects; }
    // Reads a page (a picture's own page), decoded; empty when it failed.
    QCoro::Task<QString> readPage(const QString &url);
    // The same, as the site sent it (entities and quotes left alone).
    QCoro::Task<QString> readRawPage(const QString &url);

private:
    const ResultEntry &m_hit;
    QString &m_fileName;
    QString m_cacheFolder;
    Download &m_download;
    SettingsStore &m_settings;
    std::function<QString(const QString &)> m_address;
    Download::RedirectCheck m_redirects;
};
