#pragma once

#include <QString>

// Where the program keeps its files. All of them follow XDG_CONFIG_HOME and
// XDG_CACHE_HOME, so nothing is written outside them when they are set.
namespace AppPaths {

// The settings file (elsewhere than on Windows, where the registry is used).
QString settingsFile();

// The per-user cache folder of the program.
QString cacheRoot();

// The folder of fetched pictures and jackets, emptied at exit; ends with "/".
QString DossierTemp();

// The HTTP cache of the fetcher; kept between sessions, apart from DossierTemp.
QString httpCache();

} // namespace AppPaths
