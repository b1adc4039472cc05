#pragma once

#include "net/download.h"
#include "net/post_reply.h"
#include "net/wake_up.h"

#include <QCoro/QCoroTask>

#include <QByteArray>
#include <QObject>
#include <QString>

struct ProgramState;
class QSslSocket;
class QUrl;

// The search form of the two sites that only answer a POST (and of a site
// file that posts its own), written by hand
// over a socket: plain, or TLS for an https address (then straight to the
// site: the program's proxy only carries plain requests). The reply, headers included, is collected until it is
// whole (its closing HTML tag, or all that its headers declare), the
// connection ends, or a read's time limit has passed. A reply past a page's
// size cap is a failure: nothing of it is kept. One exchange at a time: each
// site's search has its own.
class FormPost : public QObject
{
    Q_OBJECT

public:
    explicit FormPost(ProgramState &state, QObject *parent = nullptr);
    ~FormPost() override;

    // A read's limits: its time limit and the page cap. Tests shorten them.
    void setTiming(const Download::Timing &timing) { m_timing = timing; }
    void setCaps(const Download::Caps &caps) { m_caps = caps; }

    // Connects to the site of `siteAddress` (its host and port; to the
    // program's proxy when one is set), sends the request of `SitePost`
    // ("AllDivX" or "CoverComoz") with `TitrePost` in its body, and returns
    // what arrived once the reply is complete, the connection has ended
    // (refused, failed or closed by either side), the time limit has passed
    // or close() was called. An exchange still open is dropped first.
    QCoro::Task<QString> exchange(const QString &SitePost, const QString &TitrePost, const QString &siteAddress);
    // The same for a form known only at run time: `body`, already escaped, posted to `address`.
    QCoro::Task<QString> exchange(const QUrl &address, const QByteArray &body);

    // Ends the exchange under way; nothing happens when none is.
    void close();
    bool isClosed() const;

    // How the last exchange ended, for the search's report: the status of
    // the answer (0 when no status line came), whether it was given up at the
    // time limit or dropped at the size cap, what the connection said when it failed.
    int status() const { return m_status; }
    bool gaveUp() const { return m_gaveUp; }
    bool tooLarge() const { return m_tooLarge; }
    QString failure() const { return m_failure; }
    qint64 bytesRead() const { return m_bytesRead; }

    // Set once the reply is complete; cleared by a new exchange.
    bool PostTermine() const { return m_postTermine; }
    QString SitePost() const { return m_sitePost; }
    QString TitrePost() const { return m_titrePost; }

signals:
    // The exchange is over: complete, refused, failed or closed.
    void finished();

private:
    void begin(const QString &SitePost, const QString &TitrePost);
    void post(const QString &siteAddress);
    void send(const QUrl &site, QString target, const QByteArray &body);
    // Waits until the exchange is over, and gives what arrived.
    QCoro::Task<QString> reply();
    void sendRequest();
    void collectReply();
    void endExchange();

    ProgramState &m_state;
    QSslSocket *m_socket;
    Download::Timing m_timing;
    Download::Caps m_caps;
    WakeTimers m_timers;
    WakeUp *m_wake = nullptr;
    QString m_sitePost;
    QString m_titrePost;
    QByteArray m_request;
    PostReply m_reply;
    bool m_postTermine = false;
    bool m_ended = true;
    quint64 m_exchange = 0; // counts the exchanges, so that a late wake-up finds its own
    int m_status = 0;
    bool m_gaveUp = false;
    bool m_tooLarge = false;
    QString m_failure;
    qint64 m_bytesRead = 0;
};
