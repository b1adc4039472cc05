#include "sites/affiches_cinema.h"

#include "sites/title_preparation.h"
#include "text/text_helpers.h"
#include "text/text_utils.h"

namespace {

const QString kSite = QStringLiteral("Affiches Cinéma");
const QString kHostSetting = QStringLiteral("Hote-AffichesCinema");

constexpr QStringView kLinkStart = u"<a href=";
constexpr QStringView kLinkEnd = u"</a>";
constexpr QStringView kTarget = u"target";
// The path sits between "<a href='" and "' target": 9 characters after the
// link's start, and it ends 3 characters before "target".
constexpr qsizetype kPathOffset = 9;
constexpr qsizetype kPathTail = 2;
// "src=" and the quote after it.
constexpr QStringView kSource = u"src=";
constexpr qsizetype kSourceOffset = 5;
constexpr QStringView kJpg = u".jpg";

} // namespace

AffichesCinema::AffichesCinema()
    : SiteAdapter({kSite, {kBase}, {kHostSetting}})
{
}

QCoro::Task<> AffichesCinema::search(SiteSearch &search, int)
{
    const QString host = search.address(kHostSetting);
    search.announce(kSite);
    const QString title = prepareTitle(kSite, search.typedTitle());
    // An empty title would find every link of the page.
    if (title.isEmpty())
        co_return;
    const QString index = co_await search.readPage(host + QStringLiteral("/page.php?lettre=") + escapeForAddress(title.left(1)));
    search.addHits(linkPass(index, title));
    search.centre();

    // Each hit's film page is read before its slot is made.
    for (int number = 1; number <= search.hitCount(); ++number) {
        if (search.stopRequested())
            break;
        const QString filmPath = search.hit(number).Key;
        QString poster;
        if (!filmPath.isEmpty())
            poster = posterPass(co_await search.readRawPage(host + u'/' + filmPath));
        search.hit(number).Key = poster;
        if (!search.addSlot(number, false))
            break;
        if (!poster.isEmpty())
            co_await search.fetchThumbnail(number, host + u'/' + poster, SiteSearch::Pacing::Settle);
    }
}

// Every film of the index page reads: <a href='PATH' target='...'>title</a>
// The title is looked for in an accent-folded copy of the page.
QList<ResultEntry> AffichesCinema::linkPass(const QString &page, const QString &title)
{
    QList<ResultEntry> hits;
    const QString lowered = page.toLower();
    QString folded = lowered;
    // Folding replaces one character by one: positions in the copy are the page's.
    Normalise(folded, false);
    const QString wanted = u'>' + title;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(folded, wanted, pos + 1);
        if (a == 0)
            return hits;
        pos = a;
        const qsizetype e = text::find(lowered, kLinkEnd, a);
        // The page was cut off inside this link.
        if (e == 0)
            return hits;
        const qsizetype h = text::findLast(lowered, kLinkStart, e);
        const qsizetype t = text::find(lowered, kTarget, h);
        // Text that is not a link's (a heading, say), or a link without its
        // target, has no film page to read.
        if (h == 0 || h > a || t == 0 || t > a)
            continue;
        ResultEntry entry;
        entry.Title = piece(lowered, a + 1, e - a - 1);
        entry.Key = piece(lowered, h + kPathOffset, t - h - kPathOffset - kPathTail);
        entry.Site = kSite;
        hits.append(entry);
    }
}

// The film page's first picture is its poster: src='PATH.jpg'.
QString AffichesCinema::posterPass(const QString &filmPage)
{
    const qsizetype s = text::find(filmPage, kSource);
    const qsizetype j = text::find(filmPage, kJpg, s);
    if (s == 0 || j == 0)
        return {};
    return piece(filmPage, s + kSourceOffset, j + kJpg.size() - s - kSourceOffset);
}

QCoro::Task<PictureSource> AffichesCinema::picture(PictureRequest &request)
{
    const QString &key = request.hit().Key;
    PictureSource source;
    // A hit whose film page showed no poster has nothing to fetch.
    if (!key.isEmpty())
        source.url = request.address(kHostSetting) + u'/' + key;
    co_return source;
}
