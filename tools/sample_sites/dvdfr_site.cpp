// DvdFr: a DVD catalogue. The search lists editions with their year; each
// edition's page shows its 200x280 cover, or nothing when the site has none.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>

namespace {

struct Edition
{
    const char *filmId;
    int id;
    const char *title; // UTF-8, as the site lists it
    const char *year;  // the year cell: "N/C" when the site does not know it
    bool hasCover;
};

// The boxed set has no cover, so that a search for "matrix" shows the placeholder.
constexpr Edition kEditions[] = {
    {"alien", 1503, "Alien, le huitième passager", "1979", true},
    {"amelie", 3312, "Le Fabuleux destin d'Amélie Poulain", "2001", true},
    {"ete-meurtrier", 5120, "L'Été meurtrier", "1983", true},
    {"matrix", 1012, "Matrix", "1999", true},
    {"matrix", 9120, "Matrix - Coffret l'intégrale", "N/C", false},
    {"matrix-reloaded", 7351, "Matrix Reloaded", "2003", true},
    {"parrain", 2250, "Le Parrain", "1972", true},
    {"parrain-2", 2251, "Le Parrain, 2e partie", "1974", true},
    {"star-wars", 8800, "La Guerre des étoiles", "1977", true},
};

constexpr QSize kCoverSize{200, 280};
const QString kPlaceholderSeed = QStringLiteral("DVDFr - pas de jaquette");

constexpr char kPageHead[] = R"(<HTML>
<HEAD>
<TITLE>DVDFr - %1</TITLE>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=iso-8859-1">
<LINK REL="stylesheet" HREF="/styles/dvdfr.css" TYPE="text/css">
</HEAD>
<BODY BGCOLOR="#FFFFFF" LEFTMARGIN="0" TOPMARGIN="0">
<TABLE WIDTH="760" BORDER="0" CELLPADDING="0" CELLSPACING="0" ALIGN="center">
<TR><TD><A HREF="/index.php"><IMG SRC="/images/logo_dvdfr.gif" WIDTH="250" HEIGHT="70" BORDER="0" ALT="DVDFr - Le site du DVD"></A></TD>
<TD ALIGN="right"><FORM ACTION="/search/search.php" METHOD="get"><INPUT TYPE="text" NAME="multiname" SIZE="20" VALUE="%2"> <INPUT TYPE="submit" VALUE="Chercher"></FORM></TD></TR>
</TABLE>
)";

constexpr char kPageFoot[] = R"(<TABLE WIDTH="760" BORDER="0" ALIGN="center"><TR><TD CLASS="copyright" ALIGN="center">&copy; 2001-2006 DVDFr.com - Tous droits r&eacute;serv&eacute;s</TD></TR></TABLE>
</BODY>
</HTML>
)";

QString page(const QString &title, const QString &body, const QString &typed = {})
{
    return QString::fromLatin1(kPageHead).arg(title, typed.toHtmlEscaped()) + body + QString::fromLatin1(kPageFoot);
}

QString titleOf(const Edition &edition)
{
    return QString::fromUtf8(edition.title);
}

const Edition *editionById(int id)
{
    for (const Edition &edition : kEditions)
        if (edition.id == id)
            return &edition;
    return nullptr;
}

QString coverPath(const Edition &edition)
{
    return QStringLiteral("/images/dvd/cover_200x280/%1/%2.jpg").arg(edition.id / 1000).arg(edition.id);
}

QString seedOf(const Edition &edition)
{
    const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(edition.filmId));
    return film ? SampleFilms::pictureSeed(*film) : titleOf(edition);
}

class DvdFrSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-DvdFr"), QStringLiteral("/dvdfr")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression cover(QStringLiteral("^/images/dvd/cover_200x280/(\\d+)/(\\d+)\\.jpg$"));

        if (request.path == u"/" || request.path == u"/index.php")
            return html(page(QStringLiteral("Le site du DVD"), QString()));
        if (request.path == u"/search/search.php")
            return html(searchPage(request.value(QStringLiteral("multiname"))));
        if (request.path == u"/dvd/dvd.php") {
            const Edition *edition = editionById(request.value(QStringLiteral("id")).toInt());
            return edition ? html(filmPage(*edition)) : notFound();
        }
        if (request.path == u"/images/dvd/nocover_200x280.jpg")
            return jpeg(PictureMaker::posterJpeg(kPlaceholderSeed, kCoverSize));
        if (const auto match = cover.match(request.path); match.hasMatch()) {
            const Edition *edition = editionById(match.captured(2).toInt());
            if (!edition || !edition->hasCover || coverPath(*edition) != request.path)
                return notFound();
            return jpeg(PictureMaker::posterJpeg(seedOf(*edition), kCoverSize));
        }
        return notFound();
    }

private:
    static QString searchPage(const QString &typed)
    {
        QList<const Edition *> hits;
        for (const Edition &edition : kEditions) {
            QStringList titles{titleOf(edition)};
            if (const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(edition.filmId)))
                titles << film->title << film->frenchTitle;
            if (SampleFilms::matches(typed, titles))
                hits << &edition;
        }

        QString body = QStringLiteral("<TABLE WIDTH=\"760\" BORDER=\"0\" CELLPADDING=\"2\" CELLSPACING=\"1\" ALIGN=\"center\">\n");
        if (hits.isEmpty()) {
            body += QStringLiteral("<TR><TD CLASS=\"searchTitle\">Aucun DVD ne correspond &agrave; votre recherche.</TD></TR>\n</TABLE>\n");
            return page(QStringLiteral("Recherche : ") + typed.toHtmlEscaped(), body, typed);
        }
        body += QStringLiteral("<TR><TD COLSPAN=\"3\" CLASS=\"searchTitle\">%1 r&eacute;sultat(s) pour votre recherche</TD></TR>\n"
                               "<TR><TD CLASS=\"searchHeader\">Titre</TD><TD CLASS=\"searchHeader\">Ann&eacute;e</TD>"
                               "<TD CLASS=\"searchHeader\">&Eacute;diteur</TD></TR>\n")
                    .arg(hits.size());
        for (const Edition *edition : std::as_const(hits))
            body += QStringLiteral("<TR><TD CLASS=\"searchText\"><A CLASS=\"searchText\" HREF=\"../dvd/dvd.php?id=%1\">%2</A></TD>"
                                   "<TD CLASS=\"searchText\" ALIGN=\"center\">%3</TD><TD CLASS=\"searchText\">Studio Canal</TD></TR>\n")
                        .arg(QString::number(edition->id), titleOf(*edition).toHtmlEscaped(), QLatin1StringView(edition->year));
        body += QStringLiteral("</TABLE>\n");
        return page(QStringLiteral("Recherche : ") + typed.toHtmlEscaped(), body, typed);
    }

    static QString filmPage(const Edition &edition)
    {
        const QString title = titleOf(edition).toHtmlEscaped();
        const QString picture = edition.hasCover
                                    ? QStringLiteral("<IMG SRC=\"%1\" WIDTH=\"200\" HEIGHT=\"280\" BORDER=\"0\" ALT=\"%2\">").arg(coverPath(edition), title)
                                    : QStringLiteral("<IMG SRC=\"/images/dvd/nocover_200x280.jpg\" WIDTH=\"200\" HEIGHT=\"280\" BORDER=\"0\" ALT=\"Pas de jaquette\">");
        const QString body = QStringLiteral("<TABLE WIDTH=\"760\" BORDER=\"0\" CELLPADDING=\"4\" CELLSPACING=\"0\" ALIGN=\"center\">\n"
                                            "<TR><TD CLASS=\"dvdTitle\" COLSPAN=\"2\">%1</TD></TR>\n"
                                            "<TR><TD VALIGN=\"top\" WIDTH=\"210\">%2</TD>\n"
                                            "<TD VALIGN=\"top\" CLASS=\"dvdInfo\"><B>Ann&eacute;e :</B> %3<BR>\n"
                                            "<B>Zone :</B> 2<BR>\n<B>Langues :</B> Fran&ccedil;ais, Anglais<BR>\n</TD></TR>\n</TABLE>\n")
                                 .arg(title, picture, QLatin1StringView(edition.year));
        return page(title, body);
    }
};

} // namespace

std::unique_ptr<SampleSite> makeDvdFrSite()
{
    return std::make_unique<DvdFrSite>();
}
