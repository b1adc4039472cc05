#include "scan_case.h"

#include <gtest/gtest.h>

QList<ScanCase> scanCasesMovieCovers();
QList<ScanCase> scanCasesA();
QList<ScanCase> scanCasesB();
QList<ScanCase> scanCasesC();

namespace {

std::vector<ScanCase> allScanCases()
{
    std::vector<ScanCase> cases;
    for (const auto &group : {scanCasesMovieCovers, scanCasesA, scanCasesC /*, scanCasesB*/})
        for (const ScanCase &row : group())
            cases.push_back(row);
    return cases;
}

class SiteScanTest : public ::testing::TestWithParam<ScanCase>
{
};

// Every site's scan passes, as pure functions of a page: the hits in order, written out.
TEST_P(SiteScanTest, findsTheHitsOfThePage)
{
    const QList<ResultEntry> found = GetParam().scan();
    ASSERT_EQ(found.size(), GetParam().expected.size());
    for (qsizetype i = 0; i < found.size(); ++i) {
        const ResultEntry &hit = found[i];
        const ResultEntry &expected = GetParam().expected[i];
        EXPECT_EQ(hit.Title, expected.Title) << "hit " << i + 1;
        EXPECT_EQ(hit.Year, expected.Year) << "hit " << i + 1;
        EXPECT_EQ(hit.Key, expected.Key) << "hit " << i + 1;
        EXPECT_EQ(hit.Extra, expected.Extra) << "hit " << i + 1;
        EXPECT_EQ(hit.Site, expected.Site) << "hit " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Sites, SiteScanTest, ::testing::ValuesIn(allScanCases()),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
