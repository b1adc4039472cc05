#include "net/form_post.h"

#include "settings/program_state.h"
#include "net/page_decoding.h"
#include "settings/site_addresses.h"

#include <QNetworkProxy>
#include <QSslSocket>
#include <QUrl>

namespace {

// Each site's form: where it is posted and the fields around the title.
struct Form
{
    const char16_t *site;
    const char *path;
    const char16_t *beforeTitle;
    const char16_t *afterTitle;
};

constexpr Form kForms[] = {
    {u"AllDivX", "/base.php?rub=site/recherche.php&var=recherche_cover", u"nom=", u"&recherche=toutes"},
    {u"CoverComoz", "/recherche.html", u"search=", u""},
};

constexpr int kDefaultPort = 80;
constexpr int kDefaultTlsPort = 443;

const Form *formOf(const QString &site)
{
    for (const Form &form : kForms)
        if (site == QStringView(form.site))
            return &form;
    return nullptr;
}

// One byte per character, as the sites' Windows-1252 forms expect: the
// letters of Windows-1252 that Latin-1 lacks (the euro sign, œ...) get their
// own byte, anything else outside it becomes "?", so the length in bytes is
// the length in characters.
QByteArray singleBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        bytes += windows1252Byte(c).value_or('?');
    return bytes;
}

} // namespace

FormPost::FormPost(ProgramState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_socket(new QSslSocket(this))
{
    // The request is written for the site or the program's own proxy, never
    // for a proxy of the system's settings.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    // A TLS connection is written to once it is encrypted, never before.
    connect(m_socket, &QSslSocket::connected, this, [this] {
        if (m_socket->mode() == QSslSocket::UnencryptedMode)
            sendRequest();
    });
    connect(m_socket, &QSslSocket::encrypted, this, &FormPost::sendRequest);
    connect(m_socket, &QTcpSocket::readyRead, this, &FormPost::collectReply);
    connect(m_socket, &QTcpSocket::disconnected, this, &FormPost::endExchange);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &FormPost::endExchange);
}

FormPost::~FormPost()
{
    // A search still waiting for the answer is let go first.
    if (m_wake)
        m_wake->wake();
    m_socket->disconnect(this);
    m_socket->abort();
}

QCoro::Task<QString> FormPost::exchange(const QString &SitePost, const QString &TitrePost, const QString &siteAddress)
{
    begin(SitePost, TitrePost);
    post(siteAddress);
    co_return co_await reply();
}

QCoro::Task<QString> FormPost::exchange(const QUrl &address, const QByteArray &body)
{
    begin({}, {});
    QString target = address.path(QUrl::FullyEncoded);
    if (address.hasQuery())
        target += u'?' + address.query(QUrl::FullyEncoded);
    send(address, target, body);
    co_return co_await reply();
}

void FormPost::begin(const QString &SitePost, const QString &TitrePost)
{
    if (!isClosed())
        m_socket->abort();
    ++m_exchange;
    m_sitePost = SitePost;
    m_titrePost = TitrePost;
    m_reply.clear();
    m_postTermine = false;
    m_ended = false;
    m_status = 0;
    m_gaveUp = m_tooLarge = false;
    m_failure.clear();
    m_bytesRead = 0;
}

QCoro::Task<QString> FormPost::reply()
{
    if (!m_ended) {
        WakeUp wake;
        m_wake = &wake;
        const int limit = m_timers.wakeIn(wake, m_timing.limitMs);
        co_await wake.untilWoken();
        m_gaveUp = !m_ended;
        m_timers.stop(limit);
        m_wake = nullptr;
        // Given up as a read is: what arrived is scraped.
        close();
    }
    co_return m_reply.text();
}

void FormPost::post(const QString &siteAddress)
{
    const Form *form = formOf(m_sitePost);
    if (!form) {
        endExchange();
        return;
    }

    // The site's path prefix comes before the form's path, so a site played
    // under a path of its own is posted to as well.
    const QUrl site(siteAddress);
    send(site, site.path(QUrl::FullyEncoded) + QLatin1StringView(form->path),
         singleBytes(QString::fromUtf16(form->beforeTitle) + m_titrePost + QString::fromUtf16(form->afterTitle)));
}

void FormPost::send(const QUrl &site, QString target, const QByteArray &body)
{
    const QString hostName = SiteAddresses::hostName(site.toString());
    const bool encrypted = site.scheme() == u"https";
    const bool viaProxy = !m_state.ProxyHost.isEmpty() && !encrypted;
    if (viaProxy)
        target = QStringLiteral("http://") + hostName + target;

    m_request = "POST " + singleBytes(target) + " HTTP/1.1\r\n"
                + "Accept: text/html\r\n"
                + "Content-Type: application/x-www-form-urlencoded\r\n"
                + "Host: " + singleBytes(hostName) + "\r\n"
                + "Content-Length: " + QByteArray::number(body.size()) + "\r\n"
                + "\r\n" + body;

    if (encrypted)
        m_socket->connectToHostEncrypted(site.host(), quint16(site.port(kDefaultTlsPort)));
    else if (viaProxy)
        m_socket->connectToHost(m_state.ProxyHost, quint16(m_state.ProxyPort));
    else
        m_socket->connectToHost(site.host(), quint16(site.port(kDefaultPort)));
}

void FormPost::close()
{
    // Ended even when the socket is already closed: it may have closed without a word.
    if (!isClosed())
        m_socket->abort();
    endExchange();
    if (m_wake)
        m_wake->wake();
}

bool FormPost::isClosed() const
{
    return m_socket->state() == QAbstractSocket::UnconnectedState;
}

void FormPost::sendRequest()
{
    m_socket->write(m_request);
}

void FormPost::collectReply()
{
    const QByteArray chunk = m_socket->readAll();
    if (chunk.isEmpty())
        return;
    m_bytesRead += chunk.size();
    if (m_reply.size() + chunk.size() > m_caps.pageBytes) {
        // Past the cap the answer is dropped whole: nothing of it is scraped.
        m_tooLarge = true;
        m_reply.clear();
        m_socket->abort();
        endExchange();
        return;
    }
    m_reply.append(chunk);
    if (m_status == 0)
        m_status = m_reply.status();
    if (m_reply.hasClosingTag() || m_reply.isWhole()) {
        m_postTermine = true;
        m_socket->close();
        endExchange();
    }
}

void FormPost::endExchange()
{
    if (m_ended)
        return;
    // What the server sent before it closed is part of the reply.
    if (m_socket->bytesAvailable() > 0)
        collectReply();
    if (m_ended)
        return;
    m_ended = true;
    if (m_status == 0 && m_socket->error() != QAbstractSocket::UnknownSocketError)
        m_failure = m_socket->errorString();
    emit finished();
    // Most ends come inside a signal of the socket, and the waiter may post
    // again at once on this socket: it is woken once that signal has returned.
    if (m_wake)
        QMetaObject::invokeMethod(
            this, [this, exchange = m_exchange] {
                if (exchange == m_exchange && m_wake)
                    m_wake->wake();
            },
            Qt::QueuedConnection);
}
