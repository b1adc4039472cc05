#include "stand_in_site.h"
#include "test_program.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <map>

namespace {

class SearchRunTest : public ::testing::Test
{
protected:
    void SetUp() override { program().setTitle(QStringLiteral("matrix")); }

    Program &program() { return m_test.program; }
    const ResultList &results() { return m_test.program.results(); }

    void tick(const QList<int> &bases) { m_test.tick(bases); }

    // Base `base` finds `titles`, as site "Site<base>".
    StandInSite &site(int base, const QStringList &titles, bool wide = false)
    {
        auto &standIn = m_sites[base] = std::make_unique<StandInSite>(QStringLiteral("Site%1").arg(base), titles, wide);
        program().setSearch(base, [this, base](SiteSearch &search) {
            m_started << base;
            return m_sites[base]->search(search);
        });
        return *standIn;
    }

    QStringList placedSites()
    {
        QStringList sites;
        for (int index = 1; index <= results().NbVignettes(); ++index)
            sites << results().entry(index).Site + u':' + results().entry(index).Title;
        return sites;
    }

    // Each base's report: "base outcome hits".
    QStringList reports()
    {
        QStringList lines;
        for (const SiteReport &report : program().run()->reports())
            lines << QStringLiteral("%1 %2 %3").arg(report.base).arg(SiteReport::word(report.outcome)).arg(report.hits);
        return lines;
    }

    static QStringList numbered(int count)
    {
        QStringList titles;
        for (int i = 1; i <= count; ++i)
            titles << QString::number(i);
        return titles;
    }

    TestProgram m_test;
    std::map<int, std::unique_ptr<StandInSite>> m_sites;
    QList<int> m_started;
};

// Every ticked base starts at once, in row order; whichever ends first, the
// hits are placed row after row.
TEST_F(SearchRunTest, basesStartTogetherAndArePlacedInRowOrder)
{
    for (int base = 0; base < SiteCatalogue::kBuiltInCount; ++base)
        site(base, {});
    tick({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    ASSERT_TRUE(m_test.search());
    EXPECT_EQ(m_started, (QList<int>{0, 9, 1, 2, 12, 3, 13, 4, 10, 5, 6, 11, 7, 8}));

    site(0, {"A1", "A2"}).hold();
    site(9, {"B1"}).hold();
    site(1, {"C1"});
    tick({0, 9, 1});
    program().Lance(1);
    const QStringList placedWhileHeld = placedSites();
    m_sites[9]->release();
    const QStringList afterLaterRow = placedSites();
    m_sites[0]->release();
    ASSERT_TRUE(m_test.runEnded());

    EXPECT_TRUE(placedWhileHeld.isEmpty()) << "the first row holds the others back";
    EXPECT_TRUE(afterLaterRow.isEmpty());
    EXPECT_EQ(placedSites(), (QStringList{"Site0:A1", "Site0:A2", "Site9:B1", "Site1:C1"}));
}

// The hundred-hit limit counts across rows in row order, whichever row ends first.
TEST_F(SearchRunTest, theListHoldsAHundredHitsInRowOrder)
{
    site(0, numbered(95)).hold();
    site(9, {"a", "b", "c", "d", "e", "f", "g"});
    site(1, numbered(95));
    tick({0, 9, 1});
    program().Lance(1);
    m_sites[0]->release();
    ASSERT_TRUE(m_test.runEnded());

    EXPECT_EQ(results().NbResultats(), 100);
    EXPECT_EQ(results().NbVignettes(), 100);
    EXPECT_EQ(results().entry(95).Title, QStringLiteral("95"));
    EXPECT_EQ(results().entry(100).Title, QStringLiteral("e"));
    EXPECT_EQ(results().entry(100).Site, QStringLiteral("Site9"));
    EXPECT_EQ(results().upperBound(), 110);
    EXPECT_EQ(reports(), (QStringList{"0 hits 95", "9 hits 5", "1 list-full 0"}));

    // Eleven hits of one base: the list grows by ten as the eleventh comes.
    site(2, numbered(11));
    tick({2});
    ASSERT_TRUE(m_test.search());
    EXPECT_EQ(results().upperBound(), 20);
    EXPECT_EQ(results().entry(11).Title, QStringLiteral("11"));
}

// Once the list is full with every earlier row placed, the bases still running stop.
TEST_F(SearchRunTest, aFullListStopsTheBasesStillRunning)
{
    site(0, numbered(100)).hold();
    site(9, {"late"}).hold();
    site(1, {}); // ends before the list fills, without a hit
    tick({0, 9, 1});
    program().Lance(1);
    m_sites[0]->release();
    ASSERT_TRUE(m_test.runEnded());
    EXPECT_EQ(results().NbResultats(), 100);
    EXPECT_EQ(results().entry(100).Site, QStringLiteral("Site0"));
    EXPECT_EQ(reports(), (QStringList{"0 hits 100", "9 list-full 0", "1 no-hit 0"}));
}

// A later row that asked for its slots and waits on is stopped by the first slot the
// full list refuses; its end, coming from within the placement, places it once.
TEST_F(SearchRunTest, aRowStoppedWhileBeingPlacedIsPlacedOnce)
{
    site(0, numbered(95)).hold(StandInSite::Hold::BeforeHits);
    site(9, numbered(10)).hold(StandInSite::Hold::AfterSlots);
    site(1, {"late"});
    tick({0, 9, 1});
    QSignalSpy placed(&program(), &Program::hitsPlaced);
    program().Lance(1);
    m_sites[0]->release();
    ASSERT_TRUE(m_test.runEnded());

    QList<int> firstIndices;
    for (const QList<QVariant> &call : placed)
        firstIndices << call.first().toInt();
    EXPECT_EQ(firstIndices, (QList<int>{0, 95, 100}));
    EXPECT_EQ(results().NbVignettes(), 100);
    EXPECT_EQ(reports(), (QStringList{"0 hits 95", "9 hits 5", "1 list-full 0"}));
}

// A base whose search throws ends its row: the others are placed, the next search runs.
TEST_F(SearchRunTest, aBaseThatThrowsEndsAsAnInternalError)
{
    site(0, {"A"});
    program().setSearch(9, [](SiteSearch &) -> QCoro::Task<> {
        throw std::bad_alloc();
        co_return;
    });
    site(1, {"C"});
    tick({0, 9, 1});
    ASSERT_TRUE(m_test.search());
    EXPECT_EQ(placedSites(), (QStringList{"Site0:A", "Site1:C"}));
    EXPECT_EQ(reports(), (QStringList{"0 hits 1", "9 internal-error 0", "1 hits 1"}));
    EXPECT_EQ(program().run()->reports()[1].detail(1000), QStringLiteral("Pellicam's internal error: std::bad_alloc"));
    EXPECT_TRUE(m_test.search()) << "the next search runs";
}

// Stop: every task ends at once; what was placed stays, later rows are dropped.
TEST_F(SearchRunTest, stopKeepsWhatWasPlaced)
{
    site(0, {"A", "B"});
    site(9, {"C"}).hold();
    site(1, {"D"});
    tick({0, 9, 1});
    QSignalSpy finished(&program(), &Program::runFinished);
    QSignalSpy busy(&program(), &Program::busyChanged);
    program().Lance(1);
    ASSERT_TRUE(program().searchCaptionShowsStop());
    program().Lance(1); // the button, now "Stop"

    EXPECT_EQ(finished.count(), 1) << "every task ended before the press returned";
    ASSERT_FALSE(busy.isEmpty());
    EXPECT_FALSE(busy.last().first().toBool()) << "the busy band goes once the stopped run ended";
    EXPECT_EQ(placedSites(), (QStringList{"Site0:A", "Site0:B"}));
    // The row being placed had found one more, still without its slot.
    EXPECT_EQ(results().NbResultats(), 3);
    EXPECT_FALSE(program().searchCaptionShowsStop());
    EXPECT_TRUE(program().inputEnabled());
    EXPECT_EQ(program().statusText(), QStringLiteral("3 films trouvés"));
    EXPECT_EQ(reports(), (QStringList{"0 hits 2", "9 stopped 0", "1 stopped 0"}));
}

TEST_F(SearchRunTest, anEmptyTitleOrNoBaseStartsNothing)
{
    site(6, {"Matrix"});
    QSignalSpy captions(&program(), &Program::searchCaptionChanged);
    tick({});
    program().Lance(1);
    program().setTitle(QString());
    tick({6});
    program().Lance(1);

    EXPECT_TRUE(m_started.isEmpty());
    EXPECT_EQ(captions.count(), 0);
    EXPECT_TRUE(program().state().ArretDemande);
}

// The status names the site whose row is being placed, then counts the thumbnails.
TEST_F(SearchRunTest, statusTextsOfARun)
{
    site(4, {"Matrix", "Matrix 2"});
    site(7, {"Matrix 3"}).hold();
    tick({4, 7});
    QList<QPair<QString, int>> statuses;
    QObject::connect(&program(), &Program::statusChanged, [&](const QString &text, int top) {
        if (!text.isEmpty())
            statuses.append({text, top});
    });
    program().Lance(1);
    m_sites[7]->release();
    ASSERT_TRUE(m_test.runEnded());

    const QList<QPair<QString, int>> expected{
        {QStringLiteral("Connexion à Site4 en cours..."), 1185},
        {QStringLiteral("Récupération vignette n° 1 / 2"), 1185},
        {QStringLiteral("Récupération vignette n° 2 / 2"), 1185},
        {QStringLiteral("Connexion à Site7 en cours..."), 1185},
        {QStringLiteral("Récupération vignette n° 3 / 3"), 1185},
        {QStringLiteral("3 films trouvés"), 1305},
    };
    EXPECT_EQ(statuses, expected);

    program().state().LangOffset = 1000;
    program().AfficheStatut(QStringLiteral("Nb"), false);
    EXPECT_EQ(program().statusText(), QStringLiteral("3 movies found"));
    program().EffaceResultats();
    program().AfficheStatut(QStringLiteral("Nb"), false);
    EXPECT_EQ(program().statusText(), QStringLiteral("No movie found !"));
}

TEST_F(SearchRunTest, rightClickShowsOnlyTheExactTitle)
{
    program().setTitle(QStringLiteral("le parrain"));
    site(4, {"PARRAIN (LE)", "Le parrain 2", "Le Parrain"});
    tick({4});
    ASSERT_TRUE(m_test.search(2));

    ASSERT_EQ(results().NbVignettes(), 3);
    EXPECT_TRUE(results().slot(0).shown);
    EXPECT_FALSE(results().slot(1).shown);
    EXPECT_TRUE(results().slot(2).shown);
    EXPECT_EQ(results().slot(2).left, 1935);
    EXPECT_EQ(results().stripWidth(), 2 * 1935);

    ASSERT_TRUE(m_test.search(1));
    EXPECT_TRUE(results().slot(1).shown);
}

// Slots wait for the run's end to be pressed, and a short strip is centred
// then; in single-base mode a few hits are centred before their slots; a new
// run clears the last.
TEST_F(SearchRunTest, slotsAndStripAsRunsFollowOneAnother)
{
    bool enabledDuringRun = true;
    site(4, numbered(12));
    site(7, {}).beforeSlots = [&] { enabledDuringRun = results().slot(0).enabled; };
    tick({4, 7});
    ASSERT_TRUE(m_test.search());
    EXPECT_FALSE(enabledDuringRun);
    EXPECT_TRUE(results().slot(0).enabled);
    EXPECT_TRUE(results().scrollBar().visible);

    program().state().BaseUnique = true;
    int leftBeforeSlots = 0;
    site(4, {"A", "B", "C"}).beforeSlots = [&] { leftBeforeSlots = results().stripLeft(); };
    tick({4});
    ASSERT_TRUE(m_test.search());
    EXPECT_EQ(leftBeforeSlots, (12000 - 3 * 1935) / 2 + 187);
    EXPECT_EQ(results().stripLeft(), (12000 - 3 * 1935) / 2 + 135);
    EXPECT_FALSE(results().scrollBar().visible);

    program().state().BaseUnique = false;
    QSignalSpy cleared(&results(), &ResultList::cleared);
    site(10, {"Jacket"}, true);
    tick({10});
    ASSERT_TRUE(m_test.search());
    EXPECT_EQ(results().stripLeft(), (12000 - 2700) / 2 + 60);
    tick({7});
    ASSERT_TRUE(m_test.search());
    EXPECT_EQ(cleared.count(), 2);
    EXPECT_EQ(results().NbVignettes(), 0);
    EXPECT_EQ(results().NbResultats(), 0);
    EXPECT_EQ(results().stripLeft(), 375);
}

} // namespace
