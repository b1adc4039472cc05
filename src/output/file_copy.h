#pragma once

#include <QString>

// Copies `source` over `destination`, which changes only once the whole copy
// is there: the earlier file stays whole when the copy fails, and a failed
// copy leaves nothing behind. False when nothing was copied; `problem` then
// says why, when it is known.
bool copyReplacing(const QString &source, const QString &destination, QString *problem = nullptr);
