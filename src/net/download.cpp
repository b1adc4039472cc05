#include "net/download.h"

#include "settings/program_state.h"
#include "net/page_decoding.h"

#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QImage>
#include <QSaveFile>

#include <memory>
#include <optional>

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

bool isMakerRead(Download::Purpose purpose)
{
    using P = Download::Purpose;
    return purpose == P::Banner || purpose == P::BannerText || purpose == P::UpdateFile;
}

// Addresses come from pages: anything but the web (a local file, a FIFO...) is refused.
bool isWebAddress(const QUrl &url)
{
    return url.scheme() == u"http" || url.scheme() == u"https";
}

// The reads whose bytes become text; the others bring pictures and PDFs.
bool isTextRead(Download::Purpose purpose)
{
    using P = Download::Purpose;
    return purpose == P::Page || purpose == P::BannerText || purpose == P::UpdateFile;
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

void Download::setNetwork(QNetworkAccessManager *network)
{
    m_network->disconnect(this);
    m_network = network;
    m_appliedProxy = {};
    connect(m_network, &QNetworkAccessManager::finished, this, &Download::onFinished);
}

Download::~Download()
{
    m_network->disconnect(this);
    for (auto it = m_reads.cbegin(); it != m_reads.cend(); ++it) {
        it.key()->disconnect();
        it.key()->abort();
        it.key()->deleteLater();
    }
    m_reads.clear();
    m_tickets.clear();
    // The program's members are gone by now (a child goes after them), and its shutDown has
    // already let every wait go; one that still waits is woken rather than left suspended.
    while (!m_waiters.isEmpty())
        endTicket(m_waiters.begin().key());
}

QString Download::Outcome::text() const
{
    return OctetsVersTexte(body, contentType);
}

Download::Ticket Download::start(const QString &url, Purpose purpose, Delivery deliver, const QString &savePath,
                                 RedirectCheck redirects)
{
    Read read;
    read.ticket = m_nextTicket++;
    read.url = QUrl(url);
    read.purpose = purpose;
    read.savePath = savePath;
    read.redirects = std::move(redirects);
    read.options = isMakerRead(purpose) ? kMakerOptions : m_state.ModeConnexion;
    if (!isWebAddress(read.url)) {
        if (deliver)
            deliver(Outcome{});
        emit readFinished();
        return read.ticket;
    }
    TicketState &ticket = m_tickets[read.ticket];
    ticket.deliver = std::move(deliver);
    ticket.options = read.options;
    ticket.startedMs = m_clock->nowMs();
    issue(read);
    return read.ticket;
}

QCoro::Task<bool> Download::wait(Ticket ticket, Waiting waiting)
{
    const auto state = m_tickets.constFind(ticket);
    if (state == m_tickets.cend())
        co_return true;
    const int options = state->options;
    const qint64 startedMs = state->startedMs;
    const bool untilDone = waiting == Waiting::Done || waiting == Waiting::DoneThenSettle;
    const bool settle = waiting == Waiting::Settle || waiting == Waiting::DoneThenSettle;
    bool done = false;
    // A synchronous read returns only once its data is there (within the limit).
    if (options == kSynchronous)
        done = co_await waitFor(ticket, m_timing.limitMs, false);
    else if (untilDone)
        done = co_await waitFor(ticket, m_timing.limitMs, true);
    if (settle && !done)
        done = co_await waitFor(ticket, m_timing.pauseMs - int(m_clock->nowMs() - startedMs), false);
    co_return done;
}

QCoro::Task<Download::Outcome> Download::fetch(const QString &url, Purpose purpose, const QString &savePath,
                                               RedirectCheck redirects)
{
    auto outcome = std::make_shared<std::optional<Outcome>>();
    const Ticket ticket = start(url, purpose, [outcome](const Outcome &o) { *outcome = o; }, savePath, std::move(redirects));
    co_await wait(ticket, Waiting::Done);
    if (*outcome)
        co_return **outcome;
    Outcome givenUp;
    givenUp.timedOut = inFlight(ticket);
    co_return givenUp;
}

QCoro::Task<bool> Download::waitFor(Ticket ticket, int timeoutMs, bool reissue)
{
    if (!inFlight(ticket))
        co_return true;
    if (timeoutMs <= 0)
        co_return false;
    Waiter waiter;
    waiter.ticket = ticket;
    m_waiters.insert(ticket, &waiter);
    const qint64 waitStartMs = m_clock->nowMs();
    // Pages sometimes hang on the first try and come at once on the second.
    bool reissueDue = reissue && m_timing.reissueMs < timeoutMs;
    while (!waiter.ended) {
        WakeUp wake;
        waiter.wake = &wake;
        const int until = reissueDue ? m_timing.reissueMs : timeoutMs;
        const int timer = m_clock->wakeIn(wake, until - int(m_clock->nowMs() - waitStartMs));
        co_await wake.untilWoken();
        m_clock->stop(timer);
        waiter.wake = nullptr;
        if (waiter.ended || !reissueDue)
            break;
        reissueDue = false;
        for (const Read &read : std::as_const(m_reads)) {
            if (read.ticket == ticket) {
                issue(read);
                break;
            }
        }
    }
    m_waiters.remove(ticket, &waiter);
    co_return !inFlight(ticket);
}

void Download::cancel(Ticket ticket)
{
    dropReplies(ticket);
    m_tickets.remove(ticket);
    endTicket(ticket);
}

void Download::dropReplies(Ticket ticket)
{
    for (auto it = m_reads.begin(); it != m_reads.end();) {
        if (it->ticket != ticket) {
            ++it;
            continue;
        }
        QNetworkReply *reply = it.key();
        it = m_reads.erase(it);
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void Download::cancelAll()
{
    while (!m_tickets.isEmpty())
        cancel(m_tickets.begin().key());
    while (!m_waiters.isEmpty())
        endTicket(m_waiters.begin().key());
}

void Download::endTicket(Ticket ticket)
{
    // Woken one by one: a woken waiter removes itself from the list.
    while (Waiter *waiter = m_waiters.value(ticket)) {
        m_waiters.remove(ticket, waiter);
        waiter->ended = true;
        if (waiter->wake)
            waiter->wake->wake();
    }
}

void Download::applyProxy()
{
    // The program's own proxy when the user set one, else the system's settings.
    const QNetworkProxy proxy = m_state.ProxyHost.isEmpty()
        ? QNetworkProxy(QNetworkProxy::DefaultProxy)
        : QNetworkProxy(QNetworkProxy::HttpProxy, m_state.ProxyHost, quint16(m_state.ProxyPort));
    if (proxy != m_appliedProxy) {
        m_network->setProxy(proxy);
        m_appliedProxy = proxy;
    }
}

void Download::issue(Read read)
{
    applyProxy();
    QNetworkRequest request(read.url);
    request.setHeader(QNetworkRequest::UserAgentHeader, kUserAgent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         read.fromCache ? QNetworkRequest::AlwaysCache : cacheControlFor(read.options));
    if (read.redirects)
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply *reply = m_network->get(request);
    if (read.redirects)
        connect(reply, &QNetworkReply::redirected, this, [reply, check = read.redirects](const QUrl &to) {
            if (check(to))
                emit reply->redirectAllowed();
            else
                reply->abort();
        });
    const qint64 cap = isTextRead(read.purpose) ? m_caps.pageBytes : m_caps.pictureBytes;
    ++m_tickets[read.ticket].inFlight;
    m_reads.insert(reply, std::move(read));
    watchSize(reply, cap);
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

void Download::onFinished(QNetworkReply *reply)
{
    reply->deleteLater();
    const auto found = m_reads.constFind(reply);
    if (found == m_reads.cend())
        return;
    Read read = *found;
    m_reads.erase(found);
    const auto state = m_tickets.find(read.ticket);
    if (state == m_tickets.end())
        return;
    --state->inFlight;

    const bool ok = succeeded(reply) && !read.tooLarge;
    if (!ok && read.options == kCacheIfNetworkFails && !read.fromCache && !read.tooLarge
        && isNetworkFailure(reply->error())) {
        read.fromCache = true;
        issue(read);
        return;
    }

    // The first answer that succeeds ends its read: a twin still hanging is dropped.
    if (ok && state->inFlight > 0) {
        dropReplies(read.ticket);
        state->inFlight = 0;
    }

    // Once one reply of a read has delivered, a failing twin changes nothing.
    Delivery deliver;
    if (ok || !state->delivered) {
        state->delivered = state->delivered || ok;
        deliver = state->deliver;
    }
    if (state->inFlight == 0)
        m_tickets.erase(state);
    // Delivered last: the one told may start reads of its own.
    if (deliver)
        deliver(outcomeOf(read, reply, ok));
    emit readFinished();
    if (!inFlight(read.ticket))
        endTicket(read.ticket);
}

Download::Outcome Download::outcomeOf(const Read &read, QNetworkReply *reply, bool ok)
{
    Outcome outcome;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    outcome.answered = status.isValid();
    outcome.status = status.toInt();
    outcome.tooLarge = read.tooLarge;
    if (!outcome.answered)
        outcome.error = reply->errorString();
    outcome.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    if (ok)
        outcome.body = reply->readAll();
    if (read.purpose == Purpose::Save)
        ok = ok && holdsWhatItsNameSays(read.savePath, outcome.body) && writeWhole(read.savePath, outcome.body);
    outcome.ok = ok;
    return outcome;
}
