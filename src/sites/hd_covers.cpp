#include "sites/hd_covers.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "output/retrieval.h"

namespace {

const QString kSite = QStringLiteral("HD Covers");
constexpr int kBaseIndex = 10;

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

QString HDCovers::host() const
{
    return address(QStringLiteral("Hote-HDCovers"));
}

void HDCovers::ChercheHDCovers()
{
    const int first = beginHits();
    announce(kSite);
    const QString title = preparedTitle(kSite);
    for (const Category &category : kCategories)
        searchCategory(category.mid, category.name, title);
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        const ResultEntry &entry = hit(current);
        addSlot(true);
        fetchThumbnail(host() + categoryOf(entry).thumbnails + entry.Key + QStringLiteral(".jpg"), Pacing::Settle);
    }
}

// Page after page while the page offers the next one. A full list only ends
// the scan of a page: the paging goes on.
void HDCovers::searchCategory(const QString &mid, const QString &category, const QString &title)
{
    for (int start = 0; start <= kLastStart && !stopRequested(); start += kPageStep) {
        // A page that does not come must end the category, not be read again
        // as the previous one.
        state().PageHtml.clear();
        fetchPage(host() + QStringLiteral("/search.php?query=") + title + QStringLiteral("&mid=") + mid
                  + QStringLiteral("&action=showall&andor=AND&start=") + QString::number(start));
        state().PageHtml = state().PageHtml.toLower();
        scanPage(category);
        if (text::find(state().PageHtml, u"suivant >>") == 0)
            break;
    }
}

// Every hit reads: lid=KEY'>TITLE</a>
void HDCovers::scanPage(const QString &category)
{
    const QString &page = state().PageHtml;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, u"lid=", pos + 1);
        if (a == 0 || stopRequested())
            return;
        const qsizetype q = text::find(page, u"'", a);
        const qsizetype c = text::find(page, u"</a>", a);
        // No link ends after this one: the page was cut off.
        if (c == 0)
            return;
        // A link whose key has no closing quote before its text gives no hit.
        if (q > 0 && q + 2 <= c) {
            ResultEntry *entry = newHit();
            if (!entry)
                return;
            entry->Key = text::mid(page, a + 4, q - a - 4);
            entry->Title = text::mid(page, q + 2, c - q - 2);
            entry->Site = kSite;
            entry->Extra = category;
        }
        pos = c;
        Program::yieldOnce();
    }
}

void HDCovers::RecupHDCovers(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const ResultEntry &entry = hit(Index + 1);
    const QString url = host() + categoryOf(entry).pictures + entry.Key + QStringLiteral(".jpg");
    saveAndOpen(Index, Copy, url, state().DossierTemp + state().NomFichier + QStringLiteral(".jpg"), true);
}

void registerHDCovers(Program &program)
{
    auto adapter = std::make_unique<HDCovers>(program);
    HDCovers *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheHDCovers(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupHDCovers(index, copy); });
    program.adopt(std::move(adapter));
}
