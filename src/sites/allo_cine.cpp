#include "sites/allo_cine.h"

#include "text/text_helpers.h"
#include "sites/title_preparation.h"

namespace {

const QString kSite = QStringLiteral("AlloCiné");
const QString kHostSetting = QStringLiteral("Hote-AlloCine");

constexpr QStringView kFilmMarker = u"<h4><a href='/film/fichefilm_gen_cfilm=";
constexpr QStringView kTitleMarker = u"link1'>";
// The film page's poster cell; its first picture is the thumbnail.
constexpr QStringView kPosterCell = u"td valign='top' style='padding:0 0 5 0' width='100%' align='center'";
// The page writes "&nbsp;(", which DecodeHtml has made a blank and a bracket.
constexpr QStringView kBracket = u" (";
constexpr qsizetype kYearLength = 4;
// A thumbnail's last folder and the 24 characters before its "/" name its
// size; what comes before is shared by every size of the film's pictures.
constexpr qsizetype kSizeFolderLength = 25;

// Where the film's year begins, 0 when it shows none. The year is in the
// second bracket after the film's link, the first holding the original title:
// "matrix</a> (the matrix) (1999)". Brackets past the next film's link are
// not this film's.
qsizetype yearPosition(QStringView page, qsizetype link)
{
    const qsizetype next = text::find(page, kFilmMarker, link + 1);
    const qsizetype first = text::find(page, kBracket, link + 1);
    const qsizetype second = first == 0 ? 0 : text::find(page, kBracket, first + 1);
    if (second == 0 || (next != 0 && second > next))
        return 0;
    return second + kBracket.size();
}

// Every hit reads: <h4><a href='/film/fichefilm_gen_cfilm=NUMBER.html' class='link1'>TITLE</a>
QList<ResultEntry> titlePass(const QString &page)
{
    QList<ResultEntry> hits;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, kFilmMarker, pos + 1);
        if (a == 0)
            break;
        const qsizetype b = text::find(page, kTitleMarker, a + 1);
        const qsizetype c = text::find(page, u"</a>", b);
        // No title after this link: the page holds no more, or was cut off.
        if (b == 0 || c == 0)
            break;
        ResultEntry entry;
        entry.Title = text::mid(page, b + 7, c - b - 7);
        text::replaceAll(entry.Title, u"</b>", u"");
        text::replaceAll(entry.Title, u"<b>", u"");
        hits.append(entry);
        pos = b;
    }
    return hits;
}

} // namespace

AlloCine::AlloCine()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> AlloCine::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(kSite);
    const QString page = co_await search.readPage(host + QStringLiteral("/recherche/?motcle=")
                                                  + titleForAddress(kSite, search.typedTitle())
                                                  + QStringLiteral("&rub=1&page=1"));
    search.addHits(resultPass(page));
    search.centre();
    // Each slot first, then its film page for the thumbnail.
    for (int number = 1; number <= search.hitCount(); ++number) {
        if (!search.addSlot(number, false))
            break;
        const QString film = search.hit(number).Extra;
        if (film.isEmpty())
            continue;
        const QString filmPage = co_await search.readPage(host + QStringLiteral("/film/fichefilm_gen_cfilm=") + film);
        const QString thumbnail = thumbnailPass(filmPage);
        search.hit(number).Key = thumbnail;
        if (!thumbnail.isEmpty())
            co_await search.fetchThumbnail(number, thumbnail, SiteSearch::Pacing::Settle);
    }
}

QList<ResultEntry> AlloCine::resultPass(const QString &page)
{
    const QString lower = page.toLower();
    QList<ResultEntry> hits = titlePass(lower);
    // The film links again, one per title, for the numbers and years.
    qsizetype pos = 0;
    for (ResultEntry &entry : hits) {
        const qsizetype a = text::find(lower, kFilmMarker, pos + 1);
        const qsizetype e = text::find(lower, u".html", a + 1);
        // The number and ".html": 39 is the marker's length.
        entry.Extra = e == 0 ? QString() : text::mid(lower, a + 39, e - a - 34);
        if (const qsizetype y = yearPosition(lower, a); y != 0)
            entry.Year = yearValue(text::mid(lower, y, kYearLength));
        entry.Site = kSite;
        pos = a;
    }
    return hits;
}

// The film page's poster cell reads: <td valign='top' ...><a ...><img src='http://...jpg'
QString AlloCine::thumbnailPass(const QString &filmPage)
{
    const qsizetype p = text::find(filmPage, kPosterCell);
    const qsizetype q = text::find(filmPage, u"http://", p);
    const qsizetype r = text::find(filmPage, u"'", q + 4);
    return q == 0 || r == 0 ? QString() : text::mid(filmPage, q, r - q);
}

QString AlloCine::pictureStem(const QString &thumbnail)
{
    const qsizetype k = text::findLast(thumbnail, u"/") - kSizeFolderLength;
    return k > 0 ? thumbnail.left(k) : QString();
}

// The gallery's first picture of the thumbnail's folder is the poster; the
// link just before it opens the poster's own page, which shows it full size.
QString AlloCine::galleryPass(const QString &galleryPage, const QString &stem)
{
    const qsizetype s = text::find(galleryPage, stem);
    if (s == 0)
        return {};
    const QString gallery = galleryPage.left(s);
    const qsizetype h = text::findLast(gallery, u"<a href=");
    const qsizetype e = text::find(gallery, u".html", h);
    if (h == 0 || e == 0)
        return {};
    // The link's path, from after "<a href='" up to and including ".html".
    return text::mid(gallery, h + 9, e - h - 4);
}

QString AlloCine::posterPass(const QString &posterPage, const QString &stem)
{
    const qsizetype picture = text::find(posterPage, stem);
    const qsizetype j = text::find(posterPage, u".jpg", picture);
    return picture == 0 || j == 0 ? QString() : text::mid(posterPage, picture, j - picture) + QStringLiteral(".jpg");
}

QCoro::Task<PictureSource> AlloCine::picture(PictureRequest &request)
{
    PictureSource source;
    // A poster in the cache folder spares the two gallery pages too.
    if (request.isCached())
        co_return source;
    const QString stem = pictureStem(request.hit().Key);
    if (stem.isEmpty())
        co_return source;
    const QString host = request.address(kHostSetting);
    const QString gallery = co_await request.readPage(host + QStringLiteral("/film/galerievignette_gen_cfilm=") + request.hit().Extra);
    const QString link = galleryPass(gallery, stem);
    if (link.isEmpty())
        co_return source;
    source.url = posterPass(co_await request.readRawPage(host + link), stem);
    co_return source;
}
