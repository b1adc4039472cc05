#pragma once

#include "core/result_entry.h"
#include "core/site_report.h"
#include "net/download.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class FormPost;
class SearchRow;

// What one base's search may do, and all it owns: its pages, its hits, its
// form-post connection, its reads. Every ticked base gets one, so the sites
// search side by side; the run places each base's hits in row order.
class SiteSearch
{
public:
    // How the thumbnails of a site's hits are fetched, one after the other.
    enum class Pacing {
        Waited,           // each is waited for before the next hit
        WaitedThenSettle, // waited for, then the short settle wait
        Settle,           // only the short settle wait: several in flight at once
    };

    SiteSearch(SearchRow &row, Download &download, const QString &typedTitle,
               std::function<QString(const QString &)> address);
    ~SiteSearch();

    SiteSearch(const SiteSearch &) = delete;
    SiteSearch &operator=(const SiteSearch &) = delete;

    // The title box's text, as typed.
    QString typedTitle() const { return m_typedTitle; }
    // A site's base address, from its "Hote-..." setting.
    QString address(const QString &settingName) const;

    // The redirects this base's reads may follow: every one when unset.
    void checkRedirects(Download::RedirectCheck check) { m_redirects = std::move(check); }

    // Shown as "Connecting to LABEL..." while the run waits for this base.
    void announce(const QString &label);
    // Reads a page, waiting for it (re-asked after a while, given up at the
    // time limit), and decodes it. Empty when it failed, was given up or the
    // search stopped.
    QCoro::Task<QString> readPage(const QString &url);
    // The same, its text as the site sent it (entities and quotes left alone).
    QCoro::Task<QString> readRawPage(const QString &url);
    // Posts a site's search form ("AllDivX", "CoverComoz") to the site at
    // `siteAddress` and returns the decoded answer, headers included.
    QCoro::Task<QString> postForm(const QString &SitePost, const QString &TitrePost, const QString &siteAddress);
    // Posts `body`, already escaped, to `url`; the answer as the site sent it, headers included.
    QCoro::Task<QString> postRawForm(const QString &url, const QByteArray &body);

    // How the last page read or post was answered, for a site file's step log.
    struct Answer
    {
        int status = 0; // 0 when no status line came
        qint64 bytes = 0;
        QString contentType;
    };
    const Answer &lastAnswer() const { return m_lastAnswer; }

    // Hits are numbered from 1 within this base. The entry of one more hit,
    // or none when the search stopped or the list can hold no more.
    ResultEntry *newHit();
    // Adds `found` in order while there is room; false when some did not fit.
    bool addHits(const QList<ResultEntry> &found);
    int hitCount() const;
    ResultEntry &hit(int number);
    // Single-base mode: a few hits start near the middle of the strip.
    void centre();
    // The slot of hit `number` (made in order, one per hit). False when it
    // will never be placed: the search stopped, or the list is full.
    bool addSlot(int number, bool wide);
    // The thumbnail of hit `number`, waited for as `pacing` says.
    QCoro::Task<> fetchThumbnail(int number, const QString &url, Pacing pacing);
    // The slot-and-thumbnail pass over the hits from `first` on: a slot for
    // each, then its thumbnail from `thumbnailOf` (none when it is empty).
    QCoro::Task<> placeHits(int first, bool wide, Pacing pacing,
                            const std::function<QString(ResultEntry &)> &thumbnailOf);

    // Waits until `wake` is woken, or the search stops.
    QCoro::Task<> until(WakeUp &wake);

    // The user stopped, or this base's hits can no longer be placed.
    bool stopRequested() const;
    // Ends every read and post of this base now.
    void abort();

private:
    // A read counted once for the report, when its outcome is final.
    struct CountedRead
    {
        Download::Ticket ticket = 0;
        bool counted = false;
    };

    std::shared_ptr<CountedRead> startRead(const QString &url, Download::Purpose purpose, Download::Delivery use);
    // A read gives up at its time limit: a failure, unless the search stopped it.
    void giveUp(CountedRead &read, const QString &url, bool page);
    void countFailure(const RequestFailure &failure, bool page);
    // The form-post connection, made at the first post; each call counts a request.
    FormPost &formPost();
    // A post's answer counted for the report; empty when the search stopped meanwhile.
    QString posted(const QString &page, const QString &url);

    SearchRow &m_row;
    Download &m_download;
    QString m_typedTitle;
    std::function<QString(const QString &)> m_address;
    std::unique_ptr<FormPost> m_formPost;
    QList<Download::Ticket> m_tickets;
    WakeUp *m_waitingFor = nullptr;
    Download::RedirectCheck m_redirects;
    Answer m_lastAnswer;
};
