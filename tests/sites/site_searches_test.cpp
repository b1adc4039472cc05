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
struct Page
{
    QString path; // on the server, prefix included
    QString file; // a fixture of the site's folder, or a page itself when it starts with '<'
};

struct Hit
{
    int index; // 1-based
    QString title;
    int year;
    QString key;
    QString extra;
    QString thumbnail; // the slot's address
};

struct SiteCase
{
    QString name;
    QString problem; // why the file could not be read whole
    QString folder;
    QString setting;
    QString prefix;
    QList<int> bases;
    QString otherSetting; // "KEY=ADDRESS", or empty
    QString realHost;     // the fixtures' own address, pointed at the server...
    QString hostTo;       // ...here
    QByteArray pageType;
    QList<Page> pages;
    QString typed;
    bool pictures = false; // pictures are among the requests compared
    QStringList requests;  // everything the search asked for, in order
    QString post;          // the body of the form posted first, or empty
    QString site;
    int hits = 0;
    bool wide = false;
    QList<Hit> sample;
    int slot = 0;
    bool copy = false;    // the second press is on the download button
    QStringList retrieval; // what both presses asked for
    QString cached;
};

void PrintTo(const SiteCase &row, std::ostream *os)
{
    *os << row.name.toStdString();
}

// Reads the keys of one object and notes each missing, mistyped or unknown
// one, so that a slip in a file fails its case instead of weakening it.
class CaseReader
{
public:
    CaseReader(const QJsonValue &object, QStringList &problems) : m_object(object.toObject()), m_problems(problems) {}
    ~CaseReader()
    {
        for (const QString &key : m_object.keys())
            if (!m_read.contains(key))
                m_problems << QStringLiteral("unknown \"%1\"").arg(key);
    }

    QString text(const char *key, bool required = true) { return take(key, QJsonValue::String, required).toString(); }
    int number(const char *key) { return take(key, QJsonValue::Double).toInt(); }
    bool flag(const char *key) { return take(key, QJsonValue::Bool).toBool(); }
    QJsonArray list(const char *key) { return take(key, QJsonValue::Array).toArray(); }
    QStringList texts(const char *key)
    {
        QStringList texts;
        for (const QJsonValue &each : list(key))
            texts << each.toString();
        return texts;
    }

private:
    QJsonValue take(const char *key, QJsonValue::Type type, bool required = true)
    {
        m_read << QString::fromLatin1(key);
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.type() != type && (required || !value.isUndefined()))
            m_problems << QStringLiteral("\"%1\" missing or of another type").arg(key);
        return value;
    }

    const QJsonObject m_object;
    QStringList &m_problems;
    QStringList m_read;
};

void readCase(SiteCase &c, const QJsonObject &object, QStringList &problems)
{
    CaseReader read(object, problems);
    c.name = read.text("name");
    read.text("about"); // why the case looks so: for the reader only
    c.setting = read.text("setting");
    c.prefix = read.text("prefix");
    for (const QJsonValue &base : read.list("bases"))
        c.bases << base.toInt();
    c.otherSetting = read.text("otherSetting", false);
    c.realHost = read.text("realHost", false);
    c.hostTo = read.text("hostTo", !c.realHost.isEmpty());
    c.pageType = read.text("pageType").toUtf8();
    for (const QJsonValue &each : read.list("pages")) {
        CaseReader page(each, problems);
        c.pages << Page{page.text("path"), page.text("file")};
    }
    c.typed = read.text("typed");
    c.pictures = read.flag("pictures");
    c.requests = read.texts("requests");
    c.post = read.text("post", false);
    c.site = read.text("site");
    c.hits = read.number("hits");
    c.wide = read.flag("wide");
    for (const QJsonValue &each : read.list("sample")) {
        CaseReader hit(each, problems);
        c.sample << Hit{hit.number("index"), hit.text("title"), hit.number("year"),
                        hit.text("key"),     hit.text("extra"), hit.text("thumbnail")};
    }
    c.slot = read.number("slot");
    c.copy = read.flag("copy");
    c.retrieval = read.texts("retrieval");
    c.cached = read.text("cached");
}

SiteCase caseOf(const QString &folder)
{
    SiteCase c;
    c.folder = folder;
    QFile file(QStringLiteral(PELLICAM_FIXTURES "/%1/search.json").arg(folder));
    file.open(QIODevice::ReadOnly);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    QStringList problems;
    if (error.error)
        problems << QStringLiteral("%1 at %2").arg(error.errorString()).arg(error.offset);
    else if (!document.isObject())
        problems << QStringLiteral("not an object");
    else
        readCase(c, document.object(), problems);
    if (c.name.isEmpty())
        c.name = folder;
    if (!problems.isEmpty())
        c.problem = file.fileName() + QStringLiteral(": ") + problems.join(QStringLiteral("; "));
    return c;
}

const QList<SiteCase> &siteCases()
{
    static const QList<SiteCase> cases = [] {
        QList<SiteCase> found;
        const QDir fixtures(QStringLiteral(PELLICAM_FIXTURES));
        for (const QString &folder : fixtures.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            if (fixtures.exists(folder + QStringLiteral("/search.json")))
                found << caseOf(folder);
        return found;
    }();
    return cases;
}

// Every site has its case, once.
TEST(SiteSearchCases, oneForEachSite)
{
    QStringList expected;
    for (const SiteCatalogue::BaseInfo &base : SiteCatalogue::bases())
        expected << QString::fromLatin1(base.addressSetting);
    expected.removeDuplicates();
    expected.sort();
    QStringList found;
    for (const SiteCase &c : siteCases())
        found << c.setting;
    found.sort();
    EXPECT_EQ(found, expected);
}

class SiteSearchTest : public SiteTest, public ::testing::WithParamInterface<SiteCase>
{
protected:
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
    FixtureServer::Reply reply(const SiteCase &c, const QString &file) const
    {
        QByteArray body = file.startsWith(u'<') ? file.toUtf8() : fixtureFile(c.folder, file);
        if (!c.realHost.isEmpty())
            body.replace(c.realHost.toUtf8(), expand(c.hostTo).toUtf8());
        return pageReply(body, c.pageType);
    }
};

TEST_P(SiteSearchTest, findsTheHitsAndFetchesThePicture)
{
    const SiteCase &c = GetParam();
    ASSERT_TRUE(c.problem.isEmpty()) << c.problem.toStdString();
    playSite(c.setting, c.prefix);
    if (!c.otherSetting.isEmpty()) {
        const QStringList setting = c.otherSetting.split(u'=');
        m_test.store.EcritValeur(setting[0], expand(setting[1]));
    }
    for (const Page &page : c.pages)
        m_server.setReply(page.path, reply(c, page.file));
    // Every picture is there.
    const QList<QByteArray> pictures = expanded(c.retrieval);
    m_server.setFallback([pictures](const FixtureServer::Request &request) {
        const bool picture = request.path.endsWith(".jpg") || request.path.endsWith(".jpeg") || pictures.contains(request.path);
        return picture ? pictureReply(jpegBytes()) : notFoundReply();
    });
    const QString folder = m_test.dir.filePath(QStringLiteral("downloads"));
    QDir().mkpath(folder);
    program().retrieval().setSaveFolder(folder);
    program().setTitle(c.typed);
    searchBases(c.bases);

    QList<QByteArray> requests = m_server.requestedPaths();
    if (!c.pictures)
        requests.removeIf([](const QByteArray &path) { return path.endsWith(".jpg") || path.endsWith(".jpeg"); });
    EXPECT_EQ(requests, expanded(c.requests));
    if (!c.post.isEmpty()) {
        const FixtureServer::Request post = m_server.requests().value(0);
        EXPECT_EQ(post.method, "POST");
        EXPECT_EQ(post.header("Host"), "127.0.0.1:" + QByteArray::number(m_server.port()));
        EXPECT_EQ(post.body, c.post.toUtf8());
    }
    ASSERT_EQ(program().results().NbResultats(), c.hits);
    ASSERT_EQ(program().results().NbVignettes(), c.hits);
    for (int i = 0; i < c.hits; ++i)
        EXPECT_EQ(slot(i).wide, c.wide) << i;
    for (const Hit &expected : c.sample) {
        SCOPED_TRACE(expected.index);
        EXPECT_EQ(hit(expected.index),
                  hitOf(expected.title, expected.year, expand(expected.key), expand(expected.extra), c.site));
        EXPECT_EQ(slot(expected.index - 1).thumbnailUrl, expand(expected.thumbnail));
    }
    EXPECT_FALSE(slot(0).thumbnail.isNull());

    m_server.clearRequests();
    retrieve(c.slot, false);
    retrieve(c.slot, c.copy);
    EXPECT_EQ(m_server.requestedPaths(), expanded(c.retrieval));
    const QString local = m_test.cached(c.cached);
    const QString viewer = QStringLiteral("viewer %1 #%2").arg(local).arg(c.slot);
    const QString second = c.copy ? QStringLiteral("copy %1 -> %2").arg(local, program().retrieval().lastCopy()) : viewer;
    EXPECT_EQ(m_actions.calls, (QStringList{viewer, second}));
    QFile file(local);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), jpegBytes());
}

INSTANTIATE_TEST_SUITE_P(Sites, SiteSearchTest, ::testing::ValuesIn(siteCases()),
                         [](const auto &each) { return each.param.name.toStdString(); });

} // namespace
