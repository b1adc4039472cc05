#include "core/site_search.h"

#include "core/search_run.h"
#include "text/text_utils.h"
#include "net/form_post.h"

#include <QImage>
#include <QUrl>

namespace {

RequestFailure timedOut(const QString &url)
{
    RequestFailure failure;
    failure.kind = RequestFailure::Kind::TimedOut;
    failure.url = url;
    return failure;
}

// What a finished read says of the site; none when it succeeded.
RequestFailure failureOf(const QString &url, const Download::Outcome &outcome)
{
    using Kind = RequestFailure::Kind;
    if (outcome.ok)
        return {};
    if (outcome.answered || outcome.tooLarge)
        return {Kind::HttpError, outcome.status, url, {}, outcome.tooLarge};
    return {Kind::Unreachable, 0, url, outcome.error};
}

// A form post's answer: a status line other than 2xx is an error, though what came is still read.
RequestFailure failureOf(const QString &url, const FormPost &post)
{
    using Kind = RequestFailure::Kind;
    const int status = post.status();
    if (post.tooLarge() || (status != 0 && (status < 200 || status > 299)))
        return {Kind::HttpError, status, url, {}, post.tooLarge()};
    if (post.gaveUp())
        return timedOut(url);
    if (status == 0)
        return {Kind::Unreachable, 0, url, post.failure()};
    return {};
}

// The Content-Type header of a post's answer, which comes with its headers.
QString contentTypeOf(const QString &answer)
{
    const QStringView headers = QStringView(answer).left(answer.indexOf(QStringLiteral("\r\n\r\n")));
    for (const QStringView line : headers.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QStringLiteral("content-type:"), Qt::CaseInsensitive))
            return line.mid(13).trimmed().toString();
    }
    return {};
}

} // namespace

SiteSearch::SiteSearch(SearchRow &row, Download &download, const QString &typedTitle,
                       std::function<QString(const QString &)> address)
    : m_row(row), m_download(download), m_typedTitle(typedTitle), m_address(std::move(address))
{
}

SiteSearch::~SiteSearch()
{
    // A thumbnail still on its way has no row to land in any more.
    for (const Download::Ticket ticket : std::as_const(m_tickets))
        m_download.cancel(ticket);
}

QString SiteSearch::address(const QString &settingName) const
{
    return m_address ? m_address(settingName) : QString();
}

void SiteSearch::announce(const QString &label)
{
    SearchRow::Event event = SearchRow::Event::of(SearchRow::Event::Kind::Announce);
    event.label = label;
    m_row.m_run.record(m_row, event);
}

QCoro::Task<QString> SiteSearch::readPage(const QString &url)
{
    QString page = co_await readRawPage(url);
    DecodeHtml(page);
    co_return page;
}

QCoro::Task<QString> SiteSearch::readRawPage(const QString &url)
{
    if (stopRequested())
        co_return QString();
    auto page = std::make_shared<QString>();
    const auto read = startRead(url, Download::Purpose::Page, [this, page](const Download::Outcome &outcome) {
        *page = outcome.text();
        m_lastAnswer = {outcome.status, outcome.body.size(), QString::fromLatin1(outcome.contentType)};
        if (outcome.ok)
            m_row.m_tally.pageBytes = outcome.body.size();
    });
    const bool done = co_await m_download.wait(read->ticket, Download::Waiting::Done);
    if (!m_download.inFlight(read->ticket))
        m_tickets.removeOne(read->ticket);
    if (!done)
        giveUp(*read, url, true);
    // A page given up or stopped is no page, whatever arrives later.
    co_return done && !stopRequested() ? *page : QString();
}

std::shared_ptr<SiteSearch::CountedRead> SiteSearch::startRead(const QString &url, Download::Purpose purpose,
                                                                Download::Delivery use)
{
    ++m_row.m_tally.requests;
    const bool page = purpose == Download::Purpose::Page;
    auto read = std::make_shared<CountedRead>();
    // A read asked again may end twice: the first success counts, or the last failure.
    read->ticket = m_download.start(url, purpose, [this, read, url, page, use](const Download::Outcome &outcome) {
        use(outcome);
        if (read->counted || (!outcome.ok && m_download.inFlight(read->ticket)))
            return;
        read->counted = true;
        m_row.m_tally.bytes += outcome.body.size();
        countFailure(failureOf(url, outcome), page);
    }, {}, m_redirects);
    m_tickets.append(read->ticket);
    return read;
}

void SiteSearch::giveUp(CountedRead &read, const QString &url, bool page)
{
    if (read.counted || stopRequested())
        return;
    read.counted = true;
    countFailure(timedOut(url), page);
}

void SiteSearch::countFailure(const RequestFailure &failure, bool page)
{
    if (!failure)
        return;
    ++m_row.m_tally.failed;
    if (!m_row.m_tally.firstFailure)
        m_row.m_tally.firstFailure = failure;
    if (page && !m_row.m_firstPageFailure)
        m_row.m_firstPageFailure = failure;
}

QCoro::Task<QString> SiteSearch::postForm(const QString &SitePost, const QString &TitrePost, const QString &siteAddress)
{
    if (stopRequested())
        co_return QString();
    QString page = co_await formPost().exchange(SitePost, TitrePost, siteAddress);
    page = posted(page, siteAddress);
    DecodeHtml(page);
    co_return page;
}

QCoro::Task<QString> SiteSearch::postRawForm(const QString &url, const QByteArray &body)
{
    if (stopRequested())
        co_return QString();
    const QString page = co_await formPost().exchange(QUrl(url), body);
    co_return posted(page, url);
}

FormPost &SiteSearch::formPost()
{
    if (!m_formPost) {
        m_formPost = std::make_unique<FormPost>(m_download.state());
        m_formPost->setTiming(m_download.timing());
        m_formPost->setCaps(m_download.caps());
    }
    ++m_row.m_tally.requests;
    return *m_formPost;
}

QString SiteSearch::posted(const QString &page, const QString &url)
{
    if (stopRequested())
        return {};
    m_row.m_tally.bytes += m_formPost->bytesRead();
    m_lastAnswer = {m_formPost->status(), m_formPost->bytesRead(), contentTypeOf(page)};
    if (m_formPost->status() != 0)
        m_row.m_tally.pageBytes = m_formPost->bytesRead();
    countFailure(failureOf(url, *m_formPost), true);
    return page;
}

ResultEntry *SiteSearch::newHit()
{
    if (stopRequested())
        return nullptr;
    if (hitCount() >= m_row.m_run.roomFor(m_row)) {
        m_row.m_listFull = true;
        return nullptr;
    }
    m_row.m_hits.append(ResultEntry());
    m_row.m_run.record(m_row, SearchRow::Event::of(SearchRow::Event::Kind::Hit, hitCount()));
    return &m_row.m_hits.last();
}

bool SiteSearch::addHits(const QList<ResultEntry> &found)
{
    for (const ResultEntry &entry : found) {
        ResultEntry *hit = newHit();
        if (!hit)
            return false;
        *hit = entry;
    }
    return true;
}

int SiteSearch::hitCount() const
{
    return int(m_row.m_hits.size());
}

ResultEntry &SiteSearch::hit(int number)
{
    static ResultEntry scratch;
    if (number < 1 || number > hitCount()) {
        // A careless scan cannot write outside its hits.
        scratch = {};
        return scratch;
    }
    return m_row.m_hits[number - 1];
}

void SiteSearch::centre()
{
    m_row.m_run.record(m_row, SearchRow::Event::of(SearchRow::Event::Kind::Centre));
}

bool SiteSearch::addSlot(int number, bool wide)
{
    if (stopRequested())
        return false;
    SearchRow::Event event = SearchRow::Event::of(SearchRow::Event::Kind::Slot, number);
    event.wide = wide;
    event.snapshot = hit(number);
    m_row.m_run.record(m_row, event);
    return !stopRequested();
}

QCoro::Task<> SiteSearch::fetchThumbnail(int number, const QString &url, Pacing pacing)
{
    if (stopRequested() || m_row.m_run.quiet())
        co_return;
    m_row.m_run.thumbnailUrl(m_row, number, url);
    const auto read = startRead(url, Download::Purpose::Thumbnail, [this, number](const Download::Outcome &outcome) {
        const QImage picture = QImage::fromData(outcome.body);
        if (!picture.isNull())
            m_row.m_run.thumbnailArrived(m_row, number, picture);
    });
    const Download::Ticket ticket = read->ticket;
    const Download::Waiting waiting = pacing == Pacing::Waited ? Download::Waiting::Done
                                      : pacing == Pacing::WaitedThenSettle ? Download::Waiting::DoneThenSettle
                                                                            : Download::Waiting::Settle;
    const bool done = co_await m_download.wait(ticket, waiting);
    if (!m_download.inFlight(ticket))
        m_tickets.removeOne(ticket);
    else if (!done && pacing != Pacing::Settle)
        giveUp(*read, url, false);
}

QCoro::Task<> SiteSearch::placeHits(int first, bool wide, Pacing pacing,
                                    const std::function<QString(ResultEntry &)> &thumbnailOf)
{
    const int last = hitCount();
    for (int number = first; number <= last; ++number) {
        if (stopRequested())
            break;
        ResultEntry &entry = hit(number);
        const QString url = thumbnailOf ? thumbnailOf(entry) : QString();
        if (!addSlot(number, wide))
            break;
        if (!url.isEmpty())
            co_await fetchThumbnail(number, url, pacing);
    }
}

QCoro::Task<> SiteSearch::until(WakeUp &wake)
{
    if (stopRequested())
        co_return;
    m_waitingFor = &wake;
    co_await wake.untilWoken();
    m_waitingFor = nullptr;
}

bool SiteSearch::stopRequested() const
{
    return m_row.m_stopped || m_row.m_run.m_stopped;
}

void SiteSearch::abort()
{
    if (m_waitingFor)
        m_waitingFor->wake();
    if (m_formPost)
        m_formPost->close();
    // Cancelling wakes the waits at once; each removes its own ticket.
    const QList<Download::Ticket> tickets = m_tickets;
    for (const Download::Ticket ticket : tickets)
        m_download.cancel(ticket);
    m_tickets.clear();
}
