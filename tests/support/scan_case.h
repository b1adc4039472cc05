#pragma once

#include "core/result_entry.h"
#include "net/page_decoding.h"
#include "site_test.h"
#include "text/text_utils.h"

#include <QList>
#include <QString>
#include <functional>
#include <ostream>

// One row of the scan suite: a site's pure scan run on a page, and the hits it must give.
struct ScanCase
{
    const char *name; // letters, digits and underscores: it names the test
    std::function<QList<ResultEntry>()> scan;
    QList<ResultEntry> expected;
};

inline void PrintTo(const ScanCase &row, std::ostream *os)
{
    *os << row.name;
}

inline void PrintTo(const ResultEntry &hit, std::ostream *os)
{
    *os << '{' << hit.Title.toStdString() << ", " << hit.Year << ", " << hit.Key.toStdString() << ", "
        << hit.Extra.toStdString() << ", " << hit.Site.toStdString() << '}';
}

// A page as a search reads it: decoded by its charset, then its markup.
inline QString pageAsRead(const QByteArray &bytes)
{
    QString page = OctetsVersTexte(bytes);
    DecodeHtml(page);
    return page;
}

// A fixture page as a search reads it.
inline QString fixturePage(const char *folder, const char *name)
{
    return pageAsRead(fixtureFile(QString::fromLatin1(folder), QString::fromLatin1(name)));
}

// A hit written out: title, year, key, extra, site.
inline ResultEntry hitOf(const QString &title, int year, const QString &key, const QString &extra, const QString &site)
{
    ResultEntry entry;
    entry.Title = title;
    entry.Year = qint16(year);
    entry.Key = key;
    entry.Extra = extra;
    entry.Site = site;
    return entry;
}
