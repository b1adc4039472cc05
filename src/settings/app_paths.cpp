#include "settings/app_paths.h"

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

} // namespace AppPaths
