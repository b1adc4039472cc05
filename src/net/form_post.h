#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

struct ProgramState;
class QTcpSocket;

// The search form of the two sites that only answer a POST, written by hand
// over a plain socket. The reply, headers included, is collected into
// PageHtml until its closing HTML tag arrives or the connection ends.
class FormPost : public QObject
{
    Q_OBJECT

public:
    explicit FormPost(ProgramState &state, QObject *parent = nullptr);
    ~FormPost() override;

    // Empties PageHtml and connects to the site of `siteAddress` (its host and
    // port; to the program's proxy when one is set). The request of
    // `SitePost` ("AllDivX" or "CoverComoz") with `TitrePost` in its body
    // goes out once connected. An exchange still open is dropped first.
    void post(const QString &SitePost, const QString &TitrePost, const QString &siteAddress);

    // Yields until the reply is complete, the connection has ended (refused,
    // failed or closed by either side), the user asked to stop or the program
    // is closing. PageHtml then holds what arrived.
    void waitForReply();

    // Ends the exchange under way; nothing happens when none is.
    void close();
    bool isClosed() const;

    // Set once the reply so far holds "</html>", in any case; cleared by post().
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
    QString replyText() const;

    ProgramState &m_state;
    QTcpSocket *m_socket;
    QString m_sitePost;
    QString m_titrePost;
    QByteArray m_request;
    QByteArray m_reply;
    qsizetype m_tagSearchFrom = 0;
    bool m_postTermine = false;
    bool m_ended = true;
};
