#include "sites/cin_emotions.h"

#include "text/text_helpers.h"
#include "sites/title_preparation.h"

#include <algorithm>

namespace {

const QString kSite = QStringLiteral("CinEmotions");
const QString kHostSetting = QStringLiteral("Hote-CinEmotions");

} // namespace

CinEmotions::CinEmotions()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> CinEmotions::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(kSite);
    const QString page = co_await search.readPage(host + QStringLiteral("/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/")
                                                  + titleForAddress(kSite, search.typedTitle()));
    const QList<ResultEntry> films = filmPass(page);
    for (const ResultEntry &film : films) {
        if (search.stopRequested())
            break;
        // A full list ends only the posters of this film: the pages are read all the same.
        if (!film.Key.isEmpty())
            search.addHits(posterPass(co_await search.readPage(host + film.Key + QStringLiteral("/affiches.html")), film));
    }
    search.centre();
    co_await search.placeHits(1, false, SiteSearch::Pacing::Settle, [&](ResultEntry &hit) { return host + hit.Key; });
}

// A film reads: <A HREF='PATH.html' class=link4 onMouseOver='window.status='TITLE';...
QList<ResultEntry> CinEmotions::filmPass(const QString &page)
{
    QList<ResultEntry> films;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, u"class=link4 ", pos + 1);
        if (a == 0)
            break;
        ResultEntry film;
        const qsizetype h = text::findLast(page, u"<A HREF=", a);
        // A link before the previous film's status text is not this film's.
        if (h > pos) {
            // Between the path and "class=" lie the closing quote and a blank.
            film.Key = piece(page, h + 9, a - h - 11);
            text::replaceAll(film.Key, u".html", u"");
        }
        const qsizetype w = text::find(page, u"window.status=", a);
        const qsizetype s = text::find(page, u";", w);
        film.Title = piece(page, w + 15, s - w - 16);
        // The status text is a script string: its quotes come escaped.
        text::replaceAll(film.Title, u"\\", u"");
        films.append(film);
        // A film without its status text must not be read again.
        pos = std::max(s, a);
    }
    return films;
}

// A poster reads: <A HREF='PAGE'><IMG SRC='THUMBNAIL' border=1></A>
QList<ResultEntry> CinEmotions::posterPass(const QString &page, const ResultEntry &film)
{
    QList<ResultEntry> posters;
    qsizetype p2 = 0;
    for (qsizetype b; (b = text::find(page, u"border=1></A>", p2 + 1)) != 0; p2 = b) {
        const qsizetype h2 = text::findLast(page, u"<A HREF=", b);
        // A link before the previous poster is not this poster's.
        if (h2 <= p2)
            continue;
        ResultEntry poster;
        const qsizetype i = text::find(page, u"><IMG SRC=", h2);
        poster.Extra = piece(page, h2 + 9, i - h2 - 10);
        const qsizetype e = text::find(page, u"border=1></A>", i);
        poster.Key = piece(page, i + 11, e - i - 13);
        poster.Title = film.Title;
        poster.Site = kSite;
        // Without its thumbnail a poster has nothing to show.
        if (!poster.Key.isEmpty())
            posters.append(poster);
    }
    return posters;
}

// The poster's page names its full picture after the heading "Affiches de ...".
QString CinEmotions::picturePass(const QString &page)
{
    const qsizetype a = text::find(page, u"Affiches de");
    const qsizetype b = text::find(page, u"/data/films/", a);
    const qsizetype j = text::find(page, u".jpg", b);
    const QString path = piece(page, b, j - b);
    return path.isEmpty() ? QString() : path + QStringLiteral(".jpg");
}

// A poster page that never arrives leaves nothing to fetch, not the picture of the one before.
QCoro::Task<PictureSource> CinEmotions::picture(PictureRequest &request)
{
    const QString host = request.address(kHostSetting);
    const QString path = picturePass(co_await request.readRawPage(host + request.hit().Extra));
    PictureSource source;
    if (!path.isEmpty())
        source.url = host + path;
    co_return source;
}
