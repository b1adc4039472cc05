#include "sitefiles/site_file_error.h"

QString SiteFileError::text() const
{
    const QString where = QStringLiteral("%1:%2:%3: ").arg(file).arg(line).arg(column);
    return where + (keyPath.isEmpty() ? QString() : keyPath + QStringLiteral(": ")) + message;
}
