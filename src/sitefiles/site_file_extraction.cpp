#include "sitefiles/site_file_extraction.h"

#include "net/page_decoding.h"
#include "text/text_helpers.h"
#include "text/text_utils.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

namespace SiteFileExtraction {
namespace {

// No page gives more rows than the list holds hits.
constexpr qsizetype kMaxRows = 100;

// The text between the first `start` at or after `from` and the next `end`;
// `next` is where the search goes on. Empty (and `next` -1) when either is missing.
QString between(const QString &text, const QString &start, const QString &end, qsizetype from = 0,
                qsizetype *next = nullptr)
{
    if (next)
        *next = -1;
    const qsizetype s = text.indexOf(start, from);
    if (s < 0)
        return {};
    const qsizetype b = s + start.size();
    const qsizetype e = text.indexOf(end, b);
    if (e < 0)
        return {};
    if (next)
        *next = e + end.size();
    return text.mid(b, e - b);
}

// What a match names `group`, or the whole match when the expression has no such group.
QString captured(const QRegularExpressionMatch &match, const QString &group)
{
    return match.regularExpression().namedCaptureGroups().contains(group) ? match.captured(group) : match.captured(0);
}

QString textOf(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double: {
        const double number = value.toDouble();
        return number == double(qint64(number)) ? QString::number(qint64(number)) : QString::number(number);
    }
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return {};
    }
}

QString percentEscaped(const QByteArray &bytes)
{
    QString escapes;
    for (const char b : bytes)
        escapes += u'%' + QString::number(uchar(b), 16).rightJustified(2, u'0').toUpper();
    return escapes;
}

// Characters that would end a field, add one, or move to another part of an address.
bool changesRequest(char32_t c)
{
    return c <= u' ' || c == 0x7F || QStringView(u"&#%+=?/\\\"'<>;").contains(QChar(c));
}

} // namespace

QList<SiteRow> rows(const QString &page, const SiteFile &site, QString *why)
{
    QList<SiteRow> found;
    QString failure;
    const SiteExtractor &each = site.rows.each;
    if (each.kind == SiteExtractor::Kind::Path) {
        const QJsonDocument document = QJsonDocument::fromJson(page.toUtf8());
        const QJsonValue root = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
        const QJsonValue list = at(root, each.path);
        const QJsonArray array = list.toArray();
        for (qsizetype i = 0; i < array.size() && i < kMaxRows; ++i)
            found.append({{}, array.at(i)});
        failure = document.isNull() ? QStringLiteral("search.rows.path: the answer is no JSON")
                  : list.isArray()  ? QStringLiteral("search.rows.path: the list at \"%1\" is empty").arg(each.path)
                                    : QStringLiteral("search.rows.path: no list at \"%1\"").arg(each.path);
    } else {
        qsizetype end = 0;
        const QString text = site.rows.within ? between(page, site.rows.within->first, site.rows.within->second, 0, &end)
                                              : page;
        if (each.kind == SiteExtractor::Kind::Between) {
            // Each row must move on: empty markers would find the same one for ever.
            for (qsizetype from = 0, next = 0; found.size() < kMaxRows; from = next) {
                const QString row = between(text, each.start, each.end, from, &next);
                if (next <= from)
                    break;
                found.append({row, {}});
            }
            failure = QStringLiteral("search.rows.between: no text between \"%1\" and \"%2\"").arg(each.start, each.end);
        } else {
            for (auto matches = each.regex.globalMatch(text); matches.hasNext() && found.size() < kMaxRows;)
                found.append({captured(matches.next(), QStringLiteral("row")), {}});
            failure = QStringLiteral("search.rows.regex: the expression matches nothing");
        }
        if (end < 0)
            failure = QStringLiteral("search.rows.within: no text between \"%1\" and \"%2\"")
                          .arg(site.rows.within->first, site.rows.within->second);
    }
    if (why)
        *why = found.isEmpty() ? failure : QString();
    return found;
}

SiteValue field(const SiteExtractor &extractor, const SiteRow &row, const SiteTemplateValues &values,
                const QString &pageUrl)
{
    SiteValue value;
    switch (extractor.kind) {
    case SiteExtractor::Kind::Between: {
        qsizetype next = 0;
        value.text = between(row.text, extractor.start, extractor.end, 0, &next);
        value.failed = next < 0;
        break;
    }
    case SiteExtractor::Kind::Regex: {
        // A match that gives up at its limit has no match, as one that found nothing.
        const QRegularExpressionMatch match = extractor.regex.match(row.text);
        value.failed = !match.hasMatch();
        value.text = captured(match, QStringLiteral("value"));
        break;
    }
    case SiteExtractor::Kind::Path: {
        const QJsonValue found = at(row.json, extractor.path);
        value.failed = found.isUndefined();
        value.text = textOf(found);
        break;
    }
    case SiteExtractor::Kind::Value:
        value.text = expand(extractor.templ, values);
        break;
    }
    value.found = value.text;
    value.text = filtered(value.text, extractor.filters, pageUrl);
    return value;
}

QString filtered(QString value, const QList<SiteFilter> &filters, const QString &pageUrl)
{
    using Kind = SiteFilter::Kind;
    for (const SiteFilter &filter : filters) {
        switch (filter.kind) {
        case Kind::Trim:
            value = value.trimmed();
            break;
        case Kind::DecodeHtml:
            DecodeHtml(value);
            break;
        case Kind::DecodeUrl:
            value = QUrl::fromPercentEncoding(value.toUtf8());
            break;
        case Kind::Lower:
            value = value.toLower();
            break;
        case Kind::Upper:
            value = value.toUpper();
            break;
        case Kind::Absolute:
            if (!value.isEmpty())
                value = QUrl(pageUrl).resolved(QUrl(value)).toString(QUrl::FullyEncoded);
            break;
        case Kind::Replace:
            value.replace(filter.text, filter.with);
            break;
        case Kind::RegexReplace:
            value.replace(filter.regex, filter.with);
            break;
        case Kind::Prepend:
            value.prepend(filter.text);
            break;
        case Kind::Append:
            value.append(filter.text);
            break;
        case Kind::Default:
            if (value.isEmpty())
                value = filter.text;
            break;
        }
    }
    return value;
}

QJsonValue at(const QJsonValue &root, const QString &path)
{
    static const QRegularExpression step(QStringLiteral("^([^\\[]*)((?:\\[\\d+\\])*)$"));
    static const QRegularExpression index(QStringLiteral("\\[(\\d+)\\]"));
    QJsonValue value = root;
    for (const QString &part : path.split(u'.', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = step.match(part);
        if (!match.hasMatch())
            return QJsonValue(QJsonValue::Undefined);
        if (!match.captured(1).isEmpty())
            value = value.toObject().value(match.captured(1));
        for (auto indexes = index.globalMatch(match.captured(2)); indexes.hasNext();)
            value = value.toArray().at(indexes.next().captured(1).toInt());
    }
    return value;
}

QString expand(const QString &templ, const SiteTemplateValues &values)
{
    QString out;
    for (qsizetype i = 0; i < templ.size(); ++i) {
        const QChar c = templ.at(i);
        if ((c == u'{' || c == u'}') && i + 1 < templ.size() && templ.at(i + 1) == c) {
            out += c;
            ++i;
        } else if (c == u'{') {
            const qsizetype close = templ.indexOf(u'}', i);
            if (close < 0)
                return out + templ.mid(i);
            out += values.value(templ.mid(i + 1, close - i - 1));
            i = close;
        } else {
            out += c;
        }
    }
    return out;
}

QString escapedTitle(const QString &typed, SiteRequest::Charset charset)
{
    QString out;
    for (const char32_t c : typed.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        const std::optional<char> byte = charset == SiteRequest::Charset::Windows1252 ? windows1252Byte(c) : std::nullopt;
        if (c >= 0x80)
            out += percentEscaped(byte ? QByteArray(1, *byte) : character.toUtf8());
        else if (changesRequest(c))
            out += percentEscaped(character.toLatin1());
        else
            out += character;
    }
    return out;
}

qint16 year(const QString &text)
{
    const int value = text::intValue(text, 0);
    return value >= -32768 && value <= 32767 ? qint16(value) : qint16(0);
}

} // namespace SiteFileExtraction
