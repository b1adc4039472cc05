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
    for (const auto &group : {scanCasesMovieCovers, scanCasesA, scanCasesB, scanCasesC})
        for (const ScanCase &row : group())
            cases.push_back(row);
    return cases;
}

using SiteScanTest = ::testing::TestWithParam<ScanCase>;

// Every site's scan passes, as pure functions of a page: the hits in order, written out.
TEST_P(SiteScanTest, findsTheHitsOfThePage)
{
    EXPECT_EQ(GetParam().scan(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Sites, SiteScanTest, ::testing::ValuesIn(allScanCases()),
                         [](const auto &each) { return std::string(each.param.name); });

} // namespace
