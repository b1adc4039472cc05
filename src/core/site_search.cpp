#include "core/site_search.h"

#include "core/search_run.h"
#include "text/text_utils.h"
#include "net/form_post.h"

#include <QImage>

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
    m_row.m_run.record(m_row, {SearchRow::Event::Kind::Announce, label});
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
    const Download::Ticket ticket = m_download.start(url, Download::Purpose::Page, [page](const Download::Outcome &outcome) {
        *page = outcome.text();
    });
    m_tickets.append(ticket);
    const bool done = co_await m_download.wait(ticket, Download::Waiting::Done);
    m_tickets.removeOne(ticket);
    // A page given up or stopped is no page, whatever arrives later.
    co_return done && !stopRequested() ? *page : QString();
}

QCoro::Task<QString> SiteSearch::postForm(const QString &SitePost, const QString &TitrePost, const QString &siteAddress)
{
    if (stopRequested())
        co_return QString();
    if (!m_formPost) {
        m_formPost = std::make_unique<FormPost>(m_download.state());
        m_formPost->setTiming(m_download.timing());
        m_formPost->setCaps(m_download.caps());
    }
    QString page = co_await m_formPost->exchange(SitePost, TitrePost, siteAddress);
    if (stopRequested())
        page.clear();
    DecodeHtml(page);
    co_return page;
}

ResultEntry *SiteSearch::newHit()
{
    if (stopRequested() || hitCount() >= m_row.m_run.roomFor(m_row))
        return nullptr;
    m_row.m_hits.append(ResultEntry());
    m_row.m_run.record(m_row, {SearchRow::Event::Kind::Hit, {}, hitCount()});
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
    m_row.m_run.record(m_row, {SearchRow::Event::Kind::Centre});
}

bool SiteSearch::addSlot(int number, bool wide)
{
    if (stopRequested())
        return false;
    m_row.m_run.record(m_row, {SearchRow::Event::Kind::Slot, {}, number, wide, hit(number)});
    return !stopRequested();
}

QCoro::Task<> SiteSearch::fetchThumbnail(int number, const QString &url, Pacing pacing)
{
    if (stopRequested())
        co_return;
    m_row.m_run.thumbnailUrl(m_row, number, url);
    const Download::Ticket ticket = m_download.start(url, Download::Purpose::Thumbnail, [this, number](const Download::Outcome &outcome) {
        const QImage picture = QImage::fromData(outcome.body);
        if (!picture.isNull())
            m_row.m_run.thumbnailArrived(m_row, number, picture);
    });
    m_tickets.append(ticket);
    const Download::Waiting waiting = pacing == Pacing::Waited ? Download::Waiting::Done
                                      : pacing == Pacing::WaitedThenSettle ? Download::Waiting::DoneThenSettle
                                                                            : Download::Waiting::Settle;
    co_await m_download.wait(ticket, waiting);
    if (!m_download.inFlight(ticket))
        m_tickets.removeOne(ticket);
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
