#pragma once

#include "core/result_entry.h"

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
