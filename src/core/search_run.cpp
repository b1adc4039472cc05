#include "core/search_run.h"

#include "core/program.h"
#include "core/result_list.h"

SearchRow::SearchRow(SearchRun &run, int base, const QString &site) : m_run(run), m_base(base)
{
    m_tally.base = base;
    m_tally.site = site;
}

SiteReport SearchRow::report() const
{
    using Outcome = SiteReport::Outcome;
    using Kind = RequestFailure::Kind;
    SiteReport report = m_tally;
    report.hits = m_placedSlots;
    report.seconds = double(m_endedAtMs >= 0 ? m_endedAtMs : m_run.m_clock.elapsed()) / 1000.0;
    if (m_placedSlots > 0) {
        report.outcome = Outcome::Hits;
    } else if (m_userStopped) {
        report.outcome = Outcome::Stopped;
    } else if (!m_thrown.isEmpty()) {
        report.outcome = Outcome::InternalError;
        report.thrown = m_thrown;
    } else if (m_listFull) {
        report.outcome = Outcome::ListFull;
    } else if (m_firstPageFailure) {
        report.firstFailure = m_firstPageFailure;
        report.outcome = m_firstPageFailure.kind == Kind::Unreachable ? Outcome::Unreachable
                         : m_firstPageFailure.kind == Kind::TimedOut  ? Outcome::TimedOut
                                                                      : Outcome::HttpError;
    } else {
        report.outcome = Outcome::NoHit;
    }
    return report;
}

SearchRun::SearchRun(Program &program, Download &download, std::function<QString(const QString &)> address,
                     QObject *parent)
    : QObject(parent), m_program(program), m_download(download), m_address(std::move(address))
{
}

SearchRun::~SearchRun()
{
    // No task may outlive what it writes to.
    blockSignals(true);
    stop();
}

void SearchRun::start(const QList<Base> &bases)
{
    ++m_holds;
    m_clock.start();
    // Every row exists before any task runs: one that ends at once may fill the list.
    for (const Base &base : bases) {
        auto row = std::make_unique<SearchRow>(*this, base.index, base.site);
        row->m_search = std::make_unique<SiteSearch>(*row, m_download, m_program.title(), m_address);
        m_rows.push_back(std::move(row));
    }
    for (size_t i = 0; i < m_rows.size(); ++i)
        runRow(*m_rows[i], bases[qsizetype(i)].search);
    --m_holds;
    finishIfDone();
}

QCoro::Task<> SearchRun::runRow(SearchRow &row, Procedure search)
{
    // Nobody awaits this task: what a base throws must end its row here, or the run never ends.
    try {
        if (!row.m_search->stopRequested() && search)
            co_await search(*row.m_search);
    } catch (const std::exception &error) {
        row.m_thrown = QString::fromLocal8Bit(error.what());
    } catch (...) {
        row.m_thrown = QStringLiteral("unknown exception");
    }
    if (!row.m_thrown.isEmpty())
        row.m_search->abort();
    rowEnded(row);
}

void SearchRun::stop()
{
    if (m_stopped)
        return;
    ++m_holds;
    m_stopped = true;
    // What the row being placed has shown stays, with its latest values.
    if (m_cursor < m_rows.size())
        copyPlacedHits(*m_rows[m_cursor]);
    for (size_t i = m_cursor; i < m_rows.size(); ++i)
        m_rows[i]->m_userStopped = true;
    for (const auto &row : m_rows)
        stopRow(*row);
    --m_holds;
    finishIfDone();
}

void SearchRun::stopRow(SearchRow &row)
{
    if (row.m_ended || row.m_stopped)
        return;
    row.m_stopped = true;
    row.m_search->abort();
}

int SearchRun::roomFor(const SearchRow &row) const
{
    if (m_cursor >= m_rows.size())
        return 0;
    // The rows already placed, then what the rows still running before this one found so far.
    const SearchRow &placing = *m_rows[m_cursor];
    int taken = placing.m_firstIndex > 0 ? placing.m_firstIndex - 1 : m_program.results().NbResultats();
    for (size_t i = m_cursor; i < m_rows.size() && m_rows[i].get() != &row; ++i)
        taken += int(m_rows[i]->m_hits.size());
    return ResultList::kMaxHits - taken;
}

void SearchRun::record(SearchRow &row, SearchRow::Event event)
{
    row.m_events.append(std::move(event));
    place();
}

void SearchRun::thumbnailUrl(SearchRow &row, int number, const QString &url)
{
    row.m_thumbnailUrls.insert(number, url);
    if (isPlaced(row, number))
        m_program.results().setThumbnailUrl(row.m_firstIndex + number - 2, url);
}

void SearchRun::thumbnailArrived(SearchRow &row, int number, const QImage &picture)
{
    row.m_thumbnails.insert(number, picture);
    if (isPlaced(row, number))
        m_program.results().setThumbnail(row.m_firstIndex + number - 2, picture);
}

bool SearchRun::isPlaced(const SearchRow &row, int number) const
{
    return row.m_firstIndex > 0 && number <= row.m_placedSlots;
}

QList<SiteReport> SearchRun::reports() const
{
    QList<SiteReport> reports;
    for (const auto &row : m_rows)
        reports.append(row->report());
    return reports;
}

void SearchRun::rowEnded(SearchRow &row)
{
    row.m_ended = true;
    row.m_endedAtMs = m_clock.elapsed();
    place();
}

void SearchRun::place()
{
    // A row that ends within the placement (a stopped row's task ends at once) is taken in by
    // the loop under way: placing it from within too would place it twice and skip the next row.
    if (m_placing)
        return;
    m_placing = true;
    ++m_holds;
    placeRows();
    --m_holds;
    m_placing = false;
    finishIfDone();
}

void SearchRun::placeRows()
{
    while (!m_stopped && m_cursor < m_rows.size()) {
        SearchRow &row = *m_rows[m_cursor];
        if (row.m_firstIndex == 0) {
            // Each base's search makes room for its first ten hits.
            ResultList &results = m_program.results();
            row.m_firstIndex = results.NbResultats() + 1;
            results.resize(results.NbResultats() + ResultList::kGrowth);
        }
        // A copy: what a replay sets off may record more events, which moves them.
        while (!row.m_stopped && row.m_replayed < row.m_events.size())
            replay(row, SearchRow::Event(row.m_events[row.m_replayed++]));
        if (!row.m_ended)
            return;
        copyPlacedHits(row);
        emit m_program.hitsPlaced(row.m_firstIndex - 1);
        ++m_cursor;
        // A full list: the later rows' hits could never be placed.
        if (m_program.results().NbResultats() >= ResultList::kMaxHits) {
            for (size_t i = m_cursor; i < m_rows.size(); ++i) {
                SearchRow &later = *m_rows[i];
                // One that ended without a hit keeps its own outcome.
                if (!later.m_ended || !later.m_hits.isEmpty())
                    later.m_listFull = true;
                stopRow(later);
            }
        }
    }
}

void SearchRun::replay(SearchRow &row, const SearchRow::Event &event)
{
    ResultList &results = m_program.results();
    using Kind = SearchRow::Event::Kind;
    switch (event.kind) {
    case Kind::Announce:
        m_program.AfficheStatut(event.label, true);
        break;
    case Kind::Hit:
        if (results.NbResultats() >= ResultList::kMaxHits) {
            row.m_listFull = true;
            break;
        }
        results.countHit();
        if (results.NbResultats() % ResultList::kGrowth == 0)
            results.resize(results.NbResultats() + ResultList::kGrowth);
        results.entry(results.NbResultats()) = placed(row, row.m_hits.value(event.number - 1));
        break;
    case Kind::Centre:
        m_program.CentreVignettes();
        break;
    case Kind::Slot: {
        const int index = row.m_firstIndex + event.number - 1;
        if (index > results.NbResultats() || index != results.NbVignettes() + 1) {
            // Beyond the limit: this row has placed all it ever will.
            row.m_listFull = true;
            stopRow(row);
            break;
        }
        results.entry(index) = placed(row, event.snapshot);
        m_program.AjouteResultat(index, event.wide);
        row.m_placedSlots = event.number;
        if (const auto url = row.m_thumbnailUrls.constFind(event.number); url != row.m_thumbnailUrls.cend())
            results.setThumbnailUrl(index - 1, *url);
        if (const auto picture = row.m_thumbnails.constFind(event.number); picture != row.m_thumbnails.cend())
            results.setThumbnail(index - 1, *picture);
        break;
    }
    }
}

ResultEntry SearchRun::placed(const SearchRow &row, ResultEntry hit)
{
    hit.Base = row.base();
    return hit;
}

bool SearchRun::quiet() const
{
    return m_program.quietSearch();
}

void SearchRun::copyPlacedHits(SearchRow &row)
{
    if (row.m_firstIndex == 0)
        return;
    ResultList &results = m_program.results();
    const int count = results.NbResultats() - row.m_firstIndex + 1;
    for (int number = 1; number <= count && number <= row.m_hits.size(); ++number)
        results.entry(row.m_firstIndex + number - 1) = placed(row, row.m_hits[number - 1]);
}

void SearchRun::finishIfDone()
{
    if (m_finished || m_holds > 0)
        return;
    for (const auto &row : m_rows)
        if (!row->m_ended)
            return;
    m_finished = true;
    emit finished();
}
