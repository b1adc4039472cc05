#pragma once

#include "sitefiles/site_file.h"
#include "sitefiles/site_file_error.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A site file read and checked. Any error makes the whole file unusable; every
// error found is listed, in file order, so one pass shows all that is wrong.
struct SiteFileReading
{
    SiteFile site;
    QList<SiteFileError> errors;

    bool usable() const { return errors.isEmpty(); }
};

// Reads the file at `path`; one that cannot be read is an error at 1:1.
SiteFileReading readSiteFile(const QString &path);

// The same for bytes already read, `path` naming them in the errors.
SiteFileReading readSiteText(const QByteArray &bytes, const QString &path);
