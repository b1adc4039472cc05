#include "sites/cinefil.h"

#include "core/program.h"
#include "core/text_helpers.h"
#include "output/retrieval.h"

namespace {

const QString kSite = QStringLiteral("Cinefil");
constexpr int kBaseIndex = 2;

constexpr QStringView kFilmMarker = u"/fichefilm.cfm?ref=";
constexpr QStringView kTitleMarker = u"title='";

} // namespace

QString Cinefil::host() const
{
    return address(QStringLiteral("Hote-Cinefil"));
}

QString Cinefil::pictureServer() const
{
    return address(QStringLiteral("Hote-CinefilImages"));
}

void Cinefil::ChercheCinefil()
{
    const int first = beginHits();
    announce(kSite);
    // A page that does not come must not be read as the previous site's.
    state().PageHtml.clear();
    fetchPage(host() + QStringLiteral("/cinefil2005/CFM_Recherches/filmsGRIS.cfm?lachaine2=") + preparedTitle(kSite)
              + QStringLiteral("&avecaffiche=1"));
    state().PageHtml = state().PageHtml.toLower();
    collectHits();
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(false);
        fetchThumbnail(pictureServer() + QStringLiteral("/ImagesCinefil/AffichePetitFormat/") + hit(current).Key
                           + QStringLiteral(".jpeg"),
                       Pacing::Settle);
    }
}

// Every film reads: <a href='.../fichefilm.cfm?ref=KEY'>poster</a> ...
// <a href='.../fichefilm.cfm?ref=KEY' title='TITLE'>TITLE</a> [YEAR]
// The scan goes on after the year, past the film's second link.
void Cinefil::collectHits()
{
    const QString &page = state().PageHtml;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, kFilmMarker, pos + 1);
        if (a == 0 || stopRequested())
            return;
        const qsizetype t = text::find(page, kTitleMarker, a + 1);
        const qsizetype u = text::find(page, u"'>", t + 8);
        // The page was cut off before this film's title.
        if (t == 0 || u == 0)
            return;
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        const qsizetype q = text::find(page, u"'", a);
        entry->Key = piece(page, a + 19, q - a - 19);
        entry->Title = text::mid(page, t + 7, u - t - 7);
        const qsizetype b = text::find(page, u"[", t);
        const qsizetype d = text::find(page, u"]", b + 1);
        if (b != 0)
            entry->Year = yearValue(piece(page, b + 1, d - b - 1));
        entry->Site = kSite;
        // Without a bracket after this film the scan would start over from
        // the top: the page holds no more years, so it ends here.
        if (b == 0)
            return;
        pos = b;
        Program::yieldOnce();
    }
}

void Cinefil::RecupCinefil(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    // The server's ".jpeg" poster is kept as ".jpg", like every other picture.
    const QString url = pictureServer() + QStringLiteral("/ImagesCinefil/AfficheGrandFormat/a") + hit(Index + 1).Key
                        + QStringLiteral(".jpeg");
    saveAndOpen(Index, Copy, url, state().DossierTemp + state().NomFichier + QStringLiteral(".jpg"), true);
}

void registerCinefil(Program &program)
{
    auto adapter = std::make_unique<Cinefil>(program);
    Cinefil *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheCinefil(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupCinefil(index, copy); });
    program.adopt(std::move(adapter));
}
