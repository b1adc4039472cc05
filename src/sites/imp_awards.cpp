#include "sites/imp_awards.h"

#include "text/text_helpers.h"
#include "settings/site_addresses.h"
#include "sites/title_preparation.h"

namespace {

const QString kSite = QStringLiteral("IMP Awards");
const QString kHostSetting = QStringLiteral("Hote-IMPAwards");
const QString kEngineSetting = QStringLiteral("Hote-MoteurRecherche");

// Poster pages carry both phrases; the site restriction alone would also
// bring the site's lists and news.
const QString kQuery = QStringLiteral("&num=100&q=%22Comments+on+the+Poster%22+%2B+%22contact+the%22+%2B+");

// The address follows "a class=l", a blank, "href=" and its quote; its closing quote is left out.
constexpr qsizetype kLinkOffset = 16;
constexpr qsizetype kLinkTail = 1;

constexpr QStringView kPosterMarker = u"img src='posters/";
// The name is followed by its quote and a blank, then "alt =".
constexpr qsizetype kNameTail = 2;

// The ">" looked for is the font tag's, past the cell's and the centre's.
constexpr qsizetype kFontTagOffset = 13;
// The year is the link's text: "(" and the link's opening tag come before it.
constexpr qsizetype kYearOffset = 25;
constexpr qsizetype kYearLength = 4;

// A version's name follows "thumbs/" and "imp_".
constexpr qsizetype kVersionOffset = 11;
// Versions are filed under the year folder: four digits and "/".
constexpr qsizetype kYearFolderLength = 5;

} // namespace

IMPAwards::IMPAwards()
    : SiteAdapter({kSite, {kBase}, {kHostSetting, kEngineSetting}})
{
}

QCoro::Task<> IMPAwards::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    const QString site = SiteAddresses::hostName(host);
    search.announce(kSite);
    const QString engine = (co_await search.readPage(search.address(kEngineSetting) + QStringLiteral("/custom?domains=") + site
                                                     + QStringLiteral("&sitesearch=") + site + kQuery
                                                     + titleForAddress(kSite, search.typedTitle())))
                               .toLower();
    const QStringList pages = linkPass(engine);
    for (const QString &pageAddress : pages) {
        if (search.stopRequested())
            break;
        const QString page = (co_await search.readPage(pageAddress)).toLower();
        // A full list ends the page loop: the remaining pages are not read.
        if (!search.addHits(posterPass(page, host, pageAddress)))
            break;
    }
    search.centre();
    co_await search.placeHits(1, false, SiteSearch::Pacing::Settle, [](ResultEntry &hit) { return hit.Extra; });
}

// A link reads: a class=l href='ADDRESS'>
QStringList IMPAwards::linkPass(const QString &page)
{
    QStringList links;
    for (qsizetype a = text::find(page, u"a class=l"); a != 0; a = text::find(page, u"a class=l", a + 1)) {
        const qsizetype g = text::find(page, u">", a);
        const QString link = piece(page, a + kLinkOffset, g - kLinkTail - a - kLinkOffset);
        if (!link.isEmpty())
            links.append(link);
    }
    return links;
}

QList<ResultEntry> IMPAwards::posterPass(const QString &page, const QString &host, const QString &pageAddress)
{
    QList<ResultEntry> hits;
    const qsizetype a = text::find(page, kPosterMarker);
    if (a == 0)
        return hits;

    // The page's folders lie after the site's own address and its "/", however long that is.
    const qsizetype start = host.size() + 2;
    const QString folder = piece(pageAddress, start, text::findLast(pageAddress, u"/") - start + 1);
    const QString yearFolder = text::mid(pageAddress, start, kYearFolderLength);
    const ResultEntry film = filmOf(page);

    // A poster whose name cannot be read (the page was cut inside it) is no hit.
    const auto addPoster = [&](const QString &where, const QString &name) {
        if (name.isEmpty())
            return;
        ResultEntry entry = film;
        entry.Key = host + u'/' + where + QStringLiteral("posters/") + name;
        entry.Extra = host + u'/' + where + QStringLiteral("thumbs/imp_") + name;
        hits.append(entry);
    };

    const qsizetype alt = text::find(page, u"alt =", a);
    addPoster(folder, alt != 0 ? piece(page, a + kPosterMarker.size(), alt - kNameTail - a - kPosterMarker.size()) : QString());

    // A version reads: thumbs/imp_NAME'> (the thumbnail of the version's own page).
    for (qsizetype t = text::find(page, u"thumbs/"); t != 0; t = text::find(page, u"thumbs/", t + 1)) {
        const qsizetype g = text::find(page, u">", t);
        QString name = piece(page, t + kVersionOffset, g - t - kVersionOffset);
        // The text runs up to the tag's end: the closing quote, and any
        // attribute after it, are not part of the name.
        const qsizetype quote = name.indexOf(u'\'');
        if (quote >= 0)
            name.truncate(quote);
        addPoster(yearFolder, name);
    }
    return hits;
}

// The film reads: <td><center><font size=...>TITLE (<a href='...'>YEAR</a>)
ResultEntry IMPAwards::filmOf(const QString &page)
{
    ResultEntry film;
    film.Site = kSite;
    const qsizetype f = text::find(page, u"<td><center><font size");
    const qsizetype g = f != 0 ? text::find(page, u">", f + kFontTagOffset) : 0;
    const qsizetype e = g != 0 ? text::find(page, u"(<a", g) : 0;
    if (e == 0)
        return film;
    // The blank before "(" is not part of the title.
    film.Title = piece(page, g + 1, e - g - 2);
    film.Year = yearValue(text::mid(page, e + kYearOffset, kYearLength));
    return film;
}

// The picture is fetched again on every retrieval.
QCoro::Task<PictureSource> IMPAwards::picture(PictureRequest &request)
{
    PictureSource source;
    source.url = request.hit().Key;
    co_return source;
}
