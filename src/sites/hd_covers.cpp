#include "sites/hd_covers.h"

#include "text/text_helpers.h"
#include "sites/title_preparation.h"

namespace {

const QString kSite = QStringLiteral("HD Covers");
const QString kHostSetting = QStringLiteral("Hote-HDCovers");

// The site lists 20 hits a page and `start` counts hits; the paging is
// followed up to start 1000, so at most 51 pages a category.
constexpr int kPageStep = 20;
constexpr int kLastStart = 1000;

// A part of the site's search: its `mid`, the name a hit keeps in Extra, and
// where its thumbnails and full pictures lie.
struct Category
{
    QString mid;
    QString name;
    QString thumbnails;
    QString pictures;
};

// Jackets first, then stickers.
const Category kCategories[] = {
    {QStringLiteral("5"), QStringLiteral("Jaquettes"), QStringLiteral("/uploads/thumbs/"), QStringLiteral("/uploads/photos/")},
    {QStringLiteral("6"), QStringLiteral("Stickers"), QStringLiteral("/uploads/thumbs0/"), QStringLiteral("/uploads/photos0/")},
};

const Category &categoryOf(const ResultEntry &hit)
{
    return hit.Extra == kCategories[1].name ? kCategories[1] : kCategories[0];
}

} // namespace

HDCovers::HDCovers()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> HDCovers::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(kSite);
    const QString title = titleForAddress(kSite, search.typedTitle());
    for (const Category &category : kCategories)
        co_await searchCategory(search, host, category.mid, category.name, title);
    search.centre();
    co_await search.placeHits(1, true, SiteSearch::Pacing::Settle, [&](ResultEntry &hit) {
        return host + categoryOf(hit).thumbnails + hit.Key + QStringLiteral(".jpg");
    });
}

// Page after page while the page offers the next one. A full list only ends
// what a page adds: the paging goes on.
QCoro::Task<> HDCovers::searchCategory(SiteSearch &search, const QString &host, const QString &mid,
                                       const QString &category, const QString &title)
{
    for (int start = 0; start <= kLastStart && !search.stopRequested(); start += kPageStep) {
        const QString page = (co_await search.readPage(host + QStringLiteral("/search.php?query=") + title + QStringLiteral("&mid=")
                                                       + mid + QStringLiteral("&action=showall&andor=AND&start=")
                                                       + QString::number(start)))
                                 .toLower();
        search.addHits(scanPage(page, category));
        if (!offersNextPage(page))
            break;
    }
}

// Every hit reads: lid=KEY'>TITLE</a>
QList<ResultEntry> HDCovers::scanPage(const QString &page, const QString &category)
{
    QList<ResultEntry> hits;
    for (qsizetype pos = 0;;) {
        const qsizetype a = text::find(page, u"lid=", pos + 1);
        if (a == 0)
            break;
        const qsizetype q = text::find(page, u"'", a);
        const qsizetype c = text::find(page, u"</a>", a);
        // No link ends after this one: the page was cut off.
        if (c == 0)
            break;
        // A link whose key has no closing quote before its text gives no hit.
        if (q > 0 && q + 2 <= c) {
            ResultEntry entry;
            entry.Key = text::mid(page, a + 4, q - a - 4);
            entry.Title = text::mid(page, q + 2, c - q - 2);
            entry.Site = kSite;
            entry.Extra = category;
            hits.append(entry);
        }
        pos = c;
    }
    return hits;
}

bool HDCovers::offersNextPage(const QString &page)
{
    return text::find(page, u"suivant >>") != 0;
}

QCoro::Task<PictureSource> HDCovers::picture(PictureRequest &request)
{
    const ResultEntry &hit = request.hit();
    PictureSource source;
    source.url = request.address(kHostSetting) + categoryOf(hit).pictures + hit.Key + QStringLiteral(".jpg");
    source.reuseCached = true;
    co_return source;
}
