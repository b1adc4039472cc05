#include "sites/site_adapter.h"

#include "text/text_helpers.h"

QString SiteAdapter::piece(QStringView text, qsizetype start, qsizetype length)
{
    return length < 0 ? QString() : text::mid(text, start, length);
}

qint16 SiteAdapter::yearValue(QStringView text)
{
    const int year = text::intValue(text, 0);
    return year >= -32768 && year <= 32767 ? qint16(year) : qint16(0);
}
