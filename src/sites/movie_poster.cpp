#include "sites/movie_poster.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "net/download.h"
#include "output/retrieval.h"

#include <algorithm>

namespace {

const QString kSite = QStringLiteral("MoviePoster");
constexpr int kBaseIndex = 7;

// The poster page's address follows "class='pid", the cell's end and "<a href='".
constexpr qsizetype kKeyOffset = 21;
// The quote and the blank before "title=" close the address.
constexpr qsizetype kKeyTail = 2;
// The thumbnail's path follows "class='pic2", its quote and " src='".
constexpr qsizetype kThumbnailOffset = 18;
// The quote and the blank before "alt" close the path.
constexpr qsizetype kThumbnailTail = 2;
// "alt" is looked for from the src attribute on.
constexpr qsizetype kSourceOffset = 13;

} // namespace

QString MoviePoster::host() const
{
    return address(QStringLiteral("Hote-MoviePoster"));
}

void MoviePoster::ChercheMoviePoster()
{
    const int first = beginHits();
    announce(kSite);
    fetchPage(host() + QStringLiteral("/cgi-bin/mpw8/search.pl?pl=kb&ti=") + preparedTitle(kSite)
              + QStringLiteral("&prl=Greater&prh=1&th=y&rs=100&sv=0&page=0"));
    scanResults();
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(false);
        fetchThumbnail(host() + u'/' + hit(current).Extra, Pacing::Settle);
    }
}

// A hit reads: class='pid'><a href='KEY' title='TITLE'><img class='pic2' src='THUMBNAIL' alt=...
// A marker that is missing leaves its field, and the fields after it, empty.
void MoviePoster::scanResults()
{
    const QString &page = state().PageHtml;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, u"class='pid", pos + 1);
        if (a == 0 || stopRequested())
            return;
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        const qsizetype t = text::find(page, u"title=", a);
        const qsizetype q1 = t != 0 ? text::find(page, u"'", t) : 0;
        const qsizetype q2 = q1 != 0 ? text::find(page, u"'", q1 + 1) : 0;
        const qsizetype c = q1 != 0 ? text::find(page, u"class='pic2", q1) : 0;
        const qsizetype l = c != 0 ? text::find(page, u"alt", c + kSourceOffset) : 0;
        if (t != 0)
            entry->Key = piece(page, a + kKeyOffset, t - kKeyTail - a - kKeyOffset);
        if (q2 != 0)
            entry->Title = piece(page, q1 + 1, q2 - q1 - 1);
        if (l != 0)
            entry->Extra = piece(page, c + kThumbnailOffset, l - kThumbnailTail - c - kThumbnailOffset);
        entry->Site = kSite;
        // A hit cut off before its thumbnail must not be read again.
        pos = std::max(c, a);
        Program::yieldOnce();
    }
}

// The page is read as it came, so the picture's path ends at a double quote.
QString MoviePoster::picturePath(const QString &page)
{
    const qsizetype a = text::find(page, u"/posters/archive/");
    if (a == 0)
        return {};
    const qsizetype q = text::find(page, u"\"", a);
    return piece(page, a, q - a);
}

void MoviePoster::RecupMoviePoster(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    // A poster page that never arrives must not give the picture of the one before.
    state().PageHtml.clear();
    m_program.download().Start(hit(Index + 1).Key, QStringLiteral("Html"), false, true);
    const QString path = picturePath(state().PageHtml);
    if (path.isEmpty()) {
        retrieval().OuvreFichier(Index, Copy);
        return;
    }
    saveAndOpen(Index, Copy, host() + path, state().DossierTemp + state().NomFichier + QStringLiteral(".jpg"), false);
}

void registerMoviePoster(Program &program)
{
    auto adapter = std::make_unique<MoviePoster>(program);
    MoviePoster *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheMoviePoster(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupMoviePoster(index, copy); });
    program.adopt(std::move(adapter));
}
