#include "scan_case.h"
#include "sites/affiches_cinema.h"
#include "sites/all_divx.h"
#include "sites/allo_cine.h"
#include "sites/cin_emotions.h"
#include "sites/cine_movies.h"
#include "sites/cinefil.h"
#include "sites/cover_comoz.h"
#include "sites/dvd_fr.h"
#include "sites/hd_covers.h"
#include "sites/imp_awards.h"
#include "sites/movie_covers.h"
#include "sites/movie_poster.h"
#include "sites/title_preparation.h"
#include "sites/vintage_movie_poster.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

// Rows of all the scans.json files together: a file lost or cut short must show.
constexpr size_t kRowCount = 79;

// One row of a site's scans.json: a scan pass run on a page, and the hits it must give.
struct ScanRow
{
    QString folder;
    QJsonObject fields;

    std::string name() const { return fields[u"name"].toString().toStdString(); }
    std::string where() const { return folder.toStdString() + "/scans.json, " + name(); }
};

void PrintTo(const ScanRow &row, std::ostream *os)
{
    *os << row.where();
}

struct ScanFiles
{
    std::vector<ScanRow> rows;
    QStringList troubles;
};

QString missingKey(const QJsonObject &row)
{
    for (const char *key : {"name", "pass", "hits"})
        if (!row.contains(QLatin1String(key)))
            return QLatin1String(key);
    return row.contains(u"file") || row.contains(u"page") ? QString() : QStringLiteral("file or page");
}

ScanFiles loadScanFiles()
{
    ScanFiles files;
    const QDir fixtures(QStringLiteral(PELLICAM_FIXTURES));
    for (const QString &folder : fixtures.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        QFile file(fixtures.filePath(folder + QStringLiteral("/scans.json")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        if (!document.isArray()) {
            files.troubles << file.fileName() + QStringLiteral(": not an array of rows: ") + error.errorString();
            continue;
        }
        for (const QJsonValue &each : document.array()) {
            const ScanRow row{folder, each.toObject()};
            const QString missing = missingKey(row.fields);
            if (missing.isEmpty())
                files.rows.push_back(row);
            else
                files.troubles << file.fileName() + QStringLiteral(": a row without ") + missing;
        }
    }
    return files;
}

using Hits = QList<ResultEntry>;

// A hit written [title, year, key, extra, site], its empty fields at the end left out.
ResultEntry hitFrom(const QJsonValue &value)
{
    const QJsonArray fields = value.toArray();
    return hitOf(fields.at(0).toString(), fields.at(1).toInt(), fields.at(2).toString(), fields.at(3).toString(),
                 fields.at(4).toString());
}

QJsonValue argument(const ScanRow &row, const char *key)
{
    const QJsonValue value = row.fields[QLatin1String(key)];
    if (value.isUndefined())
        ADD_FAILURE() << row.where() << ": lacks \"" << key << '"';
    return value;
}

QString text(const ScanRow &row, const char *key)
{
    return argument(row, key).toString();
}

// An address a pass found, as a row compares it: none when it is empty.
Hits keyed(const QString &address)
{
    return address.isEmpty() ? Hits() : Hits{hitOf({}, 0, address, {}, {})};
}

using Pass = Hits (*)(const QString &page, const ScanRow &row);

// Each site's pass called as its search calls it; HD Covers and IMP Awards lower their pages first.
const struct
{
    const char *name;
    Pass pass;
} kPasses[] = {
    {"AffichesCinema.linkPass",
     [](const QString &page, const ScanRow &row) {
         return AffichesCinema::linkPass(page, prepareTitle(QStringLiteral("Affiches Cinéma"), text(row, "typed")));
     }},
    {"AllDivX.jacketPass",
     [](const QString &page, const ScanRow &row) { return AllDivX::jacketPass(page, AllDivX::jacketMarker(text(row, "host"))); }},
    {"AlloCine.resultPass", [](const QString &page, const ScanRow &) { return AlloCine::resultPass(page); }},
    {"AlloCine.thumbnailPass", [](const QString &page, const ScanRow &) { return keyed(AlloCine::thumbnailPass(page)); }},
    {"AlloCine.galleryPass",
     [](const QString &page, const ScanRow &row) { return keyed(AlloCine::galleryPass(page, text(row, "stem"))); }},
    {"CinEmotions.filmPass", [](const QString &page, const ScanRow &) { return CinEmotions::filmPass(page); }},
    {"CinEmotions.posterPass",
     [](const QString &page, const ScanRow &row) { return CinEmotions::posterPass(page, hitFrom(argument(row, "film"))); }},
    {"CinEmotions.picturePass", [](const QString &page, const ScanRow &) { return keyed(CinEmotions::picturePass(page)); }},
    {"CineMovies.filmPass", [](const QString &page, const ScanRow &) { return CineMovies::filmPass(page); }},
    {"CineMovies.posterPass",
     [](const QString &page, const ScanRow &row) { return CineMovies::posterPass(page, hitFrom(argument(row, "film"))); }},
    {"Cinefil.resultPass", [](const QString &page, const ScanRow &) { return Cinefil::resultPass(page); }},
    {"CoverComoz.coverPass", [](const QString &page, const ScanRow &) { return CoverComoz::coverPass(page); }},
    {"DvdFr.scanResults", [](const QString &page, const ScanRow &) { return DvdFr::scanResults(page); }},
    {"HDCovers.scanPage",
     [](const QString &page, const ScanRow &row) { return HDCovers::scanPage(page.toLower(), text(row, "category")); }},
    {"IMPAwards.linkPass",
     [](const QString &page, const ScanRow &) {
         Hits links;
         for (const QString &link : IMPAwards::linkPass(page.toLower()))
             links << keyed(link);
         return links;
     }},
    {"IMPAwards.posterPass",
     [](const QString &page, const ScanRow &row) {
         return IMPAwards::posterPass(page.toLower(), text(row, "host"), text(row, "address"));
     }},
    {"MovieCovers.snippetPass",
     [](const QString &page, const ScanRow &row) {
         Hits hits = MovieCovers::snippetPass(page);
         for (ResultEntry &hit : hits)
             MovieCovers::completeHit(hit, text(row, "fileType"));
         return hits;
     }},
    {"MoviePoster.scanResults", [](const QString &page, const ScanRow &) { return MoviePoster::scanResults(page); }},
    {"VintageMoviePoster.hitPass", [](const QString &page, const ScanRow &) { return VintageMoviePoster::hitPass(page); }},
};

Pass passNamed(const QString &name)
{
    for (const auto &each : kPasses)
        if (name == QLatin1String(each.name))
            return each.pass;
    return nullptr;
}

// A file of the site's folder or the page written in the row, read as a search
// reads it, or raw when the pass is given the bytes as they came.
QString pageOf(const ScanRow &row)
{
    QByteArray bytes = row.fields[u"page"].toString().toUtf8();
    if (row.fields.contains(u"file")) {
        QFile file(QStringLiteral(PELLICAM_FIXTURES "/") + row.folder + u'/' + row.fields[u"file"].toString());
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        else
            ADD_FAILURE() << row.where() << ": no file " << file.fileName().toStdString();
    }
    return row.fields[u"raw"].toBool() ? QString::fromUtf8(bytes) : pageAsRead(bytes);
}

TEST(SiteScanFiles, holdEveryRow)
{
    const ScanFiles files = loadScanFiles();
    for (const QString &trouble : files.troubles)
        ADD_FAILURE() << trouble.toStdString();
    EXPECT_EQ(files.rows.size(), kRowCount);
}

using SiteScanTest = ::testing::TestWithParam<ScanRow>;

// Every site's scan passes, as pure functions of a page: the hits in order, written out.
TEST_P(SiteScanTest, findsTheHitsOfThePage)
{
    const ScanRow &row = GetParam();
    const Pass pass = passNamed(row.fields[u"pass"].toString());
    ASSERT_NE(pass, nullptr) << row.where() << ": no pass " << row.fields[u"pass"].toString().toStdString();
    Hits expected;
    for (const QJsonValue &hit : row.fields[u"hits"].toArray())
        expected << hitFrom(hit);
    EXPECT_EQ(pass(pageOf(row), row), expected);
}

INSTANTIATE_TEST_SUITE_P(Sites, SiteScanTest, ::testing::ValuesIn(loadScanFiles().rows),
                         [](const auto &each) { return each.param.name(); });

} // namespace
