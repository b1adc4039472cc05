#pragma once

#include <QByteArray>
#include <QNetworkReply>

// A reply that no socket feeds: it stays open until its owner answers it or
// makes it fail, and an abort ends it as Qt's own do, with an error and finished().
class StandInReply : public QNetworkReply
{
public:
    StandInReply(const QNetworkRequest &request, QObject *parent = nullptr);

    // A status line, then `body`, then the end.
    void answer(int status, const QByteArray &body, const QByteArray &contentType = {});
    // No answer at all: the host could not be reached.
    void fail();
    void abort() override;
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;

private:
    void end(NetworkError error, const QString &reason);

    QByteArray m_body;
};
