#pragma once

#include "core/result_entry.h"
#include "net/page_decoding.h"
#include "site_test.h"
#include "text/text_utils.h"

#include <QString>
#include <ostream>

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
