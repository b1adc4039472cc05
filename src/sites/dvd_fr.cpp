#include "sites/dvd_fr.h"

#include "text/text_helpers.h"
#include "sites/title_preparation.h"

namespace {

const QString kSite = QStringLiteral("DvdFr");
const QString kHostSetting = QStringLiteral("Hote-DvdFr");

// The marker is followed by a quote and "../": the link's path starts after them.
constexpr QStringView kLinkMarker = u"A CLASS='searchText' HREF=";
constexpr qsizetype kPathOffset = 30;
// The year cell is the one after the title's own cell, whose end this skips.
constexpr qsizetype kYearCellOffset = 10;
constexpr qsizetype kYearLength = 4;

} // namespace

DvdFr::DvdFr()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> DvdFr::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(kSite);
    const QString page = co_await search.readPage(host + QStringLiteral("/search/search.php?multiname=")
                                                  + titleForAddress(kSite, search.typedTitle()));
    search.addHits(scanResults(page));
    search.centre();

    // Each hit's cover is on its film page, read once its slot is there.
    for (int number = 1; number <= search.hitCount(); ++number) {
        if (!search.addSlot(number, false))
            break;
        const QString filmPage = co_await search.readRawPage(host + u'/' + search.hit(number).Extra);
        const QString cover = coverAddress(host, filmPage);
        search.hit(number).Key = cover;
        co_await search.fetchThumbnail(number, cover, SiteSearch::Pacing::Settle);
    }
}

// Every hit reads: A CLASS='searchText' HREF='../PATH'>TITLE</A></TD><TD ...>YEAR</TD>
QList<ResultEntry> DvdFr::scanResults(const QString &page)
{
    QList<ResultEntry> hits;
    for (qsizetype pos = 0;;) {
        const qsizetype a = text::find(page, kLinkMarker, pos + 1);
        if (a == 0)
            break;
        const qsizetype g = text::find(page, u">", a);
        const qsizetype e = text::find(page, u"</A>", g);
        // The page was cut off inside this link.
        if (g == 0 || e == 0)
            break;
        ResultEntry entry;
        entry.Extra = piece(page, a + kPathOffset, g - a - kPathOffset - 1);
        entry.Title = piece(page, g + 1, e - g - 1);
        const qsizetype f = text::find(page, u"</TD>", e + kYearCellOffset);
        entry.Year = yearValue(text::mid(page, f - kYearLength, kYearLength));
        entry.Site = kSite;
        hits.append(entry);
        pos = f > 0 ? f : e;
    }
    return hits;
}

QString DvdFr::coverAddress(const QString &host, const QString &filmPage)
{
    const qsizetype c = text::find(filmPage, u"/images/dvd/cover_200x280/");
    const qsizetype j = text::find(filmPage, u".jpg", c);
    if (c != 0 && j != 0)
        return host + text::mid(filmPage, c, j - c) + QStringLiteral(".jpg");
    return host + QStringLiteral("/images/dvd/nocover_200x280.jpg");
}

QCoro::Task<PictureSource> DvdFr::picture(PictureRequest &request)
{
    PictureSource source;
    source.url = request.hit().Key;
    source.reuseCached = true;
    co_return source;
}
