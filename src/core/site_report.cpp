#include "core/site_report.h"

#include "settings/string_table.h"

namespace {

constexpr int kFilmFound = 13;
constexpr int kFilmsFound = 14;
constexpr int kStopped = 410;
constexpr int kListFull = 411;
constexpr int kUnreachable = 412;
constexpr int kNoAnswerInTime = 413;
constexpr int kHttpError = 414;
constexpr int kOn = 415;
constexpr int kNoHitPageOf = 416;
constexpr int kBytes = 417;
constexpr int kNoPage = 418;
constexpr int kFailedRequests = 419;
constexpr int kTheFirst = 420;
constexpr int kTooLarge = 421;
constexpr int kInternalError = 423;

class Texts
{
public:
    explicit Texts(int langOffset) : m_langOffset(langOffset) {}
    QString operator()(int id) const { return StringTable::text(id, m_langOffset).value_or(QString()); }

private:
    int m_langOffset;
};

QString failureText(const RequestFailure &failure, const Texts &text)
{
    using Kind = RequestFailure::Kind;
    QString shown;
    switch (failure.kind) {
    case Kind::None:
        return {};
    case Kind::Unreachable:
        shown = text(kUnreachable) + failure.url;
        break;
    case Kind::TimedOut:
        shown = text(kNoAnswerInTime) + failure.url;
        break;
    case Kind::HttpError:
        shown = text(kHttpError) + QString::number(failure.status) + text(kOn) + failure.url;
        break;
    }
    const QString reason = failure.tooLarge ? text(kTooLarge) : failure.reason;
    if (!reason.isEmpty())
        shown += QStringLiteral(" (") + reason + u')';
    return shown;
}

QString hitsText(int hits, const Texts &text)
{
    return hits == 1 ? text(kFilmFound) : QString::number(hits) + text(kFilmsFound);
}

} // namespace

QString SiteReport::word(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Hits: return QStringLiteral("hits");
    case Outcome::Stopped: return QStringLiteral("stopped");
    case Outcome::InternalError: return QStringLiteral("internal-error");
    case Outcome::ListFull: return QStringLiteral("list-full");
    case Outcome::Unreachable: return QStringLiteral("unreachable");
    case Outcome::TimedOut: return QStringLiteral("timed-out");
    case Outcome::HttpError: return QStringLiteral("http-error");
    case Outcome::NoHit: return QStringLiteral("no-hit");
    }
    return {};
}

bool SiteReport::didNotAnswer() const
{
    return outcome == Outcome::Unreachable || outcome == Outcome::TimedOut || outcome == Outcome::HttpError;
}

bool SiteReport::isSound() const
{
    return outcome == Outcome::Hits || outcome == Outcome::NoHit || outcome == Outcome::ListFull;
}

QString SiteReport::detail(int langOffset) const
{
    const Texts text(langOffset);
    switch (outcome) {
    case Outcome::Hits:
        if (failed == 0)
            return hitsText(hits, text);
        return hitsText(hits, text) + text(kFailedRequests) + QString::number(failed) + text(kTheFirst)
               + failureText(firstFailure, text);
    case Outcome::Stopped:
        return text(kStopped);
    case Outcome::InternalError:
        return text(kInternalError) + thrown;
    case Outcome::ListFull:
        return text(kListFull);
    case Outcome::Unreachable:
    case Outcome::TimedOut:
    case Outcome::HttpError:
        return failureText(firstFailure, text);
    case Outcome::NoHit:
        return pageBytes < 0 ? text(kNoPage) : text(kNoHitPageOf) + QString::number(pageBytes) + text(kBytes);
    }
    return {};
}

SiteReport::Mark SiteReport::mark() const
{
    switch (outcome) {
    case Outcome::Hits: return Mark::Found;
    case Outcome::NoHit: return Mark::NoHit;
    case Outcome::Unreachable:
    case Outcome::TimedOut:
    case Outcome::HttpError:
    case Outcome::InternalError: return Mark::Failed;
    case Outcome::Stopped:
    case Outcome::ListFull: return Mark::None;
    }
    return Mark::None;
}
