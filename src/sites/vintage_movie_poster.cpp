#include "sites/vintage_movie_poster.h"

#include "sites/title_preparation.h"
#include "text/text_helpers.h"

namespace {

const QString kSite = QStringLiteral("Vintage Movie Poster");
const QString kHostSetting = QStringLiteral("Hote-Vintage");

constexpr QStringView kHitMarker = u"#501828";
constexpr QStringView kTipMarker = u"onMouseOver";
constexpr QStringView kTipEnd = u"')";
constexpr QStringView kJpg = u".jpg";
// "onMouseOver='showtip('": the tip's text begins 22 characters after the marker.
constexpr qsizetype kTitleOffset = 22;
// "')' onMouseOut='hidetip();'><img src='": the picture's path begins 38
// characters after the end of the tip.
constexpr qsizetype kPathOffset = 38;

} // namespace

VintageMoviePoster::VintageMoviePoster()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> VintageMoviePoster::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(QStringLiteral("Vintage"));
    const QString page = co_await search.readPage(host + QStringLiteral("/result_key2_bis.asp?page2=1&motclef=")
                                                  + titleForAddress(kSite, search.typedTitle())
                                                  + QStringLiteral("&prix=0&B1=See+Results"));
    search.addHits(hitPass(page));
    search.centre();
    co_await search.placeHits(1, false, SiteSearch::Pacing::Settle,
                              [&](ResultEntry &hit) { return host + u'/' + hit.Key; });
}

// Every hit reads: <td bgcolor='#501828'><a href='...' onMouseOver='showtip('TITLE')'
// onMouseOut='hidetip();'><img src='photos_pm/NAME.jpg' ...>
QList<ResultEntry> VintageMoviePoster::hitPass(const QString &page)
{
    QList<ResultEntry> hits;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, kHitMarker, pos + 1);
        if (a == 0)
            return hits;
        const qsizetype m = text::find(page, kTipMarker, a);
        const qsizetype q = text::find(page, kTipEnd, m);
        const qsizetype j = text::find(page, kJpg, q);
        // The page was cut off inside this hit.
        if (m == 0 || q == 0 || j == 0)
            return hits;
        pos = q;
        // The path, ".jpg" included; the list shows the small picture, the
        // hit keeps the large one.
        QString key = piece(page, q + kPathOffset, j + kJpg.size() - q - kPathOffset);
        text::replaceAll(key, u"photos_pm", u"photos_gm");
        // A tip without a picture behind it is no poster.
        if (key.isEmpty())
            continue;
        ResultEntry entry;
        entry.Title = piece(page, m + kTitleOffset, q - m - kTitleOffset);
        entry.Key = key;
        entry.Site = kSite;
        hits.append(entry);
    }
}

// Fetched again at every press: the thumbnail was the same picture, reduced.
QCoro::Task<PictureSource> VintageMoviePoster::picture(PictureRequest &request)
{
    PictureSource source;
    source.url = request.address(kHostSetting) + u'/' + request.hit().Key;
    co_return source;
}
