#include "sites/allo_cine.h"

#include "core/program.h"
#include "core/text_helpers.h"
#include "net/download.h"
#include "output/retrieval.h"

namespace {

const QString kSite = QStringLiteral("AlloCiné");
constexpr int kBaseIndex = 1;

constexpr QStringView kFilmMarker = u"<h4><a href='/film/fichefilm_gen_cfilm=";
constexpr QStringView kTitleMarker = u"link1'>";
// The film page's poster cell; its first picture is the thumbnail.
constexpr QStringView kPosterCell = u"td valign='top' style='padding:0 0 5 0' width='100%' align='center'";
// The page writes "&nbsp;(", which DecodeHtml has made a blank and a bracket.
constexpr QStringView kBracket = u" (";
constexpr qsizetype kYearLength = 4;
// A thumbnail's last folder and the 24 characters before its "/" name its
// size; what comes before is shared by every size of the film's pictures.
constexpr qsizetype kSizeFolderLength = 25;

// Where the film's year begins, 0 when it shows none. The year is in the
// second bracket after the film's link, the first holding the original title:
// "matrix</a> (the matrix) (1999)". Brackets past the next film's link are
// not this film's.
qsizetype yearPosition(QStringView page, qsizetype link)
{
    const qsizetype next = text::find(page, kFilmMarker, link + 1);
    const qsizetype first = text::find(page, kBracket, link + 1);
    const qsizetype second = first == 0 ? 0 : text::find(page, kBracket, first + 1);
    if (second == 0 || (next != 0 && second > next))
        return 0;
    return second + kBracket.size();
}

// The start of the thumbnail's address that every picture of the film shares.
QString pictureStem(const QString &thumbnail)
{
    const qsizetype k = text::findLast(thumbnail, u"/") - kSizeFolderLength;
    return k > 0 ? thumbnail.left(k) : QString();
}

} // namespace

QString AlloCine::host() const
{
    return address(QStringLiteral("Hote-AlloCine"));
}

// A page that does not come leaves PageHtml empty rather than holding the
// page before, whose pictures are another film's.
void AlloCine::readPage(const QString &path, bool decode)
{
    state().PageHtml.clear();
    if (decode)
        fetchPage(host() + path);
    else
        m_program.download().Start(host() + path, QStringLiteral("Html"), false, true);
}

void AlloCine::ChercheAlloCine()
{
    const int first = beginHits();
    announce(kSite);
    readPage(QStringLiteral("/recherche/?motcle=") + preparedTitle(kSite) + QStringLiteral("&rub=1&page=1"), true);
    state().PageHtml = state().PageHtml.toLower();
    collectTitles();
    CentreVignettes();
    completeHits(first);
    // Last, since every film page replaces the result page.
    fetchThumbnails(first);
}

// Every hit reads: <h4><a href='/film/fichefilm_gen_cfilm=NUMBER.html' class='link1'>TITLE</a>
// The title is kept in Extra until the film's number takes its place.
void AlloCine::collectTitles()
{
    const QString &page = state().PageHtml;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype a = text::find(page, kFilmMarker, pos + 1);
        if (a == 0 || stopRequested())
            return;
        const qsizetype b = text::find(page, kTitleMarker, a + 1);
        const qsizetype c = text::find(page, u"</a>", b);
        // No title after this link: the page holds no more, or was cut off.
        if (b == 0 || c == 0)
            return;
        ResultEntry *entry = newHit();
        if (!entry)
            return;
        QString title = text::mid(page, b + 7, c - b - 7);
        text::replaceAll(title, u"</b>", u"");
        text::replaceAll(title, u"<b>", u"");
        entry->Extra = title;
        pos = b;
        Program::yieldOnce();
    }
}

void AlloCine::completeHits(int first)
{
    const QString &page = state().PageHtml;
    const int last = results().NbResultats();
    qsizetype pos = 0;
    for (int index = first; index <= last && !stopRequested(); ++index) {
        const qsizetype a = text::find(page, kFilmMarker, pos + 1);
        if (a == 0)
            return;
        const qsizetype e = text::find(page, u".html", a + 1);
        ResultEntry &entry = hit(index);
        entry.Title = entry.Extra;
        // The number and ".html": 39 is the marker's length.
        entry.Extra = e == 0 ? QString() : text::mid(page, a + 39, e - a - 34);
        if (const qsizetype y = yearPosition(page, a); y != 0)
            entry.Year = yearValue(text::mid(page, y, kYearLength));
        entry.Site = kSite;
        pos = a;
    }
}

void AlloCine::fetchThumbnails(int first)
{
    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(false);
        ResultEntry &entry = hit(current);
        entry.Key = thumbnailAddress(entry.Extra);
        if (!entry.Key.isEmpty())
            fetchThumbnail(entry.Key, Pacing::Settle);
    }
}

// The film page's poster cell reads: <td valign='top' ...><a ...><img src='http://...jpg'
QString AlloCine::thumbnailAddress(const QString &film)
{
    if (film.isEmpty())
        return {};
    readPage(QStringLiteral("/film/fichefilm_gen_cfilm=") + film, true);
    const QString &page = state().PageHtml;
    const qsizetype p = text::find(page, kPosterCell);
    const qsizetype q = text::find(page, u"http://", p);
    const qsizetype r = text::find(page, u"'", q + 4);
    return q == 0 || r == 0 ? QString() : text::mid(page, q, r - q);
}

// The gallery's first picture of the thumbnail's folder is the poster; the
// link just before it opens the poster's own page, which shows it full size.
QString AlloCine::posterAddress(const ResultEntry &hit)
{
    const QString stem = pictureStem(hit.Key);
    if (stem.isEmpty())
        return {};
    readPage(QStringLiteral("/film/galerievignette_gen_cfilm=") + hit.Extra, true);
    const qsizetype s = text::find(state().PageHtml, stem);
    if (s == 0)
        return {};
    const QString gallery = state().PageHtml.left(s);
    const qsizetype h = text::findLast(gallery, u"<a href=");
    const qsizetype e = text::find(gallery, u".html", h);
    if (h == 0 || e == 0)
        return {};
    // The link's path, from after "<a href='" up to and including ".html".
    readPage(text::mid(gallery, h + 9, e - h - 4), false);
    const QString &page = state().PageHtml;
    const qsizetype picture = text::find(page, stem);
    const qsizetype j = text::find(page, u".jpg", picture);
    return picture == 0 || j == 0 ? QString() : text::mid(page, picture, j - picture) + QStringLiteral(".jpg");
}

void AlloCine::RecupAlloCine(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const QString localPath = state().DossierTemp + state().NomFichier + QStringLiteral(".jpg");
    // A poster in the cache folder spares the two gallery pages too.
    const QString url = Retrieval::FichierExiste(localPath) ? QString() : posterAddress(hit(Index + 1));
    if (url.isEmpty())
        retrieval().OuvreFichier(Index, Copy);
    else
        saveAndOpen(Index, Copy, url, localPath, false);
}

void registerAlloCine(Program &program)
{
    auto adapter = std::make_unique<AlloCine>(program);
    AlloCine *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheAlloCine(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupAlloCine(index, copy); });
    program.adopt(std::move(adapter));
}
