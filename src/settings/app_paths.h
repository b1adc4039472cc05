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

// The site files shipped with the program, and the made-up sites'
// files of pellicam-sample-sites: beside the programs, under
// ../share/pellicam/, installed or in the build tree alike.
QString shippedSiteFiles();
QString sampleSiteFiles();

// The user's own site files; they replace shipped ones of the same id.
QString userSiteFiles();

} // namespace AppPaths
