#include "sites/movie_poster.h"

#include "text/text_helpers.h"
#include "sites/title_preparation.h"

#include <algorithm>

namespace {

const QString kSite = QStringLiteral("MoviePoster");
const QString kHostSetting = QStringLiteral("Hote-MoviePoster");

// The poster page's address follows "class='pid", the cell's end and "<a href='".
constexpr qsizetype kKeyOffset = 21;
// The quote and the blank before "title=" close the address.
constexpr qsizetype kKeyTail = 2;
// The thumbnail's path follows "class='pic2", its quote and " src='".
constexpr qsizetype kThumbnailOffset = 18;
// The quote and the blank before "alt" close the path.
constexpr qsizetype kThumbnailTail = 2;
// "alt" is looked for from the src attribute on.
constexpr qsizetype kSourceOffset = 13;

} // namespace

MoviePoster::MoviePoster()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> MoviePoster::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(kSite);
    const QString page = co_await search.readPage(host + QStringLiteral("/cgi-bin/mpw8/search.pl?pl=kb&ti=")
                                                  + titleForAddress(kSite, search.typedTitle())
                                                  + QStringLiteral("&prl=Greater&prh=1&th=y&rs=100&sv=0&page=0"));
    search.addHits(scanResults(page));
    search.centre();
    co_await search.placeHits(1, false, SiteSearch::Pacing::Settle,
                              [&](ResultEntry &hit) { return host + u'/' + hit.Extra; });
}

// A hit reads: class='pid'><a href='KEY' title='TITLE'><img class='pic2' src='THUMBNAIL' alt=...
// A marker that is missing leaves its field, and the fields after it, empty.
QList<ResultEntry> MoviePoster::scanResults(const QString &page)
{
    QList<ResultEntry> hits;
    for (qsizetype pos = 0;;) {
        const qsizetype a = text::find(page, u"class='pid", pos + 1);
        if (a == 0)
            break;
        const qsizetype t = text::find(page, u"title=", a);
        const qsizetype q1 = t != 0 ? text::find(page, u"'", t) : 0;
        const qsizetype q2 = q1 != 0 ? text::find(page, u"'", q1 + 1) : 0;
        const qsizetype c = q1 != 0 ? text::find(page, u"class='pic2", q1) : 0;
        const qsizetype l = c != 0 ? text::find(page, u"alt", c + kSourceOffset) : 0;
        ResultEntry entry;
        if (t != 0)
            entry.Key = piece(page, a + kKeyOffset, t - kKeyTail - a - kKeyOffset);
        if (q2 != 0)
            entry.Title = piece(page, q1 + 1, q2 - q1 - 1);
        if (l != 0)
            entry.Extra = piece(page, c + kThumbnailOffset, l - kThumbnailTail - c - kThumbnailOffset);
        entry.Site = kSite;
        hits.append(entry);
        // A hit cut off before its thumbnail must not be read again.
        pos = std::max(c, a);
    }
    return hits;
}

// The page's double quotes reach this as apostrophes (the page is decoded as
// every page is), so the picture's path ends at the first of them.
QString MoviePoster::picturePath(const QString &page)
{
    const qsizetype a = text::find(page, u"/posters/archive/");
    if (a == 0)
        return {};
    const qsizetype q = text::find(page, u"\"", a);
    return piece(page, a, q - a);
}

// The poster's page is read on every retrieval, and the picture fetched again.
QCoro::Task<PictureSource> MoviePoster::picture(PictureRequest &request)
{
    const QString path = picturePath(co_await request.readRawPage(request.hit().Key));
    PictureSource source;
    if (!path.isEmpty())
        source.url = request.address(kHostSetting) + path;
    co_return source;
}
