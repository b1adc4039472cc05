#include "sites/cover_comoz.h"

#include "sites/title_preparation.h"
#include "text/text_helpers.h"

namespace {

const QString kSite = QStringLiteral("Cover Comoz");
const QString kHostSetting = QStringLiteral("Hote-CoverComoz");

// The reply's headers, the page's head and its menus, written in the same
// colour as the titles, fill its first characters; the hits come after them.
constexpr qsizetype kSkippedHead = 1600;

// Each title is written in white: <font color='#FFFFFF'>TITLE</font>
constexpr QStringView kTitleColour = u"#FFFFFF";
constexpr qsizetype kTitleOffset = 9; // after the colour, its quote and ">"
// <a href='PATH'> and <img src='ADDRESS'>: the values inside their quotes.
constexpr qsizetype kPathOffset = 9;
constexpr qsizetype kSourceOffset = 5;

} // namespace

CoverComoz::CoverComoz()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> CoverComoz::search(SiteSearch &search, int)
{
    search.announce(kSite);
    const QString answer = co_await search.postForm(QStringLiteral("CoverComoz"), titleForForm(kSite, search.typedTitle()),
                                                    search.address(kHostSetting));
    search.addHits(coverPass(answer));
    search.centre();
    co_await search.placeHits(1, false, SiteSearch::Pacing::Settle, [](ResultEntry &hit) { return hit.Key; });
}

// Every hit reads: <font color='#FFFFFF'>TITLE</font> ... <a href='PATH'><img src='THUMBNAIL'></a>
QList<ResultEntry> CoverComoz::coverPass(const QString &answer)
{
    QList<ResultEntry> hits;
    qsizetype pos = kSkippedHead;
    for (;;) {
        const qsizetype a = text::find(answer, kTitleColour, pos);
        if (a == 0)
            return hits;
        // The last skipped character itself: the scan goes on past it.
        if (a == pos) {
            pos = a + 1;
            continue;
        }
        const qsizetype f = text::find(answer, u"</font>", a);
        const qsizetype h = text::find(answer, u"<a href=", a);
        const qsizetype g = text::find(answer, u"><", h);
        const qsizetype s = text::find(answer, u"src=", h);
        const qsizetype g2 = text::find(answer, u"><", s);
        // The page was cut off inside this hit.
        if (f == 0 || g == 0 || g2 == 0)
            return hits;
        ResultEntry entry;
        entry.Title = piece(answer, a + kTitleOffset, f - (a + kTitleOffset));
        entry.Extra = piece(answer, h + kPathOffset, g - 1 - (h + kPathOffset));
        entry.Key = piece(answer, s + kSourceOffset, g2 - 1 - (s + kSourceOffset));
        entry.Site = kSite;
        hits.append(entry);
        pos = s;
    }
}

// The cover's page shows the picture as its first absolute address: src='http://....jpg'
QString CoverComoz::picturePass(const QString &coverPage)
{
    const qsizetype s = text::find(coverPage, u"src='http://");
    const qsizetype j = text::find(coverPage, u"jpg", s);
    if (s == 0 || j == 0)
        return {};
    const qsizetype start = s + kSourceOffset;
    return text::mid(coverPage, start, j + 3 - start);
}

// Read from the cover's page and fetched again at every press, even when the
// cache folder holds the picture.
QCoro::Task<PictureSource> CoverComoz::picture(PictureRequest &request)
{
    PictureSource source;
    source.url = picturePass(co_await request.readPage(request.address(kHostSetting) + u'/' + request.hit().Extra));
    co_return source;
}
