#pragma once

#include <QHash>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QUrl>

struct ProgramState;
class QNetworkDiskCache;
class QNetworkReply;

// The one fetcher behind every HTTP GET of the program. A read is labelled by a
// property name whose first four characters say what its completion does:
//   "Html"          the page text replaces PageHtml
//   "Thum" + slot   thumbnailArrived(slot, picture)
//   "Save" + path   the bytes are written to that file, when they are what its
//                   name says: a PDF for ".pdf", else a picture
//   "Bandeau"       bannerArrived(picture)
//   "ToolTipText"   bannerTextArrived(text)
//   "UpdateFile"    updateFileArrived(text)
// Only http and https addresses are read: any other is a failed read.
class Download : public QObject
{
    Q_OBJECT

public:
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
        qint64 pageBytes = 16 * 1024 * 1024;    // a page or a form post's answer
        qint64 pictureBytes = 64 * 1024 * 1024; // a picture, a PDF, a banner
    };

    // Read options of the "Connexion" setting, as stored in ModeConnexion.
    static constexpr int kSynchronous = 1;
    static constexpr int kOffline = 8;
    static constexpr int kForceUpdate = 16;
    static constexpr int kResynchronise = 512;
    static constexpr int kCacheIfNetworkFails = 524288;

    Download(ProgramState &state, const QString &cacheFolder, QObject *parent = nullptr);
    ~Download() override;

    void setTiming(const Timing &timing) { m_timing = timing; }
    void setCaps(const Caps &caps) { m_caps = caps; }

    // Reads `url`. With `AttenteFin` it returns once the read has completed, or
    // after the time limit; with `Pause` it returns once the read has completed or
    // the settle time since the start has passed. Nothing is reported: callers
    // look at the effect (PageHtml, a picture, a file).
    void Start(const QString &url, const QString &PName, bool jpg, bool AttenteFin = false,
               bool Pause = false);

    // Set when any read completes; cleared by every Start.
    bool Fini() const { return m_fini; }

    // From now on thumbnails of the reads started before are dropped, so a slow
    // picture of the last search never lands in a slot of this one.
    void newRun() { ++m_run; }

signals:
    void thumbnailRequested(int slot, const QString &url);
    void thumbnailArrived(int slot, const QImage &picture);
    void bannerArrived(const QImage &picture);
    void bannerTextArrived(const QString &text);
    // Empty when the read failed.
    void updateFileArrived(const QString &text);
    // A "Save" read ended; `written` says whether the file now holds the bytes.
    void saveFinished(const QString &path, bool written);
    // Any read ended, also one that failed.
    void readFinished();
    void ticketFinished(quint64 ticket, QPrivateSignal);

private:
    struct Read
    {
        quint64 ticket = 0; // shared by a read and its re-issue
        QUrl url;
        QString name;
        bool jpg = false;
        int options = 0;
        quint64 run = 0;
        bool fromCache = false; // the second try of "from the cache when the network fails"
        bool tooLarge = false;  // given up at its size cap
    };

    void issue(const Read &read);
    void watchSize(QNetworkReply *reply, qint64 cap);
    void fail(const Read &read);
    void applyProxy();
    void onFinished(QNetworkReply *reply);
    void complete(const Read &read, bool ok, const QByteArray &body, const QByteArray &contentType);
    bool waitForTicket(quint64 ticket, int timeoutMs, bool reissue);

    ProgramState &m_state;
    QNetworkAccessManager m_manager;
    QNetworkDiskCache *m_cache = nullptr;
    QHash<QNetworkReply *, Read> m_reads;
    // Per ticket: how many of its replies are still out, and whether one succeeded.
    struct TicketState
    {
        int inFlight = 0;
        bool succeeded = false;
    };
    QHash<quint64, TicketState> m_tickets;
    Timing m_timing;
    Caps m_caps;
    bool m_fini = false;
    quint64 m_nextTicket = 1;
    quint64 m_run = 0;
    quint64 m_latestPageTicket = 0;
    QNetworkProxy m_appliedProxy;
};
