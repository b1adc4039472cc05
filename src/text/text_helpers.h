#pragma once

#include <QString>
#include <QStringView>

// 1-based text positions, as every scraper counts them. None of these fails:
// a position that cannot be found is 0, a piece that cannot be cut is empty,
// a text that is not a number gives the fallback.
namespace text {

// Position of the first `what` at or after `from` (1-based), 0 when absent.
// A `from` below 1 or past the end finds nothing, nor does an empty `what`.
qsizetype find(QStringView text, QStringView what, qsizetype from = 1);

// Position of the last `what` that lies wholly within the first `from`
// characters (-1 or past the end: the whole text), 0 when absent. Any other `from`
// below 1 finds nothing, nor does an empty `what`.
qsizetype findLast(QStringView text, QStringView what, qsizetype from = -1);

// The `length` characters of `text` from position `start` (1-based), fewer at
// the end of the text; all of the rest when `length` is negative. A start past
// the end gives an empty text; a start below 1 gives an empty text too.
QString mid(QStringView text, qsizetype start, qsizetype length = -1);

// The integer that `text` holds (blanks around it allowed, an optional sign),
// or `fallback` when it holds anything else or does not fit in an int.
int intValue(QStringView text, int fallback = 0);

// Replaces every `before` by `after`, left to right, without overlap, in one
// linear pass. Leaves `text` as it is when `before` is empty.
void replaceAll(QString &text, QStringView before, QStringView after);

} // namespace text
