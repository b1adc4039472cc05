#pragma once

#include "core/result_entry.h"
#include "core/site_report.h"
#include "core/site_search.h"

#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class Download;
class Program;
class SearchRun;

// One base's part of a search: what its task found and asked to show, kept in
// order until every earlier row is placed, then replayed into the result list
// exactly as a search of the bases one after the other would have made it.
class SearchRow
{
public:
    struct Event
    {
        enum class Kind { Announce, Hit, Centre, Slot };
        Kind kind = Kind::Announce;
        QString label;       // Announce
        int number = 0;      // Hit, Slot
        bool wide = false;   // Slot
        ResultEntry snapshot; // Slot: the hit as it was when its slot was asked for

        static Event of(Kind kind, int number = 0)
        {
            Event event;
            event.kind = kind;
            event.number = number;
            return event;
        }
    };

    SearchRow(SearchRun &run, int base, const QString &site);

    int base() const { return m_base; }
    bool ended() const { return m_ended; }
    bool stopped() const { return m_stopped; }
    QList<ResultEntry> &hits() { return m_hits; }
    // What the base's search came to, so far.
    SiteReport report() const;

private:
    friend class SearchRun;
    friend class SiteSearch;

    SearchRun &m_run;
    int m_base;
    QList<ResultEntry> m_hits;
    QList<Event> m_events;
    qsizetype m_replayed = 0;
    int m_firstIndex = 0;  // list index of its hit 1, once it is placed
    int m_placedSlots = 0; // its hits shown in the list
    QHash<int, QString> m_thumbnailUrls; // by hit number
    QHash<int, QImage> m_thumbnails;
    bool m_ended = false;
    bool m_stopped = false;
    std::unique_ptr<SiteSearch> m_search;

    // For its report: its requests so far, how it ended.
    SiteReport m_tally;
    RequestFailure m_firstPageFailure; // a thumbnail's failure alone says nothing of the site
    bool m_userStopped = false; // stopped before its hits were placed
    bool m_listFull = false;    // cut short or refused hits for want of room
    QString m_thrown;           // what its task threw, if it did
    qint64 m_endedAtMs = -1;
};

// A search of several bases at once: one task per base, every hit placed in
// the order of the bases' rows, the hundred-hit limit counted across them.
class SearchRun : public QObject
{
    Q_OBJECT

public:
    using Procedure = std::function<QCoro::Task<>(SiteSearch &)>;
    struct Base
    {
        int index;
        Procedure search;
        QString site; // the name its hits carry
    };

    // `address` gives a site's address from its setting.
    SearchRun(Program &program, Download &download, std::function<QString(const QString &)> address,
              QObject *parent = nullptr);
    ~SearchRun() override;

    // Starts every base's task at once; `bases` are in row order.
    void start(const QList<Base> &bases);
    // The user stopped: every task ends now; rows not yet placed are dropped.
    void stop();
    bool isFinished() const { return m_finished; }
    const std::vector<std::unique_ptr<SearchRow>> &rows() const { return m_rows; }
    // Every base's report, in row order.
    QList<SiteReport> reports() const;

signals:
    // Every task has ended.
    void finished();

private:
    friend class SearchRow;
    friend class SiteSearch;

    QCoro::Task<> runRow(SearchRow &row, Procedure search);
    // Room left for `row`'s hits, given what the rows before it found so far.
    int roomFor(const SearchRow &row) const;
    void record(SearchRow &row, SearchRow::Event event);
    void thumbnailUrl(SearchRow &row, int number, const QString &url);
    bool quiet() const;
    void thumbnailArrived(SearchRow &row, int number, const QImage &picture);
    bool isPlaced(const SearchRow &row, int number) const;
    void rowEnded(SearchRow &row);
    void place();
    void placeRows();
    void replay(SearchRow &row, const SearchRow::Event &event);
    // A row's hit as the list holds it: with the base that found it.
    static ResultEntry placed(const SearchRow &row, ResultEntry hit);
    void copyPlacedHits(SearchRow &row);
    void stopRow(SearchRow &row);
    void finishIfDone();

    Program &m_program;
    Download &m_download;
    std::function<QString(const QString &)> m_address;
    std::vector<std::unique_ptr<SearchRow>> m_rows;
    QElapsedTimer m_clock;
    size_t m_cursor = 0; // the row being placed
    int m_holds = 0;     // while starting or stopping, the end is told afterwards
    bool m_stopped = false;
    bool m_finished = false;
    bool m_placing = false;
};
