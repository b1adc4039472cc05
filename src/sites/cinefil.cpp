#include "sites/cinefil.h"

#include "text/text_helpers.h"
#include "sites/title_preparation.h"

namespace {

const QString kSite = QStringLiteral("Cinefil");
const QString kHostSetting = QStringLiteral("Hote-Cinefil");
const QString kPictureSetting = QStringLiteral("Hote-CinefilImages");

constexpr QStringView kFilmMarker = u"/fichefilm.cfm?ref=";
constexpr QStringView kTitleMarker = u"title='";

} // namespace

Cinefil::Cinefil()
    : SiteAdapter({kSite, {kBase}, {kHostSetting, kPictureSetting}})
{
}

QCoro::Task<> Cinefil::search(SiteSearch &search, int)
{
    search.announce(kSite);
    const QString page = co_await search.readPage(search.address(kHostSetting)
                                                  + QStringLiteral("/cinefil2005/CFM_Recherches/filmsGRIS.cfm?lachaine2=")
                                                  + titleForAddress(kSite, search.typedTitle())
                                                  + QStringLiteral("&avecaffiche=1"));
    search.addHits(resultPass(page));
    search.centre();
    const QString pictures = search.address(kPictureSetting);
    co_await search.placeHits(1, false, SiteSearch::Pacing::Settle, [&](ResultEntry &hit) {
        return pictures + QStringLiteral("/ImagesCinefil/AffichePetitFormat/") + hit.Key + QStringLiteral(".jpeg");
    });
}

// Every film reads: <a href='.../fichefilm.cfm?ref=KEY'>poster</a> ...
// <a href='.../fichefilm.cfm?ref=KEY' title='TITLE'>TITLE</a> [YEAR]
// The scan goes on after the year, past the film's second link.
QList<ResultEntry> Cinefil::resultPass(const QString &page)
{
    const QString lower = page.toLower();
    QList<ResultEntry> hits;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(lower, kFilmMarker, pos + 1);
        if (a == 0)
            break;
        const qsizetype t = text::find(lower, kTitleMarker, a + 1);
        const qsizetype u = text::find(lower, u"'>", t + 8);
        // The page was cut off before this film's title.
        if (t == 0 || u == 0)
            break;
        ResultEntry entry;
        const qsizetype q = text::find(lower, u"'", a);
        entry.Key = piece(lower, a + 19, q - a - 19);
        entry.Title = text::mid(lower, t + 7, u - t - 7);
        const qsizetype b = text::find(lower, u"[", t);
        const qsizetype d = text::find(lower, u"]", b + 1);
        if (b != 0)
            entry.Year = yearValue(piece(lower, b + 1, d - b - 1));
        entry.Site = kSite;
        hits.append(entry);
        // Without a bracket after this film the scan would start over from
        // the top: the page holds no more years, so it ends here.
        if (b == 0)
            break;
        pos = b;
    }
    return hits;
}

// The server's ".jpeg" poster is kept as ".jpg", like every other picture.
QCoro::Task<PictureSource> Cinefil::picture(PictureRequest &request)
{
    PictureSource source;
    source.url = request.address(kPictureSetting) + QStringLiteral("/ImagesCinefil/AfficheGrandFormat/a") + request.hit().Key
                 + QStringLiteral(".jpeg");
    source.reuseCached = true;
    co_return source;
}
