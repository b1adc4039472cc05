// A schedule is bytes, read in this order (any bytes are a schedule):
//
//   byte 0     bases searched: 1 + byte % 14, the first ones in row order
//   one byte per base, in row order:
//     bits 0-1 its thumbnails: 0 Waited, 1 WaitedThenSettle, 2 Settle, 3 none
//     bits 2-4 hits per page: 0 1 2 3 5 8 13 40
//     bits 5-6 its last page: 0 a page without "more", 1 unreachable, 2 status 500,
//              3 the search throws std::bad_alloc
//     bit 7    wide slots
//   then one byte per step, opcode = byte >> 5, x = byte & 31:
//     0 Advance   the clock moves 25·x² ms (x 4: 400 ms, 11: 3 s, 29: 21 s)
//     1 Page      the oldest open page read of row x & 15 (modulo the bases) is
//                 answered: its hits and "more pages", or its last page when x & 16
//     2 Thumb     the oldest open thumbnail read of row x & 15: a picture, a 404 when x & 16
//     3 Picture   the oldest open picture read: x % 4: PNG, JPEG, junk, unreachable
//     4 Button    x % 3: the search button pressed left, right, or the stop request
//     5 Clear     the list is cleared
//     6 Retrieve  enabled slot (x >> 1) % slots: its download button when x & 1, else its thumbnail
//     7 Window    x < 16: the window closes (a fresh program plays the rest);
//                 else the viewer opened last saves its picture
//
// After every step the posted events run; after the last the clock runs on
// until nothing is under way.
#include "schedule_driver.h"

#include "assembly/assembly.h"
#include "core/program.h"
#include "core/result_list.h"
#include "core/site_catalogue.h"
#include "core/site_search.h"
#include "manual_clock.h"
#include "output/output_actions.h"
#include "output/retrieval.h"
#include "settings/settings_store.h"
#include "stand_in_network.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QHashSeed>
#include <QImage>
#include <QTemporaryDir>
#include <memory>
#include <new>

namespace {

enum Op { Advance, Page, Thumb, Picture, Button, Clear, Retrieve, Window };
enum Ending { LastPage, Unreachable, ServerError, Throws };
constexpr int kHitsPerPage[] = {0, 1, 2, 3, 5, 8, 13, 40};
constexpr qint64 kDrainMs = 3600 * 1000;

struct BaseSetup
{
    SiteSearch::Pacing pacing = SiteSearch::Pacing::Settle;
    bool thumbnails = true;
    int hits = 0;
    Ending ending = LastPage;
    bool wide = false;
};

// What the driver saw of one row in one search.
struct RowLog
{
    int found = 0;
    int placed = 0;
    bool ended = false;
    bool threw = false;
    QString failure; // the outcome word of its first failed page
};

struct SearchLog
{
    QList<RowLog> rows;
    QList<std::pair<int, int>> walk; // row and hit number of each slot, in order
    int placedRows = 0;               // hitsPlaced signals
    int countAtLastRow = 0;           // hits in the list at the last one
    int finished = 0;
    bool stopped = false;
    int placedRowsAtStop = 0;
};

// A tiny picture in the format a site may send.
const QByteArray &picture(bool jpeg)
{
    static const auto encode = [](const char *format) {
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::darkRed);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    static const QByteArray png = encode("PNG"), jpg = encode("JPG");
    return jpeg ? jpg : png;
}

QString siteName(int row)
{
    return QStringLiteral("Stand-in %1").arg(row);
}

// Remembers the viewer the retrieval opened last, as the window's would show it.
struct Viewer : OutputActions
{
    QCoro::Task<bool> copyFile(QString, QString) override { co_return true; }
    void openDocument(const QString &) override {}
    void showInSystemViewer(const QString &) override {}
    void showInViewer(const QString &, int index) override
    {
        slot = index;
        generation = results->generation();
    }

    ResultList *results = nullptr;
    int slot = -1;
    quint64 generation = 0;
};

// Plays one schedule; a program is made at its start and after each close.
class Driver
{
public:
    explicit Driver(QByteArrayView schedule);
    QString play();

private:
    // Declared in the order that destroys the program before its network and clock.
    struct World
    {
        QTemporaryDir dir;
        ManualClock clock;
        StandInNetwork network;
        Viewer viewer;
        SettingsStore store{dir.filePath(QStringLiteral("Pellicam.ini"))};
        Assembly assembly{store};
        Program &program = assembly.program();
    };

    void makeWorld();
    void step(int op, int x);
    void settle();
    void press(int x);
    void noteStop();
    void answerPage(int row, bool last);
    StandInReply *oldestOpen(const QString &prefix);
    void retrieve(int x);
    void viewerSaves();
    QCoro::Task<> search(SiteSearch &site, int row);
    QCoro::Task<PictureSource> pictureSource();

    // The run's rules, checked as its signals come and after every step.
    void onSlotAdded(int slot);
    void onHitsPlaced(int before);
    void onRunFinished();
    bool reportAgrees(int row, const SiteReport &report) const;
    void checkAlways();
    void expect(bool kept, const char *rule);

    QList<BaseSetup> m_bases;
    QByteArrayView m_steps;
    std::unique_ptr<World> m_world;
    std::shared_ptr<SearchLog> m_log;
    QHash<QString, QString> m_pageFailures; // by address, when its last reply failed
    bool m_busy = false;                     // as busyChanged said last
    int m_pictures = 0;
    int m_step = 0;
    QString m_broken;
};

Driver::Driver(QByteArrayView schedule)
{
    const int bases = schedule.isEmpty() ? 1 : 1 + quint8(schedule[0]) % SiteCatalogue::kBuiltInCount;
    for (int row = 0; row < bases; ++row) {
        const int bits = (1 + row < schedule.size()) ? quint8(schedule[1 + row]) : 0;
        BaseSetup base;
        base.pacing = (bits & 3) == 0   ? SiteSearch::Pacing::Waited
                      : (bits & 3) == 1 ? SiteSearch::Pacing::WaitedThenSettle
                                        : SiteSearch::Pacing::Settle;
        base.thumbnails = (bits & 3) != 3;
        base.hits = kHitsPerPage[(bits >> 2) & 7];
        base.ending = Ending((bits >> 5) & 3);
        base.wide = bits & 128;
        m_bases.append(base);
    }
    m_steps = schedule.sliced(qMin(schedule.size(), qsizetype(1 + bases)));
}

QString Driver::play()
{
    makeWorld();
    for (m_step = 0; m_step < m_steps.size() && m_broken.isEmpty(); ++m_step) {
        const int byte = quint8(m_steps[m_step]);
        step(byte >> 5, byte & 31);
        settle();
        checkAlways();
    }
    // Every wait ends at its time limit, so a run that never finishes is stuck.
    for (int i = 0; i < 3 && m_broken.isEmpty(); ++i) {
        m_world->clock.advance(kDrainMs);
        settle();
        checkAlways();
    }
    expect(!m_world->program.searching() && !m_world->program.retrieval().downloading(),
           "the search or the retrieval never ended");
    m_world.reset();
    return m_broken;
}

void Driver::makeWorld()
{
    m_world.reset();
    m_world = std::make_unique<World>();
    World &world = *m_world;
    Program &program = world.program;
    program.download().setNetwork(&world.network);
    program.download().setClock(&world.clock);
    program.state().DossierTemp = world.dir.filePath(QStringLiteral("cache/"));
    QDir().mkpath(program.state().DossierTemp);
    world.viewer.results = &program.results();
    program.retrieval().setOutputActions(&world.viewer);
    program.retrieval().setSaveFolder(world.dir.path());
    const QList<int> order = program.catalogue().rowOrder();
    for (int base = 0; base < program.catalogue().baseCount(); ++base)
        program.catalogue().setTick(base, 0);
    for (int row = 0; row < m_bases.size(); ++row) {
        program.setSearch(order[row], [this, row](SiteSearch &site) { return search(site, row); }, siteName(row));
        program.retrieval().setResolver(order[row], [this](PictureRequest &) { return pictureSource(); });
        program.catalogue().setTick(order[row], 1);
    }
    program.catalogue().AfficheNbrCoche();
    program.setTitle(QStringLiteral("matrix"));
    m_log.reset();
    m_busy = false;
    QObject::connect(&program.results(), &ResultList::slotAdded, &program, [this](int slot) { onSlotAdded(slot); });
    QObject::connect(&program, &Program::hitsPlaced, &program, [this](int before) { onHitsPlaced(before); });
    QObject::connect(&program, &Program::runFinished, &program, [this] { onRunFinished(); });
    QObject::connect(&program, &Program::busyChanged, &program, [this](bool busy) { m_busy = busy; });
}

void Driver::step(int op, int x)
{
    Program &program = m_world->program;
    switch (op) {
    case Advance:
        m_world->clock.advance(25 * x * x);
        break;
    case Page:
        answerPage((x & 15) % int(m_bases.size()), x & 16);
        break;
    case Thumb:
        if (StandInReply *reply = oldestOpen(QStringLiteral("http://thumb.test/%1/").arg((x & 15) % m_bases.size())))
            x & 16 ? reply->answer(404, {}) : reply->answer(200, picture(x & 1));
        break;
    case Picture:
        if (StandInReply *reply = oldestOpen(QStringLiteral("http://picture.test/"))) {
            if (x % 4 == 3)
                reply->fail();
            else
                reply->answer(200, x % 4 == 2 ? QByteArray("junk") : picture(x % 4 == 1));
        }
        break;
    case Button:
        press(x % 3);
        break;
    case Clear:
        noteStop();
        program.EffaceResultats();
        break;
    case Retrieve:
        retrieve(x);
        break;
    case Window:
        if (x >= 16) {
            viewerSaves();
            break;
        }
        noteStop();
        program.shutDown();
        settle();
        // Closing ends what is under way at once, whatever it waits for.
        expect(!program.searching() && !program.retrieval().downloading(), "closing left something under way");
        makeWorld();
        break;
    }
}

void Driver::settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        m_world->clock.advance(0);
    }
}

void Driver::press(int how)
{
    Program &program = m_world->program;
    if (how == 2 || program.searchCaptionShowsStop()) {
        noteStop();
        how == 2 ? program.requestStop() : program.Lance(1 + how);
        return;
    }
    if (!program.searching() && program.searchButtonEnabled()) {
        m_log = std::make_shared<SearchLog>();
        m_log->rows.resize(m_bases.size());
        m_pageFailures.clear();
    }
    program.Lance(1 + how);
}

void Driver::noteStop()
{
    if (m_log && m_world->program.searching() && !m_log->stopped) {
        m_log->stopped = true;
        m_log->placedRowsAtStop = m_log->placedRows;
    }
}

StandInReply *Driver::oldestOpen(const QString &prefix)
{
    for (StandInReply *reply : m_world->network.openReplies())
        if (reply->url().toString().startsWith(prefix))
            return reply;
    return nullptr;
}

void Driver::answerPage(int row, bool last)
{
    StandInReply *reply = oldestOpen(QStringLiteral("http://page.test/%1/").arg(row));
    if (!reply)
        return;
    const BaseSetup &base = m_bases[row];
    const QString url = reply->url().toString();
    const Ending ending = last ? base.ending : LastPage;
    // A failure is final when no twin of the read (its re-ask) is still out.
    bool twin = false;
    for (StandInReply *other : m_world->network.openReplies())
        twin = twin || (other != reply && other->url() == reply->url());
    if (ending == Unreachable || ending == ServerError) {
        if (!twin)
            m_pageFailures.insert(url, ending == Unreachable ? QStringLiteral("unreachable") : QStringLiteral("http-error"));
        ending == Unreachable ? reply->fail() : reply->answer(500, "oops");
        return;
    }
    m_pageFailures.remove(url);
    reply->answer(200, ending == Throws ? QByteArray("throw") : QByteArray::number(base.hits) + (last ? "" : "+"),
                  "text/html");
}

void Driver::retrieve(int x)
{
    // The slots are enabled and disabled all together.
    const ResultList &results = m_world->program.results();
    if (results.NbVignettes() == 0 || !results.slot(0).enabled)
        return;
    const int slot = (x >> 1) % results.NbVignettes();
    if (x & 1)
        m_world->program.retrieval().downloadClicked(slot);
    else
        m_world->program.retrieval().thumbPressed(slot, 1);
}

void Driver::viewerSaves()
{
    Viewer &viewer = m_world->viewer;
    ResultList &results = m_world->program.results();
    if (viewer.slot < 0 || viewer.slot >= results.NbVignettes())
        return;
    const bool before = results.slot(viewer.slot).downloaded;
    results.setDownloaded(viewer.slot, viewer.generation);
    // A viewer of a cleared list holds a hit the slot no longer shows.
    expect(viewer.generation == results.generation() || results.slot(viewer.slot).downloaded == before,
           "a viewer of a cleared list marked a hit of the new one");
}

QCoro::Task<> Driver::search(SiteSearch &site, int row)
{
    const std::shared_ptr<SearchLog> log = m_log;
    RowLog &me = log->rows[row];
    // Also when the search throws: the task is over either way.
    struct EndMark
    {
        RowLog &row;
        ~EndMark() { row.ended = true; }
    } endMark{me};
    const BaseSetup base = m_bases[row];
    site.announce(siteName(row));
    for (int page = 1;; ++page) {
        const QString url = QStringLiteral("http://page.test/%1/%2").arg(row).arg(page);
        const QString body = co_await site.readPage(url);
        if (body == u"throw") {
            me.threw = true;
            throw std::bad_alloc();
        }
        if (body.isEmpty()) {
            if (!site.stopRequested() && me.failure.isEmpty())
                me.failure = m_pageFailures.value(url, QStringLiteral("timed-out"));
            co_return;
        }
        const int first = site.hitCount() + 1;
        for (int i = 0; i < base.hits; ++i) {
            ResultEntry *hit = site.newHit();
            if (!hit)
                break;
            hit->Key = hit->Title = QStringLiteral("%1/%2").arg(row).arg(site.hitCount());
            hit->Site = siteName(row);
        }
        me.found = site.hitCount();
        std::function<QString(ResultEntry &)> thumbnail;
        if (base.thumbnails)
            thumbnail = [](ResultEntry &hit) { return QStringLiteral("http://thumb.test/") + hit.Key; };
        co_await site.placeHits(first, base.wide, base.pacing, thumbnail);
        if (!body.endsWith(u'+'))
            co_return;
    }
}

QCoro::Task<PictureSource> Driver::pictureSource()
{
    co_return PictureSource{QStringLiteral("http://picture.test/%1").arg(++m_pictures)};
}

void Driver::onSlotAdded(int slot)
{
    if (!m_log)
        return;
    SearchLog &log = *m_log;
    expect(!log.stopped, "a hit placed after Stop");
    expect(slot == log.walk.size(), "a slot made out of order or twice");
    expect(slot < ResultList::kMaxHits, "more than 100 hits placed");
    const QStringList key = m_world->program.results().entry(slot + 1).Key.split(u'/');
    const int row = key.value(0).toInt(), number = key.value(1).toInt();
    // The walk of the bases one after the other: each row's hits in order
    // from its first, the rows in row order, a row complete before the next.
    if (!log.walk.isEmpty() && log.walk.last().first == row) {
        expect(number == log.walk.last().second + 1, "a row's hits placed out of order");
    } else {
        expect(number == 1 && (log.walk.isEmpty() || log.walk.last().first < row), "a row placed out of order");
        for (int earlier = 0; earlier < row; ++earlier)
            expect(log.rows[earlier].ended && log.rows[earlier].placed == log.rows[earlier].found,
                   "a row placed before an earlier one was complete");
    }
    log.rows[row].placed = number;
    log.walk.append({row, number});
}

void Driver::onHitsPlaced(int before)
{
    if (!m_log)
        return;
    SearchLog &log = *m_log;
    const SearchRun *run = m_world->program.run();
    // Once per row, in row order, when it has ended: its hits follow the earlier rows'.
    const int row = log.placedRows++;
    expect(run && row < int(run->rows().size()) && run->rows()[size_t(row)]->ended(),
           "hits placed for a row twice or for one still running");
    expect(before == log.countAtLastRow, "a row's hits placed at the wrong index");
    log.countAtLastRow = m_world->program.results().NbResultats();
}

void Driver::onRunFinished()
{
    if (!m_log)
        return;
    SearchLog &log = *m_log;
    expect(++log.finished == 1, "a run finished twice");
    for (const RowLog &row : std::as_const(log.rows))
        expect(row.ended, "a run finished with a base's task still running");
    expect(log.stopped || log.placedRows == log.rows.size(), "a row's hits were never placed");
    const QList<SiteReport> reports = m_world->program.run()->reports();
    expect(reports.size() == log.rows.size(), "not one report per base searched");
    for (int row = 0; row < reports.size() && row < log.rows.size(); ++row)
        expect(reportAgrees(row, reports[row]), "a report that disagrees with what happened");
}

bool Driver::reportAgrees(int row, const SiteReport &report) const
{
    const SearchLog &log = *m_log;
    const RowLog &me = log.rows[row];
    const QString word = SiteReport::word(report.outcome);
    if (report.site != siteName(row))
        return false;
    if (me.placed > 0)
        return word == u"hits" && report.hits == me.placed;
    if (log.stopped && row >= log.placedRowsAtStop)
        return word == u"stopped";
    if (me.threw)
        return word == u"internal-error";
    if (word == u"list-full")
        return m_world->program.results().NbResultats() >= ResultList::kMaxHits;
    return word == (me.failure.isEmpty() ? QStringLiteral("no-hit") : me.failure);
}

void Driver::checkAlways()
{
    Program &program = m_world->program;
    const ResultList &results = program.results();
    expect(results.NbResultats() <= ResultList::kMaxHits && results.NbVignettes() <= results.NbResultats(),
           "more than 100 hits, or more slots than hits");
    // The busy band shows work under way: none once the run and the retrieval are over.
    if (!program.searching() && !program.retrieval().downloading())
        expect(!program.busy() && !m_busy, "busy with nothing under way");
}

void Driver::expect(bool kept, const char *rule)
{
    if (!kept && m_broken.isEmpty())
        m_broken = QStringLiteral("step %1: %2").arg(m_step).arg(QLatin1String(rule));
}

} // namespace

QString ScheduleDriver::play(QByteArrayView schedule)
{
    // The same hash order every time, so an input replays the same way.
    QHashSeed::setDeterministicGlobalSeed();
    return Driver(schedule).play();
}
