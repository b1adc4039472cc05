#include "scan_case.h"
#include "site_test.h"
#include "sites/movie_covers.h"

namespace {

// The snippets made into the hits of the JPG base.
QList<ResultEntry> movieCovers(const QByteArray &page)
{
    QList<ResultEntry> hits = MovieCovers::snippetPass(QString::fromUtf8(page));
    for (ResultEntry &hit : hits)
        MovieCovers::completeHit(hit, QStringLiteral("JPG"));
    return hits;
}

ResultEntry mc(const QString &title, int year, const QString &key)
{
    return hitOf(title, year, key, QStringLiteral("JPG"), QStringLiteral("MovieCovers"));
}

} // namespace

QList<ScanCase> scanCasesMovieCovers()
{
    return {
        {"MovieCovers_page", [] { return movieCovers(fixtureFile("moviecovers", "matrix.html")); },
         {mc("MATRIX", 1999, "MATRIX"), mc("MATRIX RELOADED", 2003, "MATRIXRELOADED"),
          mc("MATRIX REVOLUTIONS", 2003, "MATRIXREVOLUTIONS")}},
        {"MovieCovers_empty", [] { return movieCovers(fixtureFile("moviecovers", "empty.html")); }, {}},
        {"MovieCovers_cutInALink", [] { return movieCovers(fixtureFile("moviecovers", "truncated.html")); },
         {mc("MATRIX", 1999, "MATRIX"), mc(QString(), 0, QString())}},
        // No ".h", no "<", a year that is not a number, a page that ends mid-link.
        {"MovieCovers_brokenSnippets",
         [] { return movieCovers("/film/ nothing here <a href=\"/film/titre_A.html\">A</a> (19x9)"
                                 "<a href=\"/film/titre_B.html\">B"); },
         {mc("A", 0, "A"), mc("A", 0, "A"), mc(QString(), 0, "B")}},
    };
}
