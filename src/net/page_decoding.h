#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// Turns the bytes of a fetched page into text. The charset comes from the
// reply's Content-Type header, else from a meta tag near the top of the page;
// without either, valid UTF-8 is read as UTF-8 and anything else as
// Windows-1252, which is what the French sites served for years.
QString OctetsVersTexte(const QByteArray &bytes, QByteArrayView contentType = {});

// The charset named in a Content-Type value or in the page's own meta tag,
// lower-cased; empty when neither names one.
QByteArray declaredCharset(const QByteArray &bytes, QByteArrayView contentType = {});

// The byte that stands for `c` in Windows-1252, the code page of the sites'
// forms and pages; nothing when the code page lacks the character.
std::optional<char> windows1252Byte(char32_t c);
