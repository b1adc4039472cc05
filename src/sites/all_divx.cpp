#include "sites/all_divx.h"

#include "settings/site_addresses.h"
#include "sites/title_preparation.h"
#include "text/text_helpers.h"

#include <QUrl>

namespace {

const QString kSite = QStringLiteral("AllDivX");
const QString kHostSetting = QStringLiteral("Hote-AllDivX");

// The results follow this heading; the jackets listed before it (the latest
// additions) are not hits.
constexpr QStringView kResultsHeading = u"de la recherche";

// The jacket's address starts at the "http" after the marker's first characters
// ("float:left;'> <a href='") and ends with ".html".
constexpr qsizetype kAddressOffset = 23;
constexpr qsizetype kHtmlLength = 5;
// The link text lies after ".html'>" and a blank, and ends with a blank: the
// page puts it on a line of its own.
constexpr qsizetype kTitleOffset = 8;

// The jacket page shows its picture through a script.
constexpr QStringView kPictureMarker = u"img01.src = '";

} // namespace

AllDivX::AllDivX()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

// Only links to the site's own jacket pages count, so the marker holds its
// host name (and the path the site is served under, when it has one).
QString AllDivX::jacketMarker(const QString &host)
{
    return QStringLiteral("float:left;'> <a href='http://") + SiteAddresses::hostName(host)
           + QUrl(host).path(QUrl::FullyEncoded) + QStringLiteral("/jaquette");
}

QCoro::Task<> AllDivX::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(kSite);
    const QString page = co_await search.postForm(QStringLiteral("AllDivX"), titleForForm(kSite, search.typedTitle()), host);
    search.addHits(jacketPass(page, jacketMarker(host)));
    search.centre();

    // Each hit's slot comes first, then its jacket page names the thumbnail.
    for (int number = 1; number <= search.hitCount(); ++number) {
        if (!search.addSlot(number, true))
            break;
        const QString picture = picturePass(co_await search.readPage(search.hit(number).Key));
        search.hit(number).Key = picture;
        if (!picture.isEmpty())
            co_await search.fetchThumbnail(number, picture, SiteSearch::Pacing::WaitedThenSettle);
    }
}

// Every hit reads: float:left;'> <a href='http://HOST/jaquette....html'> TITLE </a>
QList<ResultEntry> AllDivX::jacketPass(const QString &page, const QString &marker)
{
    QList<ResultEntry> hits;
    qsizetype pos = text::find(page, kResultsHeading);
    for (;;) {
        const qsizetype a = text::find(page, marker, pos + 1);
        if (a == 0)
            return hits;
        const qsizetype e = text::find(page, u".html", a + 1);
        const qsizetype l = text::find(page, u"<", e);
        // The page was cut off inside this link.
        if (e == 0 || l == 0)
            return hits;
        ResultEntry entry;
        entry.Key = piece(page, a + kAddressOffset, e + kHtmlLength - (a + kAddressOffset));
        entry.Title = piece(page, e + kTitleOffset, l - 1 - (e + kTitleOffset));
        entry.Site = kSite;
        hits.append(entry);
        pos = e;
    }
}

QString AllDivX::picturePass(const QString &jacketPage)
{
    const qsizetype s = text::find(jacketPage, kPictureMarker);
    if (s == 0)
        return {};
    const qsizetype start = s + kPictureMarker.size();
    return piece(jacketPage, start, text::find(jacketPage, u"'", start) - start);
}

// Saved once, then taken from the cache folder.
QCoro::Task<PictureSource> AllDivX::picture(PictureRequest &request)
{
    PictureSource source;
    source.url = request.hit().Key;
    source.reuseCached = true;
    co_return source;
}
