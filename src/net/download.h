#pragma once

#include <QCoro/QCoroTask>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

#include "net/wake_up.h"

struct ProgramState;
class QNetworkDiskCache;
class QNetworkReply;

// The one fetcher behind every HTTP GET of the program. Each read has a
// purpose, which decides its size cap, its cache options and what is kept:
// a page's or a text's bytes, a picture's, or a file written whole. Only http
// and https addresses are read: any other is a read that failed at once.
class Download : public QObject
{
    Q_OBJECT

public:
    enum class Purpose {
        Page,       // a site's page
        Thumbnail,  // a hit's thumbnail
        Save,       // a full picture or PDF, written to a file when it is what its name says
        Banner,     // the maker's banner picture
        BannerText, // the banner's link
        UpdateFile, // the maker's version file
    };

    // How the one who starts a read waits for it.
    enum class Waiting {
        None,
        Done,           // until it ends, asked for again after a while, up to the time limit
        DoneThenSettle, // as Done; if it is not done, then the settle time since its start
        Settle,         // the settle time since its start: several may be in flight
    };

    // The program's limits; tests shorten them.
    struct Timing
    {
        int reissueMs = 3000; // a waited read not done by then is asked for once more
        int limitMs = 20000;  // a waited read gives up then (the read itself goes on)
        int pauseMs = 370;    // the settle wait after a thumbnail
    };

    // The most bytes a reply may bring; past them the read fails. Tests lower them.
    struct Caps
    {
        qint64 pageBytes = 16 * 1024 * 1024;    // a page, a text, or a form post's answer
        qint64 pictureBytes = 64 * 1024 * 1024; // a picture, a PDF, a banner
    };

    // How a read ended.
    struct Outcome
    {
        bool ok = false;        // a 2xx answer (for a Save: and the file is written)
        bool answered = false;  // a status line came
        bool timedOut = false;  // the waiter gave up at the time limit
        int status = 0;         // the HTTP status, 0 when none came
        bool tooLarge = false;  // dropped at its size cap
        QString error;          // what the network said, when no status came
        QByteArray body;        // empty when the read failed
        QByteArray contentType;
        QString text() const;   // the body decoded as a page
    };

    using Ticket = quint64;
    using Delivery = std::function<void(const Outcome &)>;
    // Whether a read may follow a redirect to this address; a refused one fails.
    using RedirectCheck = std::function<bool(const QUrl &)>;

    // Read options of the "Connexion" setting, as stored in ModeConnexion.
    static constexpr int kSynchronous = 1;
    static constexpr int kOffline = 8;
    static constexpr int kForceUpdate = 16;
    static constexpr int kResynchronise = 512;
    static constexpr int kCacheIfNetworkFails = 524288;

    Download(ProgramState &state, const QString &cacheFolder, QObject *parent = nullptr);
    ~Download() override;

    void setTiming(const Timing &timing) { m_timing = timing; }
    const Timing &timing() const { return m_timing; }
    void setCaps(const Caps &caps) { m_caps = caps; }
    const Caps &caps() const { return m_caps; }
    ProgramState &state() const { return m_state; }
    // Where the reads go and the time their waits run on; both stay the
    // caller's and must outlive this. Set before the first read.
    void setNetwork(QNetworkAccessManager *network);
    void setClock(WaitClock *clock) { m_clock = clock; }

    // Starts reading `url`; `deliver` gets its outcome once it ends, unless it
    // is cancelled first. A Save writes to `savePath`.
    Ticket start(const QString &url, Purpose purpose, Delivery deliver = {}, const QString &savePath = {},
                 RedirectCheck redirects = {});
    // Waits for a started read as `waiting` says; true when it ended meanwhile.
    QCoro::Task<bool> wait(Ticket ticket, Waiting waiting);
    // Starts a read and waits until it ends or is given up (then `timedOut`).
    QCoro::Task<Outcome> fetch(const QString &url, Purpose purpose, const QString &savePath = {},
                               RedirectCheck redirects = {});
    // Drops a read: it delivers nothing and its waits end now.
    void cancel(Ticket ticket);
    // Drops every read: the program is closing.
    void cancelAll();
    bool inFlight(Ticket ticket) const { return m_tickets.contains(ticket); }

signals:
    // Any read ended, also one that failed.
    void readFinished();

private:
    struct Read
    {
        Ticket ticket = 0; // shared by a read and its re-issue
        QUrl url;
        Purpose purpose = Purpose::Page;
        QString savePath;
        int options = 0;
        bool fromCache = false; // the second try of "from the cache when the network fails"
        bool tooLarge = false;  // given up at its size cap
        RedirectCheck redirects; // none: Qt's own policy
    };
    // Per ticket: its replies still out, whether one delivered, who gets the outcome.
    struct TicketState
    {
        int inFlight = 0;
        bool delivered = false;
        Delivery deliver;
        qint64 startedMs = 0;
        int options = 0;
    };
    struct Waiter
    {
        Ticket ticket = 0;
        WakeUp *wake = nullptr;
        bool ended = false;
    };

    QCoro::Task<bool> waitFor(Ticket ticket, int timeoutMs, bool reissue);
    // Takes its read by value: the one passed may live in m_reads, which the insert moves.
    void issue(Read read);
    void watchSize(QNetworkReply *reply, qint64 cap);
    void applyProxy();
    void onFinished(QNetworkReply *reply);
    // Aborts every reply still out for `ticket`; none of them delivers.
    void dropReplies(Ticket ticket);
    void endTicket(Ticket ticket);
    Outcome outcomeOf(const Read &read, QNetworkReply *reply, bool ok);

    ProgramState &m_state;
    QNetworkAccessManager m_manager;
    QNetworkAccessManager *m_network = &m_manager;
    QNetworkDiskCache *m_cache = nullptr;
    QHash<QNetworkReply *, Read> m_reads;
    QHash<Ticket, TicketState> m_tickets;
    QMultiHash<Ticket, Waiter *> m_waiters;
    WakeTimers m_timers;
    WaitClock *m_clock = &m_timers;
    Timing m_timing;
    Caps m_caps;
    Ticket m_nextTicket = 1;
    QNetworkProxy m_appliedProxy;
};
