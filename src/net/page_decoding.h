#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Turns the bytes of a fetched page into text. The charset comes from the
// reply's Content-Type header, else from a meta tag near the top of the page;
// without either, valid UTF-8 is read as UTF-8 and anything else as
// Windows-1252, which is what the French sites served for years.
QString OctetsVersTexte(const QByteArray &bytes, QByteArrayView contentType = {});

// The charset named in a Content-Type value or in the page's own meta tag,
// lower-cased; empty when neither names one.
QByteArray declaredCharset(const QByteArray &bytes, QByteArrayView contentType = {});
