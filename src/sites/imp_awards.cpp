#include "sites/imp_awards.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "output/retrieval.h"
#include "settings/site_addresses.h"

namespace {

const QString kSite = QStringLiteral("IMP Awards");
constexpr int kBaseIndex = 5;

// Poster pages carry both phrases; the site restriction alone would also
// bring the site's lists and news.
const QString kQuery = QStringLiteral("&num=100&q=%22Comments+on+the+Poster%22+%2B+%22contact+the%22+%2B+");

// The address follows "a class=l", a blank, "href=" and its quote; its closing quote is left out.
constexpr qsizetype kLinkOffset = 16;
constexpr qsizetype kLinkTail = 1;

constexpr QStringView kPosterMarker = u"img src='posters/";
// The name is followed by its quote and a blank, then "alt =".
constexpr qsizetype kNameTail = 2;

// The ">" looked for is the font tag's, past the cell's and the centre's.
constexpr qsizetype kFontTagOffset = 13;
// The year is the link's text: "(" and the link's opening tag come before it.
constexpr qsizetype kYearOffset = 25;
constexpr qsizetype kYearLength = 4;

// A version's name follows "thumbs/" and "imp_".
constexpr qsizetype kVersionOffset = 11;
// Versions are filed under the year folder: four digits and "/".
constexpr qsizetype kYearFolderLength = 5;

} // namespace

QString IMPAwards::host() const
{
    return address(QStringLiteral("Hote-IMPAwards"));
}

QString IMPAwards::searchAddress() const
{
    const QString site = SiteAddresses::hostName(host());
    return address(QStringLiteral("Hote-MoteurRecherche")) + QStringLiteral("/custom?domains=") + site
           + QStringLiteral("&sitesearch=") + site + kQuery + preparedTitle(kSite);
}

void IMPAwards::lowerPage()
{
    QString &page = state().PageHtml;
    page = page.toLower();
}

void IMPAwards::ChercheIMPAwards()
{
    const int first = beginHits();
    announce(kSite);
    fetchPage(searchAddress());
    lowerPage();
    const QStringList pages = linkPass(state().PageHtml);
    for (const QString &pageAddress : pages) {
        if (stopRequested() || !readPosterPage(pageAddress))
            break;
    }
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        addSlot(false);
        fetchThumbnail(hit(current).Extra, Pacing::Settle);
    }
}

// A link reads: a class=l href='ADDRESS'>
QStringList IMPAwards::linkPass(const QString &page)
{
    QStringList links;
    qsizetype pos = 0;
    for (;;) {
        if (stopRequested())
            break;
        const qsizetype a = text::find(page, u"a class=l", pos + 1);
        if (a == 0)
            break;
        const qsizetype g = text::find(page, u">", a);
        const QString link = piece(page, a + kLinkOffset, g - kLinkTail - a - kLinkOffset);
        if (!link.isEmpty())
            links.append(link);
        pos = a;
        Program::yieldOnce();
    }
    return links;
}

bool IMPAwards::readPosterPage(const QString &pageAddress)
{
    QString &page = state().PageHtml;
    // A page that never arrives must not pass for the page before.
    page.clear();
    fetchPage(pageAddress);
    lowerPage();
    const qsizetype a = text::find(page, kPosterMarker);
    if (a == 0)
        return true;

    // The page's folders lie after the site's own address and its "/", however long that is.
    const qsizetype start = host().size() + 2;
    const QString folder = piece(pageAddress, start, text::findLast(pageAddress, u"/") - start + 1);
    const QString yearFolder = text::mid(pageAddress, start, kYearFolderLength);

    const Film film = filmOf(page);
    const qsizetype alt = text::find(page, u"alt =", a);
    const QString name = alt != 0 ? piece(page, a + kPosterMarker.size(), alt - kNameTail - a - kPosterMarker.size()) : QString();
    return addPoster(folder, name, film) && versionsPass(page, yearFolder, film);
}

// A version reads: thumbs/imp_NAME'> (the thumbnail of the version's own page).
bool IMPAwards::versionsPass(const QString &page, const QString &yearFolder, const Film &film)
{
    qsizetype p2 = 0;
    for (;;) {
        if (stopRequested())
            return false;
        const qsizetype t = text::find(page, u"thumbs/", p2 + 1);
        if (t == 0)
            return true;
        const qsizetype g2 = text::find(page, u">", t);
        QString name = piece(page, t + kVersionOffset, g2 - t - kVersionOffset);
        // The text runs up to the tag's end: the closing quote, and any
        // attribute after it, are not part of the name.
        const qsizetype quote = name.indexOf(u'\'');
        if (quote >= 0)
            name.truncate(quote);
        if (!addPoster(yearFolder, name, film))
            return false;
        p2 = t;
        Program::yieldOnce();
    }
}

// A poster whose name cannot be read (the page was cut inside it) is no hit.
bool IMPAwards::addPoster(const QString &folder, const QString &name, const Film &film)
{
    if (name.isEmpty())
        return true;
    ResultEntry *entry = newHit();
    if (!entry)
        return false;
    entry->Key = host() + u'/' + folder + QStringLiteral("posters/") + name;
    entry->Extra = host() + u'/' + folder + QStringLiteral("thumbs/imp_") + name;
    entry->Title = film.title;
    entry->Year = film.year;
    entry->Site = kSite;
    return true;
}

// The film reads: <td><center><font size=...>TITLE (<a href='...'>YEAR</a>)
IMPAwards::Film IMPAwards::filmOf(const QString &page)
{
    Film film;
    const qsizetype f = text::find(page, u"<td><center><font size");
    const qsizetype g = f != 0 ? text::find(page, u">", f + kFontTagOffset) : 0;
    const qsizetype e = g != 0 ? text::find(page, u"(<a", g) : 0;
    if (e == 0)
        return film;
    // The blank before "(" is not part of the title.
    film.title = piece(page, g + 1, e - g - 2);
    film.year = yearValue(text::mid(page, e + kYearOffset, kYearLength));
    return film;
}

void IMPAwards::RecupIMPAwards(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    saveAndOpen(Index, Copy, hit(Index + 1).Key, state().DossierTemp + state().NomFichier + QStringLiteral(".jpg"), false);
}

void registerIMPAwards(Program &program)
{
    auto adapter = std::make_unique<IMPAwards>(program);
    IMPAwards *site = adapter.get();
    program.setSearch(kBaseIndex, [site] { site->ChercheIMPAwards(); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupIMPAwards(index, copy); });
    program.adopt(std::move(adapter));
}
