#include "sites/cine_movies.h"

#include "text/text_helpers.h"
#include "sites/title_preparation.h"

#include <algorithm>

namespace {

const QString kSite = QStringLiteral("CineMovies");
const QString kHostSetting = QStringLiteral("Hote-CineMovies");
constexpr int kMaxFilms = 100;
// Poster pages show four posters each; "num" is the first one's rank.
constexpr int kPostersPerPage = 4;
constexpr int kLastPosterPage = 80;

const QString kPictureFolder = QStringLiteral("/images/data/affiches/");

} // namespace

CineMovies::CineMovies()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> CineMovies::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(kSite);
    const QString page = co_await search.readPage(host + QStringLiteral("/search-1-")
                                                  + titleForAddress(kSite, search.typedTitle())
                                                  + QStringLiteral("-0.html"));
    const QList<ResultEntry> films = filmPass(page).mid(0, kMaxFilms);
    for (const ResultEntry &film : films) {
        if (search.stopRequested())
            break;
        co_await walkPosterPages(search, host, film);
    }
    search.centre();
}

// A film reads: fiche_film.php?idfilm=NUMBER' class='titrefilm'><b>TITLE</b></a>
// ... <p align='center'><b>YEAR</b>
QList<ResultEntry> CineMovies::filmPass(const QString &page)
{
    const QString lower = page.toLower();
    QList<ResultEntry> films;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(lower, u"fiche_film.php?idfilm=", pos + 1);
        if (a == 0)
            break;
        ResultEntry film;
        const qsizetype c = text::find(lower, u"class=", a);
        // The two characters before "class=" are the link's closing quote and a blank.
        film.Key = piece(lower, a + 22, c - a - 24);
        const qsizetype e = text::find(lower, u"</b></a>", a);
        if (c > 0)
            film.Title = piece(lower, c + 21, e - c - 21);
        const qsizetype p = text::find(lower, u"<p align='center'><b>", e);
        if (p > 0) {
            const qsizetype q = text::find(lower, u"</b>", p + 1);
            film.Year = yearValue(piece(lower, p + 21, q - p - 21));
        }
        films.append(film);
        // A film without its year line must not be read again.
        pos = std::max(p, a);
    }
    return films;
}

// The poster pages of one film, until one shows no poster or the last rank;
// a film whose number could not be read has none.
QCoro::Task<> CineMovies::walkPosterPages(SiteSearch &search, const QString &host, const ResultEntry &film)
{
    if (film.Key.isEmpty())
        co_return;
    QList<ResultEntry> previous;
    for (int num = 0; num <= kLastPosterPage; num += kPostersPerPage) {
        if (search.stopRequested())
            co_return;
        const QString page = co_await search.readPage(host + QStringLiteral("/fiche_affiches.php?IDfilm=") + film.Key
                                                      + QStringLiteral("&num=") + QString::number(num));
        if (!page.contains(u"popaff.php?IDaffiche="))
            co_return;
        const QList<ResultEntry> posters = posterPass(page, film);
        // A site that ignores "num" would list the same posters again and again.
        if (posters == previous)
            co_return;
        co_await addPosters(search, host, posters);
        previous = posters;
    }
}

// A poster reads: popaff.php?IDaffiche=NUMBER' ... images/data/affiches/KEY.jpg
// ... color='#990000'>CAPTION</font>
QList<ResultEntry> CineMovies::posterPass(const QString &page, const ResultEntry &film)
{
    QList<ResultEntry> posters;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, u"popaff.php?IDaffiche=", pos + 1);
        if (a == 0)
            break;
        ResultEntry poster;
        const qsizetype q = text::find(page, u"'", a);
        poster.Extra = piece(page, a + 21, q - a - 21);
        const qsizetype i = text::find(page, u"images/data/affiches/", a + 1);
        const qsizetype j = text::find(page, u".jpg", i);
        poster.Key = piece(page, i + 21, j - i - 17);
        const qsizetype r = text::find(page, u"#990000", j);
        const qsizetype s = text::find(page, u"</font>", r);
        // After "#990000" come the attribute's closing quote and ">".
        poster.Title = film.Title + QStringLiteral(" - ") + piece(page, r + 9, s - r - 9);
        poster.Year = film.Year;
        poster.Site = kSite;
        // Without its picture a poster has nothing to show or fetch.
        if (!poster.Key.isEmpty())
            posters.append(poster);
        pos = std::max(r, a);
    }
    return posters;
}

// Each poster becomes a hit at once, its thumbnail waited for before the next.
QCoro::Task<> CineMovies::addPosters(SiteSearch &search, const QString &host, const QList<ResultEntry> &posters)
{
    for (const ResultEntry &poster : posters) {
        ResultEntry *entry = search.newHit();
        if (!entry)
            co_return;
        *entry = poster;
        const int number = search.hitCount();
        if (!search.addSlot(number, false))
            co_return;
        co_await search.fetchThumbnail(number, host + kPictureFolder + poster.Key, SiteSearch::Pacing::Waited);
    }
}

// The full picture sits next to its thumbnail, a "G" in the place of the "P".
QCoro::Task<PictureSource> CineMovies::picture(PictureRequest &request)
{
    QString key = request.hit().Key;
    text::replaceAll(key, u"P", u"G");
    PictureSource source;
    source.url = request.address(kHostSetting) + kPictureFolder + key;
    co_return source;
}
