#include "sites/cin_emotions.h"

#include "core/program.h"
#include "core/text_helpers.h"
#include "net/download.h"
#include "output/retrieval.h"

#include <algorithm>

namespace {

const QString kSite = QStringLiteral("CinEmotions");
constexpr int kBaseIndex = 12;

} // namespace

QString CinEmotions::host() const
{
    return address(QStringLiteral("Hote-CinEmotions"));
}

void CinEmotions::ChercheCinEmotions()
{
    const int first = beginHits();
    announce(kSite);
    fetchPage(host() + QStringLiteral("/cinema-tv-dvd/film-serie-acteur-actrice-realisateur/") + preparedTitle(kSite));
    // The poster pages replace PageHtml: the films are read from the result page first.
    const QList<Film> films = filmPass(state().PageHtml);
    for (const Film &film : films) {
        if (stopRequested())
            break;
        if (!film.path.isEmpty()) {
            // A page that never arrives must not pass for the film before.
            state().PageHtml.clear();
            fetchPage(host() + film.path + QStringLiteral("/affiches.html"));
            addPosters(film, posterPass(state().PageHtml));
        }
        Program::yieldOnce();
    }
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(false);
        fetchThumbnail(host() + hit(current).Key, Pacing::Settle);
        Program::yieldOnce();
    }
}

// A film reads: <A HREF='PATH.html' class=link4 onMouseOver='window.status='TITLE';...
QList<CinEmotions::Film> CinEmotions::filmPass(const QString &page)
{
    QList<Film> films;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, u"class=link4 ", pos + 1);
        if (a == 0)
            break;
        Film film;
        const qsizetype h = text::findLast(page, u"<A HREF=", a);
        // A link before the previous film's status text is not this film's.
        if (h > pos) {
            // Between the path and "class=" lie the closing quote and a blank.
            film.path = piece(page, h + 9, a - h - 11);
            text::replaceAll(film.path, u".html", u"");
        }
        const qsizetype w = text::find(page, u"window.status=", a);
        const qsizetype s = text::find(page, u";", w);
        film.title = piece(page, w + 15, s - w - 16);
        // The status text is a script string: its quotes come escaped.
        text::replaceAll(film.title, u"\\", u"");
        films.append(film);
        // A film without its status text must not be read again.
        pos = std::max(s, a);
    }
    return films;
}

// A poster reads: <A HREF='PAGE'><IMG SRC='THUMBNAIL' border=1></A>
QList<CinEmotions::Poster> CinEmotions::posterPass(const QString &page)
{
    QList<Poster> posters;
    qsizetype p2 = 0;
    for (qsizetype b; (b = text::find(page, u"border=1></A>", p2 + 1)) != 0; p2 = b) {
        const qsizetype h2 = text::findLast(page, u"<A HREF=", b);
        // A link before the previous poster is not this poster's.
        if (h2 <= p2)
            continue;
        Poster poster;
        const qsizetype i = text::find(page, u"><IMG SRC=", h2);
        poster.page = piece(page, h2 + 9, i - h2 - 10);
        const qsizetype e = text::find(page, u"border=1></A>", i);
        poster.thumbnail = piece(page, i + 11, e - i - 13);
        // Without its thumbnail a poster has nothing to show.
        if (!poster.thumbnail.isEmpty())
            posters.append(poster);
    }
    return posters;
}

void CinEmotions::addPosters(const Film &film, const QList<Poster> &posters)
{
    for (const Poster &poster : posters) {
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        entry->Extra = poster.page;
        entry->Key = poster.thumbnail;
        entry->Title = film.title;
        entry->Site = kSite;
        Program::yieldOnce();
    }
}

// The poster's page names its full picture after the heading "Affiches de ...".
QString CinEmotions::picturePath(const QString &page)
{
    const qsizetype a = text::find(page, u"Affiches de");
    const qsizetype b = text::find(page, u"/data/films/", a);
    const qsizetype j = text::find(page, u".jpg", b);
    const QString path = piece(page, b, j - b);
    return path.isEmpty() ? QString() : path + QStringLiteral(".jpg");
}

void CinEmotions::RecupCinEmotions(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const ResultEntry &entry = hit(Index + 1);
    // A poster page that never arrives must not give the picture of the one before.
    state().PageHtml.clear();
    m_program.download().Start(host() + entry.Extra, QStringLiteral("Html"), false, true);
    const QString path = picturePath(state().PageHtml);
    if (path.isEmpty()) {
        retrieval().OuvreFichier(Index, Copy);
        return;
    }
    saveAndOpen(Index, Copy, host() + path, state().DossierTemp + state().NomFichier + QStringLiteral(".jpg"), false);
}

void registerCinEmotions(Program &program)
{
    auto adapter = std::make_unique<CinEmotions>(program);
    CinEmotions *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheCinEmotions(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupCinEmotions(index, copy); });
    program.adopt(std::move(adapter));
}
