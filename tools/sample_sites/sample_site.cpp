#include "sample_site.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

QString decodeComponent(QByteArrayView component)
{
    QByteArray bytes = component.toByteArray();
    bytes.replace('+', ' ');
    bytes = QByteArray::fromPercentEncoding(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

QString SampleSite::Request::value(const QString &name) const
{
    for (const auto &item : query)
        if (item.first == name)
            return item.second;
    return {};
}

QList<QPair<QString, QString>> SampleSite::parseQuery(QByteArrayView query)
{
    QList<QPair<QString, QString>> items;
    const QList<QByteArray> parts = query.toByteArray().split('&');
    for (const QByteArray &part : parts) {
        if (part.isEmpty())
            continue;
        const qsizetype equals = part.indexOf('=');
        if (equals < 0)
            items.append({decodeComponent(part), QString()});
        else
            items.append({decodeComponent(part.left(equals)), decodeComponent(part.mid(equals + 1))});
    }
    return items;
}

FixtureServer::Reply SampleSite::html(const QString &page, const QByteArray &charset)
{
    FixtureServer::Reply reply;
    reply.contentType = "text/html; charset=" + charset;
    QStringEncoder encoder(charset.constData());
    reply.body = encoder.isValid() ? QByteArray(encoder.encode(page)) : page.toUtf8();
    return reply;
}

FixtureServer::Reply SampleSite::jpeg(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return notFound();
    FixtureServer::Reply reply;
    reply.contentType = "image/jpeg";
    reply.body = bytes;
    return reply;
}

FixtureServer::Reply SampleSite::pdf(const QByteArray &bytes)
{
    FixtureServer::Reply reply;
    reply.contentType = "application/pdf";
    reply.body = bytes;
    return reply;
}

FixtureServer::Reply SampleSite::notFound()
{
    FixtureServer::Reply reply;
    reply.status = 404;
    reply.body = "<html><head><title>404 Not Found</title></head>"
                 "<body><h1>Not Found</h1></body></html>";
    return reply;
}
