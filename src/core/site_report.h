#pragma once

#include <QString>

// Why a request of a base's search failed.
struct RequestFailure
{
    enum class Kind { None, Unreachable, TimedOut, HttpError };
    Kind kind = Kind::None;
    int status = 0;  // HttpError: the status that came
    QString url;
    QString reason;  // Unreachable: what the network said
    bool tooLarge = false; // HttpError: the answer passed its size cap

    explicit operator bool() const { return kind != Kind::None; }
};

// What one base's search came to: which site answered, and why not.
struct SiteReport
{
    // In order of precedence: the first that applies is the outcome.
    enum class Outcome { Hits, Stopped, InternalError, ListFull, Unreachable, TimedOut, HttpError, NoHit };

    int base = 0;
    QString site;
    Outcome outcome = Outcome::NoHit;
    int hits = 0;      // placed in the list
    int requests = 0;  // pages, form posts and thumbnails
    int failed = 0;
    qint64 bytes = 0;
    double seconds = 0;
    RequestFailure firstFailure;  // the one the detail names
    qint64 pageBytes = -1;        // the last page or form answer read; -1 when none came
    QString thrown;               // InternalError: what the search threw

    // "hits", "no-hit", "timed-out"...
    static QString word(Outcome outcome);
    // The site did not answer as it should: unreachable, timed out or an error status.
    bool didNotAnswer() const;
    // Ended as a search may: found, answered without hit, or no room left.
    bool isSound() const;
    // The detail, in the language of `langOffset` (0 French, 1000 English).
    QString detail(int langOffset) const;

    // The mark the selection window shows: nothing when the search said nothing about the site.
    enum class Mark { None, Found, NoHit, Failed };
    Mark mark() const;
};
