#include "settings/app_paths.h"
#include "sitefiles/file_site.h"
#include "sitefiles/site_file_reader.h"
#include "site_test.h"

namespace {

QString textOf(const QString &path)
{
    return QString::fromUtf8(contents(path));
}

// What follows the line "<!-- worked example: NAME -->": a fenced block's
// text, or a table's rows with their cells joined by "|".
QString part(const QString &doc, const QString &name)
{
    const qsizetype at = doc.indexOf(QStringLiteral("<!-- worked example: %1 -->\n").arg(name));
    const QString rest = at < 0 ? QString() : doc.mid(at).section(u'\n', 1);
    if (rest.startsWith(QStringLiteral("```")))
        return rest.section(u'\n', 1).section(QStringLiteral("\n```"), 0, 0) + u'\n';
    QStringList rows;
    for (const QString &line : rest.split(u'\n').mid(2)) {
        if (!line.startsWith(u'|'))
            break;
        QStringList cells = line.split(u'|').mid(1, 4);
        for (QString &cell : cells)
            cell = cell.remove(u'`').trimmed();
        rows << cells.join(u'|');
    }
    return rows.join(u'\n');
}

using WorkedExampleTest = SiteTest;

// The worked example of docs/site-files.md is the sample site's file, and
// finds on the page it starts from the hits it says, pictures included.
TEST_F(WorkedExampleTest, theFileItWritesFindsTheHitsItShows)
{
    const QString doc = textOf(QStringLiteral(PELLICAM_DOCS "/site-files.md"));
    const QString yaml = part(doc, QStringLiteral("file"));
    EXPECT_EQ(yaml, textOf(AppPaths::sampleSiteFiles() + QStringLiteral("/afficheraie.yaml")));
    const SiteFileReading reading = readSiteText(yaml.toUtf8(), QStringLiteral("site-files.md"));
    ASSERT_TRUE(reading.usable()) << reading.errors.value(0).text().toStdString();
    FileSite site(reading.site, 0);
    program().setSearch(0, [&site](SiteSearch &search) { return site.search(search, 0); }, site.name());
    program().retrieval().setResolver(0, [&site](PictureRequest &request) { return site.picture(request); });

    playSite(QStringLiteral("Hote-afficheraie"), QStringLiteral("/afficheraie"));
    answer(QStringLiteral("/recherche?q=matrix"), part(doc, QStringLiteral("page")).toUtf8());
    // Every film page is the one shown, with its poster's own key.
    const QByteArray filmPage = part(doc, QStringLiteral("film page")).toUtf8();
    m_server.setFallback([&filmPage](const FixtureServer::Request &request) {
        const QByteArray key = request.path.mid(request.path.lastIndexOf('/') + 1);
        return request.path.endsWith(".jpg")            ? pictureReply(jpegBytes())
               : request.path.contains("/affiches/") ? pageReply(QByteArray(filmPage).replace("matrix-1999", key))
                                                       : notFoundReply();
    });
    searchBases({0});

    QStringList found;
    for (int i = 1; i <= program().results().NbResultats(); ++i) {
        retrieve(i - 1, false);
        found << QStringLiteral("%1|%2|%3|%4")
                     .arg(hit(i).Title, QString::number(hit(i).Year), slot(i - 1).thumbnailUrl,
                          QString::fromUtf8(m_server.requestedPaths().last()))
                     .remove(m_server.url(m_prefix + u'/'))
                     .remove(m_prefix + u'/');
    }
    EXPECT_EQ(found.join(u'\n'), part(doc, QStringLiteral("hits")));
}

} // namespace
