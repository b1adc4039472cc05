#include "sites/movie_covers.h"

#include "core/program.h"
#include "core/text_helpers.h"
#include "output/retrieval.h"
#include "sites/title_preparation.h"
#include "settings/settings_store.h"

#include <array>

namespace {

const QString kSite = QStringLiteral("MovieCovers");
constexpr int kSnippetLength = 150;

// "PDF-Format" 0 to 9: the jacket sizes that the site prints.
const std::array<const char *, 10> kJacketSizes = {
    "142x95-18",  "232x190-32", "257x197-32", "260x197-32", "267x198-32",
    "268x190-32", "272x182-14", "274x120-6",  "275x185-14", "289x210-32",
};
const std::array<const char *, 2> kBackgrounds = {"blanc", "noir"};
const std::array<const char *, 3> kFonts = {"helvetica", "times", "courier"};

// The code of a numeric setting; empty when it is missing, not a number or unknown.
template<std::size_t N>
QString codeFor(const std::array<const char *, N> &codes, const QString &setting)
{
    const int value = text::intValue(setting, -1);
    return value >= 0 && value < int(N) ? QString::fromLatin1(codes[value]) : QString();
}

} // namespace

QString MovieCovers::host() const
{
    return address(QStringLiteral("Hote-MovieCovers"));
}

void MovieCovers::ChercheMovieCovers(const QString &TypeFichier)
{
    const int first = beginHits();
    announce(QStringLiteral("Movie Covers"));
    fetchPage(host() + QStringLiteral("/multicrit.html?titre=") + escapeForAddress(typedTitle()) + QStringLiteral("&slow=1&listes=1"));
    collectSnippets();
    CentreVignettes();

    const int last = results().NbResultats();
    int &current = state().IndiceCourant;
    for (current = first; current <= last; ++current) {
        if (stopRequested())
            break;
        ResultEntry &entry = hit(current);
        completeHit(entry, TypeFichier);
        addSlot(false);
        fetchThumbnail(thumbnailAddress(entry), Pacing::Waited);
    }
}

// Every film link of the page, kept raw until the hits are made.
void MovieCovers::collectSnippets()
{
    const QString &page = state().PageHtml;
    for (qsizetype p = text::find(page, u"/film/"); p != 0; p = text::find(page, u"/film/", p + 1)) {
        ResultEntry *entry = newHit();
        if (!entry)
            break;
        entry->Extra = text::mid(page, p, kSnippetLength);
    }
}

// The snippet reads: /film/word_KEY.html'>TITLE</a> (YEAR)
void MovieCovers::completeHit(ResultEntry &hit, const QString &TypeFichier) const
{
    const QString snippet = hit.Extra;
    const qsizetype d = text::find(snippet, u".h") - 1;
    const QString link = d > 0 ? snippet.left(d) : QString();
    const qsizetype t = d + 8;
    const qsizetype lt = text::find(snippet, u"<", t);
    if (lt > t)
        hit.Title = text::mid(snippet, t, lt - t);
    if (lt > 0) {
        const int year = text::intValue(text::mid(snippet, lt + 6, 4), 0);
        if (year >= -32768 && year <= 32767)
            hit.Year = qint16(year);
    }
    hit.Key = text::mid(link, text::find(link, u"_") + 1);
    hit.Extra = TypeFichier;
    hit.Site = kSite;
}

QString MovieCovers::thumbnailAddress(const ResultEntry &hit) const
{
    // Titles such as "PARRAIN (LE)" are filed under their own first letter.
    const QString &source = hit.Title.endsWith(u')') ? hit.Title : hit.Key;
    const QString letter = source.left(1).toLower();
    return host() + QStringLiteral("/DATA/thumbs/films-") + letter + u'/' + hit.Key + QStringLiteral(".jpg");
}

// The jacket's options go into the address and, as their digits, into the file
// name, so that every combination is a file of its own.
QString MovieCovers::jacketAddress(const ResultEntry &hit)
{
    QString &name = state().NomFichier;
    const QString size = settings().LitValeur(QStringLiteral("PDF-Format"));
    const QString background = settings().LitValeur(QStringLiteral("PDF-Fond"));
    const QString font = settings().LitValeur(QStringLiteral("PDF-Police"));
    name += u'-' + size + background + font;

    QString url = host() + QStringLiteral("/getpdf5.html?idmc1=") + hit.Key + QStringLiteral("&taille=") + codeFor(kJacketSizes, size)
                  + QStringLiteral("&couleurfond=") + codeFor(kBackgrounds, background) + QStringLiteral("&police=")
                  + codeFor(kFonts, font) + QStringLiteral("&submit=Voir...");
    text::replaceAll(url, u"%20", u"+");
    return url;
}

void MovieCovers::RecupMovieCovers(int Index, bool Copy)
{
    retrieval().PrepareTelechargement(Index);
    const ResultEntry &entry = hit(Index + 1);
    const bool jacket = entry.Extra != u"JPG";
    const QString url = jacket ? jacketAddress(entry) : host() + QStringLiteral("/getjpg.html/") + entry.Key + QStringLiteral(".jpg");
    // The site names the file by its format in capitals; the local name, in
    // lower case, is the one every later step looks for.
    const QString localPath = state().DossierTemp + state().NomFichier + (jacket ? QStringLiteral(".pdf") : QStringLiteral(".jpg"));
    saveAndOpen(Index, Copy, url, localPath, true);
}

void registerMovieCovers(Program &program)
{
    auto adapter = std::make_unique<MovieCovers>(program);
    MovieCovers *site = adapter.get();
    program.setSearch(6, [site] { site->ChercheMovieCovers(QStringLiteral("JPG")); });
    program.setSearch(11, [site] { site->ChercheMovieCovers(QStringLiteral("PDF")); });
    program.retrieval().setResolver(kSite, [site](int index, bool copy) { site->RecupMovieCovers(index, copy); });
    program.adopt(std::move(adapter));
}
