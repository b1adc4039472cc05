#pragma once

#include "net/download.h"
#include "net/post_reply.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

struct ProgramState;
class QTcpSocket;

// The search form of the two sites that only answer a POST, written by hand
// over a plain socket. The reply, headers included, is collected into
// PageHtml until it is whole (its closing HTML tag, or all that its headers
// declare), the connection ends, or a read's time limit has passed. A reply
// past a page's size cap is a failure: nothing of it is kept.
class FormPost : public QObject
{
    Q_OBJECT

public:
    explicit FormPost(ProgramState &state, QObject *parent = nullptr);
    ~FormPost() override;

    // A read's limits: its time limit and the page cap. Tests shorten them.
    void setTiming(const Download::Timing &timing) { m_timing = timing; }
    void setCaps(const Download::Caps &caps) { m_caps = caps; }

    // Empties PageHtml and connects to the site of `siteAddress` (its host and
    // port; to the program's proxy when one is set). The request of
    // `SitePost` ("AllDivX" or "CoverComoz") with `TitrePost` in its body
    // goes out once connected. An exchange still open is dropped first.
    void post(const QString &SitePost, const QString &TitrePost, const QString &siteAddress);

    // Yields until the reply is complete, the connection has ended (refused,
    // failed or closed by either side), the time limit since post() has passed
    // (the exchange is then closed), the user asked to stop or the program is
    // closing. PageHtml then holds what arrived.
    void waitForReply();

    // Ends the exchange under way; nothing happens when none is.
    void close();
    bool isClosed() const;

    // Set once the reply is complete; cleared by post().
    bool PostTermine() const { return m_postTermine; }
    QString SitePost() const { return m_sitePost; }
    QString TitrePost() const { return m_titrePost; }

signals:
    // The exchange is over: complete, refused, failed or closed.
    void finished();

private:
    void sendRequest();
    void collectReply();
    void endExchange();

    ProgramState &m_state;
    QTcpSocket *m_socket;
    Download::Timing m_timing;
    Download::Caps m_caps;
    QElapsedTimer m_sincePost;
    QString m_sitePost;
    QString m_titrePost;
    QByteArray m_request;
    PostReply m_reply;
    bool m_postTermine = false;
    bool m_ended = true;
};
