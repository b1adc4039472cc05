#pragma once

#include <QString>

// Turns the title box's text into what a site's search address or form
// expects, by the site's own list of steps. `site` is the site's display name
// as hits carry it ("AlloCiné", "Vintage Movie Poster", ...); a site without
// a list gets the text as typed.
QString prepareTitle(const QString &site, const QString &typed);
