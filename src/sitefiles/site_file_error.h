#pragma once

#include <QString>

// One thing wrong in a site file, where it is: line and column counted from 1,
// the key path written "search.fields.title.filters[1]" (empty for the whole file).
struct SiteFileError
{
    QString file;
    int line = 1;
    int column = 1;
    QString keyPath;
    QString message;

    // "FILE:LINE:COLUMN: KEY.PATH: what is wrong", the key path left out when empty.
    QString text() const;
};
