#include "sites/movie_covers.h"

#include "text/text_helpers.h"
#include "sites/title_preparation.h"
#include "settings/settings_store.h"

#include <array>

namespace {

const QString kSite = QStringLiteral("MovieCovers");
const QString kHostSetting = QStringLiteral("Hote-MovieCovers");
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

MovieCovers::MovieCovers()
    : SiteAdapter({kSite, {kJpgBase, kPdfBase}, {kHostSetting}})
{
}

QCoro::Task<> MovieCovers::search(SiteSearch &search, int base)
{
    const QString TypeFichier = base == kPdfBase ? QStringLiteral("PDF") : QStringLiteral("JPG");
    const QString host = search.address(kHostSetting);
    search.announce(QStringLiteral("Movie Covers"));
    const QString page = co_await search.readPage(host + QStringLiteral("/multicrit.html?titre=") + escapeForAddress(search.typedTitle())
                                                  + QStringLiteral("&slow=1&listes=1"));
    search.addHits(snippetPass(page));
    search.centre();
    co_await search.placeHits(1, false, SiteSearch::Pacing::Waited, [&](ResultEntry &hit) {
        completeHit(hit, TypeFichier);
        return thumbnailAddress(host, hit);
    });
}

QList<ResultEntry> MovieCovers::snippetPass(const QString &page)
{
    QList<ResultEntry> hits;
    for (qsizetype p = text::find(page, u"/film/"); p != 0; p = text::find(page, u"/film/", p + 1)) {
        ResultEntry entry;
        entry.Extra = text::mid(page, p, kSnippetLength);
        hits.append(entry);
    }
    return hits;
}

// The snippet reads: /film/word_KEY.html'>TITLE</a> (YEAR)
void MovieCovers::completeHit(ResultEntry &hit, const QString &TypeFichier)
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

QString MovieCovers::thumbnailAddress(const QString &host, const ResultEntry &hit)
{
    // Titles such as "PARRAIN (LE)" are filed under their own first letter.
    const QString &source = hit.Title.endsWith(u')') ? hit.Title : hit.Key;
    const QString letter = source.left(1).toLower();
    return host + QStringLiteral("/DATA/thumbs/films-") + letter + u'/' + hit.Key + QStringLiteral(".jpg");
}

QCoro::Task<PictureSource> MovieCovers::picture(PictureRequest &request)
{
    const ResultEntry &hit = request.hit();
    const QString host = request.address(kHostSetting);
    PictureSource source;
    source.reuseCached = true;
    source.pdf = hit.Extra != u"JPG";
    if (!source.pdf) {
        source.url = host + QStringLiteral("/getjpg.html/") + hit.Key + QStringLiteral(".jpg");
        co_return source;
    }
    // The jacket's options go into the address and, as their digits, into the
    // file name, so that every combination is a file of its own.
    SettingsStore &settings = request.settings();
    const QString size = settings.LitValeur(QStringLiteral("PDF-Format"));
    const QString background = settings.LitValeur(QStringLiteral("PDF-Fond"));
    const QString font = settings.LitValeur(QStringLiteral("PDF-Police"));
    request.fileName() += u'-' + size + background + font;
    source.url = host + QStringLiteral("/getpdf5.html?idmc1=") + hit.Key + QStringLiteral("&taille=") + codeFor(kJacketSizes, size)
                 + QStringLiteral("&couleurfond=") + codeFor(kBackgrounds, background) + QStringLiteral("&police=")
                 + codeFor(kFonts, font) + QStringLiteral("&submit=Voir...");
    text::replaceAll(source.url, u"%20", u"+");
    co_return source;
}
