#pragma once

#include "stand_in_reply.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QPointer>

// A network with nobody on the other end: every GET gets a StandInReply that
// its owner answers, fails or leaves hanging.
class StandInNetwork : public QNetworkAccessManager
{
public:
    using QNetworkAccessManager::QNetworkAccessManager;

    // The replies not yet ended, oldest first.
    QList<StandInReply *> openReplies();

protected:
    QNetworkReply *createRequest(Operation operation, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private:
    QList<QPointer<StandInReply>> m_replies;
};
