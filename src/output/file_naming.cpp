#include "output/file_naming.h"

#include "core/result_entry.h"
#include "core/result_list.h"

namespace {

const QString kForbidden = QStringLiteral("\\/:*?<>|\"");

// Room left for the extension and the digits that jackets append.
constexpr qsizetype kMaxNameBytes = 255 - 24;

QString cleaned(const QString &title)
{
    QString name;
    for (const QChar c : ResultList::displayTitle(title)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            continue;
        name += kForbidden.contains(c) ? QChar(u'-') : c;
    }
    return name;
}

// Drops whole characters from the end of `title` until the name fits.
QString shortened(QString title, const QString &rest)
{
    const qsizetype restBytes = rest.toUtf8().size();
    while (!title.isEmpty() && title.toUtf8().size() + restBytes > kMaxNameBytes) {
        title.chop(1);
        if (!title.isEmpty() && title.back().isHighSurrogate())
            title.chop(1);
    }
    return title;
}

} // namespace

QString composeFileName(const ResultEntry &hit)
{
    QString rest;
    if (hit.Year != 0)
        rest += QStringLiteral(" [") + QString::number(hit.Year) + QStringLiteral("] ");
    rest += QStringLiteral(" (") + hit.Site + u')';
    return shortened(cleaned(hit.Title), rest) + rest;
}
