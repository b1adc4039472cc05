#include "sites/cine_movies.h"

#include "core/program.h"
#include "core/text_helpers.h"
#include "output/retrieval.h"

#include <algorithm>

namespace {

const QString kSite = QStringLiteral("CineMovies");
constexpr int kBaseIndex = 3;
constexpr int kMaxFilms = 100;
// Poster pages show four posters each; "num" is the first one's rank.
constexpr int kPostersPerPage = 4;
constexpr int kLastPosterPage = 80;

const QString kPictureFolder = QStringLiteral("/images/data/affiches/");

} // namespace

QString CineMovies::host() const
{
    return address(QStringLiteral("Hote-CineMovies"));
}

void CineMovies::ChercheCineMovies()
{
    beginHits();
    announce(kSite);
    fetchPage(host() + QStringLiteral("/search-1-") + preparedTitle(kSite) + QStringLiteral("-0.html"));
    state().PageHtml = state().PageHtml.toLower();

    const QList<Film> films = filmPass(state().PageHtml);
    for (const Film &film : films) {
        if (stopRequested())
            break;
        walkPosterPages(film);
    }
    CentreVignettes();
}

// A film reads: fiche_film.php?idfilm=NUMBER' class='titrefilm'><b>TITLE</b></a>
// ... <p align='center'><b>YEAR</b>
QList<CineMovies::Film> CineMovies::filmPass(const QString &page)
{
    QList<Film> films;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, u"fiche_film.php?idfilm=", pos + 1);
        if (a == 0 || films.size() >= kMaxFilms)
            break;
        Film film;
        const qsizetype c = text::find(page, u"class=", a);
        // The two characters before "class=" are the link's closing quote and a blank.
        film.number = piece(page, a + 22, c - a - 24);
        const qsizetype e = text::find(page, u"</b></a>", a);
        if (c > 0)
            film.title = piece(page, c + 21, e - c - 21);
        const qsizetype p = text::find(page, u"<p align='center'><b>", e);
        if (p > 0) {
            const qsizetype q = text::find(page, u"</b>", p + 1);
            film.year = yearValue(piece(page, p + 21, q - p - 21));
        }
        films.append(film);
        // A film without its year line must not be read again.
        pos = std::max(p, a);
        Program::yieldOnce();
    }
    return films;
}

// The poster pages of one film, until one shows no poster or the last rank;
// a film whose number could not be read has none.
void CineMovies::walkPosterPages(const Film &film)
{
    if (film.number.isEmpty())
        return;
    QList<Poster> previous;
    for (int num = 0; num <= kLastPosterPage; num += kPostersPerPage) {
        if (stopRequested())
            return;
        // A page that never arrives must not pass for the one before it.
        state().PageHtml.clear();
        fetchPage(host() + QStringLiteral("/fiche_affiches.php?IDfilm=") + film.number + QStringLiteral("&num=")
                  + QString::number(num));
        if (!state().PageHtml.contains(u"popaff.php?IDaffiche="))
            return;
        const QList<Poster> posters = posterPass(state().PageHtml);
        // A site that ignores "num" would list the same posters again and again.
        if (posters == previous)
            return;
        addPosters(film, posters);
        previous = posters;
    }
}

// A poster reads: popaff.php?IDaffiche=NUMBER' ... images/data/affiches/KEY.jpg
// ... color='#990000'>CAPTION</font>
QList<CineMovies::Poster> CineMovies::posterPass(const QString &page)
{
    QList<Poster> posters;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, u"popaff.php?IDaffiche=", pos + 1);
        if (a == 0)
            break;
        Poster poster;
        const qsizetype q = text::find(page, u"'", a);
        poster.number = piece(page, a + 21, q - a - 21);
        const qsizetype i = text::find(page, u"images/data/affiches/", a + 1);
        const qsizetype j = text::find(page, u".jpg", i);
        poster.key = piece(page, i + 21, j - i - 17);
        const qsizetype r = text::find(page, u"#990000", j);
        const qsizetype s = text::find(page, u"</font>", r);
        // After "#990000" come the attribute's closing quote and ">".
        poster.caption = piece(page, r + 9, s - r - 9);
        // Without its picture a poster has nothing to show or fetch.
        if (!poster.key.isEmpty())
            posters.append(poster);
        pos = std::max(r, a);
    }
    return posters;
}

// Each poster becomes a hit at once, its thumbnail waited for before the next.
void CineMovies::addPosters(const Film &film, const QList<Poster> &posters)
{
    for (const Poster &poster : posters) {
        if (!newHit())
            return;
        Program::yieldOnce();
        const int index = results().NbResultats();
        ResultEntry &entry = hit(index);
        entry.Extra = poster.number;
        entry.Key = poster.key;
        entry.Title = film.title + QStringLiteral(" - ") + poster.caption;
        entry.Year = film.year;
        entry.Site = kSite;
        state().IndiceCourant = index;
        addSlot(false);
        fetchThumbnail(host() + kPictureFolder + entry.Key, Pacing::Waited);
    }
}

void CineMovies::RecupCineMovies(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    ResultEntry &entry = hit(Index + 1);
    // The full picture sits next to its thumbnail, a "G" in the place of the "P".
    text::replaceAll(entry.Key, u"P", u"G");
    saveAndOpen(Index, Copy, host() + kPictureFolder + entry.Key,
                state().DossierTemp + state().NomFichier + QStringLiteral(".jpg"), false);
}

void registerCineMovies(Program &program)
{
    auto adapter = std::make_unique<CineMovies>(program);
    CineMovies *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheCineMovies(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupCineMovies(index, copy); });
    program.adopt(std::move(adapter));
}
