#include "settings/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace AppPaths {

QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Pellicam/Pellicam.ini");
}

QString cacheRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/Pellicam");
}

QString DossierTemp()
{
    return cacheRoot() + QStringLiteral("/Temp/");
}

QString httpCache()
{
    return cacheRoot() + QStringLiteral("/Http");
}

QString shippedSiteFiles()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/pellicam/sites"));
}

QString sampleSiteFiles()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/pellicam/sample-sites"));
}

QString userSiteFiles()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Pellicam/sites");
}

} // namespace AppPaths
