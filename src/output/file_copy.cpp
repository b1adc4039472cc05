#include "output/file_copy.h"

#include <QFile>
#include <QSaveFile>

bool copyReplacing(const QString &source, const QString &destination, QString *problem)
{
    constexpr qint64 kChunk = 1 << 20;
    const auto fail = [problem](const QFileDevice &file) {
        if (problem)
            *problem = file.errorString();
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(in);
    // Written beside the target and renamed over it in one step.
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            return fail(chunk.isEmpty() ? static_cast<QFileDevice &>(in) : out);
        }
    }
    return out.commit() || fail(out);
}
