// Cinefil: a search page that lists each film with its poster and title
// links and its year in square brackets; the pictures come from the site's
// picture server, a second address of its own.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>

namespace {

const QString kPagesPrefix = QStringLiteral("/cinefil");
const QString kPicturesPrefix = QStringLiteral("/cinefil-images");

struct Film
{
    const char *filmId;
    int reference;     // the site's film reference
    const char *title; // UTF-8, as the site shows it
};

constexpr Film kFilms[] = {
    {"alien", 1042, "Alien, le huitième passager"},
    {"amelie", 8814, "Le Fabuleux destin d'Amélie Poulain"},
    {"dune-1984", 1612, "Dune"},
    {"ete-meurtrier", 2291, "L'Été meurtrier"},
    {"matrix", 4177, "Matrix"},
    {"matrix-reloaded", 11523, "Matrix Reloaded"},
    {"parrain", 1307, "Le Parrain"},
    {"parrain-2", 1308, "Le Parrain, 2e partie"},
    {"solaris-1972", 5530, "Solaris"},
    {"solaris-2002", 13804, "Solaris"},
    {"star-wars", 3120, "La Guerre des étoiles"},
};

constexpr char kPageHead[] = R"(<html>
<head>
<title>Cinefil.com - %1</title>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<link href="/cinefil2005/styles/cinefil.css" rel="stylesheet" type="text/css">
</head>
<body bgcolor="#333333" leftmargin="0" topmargin="0">
<table width="760" border="0" cellspacing="0" cellpadding="0" align="center">
<tr><td><a href="/cinefil2005/index.cfm">Cinefil</a></td>
<td align="right"><form action="/cinefil2005/CFM_Recherches/filmsGRIS.cfm" method="get"><input type="text" name="lachaine2" size="20"><input type="hidden" name="avecaffiche" value="1"><input type="submit" value="Chercher"></form></td></tr>
</table>
<table width="760" border="0" cellspacing="0" cellpadding="4" align="center" bgcolor="#FFFFFF">
)";

constexpr char kPageFoot[] = R"(</table>
<p align="center" class="petit">Cinefil.com &copy; 2005 - Le cin&eacute;ma &agrave; la t&eacute;l&eacute;vision et en DVD</p>
</body>
</html>
)";

QString page(const QString &title, const QString &rows)
{
    return QString::fromLatin1(kPageHead).arg(title) + rows + QString::fromLatin1(kPageFoot);
}

const SampleFilm *filmOf(const Film &film)
{
    return SampleFilms::byId(QString::fromLatin1(film.filmId));
}

QString titleOf(const Film &film)
{
    return QString::fromUtf8(film.title);
}

const Film *filmByReference(int reference)
{
    for (const Film &film : kFilms)
        if (film.reference == reference)
            return &film;
    return nullptr;
}

QString posterSeed(const Film &film)
{
    const SampleFilm *sample = filmOf(film);
    return sample ? SampleFilms::pictureSeed(*sample) : titleOf(film);
}

class CinefilSite : public SampleSite
{
public:
    QList<Address> addresses() const override
    {
        return {{QStringLiteral("Hote-Cinefil"), kPagesPrefix}, {QStringLiteral("Hote-CinefilImages"), kPicturesPrefix}};
    }

    FixtureServer::Reply reply(const Request &request) const override
    {
        return request.prefix == kPicturesPrefix ? pictureReply(request.path) : pageReply(request);
    }

private:
    static FixtureServer::Reply pageReply(const Request &request)
    {
        if (request.path == u"/" || request.path == u"/cinefil2005/index.cfm")
            return html(page(QStringLiteral("Accueil"),
                             QStringLiteral("<tr><td>Le cin&eacute;ma &agrave; la t&eacute;l&eacute;vision</td></tr>\n")));
        if (request.path == u"/cinefil2005/CFM_Recherches/filmsGRIS.cfm") {
            // The picture server's address, as the page writes it.
            const QString pictures = request.base.chopped(kPagesPrefix.size()) + kPicturesPrefix;
            return html(searchPage(request.value(QStringLiteral("lachaine2")), pictures));
        }
        return notFound();
    }

    static QString searchPage(const QString &typed, const QString &pictures)
    {
        QString rows;
        int count = 0;
        for (const Film &film : kFilms) {
            QStringList titles{titleOf(film)};
            const SampleFilm *sample = filmOf(film);
            if (sample)
                titles << sample->title << sample->frenchTitle;
            if (!SampleFilms::matches(typed, titles))
                continue;
            ++count;
            rows += QStringLiteral("<tr>\n<td width=\"55\" valign=\"top\"><a href=\"/cinefil2005/fichefilm.cfm?ref=%1\">"
                                   "<img src=\"%2/ImagesCinefil/AffichePetitFormat/%1.jpeg\" width=\"50\" height=\"70\" border=\"0\" alt=\"\"></a></td>\n"
                                   "<td valign=\"top\"><a href=\"/cinefil2005/fichefilm.cfm?ref=%1\" class=\"titrefilm\" title=\"%3\">%3</a> [%4]<br>\n"
                                   "<span class=\"petit\">Film</span></td>\n</tr>\n")
                        .arg(film.reference)
                        .arg(pictures, titleOf(film).toHtmlEscaped(),
                             sample ? QString::number(sample->year) : QStringLiteral("n.c."));
        }
        QString heading = QStringLiteral("<tr><td colspan=\"2\" class=\"titrepage\">R&eacute;sultats de votre recherche : <b>%1</b> (%2 film%3)</td></tr>\n")
                              .arg(typed.toHtmlEscaped())
                              .arg(count)
                              .arg(count > 1 ? QStringLiteral("s") : QString());
        if (count == 0)
            heading += QStringLiteral("<tr><td>Aucun film ne correspond &agrave; votre recherche.</td></tr>\n");
        return page(QStringLiteral("Recherche"), heading + rows);
    }

    static FixtureServer::Reply pictureReply(const QString &path)
    {
        static const QRegularExpression thumbnail(QStringLiteral("^/ImagesCinefil/AffichePetitFormat/(\\d+)\\.jpeg$"));
        static const QRegularExpression poster(QStringLiteral("^/ImagesCinefil/AfficheGrandFormat/a(\\d+)\\.jpeg$"));
        if (const auto match = thumbnail.match(path); match.hasMatch()) {
            const Film *film = filmByReference(match.captured(1).toInt());
            return film ? jpeg(PictureMaker::posterJpeg(posterSeed(*film), PictureMaker::kThumbnailSize)) : notFound();
        }
        if (const auto match = poster.match(path); match.hasMatch()) {
            const Film *film = filmByReference(match.captured(1).toInt());
            return film ? jpeg(PictureMaker::posterJpeg(posterSeed(*film), PictureMaker::kPosterSize)) : notFound();
        }
        return notFound();
    }
};

} // namespace

std::unique_ptr<SampleSite> makeCinefilSite()
{
    return std::make_unique<CinefilSite>();
}
