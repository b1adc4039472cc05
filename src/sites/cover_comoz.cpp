#include "sites/cover_comoz.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "output/retrieval.h"

namespace {

const QString kSite = QStringLiteral("Cover Comoz");
constexpr int kBaseIndex = 13;

// The page's head and menus, written in the same colour as the titles, fill
// its first characters; the hits come after them.
constexpr qsizetype kSkippedHead = 1600;

// Each title is written in white: <font color='#FFFFFF'>TITLE</font>
constexpr QStringView kTitleColour = u"#FFFFFF";
constexpr qsizetype kTitleOffset = 9; // after the colour, its quote and ">"
// <a href='PATH'> and <img src='ADDRESS'>: the values inside their quotes.
constexpr qsizetype kPathOffset = 9;
constexpr qsizetype kSourceOffset = 5;

} // namespace

QString CoverComoz::host() const
{
    return address(QStringLiteral("Hote-CoverComoz"));
}

void CoverComoz::ChercheCoverComoz()
{
    const int first = beginHits();
    announce(kSite);
    postForm(QStringLiteral("CoverComoz"), formTitle(kSite), host());
    scanCovers();
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(false);
        fetchThumbnail(hit(current).Key, Pacing::Settle);
    }
}

// Every hit reads: <font color='#FFFFFF'>TITLE</font> ... <a href='PATH'><img src='THUMBNAIL'></a>
void CoverComoz::scanCovers()
{
    const QString &page = state().PageHtml;
    qsizetype pos = kSkippedHead;
    for (;;) {
        const qsizetype a = text::find(page, kTitleColour, pos);
        if (a == 0 || stopRequested())
            return;
        // The last skipped character itself: the scan goes on past it.
        if (a == pos) {
            pos = a + 1;
            continue;
        }
        const qsizetype f = text::find(page, u"</font>", a);
        const qsizetype h = text::find(page, u"<a href=", a);
        const qsizetype g = text::find(page, u"><", h);
        const qsizetype s = text::find(page, u"src=", h);
        const qsizetype g2 = text::find(page, u"><", s);
        // The page was cut off inside this hit.
        if (f == 0 || g == 0 || g2 == 0)
            return;
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        entry->Title = piece(page, a + kTitleOffset, f - (a + kTitleOffset));
        entry->Extra = piece(page, h + kPathOffset, g - 1 - (h + kPathOffset));
        entry->Key = piece(page, s + kSourceOffset, g2 - 1 - (s + kSourceOffset));
        entry->Site = kSite;
        pos = s;
        Program::yieldOnce();
    }
}

// The cover's page shows the picture as its first absolute address: src='http://....jpg'
QString CoverComoz::pictureAddress(const QString &coverPath)
{
    QString &page = state().PageHtml;
    // A cover page that does not come must not lend another page's picture.
    page.clear();
    fetchPage(host() + u'/' + coverPath);
    const qsizetype s = text::find(page, u"src='http://");
    const qsizetype j = text::find(page, u"jpg", s);
    if (s == 0 || j == 0)
        return {};
    const qsizetype start = s + kSourceOffset;
    return text::mid(page, start, j + 3 - start);
}

// Fetched again at every press, even when the cache folder holds the picture.
void CoverComoz::RecupCoverComoz(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const QString url = pictureAddress(hit(Index + 1).Extra);
    const QString localPath = state().DossierTemp + state().NomFichier + QStringLiteral(".jpg");
    saveAndOpen(Index, Copy, url, localPath, false);
}

void registerCoverComoz(Program &program)
{
    auto adapter = std::make_unique<CoverComoz>(program);
    CoverComoz *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheCoverComoz(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupCoverComoz(index, copy); });
    program.adopt(std::move(adapter));
}
