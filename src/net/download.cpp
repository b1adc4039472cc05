#include "net/download.h"

#include "core/program_state.h"
#include "net/event_wait.h"
#include "net/page_decoding.h"

#include <QElapsedTimer>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QSaveFile>

namespace {

// The maker's reads (the banner's two, the update file) always resynchronise,
// whatever the user chose: a synchronous read would hold start-up.
constexpr int kMakerOptions = Download::kResynchronise;

// A reply that sends nothing for this long is given up, so a stalled server
// cannot keep a read (and its file) pending for the rest of the session.
constexpr int kTransferTimeoutMs = 60000;

const QByteArray kUserAgent = QByteArrayLiteral("Mozilla/5.0 (compatible; Pellicam)");

struct CachePolicy
{
    int options;
    QNetworkRequest::CacheLoadControl control;
};

// How each read option of the "Connexion" setting uses the disk cache. The
// last one goes to the network first and falls back on the cache (see onFinished).
constexpr CachePolicy kCachePolicies[] = {
    {Download::kSynchronous, QNetworkRequest::PreferNetwork},
    {Download::kOffline, QNetworkRequest::AlwaysCache},
    {Download::kForceUpdate, QNetworkRequest::AlwaysNetwork},
    {Download::kResynchronise, QNetworkRequest::PreferNetwork},
    {Download::kCacheIfNetworkFails, QNetworkRequest::PreferNetwork},
};

QNetworkRequest::CacheLoadControl cacheControlFor(int options)
{
    for (const CachePolicy &policy : kCachePolicies)
        if (policy.options == options)
            return policy.control;
    return QNetworkRequest::PreferNetwork;
}

bool isMakerRead(const QString &name)
{
    return name == u"Bandeau" || name == u"ToolTipText" || name == u"UpdateFile";
}

// Addresses come from pages: anything but the web (a local file, a FIFO...) is refused.
bool isWebAddress(const QUrl &url)
{
    return url.scheme() == u"http" || url.scheme() == u"https";
}

// The reads whose bytes become text; the others bring pictures and PDFs.
bool isTextRead(const QString &name)
{
    return name.startsWith(u"Html") || name == u"ToolTipText" || name == u"UpdateFile";
}

// A site may answer 200 with an error page: bytes are kept under a name only
// when they are what the name promises.
bool holdsWhatItsNameSays(const QString &path, const QByteArray &bytes)
{
    if (path.endsWith(u".pdf", Qt::CaseInsensitive))
        return bytes.startsWith("%PDF-");
    return !QImage::fromData(bytes).isNull();
}

// Network-level failures (no answer at all), as opposed to an answer that says no.
bool isNetworkFailure(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

bool succeeded(QNetworkReply *reply)
{
    if (reply->error() != QNetworkReply::NoError)
        return false;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return true; // no status to judge by
    const int code = status.toInt();
    return code >= 200 && code < 300;
}

bool writeWhole(const QString &path, const QByteArray &bytes)
{
    // Written aside and renamed into place, so a file that exists is always whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

Download::Download(ProgramState &state, const QString &cacheFolder, QObject *parent)
    : QObject(parent), m_state(state)
{
    m_cache = new QNetworkDiskCache(this);
    m_cache->setCacheDirectory(cacheFolder);
    m_manager.setCache(m_cache);
    m_manager.setTransferTimeout(kTransferTimeoutMs);
    connect(&m_manager, &QNetworkAccessManager::finished, this, &Download::onFinished);
}

Download::~Download()
{
    m_manager.disconnect(this);
    for (auto it = m_reads.cbegin(); it != m_reads.cend(); ++it) {
        it.key()->disconnect();
        it.key()->abort();
        it.key()->deleteLater();
    }
}

void Download::Start(const QString &url, const QString &PName, bool jpg, bool AttenteFin, bool Pause)
{
    const int options = isMakerRead(PName) ? kMakerOptions : m_state.ModeConnexion;
    m_fini = false;
    QElapsedTimer sinceStart;
    sinceStart.start();

    Read read;
    read.ticket = m_nextTicket++;
    read.url = QUrl(url);
    read.name = PName;
    read.jpg = jpg;
    read.options = options;
    read.run = m_run;
    if (PName.startsWith(u"Html"))
        m_latestPageTicket = read.ticket;
    bool isSlot = false;
    const int slot = PName.startsWith(u"Thum") ? PName.mid(4).toShort(&isSlot) : 0;
    if (isSlot)
        emit thumbnailRequested(slot, url);
    if (!isWebAddress(read.url)) {
        fail(read);
        return;
    }
    issue(read);

    bool done = false;
    // A synchronous read returns only once its data is there (within the limit).
    if (options == kSynchronous)
        done = waitForTicket(read.ticket, m_timing.limitMs, false);
    else if (AttenteFin)
        done = waitForTicket(read.ticket, m_timing.limitMs, true);
    if (Pause && !done)
        waitForTicket(read.ticket, m_timing.pauseMs - int(sinceStart.elapsed()), false);
}

bool Download::waitForTicket(quint64 ticket, int timeoutMs, bool reissue)
{
    if (timeoutMs <= 0)
        return false;
    EventWait wait;
    QTimer reissueTimer;
    reissueTimer.setSingleShot(true);
    reissueTimer.setTimerType(Qt::PreciseTimer);
    QMetaObject::Connection reissueConnection;
    const auto finished = connect(this, &Download::ticketFinished, this, [&](quint64 done) {
        if (done == ticket)
            wait.finish();
    });
    if (reissue && m_timing.reissueMs < timeoutMs) {
        // Pages sometimes hang on the first try and come at once on the second.
        reissueConnection = connect(&reissueTimer, &QTimer::timeout, this, [this, ticket] {
            for (const Read &read : std::as_const(m_reads)) {
                if (read.ticket == ticket) {
                    issue(read);
                    return;
                }
            }
        });
        reissueTimer.start(m_timing.reissueMs);
    }
    const bool done = wait.wait(timeoutMs);
    disconnect(finished);
    disconnect(reissueConnection);
    return done;
}

void Download::applyProxy()
{
    // The program's own proxy when the user set one, else the system's settings.
    const QNetworkProxy proxy = m_state.ProxyHost.isEmpty()
        ? QNetworkProxy(QNetworkProxy::DefaultProxy)
        : QNetworkProxy(QNetworkProxy::HttpProxy, m_state.ProxyHost, quint16(m_state.ProxyPort));
    if (proxy != m_appliedProxy) {
        m_manager.setProxy(proxy);
        m_appliedProxy = proxy;
    }
}

void Download::issue(const Read &read)
{
    applyProxy();
    QNetworkRequest request(read.url);
    request.setHeader(QNetworkRequest::UserAgentHeader, kUserAgent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         read.fromCache ? QNetworkRequest::AlwaysCache : cacheControlFor(read.options));
    QNetworkReply *reply = m_manager.get(request);
    m_reads.insert(reply, read);
    ++m_tickets[read.ticket].inFlight;
    watchSize(reply, isTextRead(read.name) ? m_caps.pageBytes : m_caps.pictureBytes);
}

void Download::watchSize(QNetworkReply *reply, qint64 cap)
{
    // Judged as each piece comes (the progress signal is held back), so an
    // endless reply never fills the memory.
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, cap] {
        const auto read = m_reads.find(reply);
        if (read == m_reads.end()
            || (reply->bytesAvailable() <= cap && reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() <= cap))
            return;
        read->tooLarge = true;
        reply->abort();
    });
}

void Download::fail(const Read &read)
{
    complete(read, false, {}, {});
    m_fini = true;
    emit readFinished();
}

void Download::onFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const auto found = m_reads.constFind(reply);
    if (found == m_reads.cend())
        return;
    Read read = *found;
    m_reads.erase(found);
    TicketState &ticket = m_tickets[read.ticket];
    --ticket.inFlight;

    const bool ok = succeeded(reply) && !read.tooLarge;
    if (!ok && read.options == kCacheIfNetworkFails && !read.fromCache && !read.tooLarge
        && isNetworkFailure(reply->error())) {
        read.fromCache = true;
        issue(read);
        return;
    }

    // Once one reply of a read has delivered, a failing twin changes nothing.
    const bool deliver = ok || !ticket.succeeded;
    ticket.succeeded = ticket.succeeded || ok;
    const quint64 ticketId = read.ticket;
    if (ticket.inFlight == 0)
        m_tickets.remove(ticketId);

    if (deliver)
        complete(read, ok, ok ? reply->readAll() : QByteArray(),
                 reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    m_fini = true;
    emit readFinished();
    emit ticketFinished(ticketId, QPrivateSignal());
}

void Download::complete(const Read &read, bool ok, const QByteArray &body, const QByteArray &contentType)
{
    const QStringView purpose = QStringView(read.name).left(4);
    const QString rest = read.name.mid(4);

    if (purpose == u"Band") {
        const QImage picture = read.jpg ? QImage::fromData(body) : QImage();
        if (!picture.isNull())
            emit bannerArrived(picture);
    } else if (purpose == u"Tool") {
        emit bannerTextArrived(OctetsVersTexte(body, contentType));
    } else if (purpose == u"Upda") {
        emit updateFileArrived(OctetsVersTexte(body, contentType));
    } else if (purpose == u"Html") {
        // The page buffer belongs to the latest page read: a late answer to an
        // earlier one must not replace the page being scraped now.
        if (read.ticket == m_latestPageTicket)
            m_state.PageHtml = OctetsVersTexte(body, contentType);
    } else if (purpose == u"Thum") {
        bool isSlot = false;
        const int slot = rest.toShort(&isSlot);
        const QImage picture = read.jpg ? QImage::fromData(body) : QImage();
        if (isSlot && read.run == m_run && !picture.isNull())
            emit thumbnailArrived(slot, picture);
    } else if (purpose == u"Save") {
        emit saveFinished(rest, ok && holdsWhatItsNameSays(rest, body) && writeWhole(rest, body));
    }
}
