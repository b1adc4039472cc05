#include "core/site_catalogue.h"
#include "scan_case.h"
#include "settings/site_addresses.h"
#include "site_test.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Each tests/fixtures/<folder>/search.json searches its site end to end, then
// presses a hit twice. Its texts name the server: {host} is its address,
// {site} the site's own under its prefix, {name} the host and port an engine is told.
struct SiteCase
{
    QString folder;
    QJsonObject json;
    QString problem; // why the file cannot be used: a slip must fail, not weaken the case
};

void PrintTo(const SiteCase &c, std::ostream *os)
{
    *os << c.folder.toStdString();
}

const QStringList kRequiredKeys = {"name",     "about", "setting", "prefix", "bases", "pageType", "pages",
                                   "typed",    "pictures", "requests", "site", "hits", "wide",    "sample",
                                   "slot",     "copy",  "retrieval", "cached"};
const QStringList kOptionalKeys = {"otherSetting", "realHost", "hostTo", "post"};

SiteCase caseOf(const QString &folder)
{
    const QString path = QStringLiteral(PELLICAM_FIXTURES "/%1/search.json").arg(folder);
    QJsonParseError error{};
    SiteCase c{folder, QJsonDocument::fromJson(contents(path), &error).object(), {}};
    QStringList problems;
    if (error.error != QJsonParseError::NoError)
        problems << error.errorString();
    for (const QString &key : kRequiredKeys)
        if (!c.json.contains(key))
            problems << QStringLiteral("no \"%1\"").arg(key);
    for (const QString &key : c.json.keys())
        if (!kRequiredKeys.contains(key) && !kOptionalKeys.contains(key))
            problems << QStringLiteral("unknown \"%1\"").arg(key);
    if (!problems.isEmpty())
        c.problem = path + QStringLiteral(": ") + problems.join(QStringLiteral("; "));
    return c;
}

QList<SiteCase> siteCases()
{
    QList<SiteCase> found;
    const QDir fixtures(QStringLiteral(PELLICAM_FIXTURES));
    for (const QString &folder : fixtures.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (fixtures.exists(folder + QStringLiteral("/search.json")))
            found << caseOf(folder);
    return found;
}

QStringList texts(const QJsonValue &list)
{
    QStringList texts;
    for (const QJsonValue &each : list.toArray())
        texts << each.toString();
    return texts;
}

// Every site has its case, once.
TEST(SiteSearchCases, oneForEachSite)
{
    QStringList expected;
    ProgramState state;
    const SiteCatalogue catalogue(state);
    for (const SiteCatalogue::BaseInfo &base : catalogue.bases())
        expected << base.addressSetting;
    expected.removeDuplicates();
    expected.sort();
    QStringList found;
    for (const SiteCase &c : siteCases())
        found << c.json.value(QStringLiteral("setting")).toString();
    found.sort();
    EXPECT_EQ(found, expected);
}

class SiteSearchTest : public SiteTest, public ::testing::WithParamInterface<SiteCase>
{
protected:
    QString text(const char *key) const { return GetParam().json.value(QLatin1String(key)).toString(); }
    QString expand(const QString &text) const
    {
        return QString(text)
            .replace(QStringLiteral("{site}"), siteUrl({}))
            .replace(QStringLiteral("{host}"), m_server.url())
            .replace(QStringLiteral("{name}"), SiteAddresses::hostName(m_server.url()));
    }
    QList<QByteArray> expanded(const QStringList &paths) const
    {
        QList<QByteArray> list;
        for (const QString &path : paths)
            list << expand(path).toUtf8();
        return list;
    }
    // A fixture of the site's folder, or a page itself when it starts with '<'.
    FixtureServer::Reply reply(const QString &file) const
    {
        QByteArray body = file.startsWith(u'<') ? file.toUtf8() : fixtureFile(GetParam().folder, file);
        if (!text("realHost").isEmpty())
            body.replace(text("realHost").toUtf8(), expand(text("hostTo")).toUtf8());
        return pageReply(body, text("pageType").toUtf8());
    }
};

TEST_P(SiteSearchTest, findsTheHitsAndFetchesThePicture)
{
    ASSERT_TRUE(GetParam().problem.isEmpty()) << GetParam().problem.toStdString();
    const QJsonObject &c = GetParam().json;
    playSite(text("setting"), text("prefix"));
    if (c.contains(QStringLiteral("otherSetting"))) {
        const QStringList setting = text("otherSetting").split(u'=');
        m_test.store.EcritValeur(setting[0], expand(setting[1]));
    }
    for (const QJsonValue &page : c.value(QStringLiteral("pages")).toArray())
        m_server.setReply(page[QStringLiteral("path")].toString(), reply(page[QStringLiteral("file")].toString()));
    // Every picture is there.
    const QList<QByteArray> pictures = expanded(texts(c.value(QStringLiteral("retrieval"))));
    m_server.setFallback([pictures](const FixtureServer::Request &request) {
        const bool picture = request.path.endsWith(".jpg") || request.path.endsWith(".jpeg") || pictures.contains(request.path);
        return picture ? pictureReply(jpegBytes()) : notFoundReply();
    });
    const QString folder = m_test.dir.filePath(QStringLiteral("downloads"));
    QDir().mkpath(folder);
    program().retrieval().setSaveFolder(folder);
    program().setTitle(text("typed"));
    QList<int> bases;
    for (const QJsonValue &base : c.value(QStringLiteral("bases")).toArray())
        bases << base.toInt();
    searchBases(bases);

    QList<QByteArray> requests = m_server.requestedPaths();
    if (!c.value(QStringLiteral("pictures")).toBool())
        requests.removeIf([](const QByteArray &path) { return path.endsWith(".jpg") || path.endsWith(".jpeg"); });
    EXPECT_EQ(requests, expanded(texts(c.value(QStringLiteral("requests")))));
    if (c.contains(QStringLiteral("post"))) {
        const FixtureServer::Request post = m_server.requests().value(0);
        EXPECT_EQ(post.method, "POST");
        EXPECT_EQ(post.header("Host"), "127.0.0.1:" + QByteArray::number(m_server.port()));
        EXPECT_EQ(post.body, text("post").toUtf8());
    }
    const int hits = c.value(QStringLiteral("hits")).toInt(-1);
    ASSERT_EQ(program().results().NbResultats(), hits);
    ASSERT_EQ(program().results().NbVignettes(), hits);
    for (int i = 0; i < hits; ++i)
        EXPECT_EQ(slot(i).wide, c.value(QStringLiteral("wide")).toBool()) << i;
    for (const QJsonValue &expected : c.value(QStringLiteral("sample")).toArray()) {
        const int index = expected[QStringLiteral("index")].toInt();
        const auto field = [&expected](const char *key) { return expected[QLatin1String(key)].toString(); };
        SCOPED_TRACE(index);
        ResultEntry found = hit(index);
        EXPECT_TRUE(bases.contains(std::exchange(found.Base, -1))) << found.Base;
        EXPECT_EQ(found, hitOf(field("title"), expected[QStringLiteral("year")].toInt(), expand(field("key")),
                                    expand(field("extra")), text("site")));
        EXPECT_EQ(slot(index - 1).thumbnailUrl, expand(field("thumbnail")));
    }
    EXPECT_FALSE(slot(0).thumbnail.isNull());

    m_server.clearRequests();
    const int pressed = c.value(QStringLiteral("slot")).toInt();
    const bool copy = c.value(QStringLiteral("copy")).toBool();
    retrieve(pressed, false);
    retrieve(pressed, copy);
    EXPECT_EQ(m_server.requestedPaths(), pictures);
    const QString local = m_test.cached(text("cached"));
    const QString viewer = QStringLiteral("viewer %1 #%2").arg(local).arg(pressed);
    const QString second = copy ? QStringLiteral("copy %1 -> %2").arg(local, program().retrieval().lastCopy()) : viewer;
    EXPECT_EQ(m_actions.calls, (QStringList{viewer, second}));
    EXPECT_EQ(contents(local), jpegBytes());
}

INSTANTIATE_TEST_SUITE_P(Sites, SiteSearchTest, ::testing::ValuesIn(siteCases()),
                         [](const auto &each) { return each.param.json.value(QStringLiteral("name")).toString(each.param.folder).toStdString(); });

} // namespace
