// HD Covers: a search that lists DVD jackets (mid 5) and disc stickers (mid 6)
// page by page, with wide thumbnails and full pictures under /uploads/.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QRegularExpression>
#include <QUrl>

#include <memory>

namespace {

enum class Category { Jacket, Sticker };

struct Cover
{
    const char *filmId;
    const char *lid;
    Category category;
    const char *title; // UTF-8, as posted by the site's members
};

constexpr Cover kCovers[] = {
    {"alien", "10012", Category::Jacket, "Alien, le huitième passager"},
    {"alien", "20012", Category::Sticker, "Alien - Disque"},
    {"amelie", "10245", Category::Jacket, "Le Fabuleux Destin d'Amélie Poulain"},
    {"ete-meurtrier", "10901", Category::Jacket, "L'Été meurtrier"},
    {"matrix", "10234", Category::Jacket, "Matrix"},
    {"matrix", "10877", Category::Jacket, "Matrix - Edition Collector"},
    {"matrix", "20517", Category::Sticker, "Matrix - Disque 1"},
    {"matrix-reloaded", "11872", Category::Jacket, "Matrix Reloaded"},
    {"matrix-reloaded", "20518", Category::Sticker, "Matrix Reloaded - Disque 1"},
    {"parrain", "10550", Category::Jacket, "Le Parrain"},
    {"parrain-2", "10551", Category::Jacket, "Le Parrain, 2e partie"},
    {"star-wars", "10777", Category::Jacket, "La Guerre des étoiles"},
};

// The real site lists 20 hits a page and counts `start` in hits. Two a page
// here, numbered by the same step, so that a few films already need paging.
constexpr int kHitsPerPage = 2;
constexpr int kPageStep = 20;

constexpr QSize kStickerThumbnailSize{120, 120};
constexpr QSize kStickerSize{600, 600};

constexpr char kPageHead[] = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<title>HD Covers - Jaquettes DVD &amp; Stickers - %1</title>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1">
<link rel="stylesheet" href="themes/hdc/style/style.css" type="text/css">
</head>
<body bgcolor="#000000" text="#CCCCCC" link="#FFCC00" vlink="#FFCC00">
<table width="100%" border="0" cellpadding="3" cellspacing="0">
<tr><td class="menu"><a href="index.php">Accueil</a> | <a href="categories.php?mid=5">Jaquettes DVD</a> | <a href="categories.php?mid=6">Stickers</a> | <a href="top.php">Top&nbsp;50</a></td></tr>
</table>
)";

constexpr char kPageFoot[] = R"(<p align="center" class="petit">HD Covers &copy; 2004-2006 - Toutes les jaquettes sont la propri&eacute;t&eacute; de leurs auteurs</p>
</body>
</html>
)";

constexpr char kSearchForm[] = R"(<form action="search.php" method="get">
<input type="text" name="query" size="20" value="%1">
<select name="mid"><option value="5">Jaquettes DVD</option><option value="6">Stickers</option></select>
<input type="hidden" name="action" value="showall"><input type="hidden" name="andor" value="AND">
<input type="submit" value="Rechercher"></form>
)";

QString page(const QString &title, const QString &body)
{
    return QString::fromLatin1(kPageHead).arg(title) + body + QString::fromLatin1(kPageFoot);
}

QString categoryName(Category category)
{
    return category == Category::Jacket ? QStringLiteral("Jaquettes DVD") : QStringLiteral("Stickers");
}

const Cover *coverByLid(QStringView lid, Category category)
{
    for (const Cover &cover : kCovers)
        if (lid == QLatin1StringView(cover.lid) && cover.category == category)
            return &cover;
    return nullptr;
}

// The program sends blanks, dashes and apostrophes alike as "+".
QString withoutPunctuation(QString title)
{
    return title.replace(u'\'', u' ').replace(u'-', u' ');
}

bool coverMatches(const Cover &cover, const QString &typed)
{
    QStringList titles{withoutPunctuation(QString::fromUtf8(cover.title))};
    if (const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(cover.filmId)))
        titles << withoutPunctuation(film->title) << withoutPunctuation(film->frenchTitle);
    return SampleFilms::matches(withoutPunctuation(typed), titles);
}

QString seedOf(const Cover &cover)
{
    const SampleFilm *film = SampleFilms::byId(QString::fromLatin1(cover.filmId));
    return film ? SampleFilms::pictureSeed(*film) : QString::fromUtf8(cover.title);
}

class HDCoversSite : public SampleSite
{
public:
    QList<Address> addresses() const override { return {{QStringLiteral("Hote-HDCovers"), QStringLiteral("/hdcovers")}}; }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression picture(QStringLiteral("^/uploads/(thumbs|photos)(0?)/(\\d+)\\.jpg$"));

        if (request.path == u"/" || request.path == u"/index.php")
            return html(page(QStringLiteral("Accueil"), QString::fromLatin1(kSearchForm).arg(QString())));
        if (request.path == u"/search.php")
            return html(searchPage(request));
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            const Category category = match.captured(2).isEmpty() ? Category::Jacket : Category::Sticker;
            const Cover *cover = coverByLid(match.captured(3), category);
            if (!cover)
                return notFound();
            const bool thumbnail = match.captured(1) == u"thumbs";
            if (category == Category::Sticker)
                return jpeg(PictureMaker::posterJpeg(seedOf(*cover), thumbnail ? kStickerThumbnailSize : kStickerSize));
            return jpeg(PictureMaker::jacketJpeg(seedOf(*cover), thumbnail ? PictureMaker::kJacketThumbnailSize
                                                                           : PictureMaker::kJacketSize));
        }
        return notFound();
    }

private:
    static QString searchPage(const Request &request)
    {
        const QString typed = request.value(QStringLiteral("query"));
        const Category category = request.value(QStringLiteral("mid")) == u"6" ? Category::Sticker : Category::Jacket;
        const QString mid = category == Category::Sticker ? QStringLiteral("6") : QStringLiteral("5");
        const int start = qMax(0, request.value(QStringLiteral("start")).toInt());
        const int pageIndex = start / kPageStep;

        QList<const Cover *> hits;
        for (const Cover &cover : kCovers)
            if (cover.category == category && coverMatches(cover, typed))
                hits << &cover;

        QString body = QString::fromLatin1(kSearchForm).arg(typed.toHtmlEscaped());
        body += QStringLiteral("<table width=\"100%\" border=\"0\" cellpadding=\"3\" cellspacing=\"0\">\n"
                               "<tr><td class=\"titre\">R&eacute;sultats de la recherche &quot;%1&quot; dans %2</td></tr>\n")
                    .arg(typed.toHtmlEscaped(), categoryName(category));
        const int pages = int((hits.size() + kHitsPerPage - 1) / kHitsPerPage);
        if (hits.isEmpty() || pageIndex >= pages) {
            body += QStringLiteral("<tr><td class=\"info\">Aucun fichier ne correspond &agrave; votre recherche.</td></tr>\n</table>\n");
            return page(QStringLiteral("Recherche"), body);
        }
        body += QStringLiteral("<tr><td class=\"info\">%1 fichier(s) trouv&eacute;(s) - page %2 sur %3</td></tr>\n</table>\n")
                    .arg(hits.size())
                    .arg(pageIndex + 1)
                    .arg(pages);
        body += QStringLiteral("<table width=\"100%\" border=\"0\" cellpadding=\"4\" cellspacing=\"1\" class=\"liste\">\n"
                               "<tr><th align=\"left\">Titre</th><th>Cat&eacute;gorie</th><th>Affichages</th></tr>\n");
        const qsizetype first = qsizetype(pageIndex) * kHitsPerPage;
        for (qsizetype i = first; i < qMin(first + kHitsPerPage, hits.size()); ++i) {
            const Cover *cover = hits.at(i);
            body += QStringLiteral("<tr class=\"row%1\"><td><a href=\"showfile.php?lid=%2\">%3</a></td>"
                                   "<td align=\"center\">%4</td><td align=\"center\">%5</td></tr>\n")
                        .arg(i % 2 + 1)
                        .arg(QLatin1StringView(cover->lid), QString::fromUtf8(cover->title).toHtmlEscaped(),
                             categoryName(category))
                        .arg(100 + QLatin1StringView(cover->lid).toInt() % 900);
        }
        body += QStringLiteral("</table>\n<table width=\"100%\" border=\"0\" cellpadding=\"3\" cellspacing=\"0\">\n<tr>");
        const QString query = QString::fromLatin1(QUrl::toPercentEncoding(typed));
        const auto pageLink = [&](int to, const QString &label) {
            return QStringLiteral("<a href=\"search.php?query=") + query + QStringLiteral("&amp;mid=") + mid
                   + QStringLiteral("&amp;action=showall&amp;andor=AND&amp;start=") + QString::number(to) + QStringLiteral("\">")
                   + label + QStringLiteral("</a>");
        };
        body += QStringLiteral("<td align=\"left\">")
                + (pageIndex > 0 ? pageLink((pageIndex - 1) * kPageStep, QStringLiteral("&lt;&lt; pr&eacute;c&eacute;dent")) : QStringLiteral("&nbsp;"))
                + QStringLiteral("</td><td align=\"right\">")
                + (pageIndex + 1 < pages ? pageLink((pageIndex + 1) * kPageStep, QStringLiteral("suivant &gt;&gt;")) : QStringLiteral("&nbsp;"))
                + QStringLiteral("</td>");
        body += QStringLiteral("</tr>\n</table>\n");
        return page(QStringLiteral("Recherche"), body);
    }
};

} // namespace

std::unique_ptr<SampleSite> makeHDCoversSite()
{
    return std::make_unique<HDCoversSite>();
}
