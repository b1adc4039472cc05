#include "net/page_decoding.h"

#include <QStringDecoder>

namespace {

// Only the head of a page is looked at for a meta tag, as browsers do.
constexpr qsizetype kMetaScanBytes = 4096;

// Windows-1252 differs from Latin-1 in 0x80-0x9F only; 0 marks its holes,
// which are kept as their Latin-1 control characters.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const char16_t mapped = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : 0;
        *out++ = QChar(mapped ? mapped : char16_t(b));
    }
    return text;
}

bool isCharsetChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':'
        || c == '.';
}

// The value of the first "charset=" in an already lower-cased text.
QByteArray charsetAfter(QByteArrayView lower)
{
    for (qsizetype at = lower.indexOf("charset"); at >= 0; at = lower.indexOf("charset", at + 1)) {
        qsizetype i = at + 7;
        while (i < lower.size() && lower[i] == ' ')
            ++i;
        if (i >= lower.size() || lower[i] != '=')
            continue;
        ++i;
        while (i < lower.size() && (lower[i] == ' ' || lower[i] == '\'' || lower[i] == '"'))
            ++i;
        const qsizetype start = i;
        while (i < lower.size() && isCharsetChar(lower[i]))
            ++i;
        return lower.sliced(start, i - start).toByteArray();
    }
    return {};
}

QByteArray metaCharset(const QByteArray &bytes)
{
    const QByteArray head = bytes.left(kMetaScanBytes).toLower();
    for (qsizetype meta = head.indexOf("<meta"); meta >= 0; meta = head.indexOf("<meta", meta + 1)) {
        qsizetype end = head.indexOf('>', meta);
        if (end < 0)
            end = head.size();
        const QByteArray charset = charsetAfter(QByteArrayView(head).sliced(meta, end - meta));
        if (!charset.isEmpty())
            return charset;
    }
    return {};
}

bool isUtf8Label(QByteArrayView charset)
{
    return charset == "utf-8" || charset == "utf8";
}

// Labels that browsers read as Windows-1252, Latin-1 among them.
bool isWindows1252Label(QByteArrayView charset)
{
    static constexpr const char *kLabels[] = {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1",
                                              "iso8859-1", "latin1", "l1", "us-ascii", "ascii"};
    for (const char *label : kLabels)
        if (charset == label)
            return true;
    return false;
}

QString withoutByteOrderMark(QString text)
{
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

QByteArray declaredCharset(const QByteArray &bytes, QByteArrayView contentType)
{
    const QByteArray fromHeader = charsetAfter(contentType.toByteArray().toLower());
    return fromHeader.isEmpty() ? metaCharset(bytes) : fromHeader;
}

QString OctetsVersTexte(const QByteArray &bytes, QByteArrayView contentType)
{
    if (bytes.isEmpty())
        return {};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return withoutByteOrderMark(QString::fromUtf8(bytes));

    const QByteArray charset = declaredCharset(bytes, contentType);
    if (isUtf8Label(charset))
        return QString::fromUtf8(bytes);
    if (isWindows1252Label(charset))
        return fromWindows1252(bytes);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid()) {
            const QString text = decoder.decode(bytes);
            if (!decoder.hasError())
                return withoutByteOrderMark(text);
        }
    }

    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

std::optional<char> windows1252Byte(char32_t c)
{
    // The code page's holes stand for themselves, as fromWindows1252 reads them.
    if (c < 0x80 || (c >= 0xA0 && c < 0x100) || (c < 0xA0 && kCp1252High[c - 0x80] == 0))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == c)
            return char(0x80 + i);
    return std::nullopt;
}
