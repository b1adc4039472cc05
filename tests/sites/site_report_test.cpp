#include "core/site_report.h"
#include "site_test.h"
#include "sites/all_divx.h"
#include "sites/dvd_fr.h"

#include <QTcpServer>
#include <gtest/gtest.h>

namespace {

using Outcome = SiteReport::Outcome;

// A port of 127.0.0.1 on which nothing listens any more.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// What a site's server does, and the report of its one base it should give:
// one request, failed unless the site answered.
struct ReportCase
{
    const char *name;
    int base;
    std::function<FixtureServer::Reply()> reply; // none: the site refuses connections
    Outcome outcome;
    const char *detail; // in English, the server's address written "ADDRESS"
};

const ReportCase kCases[] = {
    {"refused", DvdFr::kBase, {}, Outcome::Unreachable,
     "Site unreachable: ADDRESS/dvdfr/search/search.php?multiname=matrix (Connection refused)"},
    {"notFound", DvdFr::kBase, [] { return statusReply(404); }, Outcome::HttpError,
     "HTTP error 404 on ADDRESS/dvdfr/search/search.php?multiname=matrix"},
    {"stalled", DvdFr::kBase, stalledReply, Outcome::TimedOut, "No answer in time: ADDRESS/dvdfr/search/search.php?multiname=matrix"},
    {"noMarkers", DvdFr::kBase, [] { return pageReply("<html><p>Moved</p></html>"); }, Outcome::NoHit,
     "Answered without any movie, page of 25 bytes"},
    {"postRefused", AllDivX::kBase, {}, Outcome::Unreachable, "Site unreachable: ADDRESS/alldivx (Connection refused)"},
    {"postNeverEnds", AllDivX::kBase, stalledReply, Outcome::TimedOut, "No answer in time: ADDRESS/alldivx"},
    {"postError", AllDivX::kBase, [] { return statusReply(503); }, Outcome::HttpError, "HTTP error 503 on ADDRESS/alldivx"},
};

class SiteReportTest : public SiteTest, public ::testing::WithParamInterface<ReportCase>
{
protected:
    SiteReport searchAlone(int base)
    {
        searchBases({base});
        const QList<SiteReport> reports = program().run()->reports();
        EXPECT_EQ(reports.size(), 1);
        return reports.value(0);
    }
};

TEST_P(SiteReportTest, eachWayASiteFailsHasItsOutcome)
{
    const ReportCase &c = GetParam();
    const bool form = c.base == AllDivX::kBase;
    const QString setting = form ? QStringLiteral("Hote-AllDivX") : QStringLiteral("Hote-DvdFr");
    const QString prefix = form ? QStringLiteral("/alldivx") : QStringLiteral("/dvdfr");
    playSite(setting, prefix);
    QString address = m_server.url();
    if (c.reply) {
        answer(form ? QStringLiteral("/base.php") : QStringLiteral("/search/search.php"), c.reply());
    } else {
        address = QStringLiteral("http://127.0.0.1:%1").arg(closedPort());
        m_test.store.EcritValeur(setting, address + prefix);
    }
    program().state().LangOffset = 1000;

    const SiteReport report = searchAlone(c.base);
    EXPECT_EQ(report.base, c.base);
    EXPECT_EQ(report.site, form ? QStringLiteral("AllDivX") : QStringLiteral("DvdFr"));
    EXPECT_EQ(SiteReport::word(report.outcome), SiteReport::word(c.outcome));
    EXPECT_EQ(report.hits, 0);
    EXPECT_EQ(report.requests, 1);
    EXPECT_EQ(report.failed, c.outcome == Outcome::NoHit ? 0 : 1);
    EXPECT_EQ(report.detail(1000), QString::fromLatin1(c.detail).replace(QStringLiteral("ADDRESS"), address));
    // The found count keeps its place, whatever the sites not answering add to it.
    EXPECT_EQ(program().statusTop(), 1305) << program().statusText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Outcomes, SiteReportTest, ::testing::ValuesIn(kCases),
                         [](const auto &each) { return std::string(each.param.name); });

// Hits win over a page and thumbnails that fail later; the first failure is named.
TEST_F(SiteReportTest, hitsComeFirstAndNameTheFirstFailure)
{
    playSite(QStringLiteral("Hote-DvdFr"), QStringLiteral("/dvdfr"));
    answer(QStringLiteral("/search/search.php"), fixtureFile(QStringLiteral("dvdfr"), QStringLiteral("matrix.html")));
    answer(QStringLiteral("/dvd/dvd.php?id=1012"), fixtureFile(QStringLiteral("dvdfr"), QStringLiteral("film-1012.html")));
    answer(QStringLiteral("/dvd/dvd.php?id=9120"), fixtureFile(QStringLiteral("dvdfr"), QStringLiteral("film-9120.html")));

    const SiteReport report = searchAlone(DvdFr::kBase);
    EXPECT_EQ(SiteReport::word(report.outcome), QStringLiteral("hits"));
    EXPECT_EQ(report.hits, 3);
    // The search page, three film pages, three thumbnails: film 7351 and every thumbnail are missing;
    // the first to fail is the thumbnail of the first film.
    EXPECT_EQ(report.requests, 7);
    EXPECT_EQ(report.failed, 4);
    EXPECT_EQ(report.detail(0), QString::fromUtf8("3 films trouvés - requêtes en échec : 4, la première : Erreur HTTP 404 sur ")
                                    + siteUrl(QStringLiteral("/images/dvd/cover_200x280/1/1012.jpg")));
    EXPECT_GT(report.bytes, 0);
}

} // namespace
