#include "sites/all_divx.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "output/retrieval.h"
#include "settings/site_addresses.h"

#include <QUrl>

namespace {

const QString kSite = QStringLiteral("AllDivX");
constexpr int kBaseIndex = 9;

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

QString AllDivX::host() const
{
    return address(QStringLiteral("Hote-AllDivX"));
}

// Only links to the site's own jacket pages count, so the marker holds its
// host name (and the path the site is served under, when it has one).
QString AllDivX::jacketMarker() const
{
    const QString base = host();
    return QStringLiteral("float:left;'> <a href='http://") + SiteAddresses::hostName(base)
           + QUrl(base).path(QUrl::FullyEncoded) + QStringLiteral("/jaquette");
}

void AllDivX::ChercheAllDivX()
{
    const int first = beginHits();
    announce(kSite);
    postForm(QStringLiteral("AllDivX"), formTitle(kSite), host());
    scanJackets();
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(true);
        ResultEntry &entry = hit(current);
        entry.Key = pictureAddress(entry.Key);
        if (!entry.Key.isEmpty())
            fetchThumbnail(entry.Key, Pacing::WaitedThenSettle);
    }
}

// Every hit reads: float:left;'> <a href='http://HOST/jaquette....html'> TITLE </a>
void AllDivX::scanJackets()
{
    const QString &page = state().PageHtml;
    const QString marker = jacketMarker();
    qsizetype pos = text::find(page, kResultsHeading);
    for (;;) {
        const qsizetype a = text::find(page, marker, pos + 1);
        if (a == 0 || stopRequested())
            return;
        const qsizetype e = text::find(page, u".html", a + 1);
        const qsizetype l = text::find(page, u"<", e);
        // The page was cut off inside this link.
        if (e == 0 || l == 0)
            return;
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        entry->Key = piece(page, a + kAddressOffset, e + kHtmlLength - (a + kAddressOffset));
        entry->Title = piece(page, e + kTitleOffset, l - 1 - (e + kTitleOffset));
        entry->Site = kSite;
        pos = e;
        Program::yieldOnce();
    }
}

// The picture that the jacket's page shows; empty when the page has none.
QString AllDivX::pictureAddress(const QString &jacketPage)
{
    QString &page = state().PageHtml;
    // A jacket page that does not come must not lend the previous one's picture.
    page.clear();
    fetchPage(jacketPage);
    const qsizetype s = text::find(page, kPictureMarker);
    if (s == 0)
        return {};
    const qsizetype start = s + kPictureMarker.size();
    return piece(page, start, text::find(page, u"'", start) - start);
}

void AllDivX::RecupAllDivX(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const QString localPath = state().DossierTemp + state().NomFichier + QStringLiteral(".jpg");
    saveAndOpen(Index, Copy, hit(Index + 1).Key, localPath, true);
}

void registerAllDivX(Program &program)
{
    auto adapter = std::make_unique<AllDivX>(program);
    AllDivX *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheAllDivX(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupAllDivX(index, copy); });
    program.adopt(std::move(adapter));
}
