#include "sites/dvd_fr.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "net/download.h"
#include "output/retrieval.h"

namespace {

const QString kSite = QStringLiteral("DvdFr");
constexpr int kBaseIndex = 4;

// Lets the window draw the new slot before the film page holds the run.
constexpr int kYieldsBeforeFilmPage = 11;

// The marker is followed by a quote and "../": the link's path starts after them.
constexpr QStringView kLinkMarker = u"A CLASS='searchText' HREF=";
constexpr qsizetype kPathOffset = 30;
// The year cell is the one after the title's own cell, whose end this skips.
constexpr qsizetype kYearCellOffset = 10;
constexpr qsizetype kYearLength = 4;

} // namespace

QString DvdFr::host() const
{
    return address(QStringLiteral("Hote-DvdFr"));
}

void DvdFr::ChercheDvdFr()
{
    const int first = beginHits();
    announce(kSite);
    fetchPage(host() + QStringLiteral("/search/search.php?multiname=") + preparedTitle(kSite));
    scanResults();
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(false);
        for (int i = 0; i < kYieldsBeforeFilmPage; ++i)
            Program::yieldOnce();
        ResultEntry &entry = hit(current);
        entry.Key = coverAddress(entry.Extra);
        fetchThumbnail(entry.Key, Pacing::Settle);
        Program::yieldOnce();
    }
}

// Every hit reads: A CLASS='searchText' HREF='../PATH'>TITLE</A></TD><TD ...>YEAR</TD>
void DvdFr::scanResults()
{
    const QString &page = state().PageHtml;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, kLinkMarker, pos + 1);
        if (a == 0 || stopRequested())
            return;
        const qsizetype g = text::find(page, u">", a);
        const qsizetype e = text::find(page, u"</A>", g);
        // The page was cut off inside this link.
        if (g == 0 || e == 0)
            return;
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        entry->Extra = piece(page, a + kPathOffset, g - a - kPathOffset - 1);
        entry->Title = piece(page, g + 1, e - g - 1);
        const qsizetype f = text::find(page, u"</TD>", e + kYearCellOffset);
        entry->Year = yearValue(text::mid(page, f - kYearLength, kYearLength));
        entry->Site = kSite;
        pos = f > 0 ? f : e;
        Program::yieldOnce();
    }
}

// The film page's cover, or the site's placeholder when the page shows none.
QString DvdFr::coverAddress(const QString &filmPath)
{
    QString &page = state().PageHtml;
    // A film page that does not come must not lend the previous film's cover.
    page.clear();
    m_program.download().Start(host() + u'/' + filmPath, QStringLiteral("Html"), false, true);
    const qsizetype c = text::find(page, u"/images/dvd/cover_200x280/");
    const qsizetype j = text::find(page, u".jpg", c);
    if (c != 0 && j != 0)
        return host() + text::mid(page, c, j - c) + QStringLiteral(".jpg");
    return host() + QStringLiteral("/images/dvd/nocover_200x280.jpg");
}

void DvdFr::RecupDvdFr(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const QString localPath = state().DossierTemp + state().NomFichier + QStringLiteral(".jpg");
    saveAndOpen(Index, Copy, hit(Index + 1).Key, localPath, true);
}

void registerDvdFr(Program &program)
{
    auto adapter = std::make_unique<DvdFr>(program);
    DvdFr *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheDvdFr(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupDvdFr(index, copy); });
    program.adopt(std::move(adapter));
}
