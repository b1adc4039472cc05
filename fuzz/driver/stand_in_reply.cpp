#include "stand_in_reply.h"

#include <cstring>

StandInReply::StandInReply(const QNetworkRequest &request, QObject *parent) : QNetworkReply(parent)
{
    setRequest(request);
    setUrl(request.url());
    setOperation(QNetworkAccessManager::GetOperation);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void StandInReply::answer(int status, const QByteArray &body, const QByteArray &contentType)
{
    if (isFinished())
        return;
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, status);
    setHeader(QNetworkRequest::ContentLengthHeader, body.size());
    if (!contentType.isEmpty())
        setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    m_body = body;
    emit metaDataChanged();
    if (!m_body.isEmpty())
        emit readyRead();
    // As Qt's HTTP replies: a status of 400 or more is also an error.
    if (status >= 400)
        end(status == 404 ? ContentNotFoundError : UnknownContentError, QStringLiteral("HTTP %1").arg(status));
    else
        end(NoError, {});
}

void StandInReply::fail()
{
    end(ConnectionRefusedError, QStringLiteral("Connection refused"));
}

void StandInReply::abort()
{
    m_body.clear();
    end(OperationCanceledError, QStringLiteral("Operation canceled"));
}

void StandInReply::end(NetworkError error, const QString &reason)
{
    if (isFinished())
        return;
    setFinished(true);
    if (error != NoError) {
        setError(error, reason);
        emit errorOccurred(error);
    }
    emit finished();
}

qint64 StandInReply::bytesAvailable() const
{
    return m_body.size() + QNetworkReply::bytesAvailable();
}

qint64 StandInReply::readData(char *data, qint64 maxSize)
{
    const qint64 size = qMin<qint64>(maxSize, m_body.size());
    std::memcpy(data, m_body.constData(), size_t(size));
    m_body.remove(0, size);
    return size;
}
