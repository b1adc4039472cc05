// IMP Awards and the web search engine that finds its pages. The site files
// its poster pages by year; each page shows a main poster and thumbnails of
// the film's other versions. The engine answers searches limited to one host.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"
#include "settings/site_addresses.h"

#include <QRegularExpression>

#include <memory>

namespace {

struct Film
{
    const char *filmId;
    const char *slug; // lower case: the page and picture names
    int versions;     // the main poster included
};

constexpr Film kFilms[] = {
    {"alien", "alien", 2},
    {"amelie", "amelie", 2},
    {"dune-1984", "dune", 2},
    {"ete-meurtrier", "one_deadly_summer", 1},
    {"matrix", "matrix", 3},
    {"matrix-reloaded", "matrix_reloaded", 2},
    {"parrain", "godfather", 1},
    {"parrain-2", "godfather_part_ii", 1},
    {"solaris-2002", "solaris", 1},
    {"star-wars", "star_wars", 3},
};

const QString kSitePrefix = QStringLiteral("/impawards");
const QString kEnginePrefix = QStringLiteral("/search");

constexpr QSize kThumbnailSize{100, 148};

const SampleFilm *sampleOf(const Film &film)
{
    return SampleFilms::byId(QString::fromLatin1(film.filmId));
}

QString titleOf(const Film &film)
{
    const SampleFilm *sample = sampleOf(film);
    return sample ? sample->title : QString::fromLatin1(film.slug);
}

int yearOf(const Film &film)
{
    const SampleFilm *sample = sampleOf(film);
    return sample ? sample->year : 2000;
}

// Version 1 is the main poster, named after the film alone.
QString pictureName(const Film &film, int version)
{
    const QString slug = QString::fromLatin1(film.slug);
    return version == 1 ? slug : slug + QStringLiteral("_ver") + QString::number(version);
}

QString seedOf(const Film &film, int version)
{
    const SampleFilm *sample = sampleOf(film);
    const QString seed = sample ? SampleFilms::pictureSeed(*sample) : QString::fromLatin1(film.slug);
    return version == 1 ? seed : seed + QStringLiteral(" #") + QString::number(version);
}

// The film and version that a page or picture name stands for, in the year folder given.
const Film *filmOf(const QString &year, const QString &name, int *version)
{
    for (const Film &film : kFilms) {
        if (QString::number(yearOf(film)) != year)
            continue;
        for (int v = 1; v <= film.versions; ++v) {
            if (pictureName(film, v) == name) {
                *version = v;
                return &film;
            }
        }
    }
    return nullptr;
}

class IMPAwardsSite : public SampleSite
{
public:
    QList<Address> addresses() const override
    {
        return {{QStringLiteral("Hote-IMPAwards"), kSitePrefix}, {QStringLiteral("Hote-MoteurRecherche"), kEnginePrefix}};
    }

    FixtureServer::Reply reply(const Request &request) const override
    {
        return request.prefix == kEnginePrefix ? engineReply(request) : siteReply(request);
    }

private:
    static FixtureServer::Reply siteReply(const Request &request)
    {
        static const QRegularExpression page(QStringLiteral("^/(\\d{4})/([a-z0-9_]+)\\.html$"));
        static const QRegularExpression picture(QStringLiteral("^/(\\d{4})/(posters|thumbs)/(imp_)?([a-z0-9_]+)\\.jpg$"));

        if (request.path == u"/" || request.path == u"/index.html")
            return html(QStringLiteral("<html><head><title>IMP Awards</title></head><body>"
                                       "<h1>Internet Movie Poster Awards</h1></body></html>\n"));
        int version = 0;
        if (const auto match = page.match(request.path); match.hasMatch()) {
            const Film *film = filmOf(match.captured(1), match.captured(2), &version);
            return film ? html(posterPage(*film, version)) : notFound();
        }
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            const bool thumbnail = match.captured(2) == u"thumbs";
            // Thumbnails carry "imp_" before their name, full pictures do not.
            if (thumbnail == match.captured(3).isEmpty())
                return notFound();
            const Film *film = filmOf(match.captured(1), match.captured(4), &version);
            if (!film)
                return notFound();
            return jpeg(PictureMaker::posterJpeg(seedOf(*film, version), thumbnail ? kThumbnailSize : PictureMaker::kPosterSize));
        }
        return notFound();
    }

    // A page shows one version big and the film's other versions as thumbnails.
    static QString posterPage(const Film &film, int version)
    {
        const QString title = titleOf(film).toHtmlEscaped();
        const QString year = QString::number(yearOf(film));
        QString others;
        for (int v = 1; v <= film.versions; ++v) {
            if (v != version)
                others += QStringLiteral("<td><a href=\"%1.html\"><img src=\"thumbs/imp_%1.jpg\"></a></td>\n").arg(pictureName(film, v));
        }
        if (!others.isEmpty())
            others = QStringLiteral("<p><font size=-1>Click on a thumbnail below to see the other versions of this poster (%1 in all).</font></p>\n"
                                    "<table border=0 cellpadding=4 cellspacing=0 align=center><tr>\n%2</tr></table>\n")
                         .arg(film.versions)
                         .arg(others);
        return QStringLiteral(R"(<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<title>%1 Movie Poster (#%4 of %5) - IMP Awards</title>
</head>
<body bgcolor="#FFFFFF" text="#000000" link="#0000FF" vlink="#800080">
<table width=100% border=0 cellpadding=0 cellspacing=0>
<tr><td align=left><a href="../index.html"><img src="../images/impawards_logo.gif" width=300 height=60 border=0 alt="Internet Movie Poster Awards"></a></td>
<td align=right><font size=-1><a href="../%2/std.html">%2 Posters</a> &nbsp;|&nbsp; <a href="../alpha1.html">Alphabetical Index</a></font></td></tr>
</table>
<table width=100% border=0 cellpadding=2 cellspacing=0>
<tr><td><center><font size=+2>%1 (<a href="/gallery/%2">%2</a>)</font></center></td></tr>
</table>
<center>
<img src="posters/%3.jpg" alt ="%1 Movie Poster" width=360 height=533 border=1>
<p><font size=-1>Poster #%4 of %5</font></p>
%6</center>
<h3>Comments on the Poster:</h3>
<p>Design by an unknown agency. Printed double sided &amp; rolled.</p>
<hr>
<p><font size=-1>Questions? Please contact the webmaster. &copy; 2006 IMP Awards</font></p>
</body>
</html>
)")
            .arg(title, year, pictureName(film, version), QString::number(version), QString::number(film.versions), others);
    }

    static FixtureServer::Reply engineReply(const Request &request)
    {
        if (request.path != u"/custom")
            return request.path == u"/" ? html(enginePage(QString(), {}, QString())) : notFound();
        // The engine knows the pages of one site only: the one on this server.
        const QString site = request.base.chopped(kEnginePrefix.size()) + kSitePrefix;
        const QString query = request.value(QStringLiteral("q"));
        const bool ours = request.value(QStringLiteral("sitesearch")) == SiteAddresses::hostName(site);
        QList<const Film *> hits;
        if (ours) {
            const QString words = searchedWords(query);
            for (const Film &film : kFilms)
                if (SampleFilms::matches(words, {titleOf(film)}))
                    hits << &film;
        }
        return html(enginePage(query, hits, site), "utf-8");
    }

    // What is left of the query once its quoted phrases and "+" signs are gone.
    static QString searchedWords(QString query)
    {
        static const QRegularExpression phrase(QStringLiteral("\"[^\"]*\"|\\+"));
        return query.remove(phrase).simplified();
    }

    static QString enginePage(const QString &query, const QList<const Film *> &hits, const QString &site)
    {
        QString page = QStringLiteral(R"(<html><head><meta http-equiv="content-type" content="text/html; charset=UTF-8"><title>Search results - %1</title></head>
<body bgcolor=#ffffff text=#000000 link=#0000cc vlink=#551a8b topmargin=3 marginheight=3>
<form name=gs method=GET action=custom><input type=text name=q size=41 maxlength=2048 value="%1"> <input type=submit name=btnG value="Search"></form>
)")
                           .arg(query.toHtmlEscaped());
        if (!query.isEmpty() && hits.isEmpty())
            page += QStringLiteral("<p>Your search - <b>%1</b> - did not match any documents.</p>\n").arg(query.toHtmlEscaped());
        if (!hits.isEmpty())
            page += QStringLiteral("<table border=0 cellpadding=0 cellspacing=0 width=100%><tr><td align=right nowrap><font size=-1>"
                                   "Results <b>1</b> - <b>%1</b> of about <b>%1</b> for <b>%2</b>.</font></td></tr></table>\n<div>\n")
                        .arg(hits.size())
                        .arg(query.toHtmlEscaped());
        for (const Film *film : hits) {
            const QString address = site + u'/' + QString::number(yearOf(*film)) + u'/' + QString::fromLatin1(film->slug) + QStringLiteral(".html");
            page += QStringLiteral("<div class=g><h2 class=r><a class=l href=\"%1\">%2 Movie Poster (#1 of %3) - IMP Awards</a></h2>"
                                   "<table border=0 cellpadding=0 cellspacing=0><tr><td class=\"j\"><font size=-1>%2 movie poster. "
                                   "<b>Comments on the Poster</b>: ... please <b>contact the</b> webmaster ...<br>"
                                   "<span class=a>%4 - 9k</span></font></td></tr></table></div>\n")
                        .arg(address, titleOf(*film).toHtmlEscaped(), QString::number(film->versions), QString(address).remove(QStringLiteral("http://")));
        }
        if (!hits.isEmpty())
            page += QStringLiteral("</div>\n");
        return page + QStringLiteral("<br clear=all><center><font size=-1>&copy;2006 Search</font></center>\n</body></html>\n");
    }
};

} // namespace

std::unique_ptr<SampleSite> makeIMPAwardsSite()
{
    return std::make_unique<IMPAwardsSite>();
}
