#pragma once

#include "sitefiles/site_file.h"

#include <QHash>
#include <QJsonValue>
#include <QList>
#include <QString>

// The pure passes of a site file over a page: rows, fields, filters and
// templates. Nothing here reads the network; a failure leaves a value empty.

// One row of a result page: its text, or its JSON element for a json answer.
struct SiteRow
{
    QString text;
    QJsonValue json;
};

// A value found, and whether finding it failed (a marker or expression found
// nothing, or a match gave up at its limit): the step log says which.
struct SiteValue
{
    QString text;
    bool failed = false;
    QString found; // before the filters
};

// Placeholder name to value: "title", "page", "home", "host.images", a hit's fields.
using SiteTemplateValues = QHash<QString, QString>;

namespace SiteFileExtraction {

// The rows of `page`, cut as the file says. When none could be cut, `why`
// names the key whose marker, expression or path found nothing.
QList<SiteRow> rows(const QString &page, const SiteFile &site, QString *why = nullptr);

// A field of `row`, filtered; `pageUrl` is what `absolute` resolves against.
SiteValue field(const SiteExtractor &extractor, const SiteRow &row, const SiteTemplateValues &values,
                const QString &pageUrl);

QString filtered(QString value, const QList<SiteFilter> &filters, const QString &pageUrl);

// The value at a JSON path ("data.results", "images[2].large", "[0].films").
QJsonValue at(const QJsonValue &root, const QString &path);

// `templ` with its placeholders replaced; "{{" and "}}" write a brace.
QString expand(const QString &templ, const SiteTemplateValues &values);

// The typed title as a request carries it: what would change an address or a
// form is always percent-escaped, other non-ASCII characters as `charset` says.
QString escapedTitle(const QString &typed, SiteRequest::Charset charset);

// A year that is no number leaves the year unknown (0).
qint16 year(const QString &text);

} // namespace SiteFileExtraction
