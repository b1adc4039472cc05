// AllDivX: a search form that only answers a POST, listing the jackets found
// after the latest additions, a page per jacket that names its picture in a
// script, and wide jacket pictures.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>

#include <memory>

namespace {

struct Jacket
{
    const char *filmId;
    const char *id;
    const char *title;  // UTF-8, as the site's members named them
    const char *format;
};

constexpr Jacket kJackets[] = {
    {"alien", "1102", "Alien, le 8ème passager", "DVD - Zone 2"},
    {"amelie", "1377", "Le Fabuleux Destin d'Amélie Poulain", "DVD - Zone 2"},
    {"ete-meurtrier", "1519", "L'Été meurtrier", "DivX"},
    {"matrix", "1417", "Matrix", "DivX - Zone 2"},
    {"matrix", "1418", "Matrix - Édition collector", "DVD - Zone 2"},
    {"matrix-reloaded", "2230", "Matrix Reloaded", "DVD - Zone 2"},
    {"parrain", "1250", "Le Parrain", "DVD - Zone 2"},
    {"parrain-2", "1251", "Le Parrain 2", "DVD - Zone 2"},
    {"star-wars", "1977", "La Guerre des étoiles", "DVD - Zone 2"},
};

// Listed on every result page before the results: the program must skip them.
constexpr const char *kLatestIds[] = {"1977", "1102"};

constexpr char kFormPath[] = "/base.php";

constexpr char kPageHead[] = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>AllDivX - Jaquettes DivX &amp; DVD - %2</title>
<link rel="stylesheet" href="%1/style.css" type="text/css">
</head>
<body>
<div id="haut"><a href="%1/"><img src="%1/images/logo.gif" alt="AllDivX" border="0"></a></div>
<div id="menu"><a href="base.php?rub=site/accueil.php">Accueil</a> | <a href="base.php?rub=site/jaquettes.php">Jaquettes</a> | <a href="base.php?rub=site/forum.php">Forum</a></div>
)";

constexpr char kPageFoot[] = R"(<div id="bas">AllDivX &copy; 2003-2005 - Toutes les jaquettes sont la propri&eacute;t&eacute; de leurs auteurs</div>
</body>
</html>
)";

constexpr char kSearchForm[] = R"(<form method="post" action="base.php?rub=site/recherche.php&amp;var=recherche_cover">
<input type="text" name="nom" value="%1"> <input type="hidden" name="recherche" value="toutes"> <input type="submit" value="OK">
</form>
)";

QString page(const QString &base, const QString &title, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(base, title) + body + QString::fromLatin1(kPageFoot);
}

QString titleOf(const Jacket &jacket)
{
    return QString::fromUtf8(jacket.title);
}

const Jacket *jacketById(QStringView id)
{
    for (const Jacket &jacket : kJackets)
        if (id == QLatin1StringView(jacket.id))
            return &jacket;
    return nullptr;
}

QString seedOf(const Jacket &jacket)
{
    const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(jacket.filmId));
    return film ? SampleFilms::pictureSeed(*film) : titleOf(jacket);
}

// The program sends dashes as blanks and drops a leading "l'".
QString withoutDashes(QString title)
{
    return title.replace(u'-', u' ');
}

bool jacketMatches(const Jacket &jacket, const QString &typed)
{
    QStringList titles{withoutDashes(titleOf(jacket))};
    if (const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(jacket.filmId)))
        titles << withoutDashes(film->title) << withoutDashes(film->frenchTitle);
    return SampleFilms::matches(typed, titles);
}

// The link text stands on a line of its own, as the site writes it.
QString jacketLink(const QString &base, const Jacket &jacket)
{
    return QStringLiteral("<div class=\"jaquette\" style=\"float:left;\"> <a href=\"%1/jaquette/%2.html\">\n%3\n</a>")
        .arg(base, QLatin1StringView(jacket.id), titleOf(jacket).toHtmlEscaped());
}

class AllDivXSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-AllDivX"), QStringLiteral("/alldivx")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression jacketPage(QStringLiteral("^/jaquette/(\\d+)\\.html$"));
        static const QRegularExpression picture(QStringLiteral("^/images/jaquettes/(\\d+)\\.jpg$"));

        if (request.path == QLatin1StringView(kFormPath) && request.http.method == "POST")
            return html(resultPage(ownBase(request), SampleSite::parseQuery(request.http.body)));
        if (request.path == u"/" || request.path == QLatin1StringView(kFormPath))
            return html(page(request.base, QStringLiteral("Accueil"), QString::fromLatin1(kSearchForm).arg(QString())));
        if (const auto match = jacketPage.match(request.path); match.hasMatch()) {
            const Jacket *jacket = jacketById(match.captured(1));
            return jacket ? html(jacketPageOf(ownBase(request), *jacket)) : notFound();
        }
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            const Jacket *jacket = jacketById(match.captured(1));
            return jacket ? jpeg(PictureMaker::jacketJpeg(seedOf(*jacket), PictureMaker::kJacketSize)) : notFound();
        }
        return notFound();
    }

private:
    // The site writes its links for the host it was asked by, so a post made
    // through a proxy finds its own host name in them.
    static QString ownBase(const Request &request)
    {
        const QByteArray host = request.http.header("Host");
        return host.isEmpty() ? request.base : QStringLiteral("http://") + QString::fromLatin1(host) + request.prefix;
    }

    static QString resultPage(const QString &base, const QList<QPair<QString, QString>> &form)
    {
        QString typed;
        for (const auto &[name, value] : form)
            if (name == u"nom")
                typed = value;

        QString body = QStringLiteral("<div id=\"gauche\">\n<p class=\"titre\">Derni&egrave;res jaquettes ajout&eacute;es</p>\n");
        for (const char *id : kLatestIds)
            body += jacketLink(base, *jacketById(QString::fromLatin1(id))) + QStringLiteral("</div>\n");
        body += QStringLiteral("</div>\n<div id=\"centre\">\n") + QString::fromLatin1(kSearchForm).arg(typed.toHtmlEscaped());

        QList<const Jacket *> hits;
        for (const Jacket &jacket : kJackets)
            if (jacketMatches(jacket, typed))
                hits << &jacket;
        if (hits.isEmpty()) {
            body += QStringLiteral("<p class=\"titre\">R&eacute;sultats de la recherche : aucune jaquette ne correspond &agrave; votre demande.</p>\n</div>\n");
            return page(base, QStringLiteral("Recherche"), body);
        }
        body += QStringLiteral("<p class=\"titre\">R&eacute;sultats de la recherche : %1 jaquette(s)</p>\n").arg(hits.size());
        for (const Jacket *jacket : std::as_const(hits))
            body += jacketLink(base, *jacket) + QStringLiteral("<br><span class=\"petit\">%1</span></div>\n").arg(QLatin1StringView(jacket->format));
        body += QStringLiteral("<div style=\"clear:both;\"></div>\n</div>\n");
        return page(base, QStringLiteral("Recherche"), body);
    }

    static QString jacketPageOf(const QString &base, const Jacket &jacket)
    {
        const QString title = titleOf(jacket).toHtmlEscaped();
        return QStringLiteral(R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>AllDivX - Jaquette : %2</title>
<link rel="stylesheet" href="%1/style.css" type="text/css">
<script type="text/javascript">
var img01 = new Image();
img01.src = "%1/images/jaquettes/%3.jpg";
function affiche() { document.images["jaquette"].src = img01.src; }
</script>
</head>
<body onload="affiche();">
<div id="haut"><a href="%1/"><img src="%1/images/logo.gif" alt="AllDivX" border="0"></a></div>
<p class="titre">%2</p>
<p>Format : %4</p>
<p><img name="jaquette" src="%1/images/chargement.gif" alt="%2"></p>
<div id="bas">AllDivX &copy; 2003-2005</div>
</body>
</html>
)")
            .arg(base, title, QLatin1StringView(jacket.id), QLatin1StringView(jacket.format));
    }
};

} // namespace

std::unique_ptr<SampleSite> makeAllDivXSite()
{
    return std::make_unique<AllDivXSite>();
}
