#include "sites/vintage_movie_poster.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "output/retrieval.h"

namespace {

const QString kSite = QStringLiteral("Vintage Movie Poster");
constexpr int kBaseIndex = 8;

constexpr QStringView kHitMarker = u"#501828";
constexpr QStringView kTipMarker = u"onMouseOver";
constexpr QStringView kTipEnd = u"')";
constexpr QStringView kJpg = u".jpg";
// "onMouseOver='showtip('": the tip's text begins 22 characters after the marker.
constexpr qsizetype kTitleOffset = 22;
// "')' onMouseOut='hidetip();'><img src='": the picture's path begins 38
// characters after the end of the tip.
constexpr qsizetype kPathOffset = 38;

} // namespace

QString VintageMoviePoster::host() const
{
    return address(QStringLiteral("Hote-Vintage"));
}

void VintageMoviePoster::ChercheVintage()
{
    const int first = beginHits();
    announce(QStringLiteral("Vintage"));
    // A page that does not come must not be read as the previous site's.
    state().PageHtml.clear();
    fetchPage(host() + QStringLiteral("/result_key2_bis.asp?page2=1&motclef=") + preparedTitle(kSite)
              + QStringLiteral("&prix=0&B1=See+Results"));
    collectHits();
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(false);
        fetchThumbnail(host() + u'/' + hit(current).Key, Pacing::Settle);
    }
}

// Every hit reads: <td bgcolor='#501828'><a href='...' onMouseOver='showtip('TITLE')'
// onMouseOut='hidetip();'><img src='photos_pm/NAME.jpg' ...>
void VintageMoviePoster::collectHits()
{
    const QString &page = state().PageHtml;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, kHitMarker, pos + 1);
        if (a == 0 || stopRequested())
            return;
        const qsizetype m = text::find(page, kTipMarker, a);
        const qsizetype q = text::find(page, kTipEnd, m);
        const qsizetype j = text::find(page, kJpg, q);
        // The page was cut off inside this hit.
        if (m == 0 || q == 0 || j == 0)
            return;
        pos = q;
        // The path, ".jpg" included; the list shows the small picture, the
        // hit keeps the large one.
        QString key = piece(page, q + kPathOffset, j + kJpg.size() - q - kPathOffset);
        text::replaceAll(key, u"photos_pm", u"photos_gm");
        // A tip without a picture behind it is no poster.
        if (key.isEmpty())
            continue;
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        entry->Title = piece(page, m + kTitleOffset, q - m - kTitleOffset);
        entry->Key = key;
        entry->Site = kSite;
        Program::yieldOnce();
    }
}

void VintageMoviePoster::RecupVintage(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const QString localPath = state().DossierTemp + state().NomFichier + QStringLiteral(".jpg");
    saveAndOpen(Index, Copy, host() + u'/' + hit(Index + 1).Key, localPath, false);
}

void registerVintageMoviePoster(Program &program)
{
    auto adapter = std::make_unique<VintageMoviePoster>(program);
    VintageMoviePoster *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheVintage(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupVintage(index, copy); });
    program.adopt(std::move(adapter));
}
