#include "stand_in_network.h"

QList<StandInReply *> StandInNetwork::openReplies()
{
    m_replies.removeIf([](const QPointer<StandInReply> &reply) { return !reply || reply->isFinished(); });
    QList<StandInReply *> open;
    for (const QPointer<StandInReply> &reply : std::as_const(m_replies))
        open.append(reply);
    return open;
}

QNetworkReply *StandInNetwork::createRequest(Operation, const QNetworkRequest &request, QIODevice *)
{
    auto *reply = new StandInReply(request, this);
    m_replies.append(reply);
    return reply;
}
