#include "sites/affiches_cinema.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "text/text_utils.h"
#include "net/download.h"
#include "output/retrieval.h"
#include "sites/title_preparation.h"

namespace {

const QString kSite = QStringLiteral("Affiches Cinéma");
constexpr int kBaseIndex = 0;

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

QString AffichesCinema::host() const
{
    return address(QStringLiteral("Hote-AffichesCinema"));
}

void AffichesCinema::ChercheAffichesCinema()
{
    const int first = beginHits();
    announce(kSite);
    const QString title = prepareTitle(kSite, typedTitle());
    // An empty title would find every link of the page.
    if (title.isEmpty())
        return;
    state().PageHtml.clear();
    fetchPage(host() + QStringLiteral("/page.php?lettre=") + escapeForAddress(title.left(1)));
    state().PageHtml = state().PageHtml.toLower();
    collectLinks(title);
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        ResultEntry &entry = hit(current);
        entry.Key = posterPath(entry.Key);
        addSlot(false);
        if (!entry.Key.isEmpty())
            fetchThumbnail(host() + u'/' + entry.Key, Pacing::Settle);
    }
}

// Every film of the index page reads: <a href='PATH' target='...'>title</a>
// The page is lower-cased; the title is looked for in an accent-folded copy.
void AffichesCinema::collectLinks(const QString &title)
{
    const QString &page = state().PageHtml;
    QString folded = page;
    // Folding replaces one character by one: positions in the copy are the page's.
    Normalise(folded, false);
    const QString wanted = u'>' + title;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(folded, wanted, pos + 1);
        if (a == 0 || stopRequested())
            return;
        pos = a;
        const qsizetype e = text::find(page, kLinkEnd, a);
        // The page was cut off inside this link.
        if (e == 0)
            return;
        const qsizetype h = text::findLast(page, kLinkStart, e);
        const qsizetype t = text::find(page, kTarget, h);
        // Text that is not a link's (a heading, say), or a link without its
        // target, has no film page to read.
        if (h == 0 || h > a || t == 0 || t > a)
            continue;
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        entry->Title = piece(page, a + 1, e - a - 1);
        entry->Key = piece(page, h + kPathOffset, t - h - kPathOffset - kPathTail);
        entry->Site = kSite;
        Program::yieldOnce();
    }
}

// The film page's first picture is its poster: src='PATH.jpg'. Empty when the
// page does not come or shows none.
QString AffichesCinema::posterPath(const QString &filmPath)
{
    if (filmPath.isEmpty())
        return {};
    QString &page = state().PageHtml;
    // A film page that does not come must not lend the previous page's picture.
    page.clear();
    m_program.download().Start(host() + u'/' + filmPath, QStringLiteral("Html"), false, true);
    const qsizetype s = text::find(page, kSource);
    const qsizetype j = text::find(page, kJpg, s);
    if (s == 0 || j == 0)
        return {};
    return piece(page, s + kSourceOffset, j + kJpg.size() - s - kSourceOffset);
}

void AffichesCinema::RecupAffichesCinema(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const QString &key = hit(Index + 1).Key;
    // A hit whose film page showed no poster has nothing to fetch.
    if (key.isEmpty()) {
        retrieval().OuvreFichier(Index, Copy);
        return;
    }
    const QString localPath = state().DossierTemp + state().NomFichier + QStringLiteral(".jpg");
    saveAndOpen(Index, Copy, host() + u'/' + key, localPath, false);
}

void registerAffichesCinema(Program &program)
{
    auto adapter = std::make_unique<AffichesCinema>(program);
    AffichesCinema *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheAffichesCinema(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupAffichesCinema(index, copy); });
    program.adopt(std::move(adapter));
}
