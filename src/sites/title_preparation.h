#pragma once

#include <QString>
#include <QStringView>

// Turns the title box's text into what a site's search address or form
// expects, by the site's own list of steps. `site` is the site's display name
// as hits carry it ("AlloCiné", "Vintage Movie Poster", ...); a site without
// a list gets the text as typed.
QString prepareTitle(const QString &site, const QString &typed);

// The prepared title as it goes into a form body: a typed "&", "#", "%", "+"
// or "=" is percent-escaped so that it cannot end the field or add one.
QString titleForForm(const QString &site, const QString &typed);

// The prepared title as it goes into an address: escaped as for a form, and
// every other non-ASCII character percent-escaped as its Windows-1252 byte
// (UTF-8 for characters that code page lacks), as the sites' pages expect.
QString titleForAddress(const QString &site, const QString &typed);

// A piece of text put into an address as it is, escaped as titleForAddress does.
QString escapeForAddress(QStringView text);
