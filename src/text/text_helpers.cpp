#include "text/text_helpers.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace text {

qsizetype find(QStringView text, QStringView what, qsizetype from)
{
    // An empty `what` is never found, so a scanning loop cannot stall on it.
    if (what.isEmpty() || from < 1 || from > text.size())
        return 0;
    return text.indexOf(what, from - 1) + 1;
}

qsizetype findLast(QStringView text, QStringView what, qsizetype from)
{
    if (what.isEmpty() || what.size() > text.size())
        return 0;
    if (from == -1 || from > text.size())
        from = text.size();
    else if (from < 1)
        return 0;
    return text.first(from).lastIndexOf(what) + 1;
}

QString mid(QStringView text, qsizetype start, qsizetype length)
{
    if (start < 1 || start > text.size())
        return {};
    const qsizetype rest = text.size() - (start - 1);
    return text.mid(start - 1, length < 0 ? rest : std::min(length, rest)).toString();
}

int intValue(QStringView text, int fallback)
{
    text = text.trimmed();
    if (text.isEmpty())
        return fallback;

    bool negative = false;
    if (text.front() == u'-' || text.front() == u'+') {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return fallback;

    // One more than INT_MAX so that INT_MIN still fits.
    const long long limit = static_cast<long long>(std::numeric_limits<int>::max()) + negative;
    long long value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return fallback;
        value = value * 10 + (c.unicode() - u'0');
        if (value > limit)
            return fallback;
    }
    return static_cast<int>(negative ? -value : value);
}

namespace {

bool pointsInto(QStringView part, const QString &text)
{
    const std::less<const QChar *> less;
    return !part.isEmpty() && !less(part.data(), text.constData())
           && less(part.data(), text.constData() + text.size());
}

// Qt hashes every character when the pattern is short, as ours are; jumping
// between first characters with its vectorised character search is faster.
qsizetype findFrom(QStringView text, QStringView what, qsizetype from)
{
    const QChar first = what.front();
    const QStringView rest = what.sliced(1);
    const qsizetype last = text.size() - what.size();
    while (from <= last) {
        from = text.indexOf(first, from);
        if (from < 0 || from > last)
            return -1;
        if (std::equal(rest.begin(), rest.end(), text.begin() + from + 1))
            return from;
        ++from;
    }
    return -1;
}

// Builds a new text, for replacements longer than what they replace.
void replaceGrowing(QString &text, QStringView before, QStringView after, qsizetype found)
{
    const QStringView source(text);
    QString result;
    result.reserve(source.size() + source.size() / 8);
    qsizetype done = 0;
    do {
        result.append(source.sliced(done, found - done));
        result.append(after);
        done = found + before.size();
        found = findFrom(source, before, done);
    } while (found >= 0);
    result.append(source.sliced(done));
    // `before` and `after` may point into `text`: it is only replaced now.
    text = std::move(result);
}

} // namespace

void replaceAll(QString &text, QStringView before, QStringView after)
{
    if (before.isEmpty())
        return;
    qsizetype found = findFrom(text, before, 0);
    if (found < 0)
        return;
    if (after.size() > before.size()) {
        replaceGrowing(text, before, after, found);
        return;
    }

    // Otherwise the text is compacted in place: the write position never
    // passes the read position, so what is still to be searched is intact,
    // and a page of many megabytes is neither copied nor reallocated per row.
    QString ownBefore;
    QString ownAfter;
    if (pointsInto(before, text))
        before = ownBefore = before.toString();
    if (pointsInto(after, text))
        after = ownAfter = after.toString();

    QChar *const chars = text.data();
    const QStringView source(chars, text.size());
    qsizetype read = found;
    qsizetype write = found;
    while (found >= 0) {
        if (write != read)
            std::copy(chars + read, chars + found, chars + write);
        write += found - read;
        std::copy(after.begin(), after.end(), chars + write);
        write += after.size();
        read = found + before.size();
        found = findFrom(source, before, read);
    }
    if (write != read)
        std::copy(chars + read, chars + source.size(), chars + write);
    text.truncate(write + (source.size() - read));
}

} // namespace text
