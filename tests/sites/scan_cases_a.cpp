#include "scan_case.h"
#include "sites/allo_cine.h"
#include "sites/cin_emotions.h"
#include "sites/cine_movies.h"
#include "sites/cinefil.h"

namespace {

// An address a scan found, as a row compares it: none when it is empty.
QList<ResultEntry> keyed(const QString &address)
{
    return address.isEmpty() ? QList<ResultEntry>() : QList<ResultEntry>{hitOf({}, 0, address, {}, {})};
}

const QString kAlloCine = QStringLiteral("AlloCiné");
const QString kAlloCinePictures = QStringLiteral("http://images.allocine.fr/medias/nmedia/18/35/13/82");

QByteArray alloCineHit(const QByteArray &film, const QByteArray &brackets)
{
    return "<h4><a href=\"/film/fichefilm_gen_cfilm=" + film + ".html\" class=\"link1\">F" + film + "</a>" + brackets + "</h4>\n";
}

QString alloCinePage(const char *name)
{
    return fixturePage("allocine", name);
}

QByteArray cinefilFilm(const QByteArray &key, const QByteArray &title, const QByteArray &after)
{
    return "<a href=\"/cinefil2005/fichefilm.cfm?ref=" + key + "\" title=\"" + title + "\">" + title + "</a>" + after;
}

ResultEntry cineMoviesFilm(const char *title, int year, const char *number)
{
    return hitOf(QString::fromUtf8(title), year, QString::fromLatin1(number), {}, {});
}

ResultEntry cineMoviesHit(const char *title, int year, const char *key, const char *number)
{
    return hitOf(QString::fromUtf8(title), year, QString::fromLatin1(key), QString::fromLatin1(number), QStringLiteral("CineMovies"));
}

QByteArray cineMoviesFilmLink(const QByteArray &number, const QByteArray &title)
{
    return "<a href=\"fiche_film.php?idFilm=" + number + "\" class=\"titrefilm\"><b>" + title + "</b></a>\n";
}

QByteArray cineMoviesPoster(const QByteArray &id, const QByteArray &caption)
{
    return "<a onclick=\"window.open('popaff.php?IDaffiche=" + id + "','a')\"><img src=\"images/data/affiches/x/P_" + id
           + ".jpg\"></a>" + caption + "\n";
}

ResultEntry cinEmotionsFilm(const char *title, const char *path)
{
    return hitOf(QString::fromUtf8(title), 0, QString::fromLatin1(path), {}, {});
}

ResultEntry cinEmotionsHit(const char *title, const char *thumbnail, const char *page)
{
    return hitOf(QString::fromUtf8(title), 0, QString::fromLatin1(thumbnail), QString::fromLatin1(page), QStringLiteral("CinEmotions"));
}

QByteArray cinEmotionsPoster(const QByteArray &id)
{
    return "<TD><A HREF=\"/film/9/affiche-" + id + ".html\"><IMG SRC=\"/data/films/v/" + id + ".jpg\" border=1></A></TD>\n";
}

} // namespace

QList<ScanCase> scanCasesA()
{
    const ResultEntry matrixFilm = cineMoviesFilm("matrix", 1999, "1245");
    const ResultEntry matrixMovie = cinEmotionsFilm("Matrix", "/film/1421/matrix");
    return {
        // AlloCiné: the year is the film's second bracket, never the next film's.
        {"AlloCine_no_film", [] { return AlloCine::resultPass(alloCinePage("empty.html")); }, {}},
        {"AlloCine_cut_inside_the_second_film",
         [] { return AlloCine::resultPass(alloCinePage("truncated.html")); },
         {hitOf(QStringLiteral("matrix"), 1999, {}, QStringLiteral("19776.html"), kAlloCine)}},
        {"AlloCine_film_link_without_title",
         [] {
             return AlloCine::resultPass(pageAsRead(alloCineHit("1", "&nbsp;(A)&nbsp;(1999)")
                                                 + "<h4><a href=\"/film/fichefilm_gen_cfilm=2.html\">x</a></h4>"));
         },
         {hitOf(QStringLiteral("f1"), 1999, {}, QStringLiteral("1.html"), kAlloCine)}},
        {"AlloCine_years",
         [] {
             return AlloCine::resultPass(pageAsRead(alloCineHit("1", "&nbsp;(A)&nbsp;(1999)") + alloCineHit("2", " (B) (2001)")
                                                 + alloCineHit("3", "&amp;nbsp;(C)&amp;nbsp;(2002)") + alloCineHit("4", "&nbsp;(D)")
                                                 + alloCineHit("5", "&nbsp;(E)&nbsp;(19xx)") + alloCineHit("6", "")
                                                 + alloCineHit("7", "&nbsp;(G)&nbsp;(2003)")));
         },
         {hitOf(QStringLiteral("f1"), 1999, {}, QStringLiteral("1.html"), kAlloCine),
          hitOf(QStringLiteral("f2"), 2001, {}, QStringLiteral("2.html"), kAlloCine),
          hitOf(QStringLiteral("f3"), 2002, {}, QStringLiteral("3.html"), kAlloCine),
          hitOf(QStringLiteral("f4"), 0, {}, QStringLiteral("4.html"), kAlloCine),
          hitOf(QStringLiteral("f5"), 0, {}, QStringLiteral("5.html"), kAlloCine),
          hitOf(QStringLiteral("f6"), 0, {}, QStringLiteral("6.html"), kAlloCine),
          hitOf(QStringLiteral("f7"), 2003, {}, QStringLiteral("7.html"), kAlloCine)}},
        // Any other picture of a page without the poster cell is not the film's.
        {"AlloCine_film_page_without_poster_cell",
         [] { return keyed(AlloCine::thumbnailPass(alloCinePage("empty.html"))); }, {}},
        {"AlloCine_gallery_without_the_posters_folder",
         [] { return keyed(AlloCine::galleryPass(alloCinePage("gallery_19776.html"), kAlloCinePictures + u'9')); }, {}},

        // Cinefil: a page cut short, a year bracket missing or never closed.
        {"Cinefil_latin_page",
         [] { return Cinefil::resultPass(fixturePage("cinefil", "ete_meurtrier.html")); },
         {hitOf(QStringLiteral("l'été meurtrier"), 1983, QStringLiteral("2291"), {}, QStringLiteral("Cinefil"))}},
        {"Cinefil_no_film", [] { return Cinefil::resultPass(fixturePage("cinefil", "empty.html")); }, {}},
        {"Cinefil_cut_inside_the_second_title",
         [] { return Cinefil::resultPass(fixturePage("cinefil", "truncated.html")); },
         {hitOf(QStringLiteral("matrix"), 1999, QStringLiteral("4177"), {}, QStringLiteral("Cinefil"))}},
        // Without a bracket the scan must not start over from the top.
        {"Cinefil_no_year_bracket",
         [] { return Cinefil::resultPass(pageAsRead(cinefilFilm("1", "A", " 1999<br>") + cinefilFilm("2", "B", ""))); },
         {hitOf(QStringLiteral("a"), 0, QStringLiteral("1"), {}, QStringLiteral("Cinefil"))}},
        {"Cinefil_unclosed_year_bracket",
         [] { return Cinefil::resultPass(pageAsRead(cinefilFilm("1", "A", " [1999"))); },
         {hitOf(QStringLiteral("a"), 0, QStringLiteral("1"), {}, QStringLiteral("Cinefil"))}},

        // CineMovies: films, then the posters of each as hits.
        {"CineMovies_no_film", [] { return CineMovies::filmPass(fixturePage("cinemovies", "empty.html")); }, {}},
        {"CineMovies_cut_before_the_second_number",
         [] { return CineMovies::filmPass(fixturePage("cinemovies", "truncated.html")); },
         {matrixFilm, cineMoviesFilm("", 0, "")}},
        {"CineMovies_films_without_year_lines",
         [] { return CineMovies::filmPass(pageAsRead(cineMoviesFilmLink("7", "Alpha") + cineMoviesFilmLink("8", "Beta"))); },
         {cineMoviesFilm("alpha", 0, "7"), cineMoviesFilm("beta", 0, "8")}},
        {"CineMovies_posters",
         [matrixFilm] { return CineMovies::posterPass(fixturePage("cinemovies", "posters_1245_0.html"), matrixFilm); },
         {cineMoviesHit("matrix - Affiche française", 1999, "1999/P_2471.jpg", "2471"),
          cineMoviesHit("matrix - Affiche américaine", 1999, "1999/P_2472.jpg", "2472"),
          cineMoviesHit("matrix - Affiche teaser 'The Matrix has you'", 1999, "1999/P_2473.jpg", "2473")}},
        {"CineMovies_poster_cut_before_its_picture",
         [matrixFilm] { return CineMovies::posterPass(fixturePage("cinemovies", "posters_truncated.html"), matrixFilm); },
         {cineMoviesHit("matrix - Affiche française", 1999, "1999/P_2471.jpg", "2471")}},
        // The caption is looked for after the picture: the next poster's, whose marker the scan has then passed.
        {"CineMovies_poster_without_caption",
         [matrixFilm] {
             return CineMovies::posterPass(pageAsRead(cineMoviesPoster("90", "") + cineMoviesPoster("91", "<font color=\"#990000\">B</font>")),
                                           matrixFilm);
         },
         {cineMoviesHit("matrix - B", 1999, "x/P_90.jpg", "90")}},

        // CinEmotions: films, then the posters of each as hits.
        {"CinEmotions_escaped_quote_in_the_status_text",
         [] { return CinEmotions::filmPass(fixturePage("cinemotions", "search_ete.html")); },
         {cinEmotionsFilm("L'été meurtrier", "/film/2960/l-ete-meurtrier")}},
        {"CinEmotions_no_film", [] { return CinEmotions::filmPass(fixturePage("cinemotions", "empty.html")); }, {}},
        {"CinEmotions_cut_inside_the_second_status_text",
         [] { return CinEmotions::filmPass(fixturePage("cinemotions", "truncated.html")); },
         {matrixMovie, cinEmotionsFilm("", "/film/1987/matrix-reloaded")}},
        // A film without its status text, then one without its own link.
        {"CinEmotions_broken_films",
         [] {
             return CinEmotions::filmPass(pageAsRead("<A HREF=\"/film/2.html\" class=link4 >Two</A>\n<TD class=link4 >Three</TD>\n"));
         },
         {cinEmotionsFilm("", "/film/2"), cinEmotionsFilm("", "")}},
        {"CinEmotions_cut_inside_the_second_poster",
         [matrixMovie] { return CinEmotions::posterPass(fixturePage("cinemotions", "affiches_truncated.html"), matrixMovie); },
         {cinEmotionsHit("Matrix", "/data/films/1421/vignettes/5012.jpg", "/film/1421/matrix/affiche-5012.html")}},
        // A link before the previous poster is not this poster's.
        {"CinEmotions_poster_without_its_link",
         [matrixMovie] {
             return CinEmotions::posterPass(pageAsRead(cinEmotionsPoster("1") + "<TD><IMG SRC=\"/data/films/v/x.jpg\" border=1></A></TD>"
                                                    + cinEmotionsPoster("5")),
                                            matrixMovie);
         },
         {cinEmotionsHit("Matrix", "/data/films/v/1.jpg", "/film/9/affiche-1.html"),
          cinEmotionsHit("Matrix", "/data/films/v/5.jpg", "/film/9/affiche-5.html")}},
        {"CinEmotions_poster_page_without_picture",
         [] { return keyed(CinEmotions::picturePass(fixturePage("cinemotions", "empty.html"))); }, {}},
    };
}
