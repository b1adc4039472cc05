#include "core/site_catalogue.h"
#include "stand_in_site.h"
#include "test_program.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class SearchRunTest : public ::testing::Test
{
protected:
    void SetUp() override { program().setTitle(QStringLiteral("matrix")); }

    Program &program() { return m_test.program; }
    const ResultList &results() { return m_test.program.results(); }

    void tick(std::initializer_list<int> bases)
    {
        for (int base : bases)
            program().catalogue().setTick(base, 1);
        program().catalogue().AfficheNbrCoche();
    }

    // Base `base` finds `titles`; every call is written down in m_calls.
    StandInSite *site(int base, const QStringList &titles, bool wide = false)
    {
        auto adapter = std::make_unique<StandInSite>(program(), QStringLiteral("Site%1").arg(base), titles, wide);
        StandInSite *standIn = adapter.get();
        program().setSearch(base, [this, base, standIn] {
            m_calls << base;
            standIn->search();
        });
        program().adopt(std::move(adapter));
        return standIn;
    }

    TestProgram m_test;
    QList<int> m_calls;
};

TEST_F(SearchRunTest, visitsTheTickedBasesInRowOrder)
{
    for (int base = 0; base < SiteCatalogue::kBaseCount; ++base)
        site(base, {});
    tick({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    program().Lance(1);
    EXPECT_EQ(m_calls, (QList<int>{0, 9, 1, 2, 12, 3, 13, 4, 10, 5, 6, 11, 7, 8}));

    program().catalogue().applyGroup(1);
    tick({11, 3});
    m_calls.clear();
    program().Lance(1);
    EXPECT_EQ(m_calls, (QList<int>{3, 11}));
}

TEST_F(SearchRunTest, anEmptyTitleOrNoBaseStartsNothing)
{
    site(6, {QStringLiteral("Matrix")});
    QSignalSpy captions(&program(), &Program::searchCaptionChanged);

    program().Lance(1);
    program().setTitle(QString());
    tick({6});
    program().Lance(1);

    EXPECT_TRUE(m_calls.isEmpty());
    EXPECT_EQ(captions.count(), 0);
    EXPECT_TRUE(program().state().ArretDemande);
}

TEST_F(SearchRunTest, stopDuringTheThirdSiteKeepsTheHitsSoFar)
{
    for (int base : {0, 1, 2, 3})
        site(base, {QStringLiteral("A"), QStringLiteral("B")});
    bool captionAfterStop = true;
    site(2, {QStringLiteral("C"), QStringLiteral("D"), QStringLiteral("E")})->afterHit = [&](int n) {
        if (n == 1) {
            program().Lance(1); // the button, pressed while the run yields
            captionAfterStop = program().searchCaptionShowsStop();
            program().Lance(1); // once more while the run unwinds: no second run inside it
        }
    };
    tick({0, 1, 2, 3});
    program().Lance(1);

    EXPECT_EQ(m_calls, (QList<int>{0, 1, 2}));
    EXPECT_FALSE(captionAfterStop);
    EXPECT_EQ(results().NbResultats(), 5);
    EXPECT_EQ(results().NbVignettes(), 4);
    EXPECT_EQ(program().statusText(), QStringLiteral("5 films trouvés"));
    EXPECT_TRUE(program().inputEnabled());
}

TEST_F(SearchRunTest, statusTextsOfARun)
{
    site(4, {QStringLiteral("Matrix"), QStringLiteral("Matrix 2")});
    tick({4});
    QList<QPair<QString, int>> statuses;
    QObject::connect(&program(), &Program::statusChanged, [&](const QString &text, int top) {
        if (!text.isEmpty())
            statuses.append({text, top});
    });
    program().Lance(1);

    const QList<QPair<QString, int>> expected{
        {QStringLiteral("Connexion à Site4 en cours..."), 1185},
        {QStringLiteral("Récupération vignette n° 1 / 2"), 1185},
        {QStringLiteral("Récupération vignette n° 2 / 2"), 1185},
        {QStringLiteral("2 films trouvés"), 1305},
    };
    EXPECT_EQ(statuses, expected);

    program().state().LangOffset = 1000;
    program().AfficheStatut(QStringLiteral("DvdFr"), false);
    EXPECT_EQ(program().statusTop(), 1305);
    program().AfficheStatut(QStringLiteral("Nb"), false);
    EXPECT_EQ(program().statusText(), QStringLiteral("2 movies found"));
}

TEST_F(SearchRunTest, foundCountTexts)
{
    program().AfficheStatut(QStringLiteral("Nb"), false);
    EXPECT_EQ(program().statusText(), QStringLiteral("Aucun film trouvé !"));
    site(4, {QStringLiteral("Matrix")});
    tick({4});
    program().Lance(1);
    EXPECT_EQ(program().statusText(), QStringLiteral("1 film trouvé"));
}

TEST_F(SearchRunTest, rightClickShowsOnlyTheExactTitle)
{
    program().setTitle(QStringLiteral("le parrain"));
    site(4, {QStringLiteral("PARRAIN (LE)"), QStringLiteral("Le parrain 2"), QStringLiteral("Le Parrain")});
    tick({4});
    program().Lance(2);

    ASSERT_EQ(results().NbVignettes(), 3);
    EXPECT_TRUE(results().slot(0).shown);
    EXPECT_FALSE(results().slot(1).shown);
    EXPECT_TRUE(results().slot(2).shown);
    EXPECT_EQ(results().slot(2).left, ResultList::kPosterWidth);
    EXPECT_EQ(results().LargeurBande(), 2 * ResultList::kPosterWidth);
    EXPECT_EQ(results().stripWidth(), 2 * ResultList::kPosterWidth);

    program().Lance(1);
    EXPECT_TRUE(results().slot(1).shown);
}

TEST_F(SearchRunTest, slotsStayDisabledUntilTheRunEnds)
{
    bool enabledDuringRun = true;
    site(4, {QStringLiteral("Matrix")});
    site(7, {})->beforeSlots = [&] { enabledDuringRun = results().slot(0).enabled; };
    tick({4, 7});
    program().Lance(1);
    EXPECT_FALSE(enabledDuringRun);
    EXPECT_TRUE(results().slot(0).enabled);
}

TEST_F(SearchRunTest, finalPlacementOfAShortStrip)
{
    site(4, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    tick({4});
    program().Lance(1);
    EXPECT_EQ(results().stripLeft(), (12000 - 3 * 1935) / 2 + 135);

    program().catalogue().applyGroup(1);
    site(10, {QStringLiteral("Jacket")}, true);
    tick({10});
    program().Lance(1);
    EXPECT_EQ(results().stripLeft(), (12000 - 2700) / 2 + 60);
}

TEST_F(SearchRunTest, singleBaseModeCentresAFewHitsBeforeTheirSlots)
{
    program().state().BaseUnique = true;
    int leftBeforeSlots = 0;
    site(4, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")})->beforeSlots = [&] {
        leftBeforeSlots = results().stripLeft();
    };
    tick({4});
    program().Lance(1);
    EXPECT_EQ(leftBeforeSlots, (12000 - 3 * 1935) / 2 + 187);
}

TEST_F(SearchRunTest, theListHoldsAHundredHitsAtMost)
{
    QStringList many;
    for (int i = 1; i <= 95; ++i)
        many << QString::number(i);
    site(0, many);
    int upperBoundAfterEleven = 0;
    site(9, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
             QStringLiteral("e"), QStringLiteral("f"), QStringLiteral("g")});
    site(1, many);
    tick({0, 9, 1});
    program().Lance(1);

    EXPECT_EQ(results().NbResultats(), 100);
    EXPECT_EQ(results().NbVignettes(), 100);
    EXPECT_EQ(results().entry(100).Title, QStringLiteral("e"));
    EXPECT_EQ(results().entry(100).Site, QStringLiteral("Site9"));
    EXPECT_EQ(m_calls, (QList<int>{0, 9, 1}));

    program().catalogue().applyGroup(1);
    site(2, many.mid(0, 11))->afterHit = [&](int n) {
        if (n == 11)
            upperBoundAfterEleven = results().upperBound();
    };
    tick({2});
    program().Lance(1);
    EXPECT_EQ(upperBoundAfterEleven, 20);
    EXPECT_EQ(results().entry(1).Title, QStringLiteral("1"));
    EXPECT_EQ(results().entry(11).Title, QStringLiteral("11"));
}

TEST_F(SearchRunTest, aNewRunClearsTheLastOne)
{
    QStringList twelve;
    for (int i = 1; i <= 12; ++i)
        twelve << QString::number(i);
    site(4, twelve);
    tick({4});
    program().Lance(1);
    ASSERT_EQ(results().NbVignettes(), 12);
    program().state().PageHtml = QStringLiteral("<html>");

    QSignalSpy cleared(&results(), &ResultList::cleared);
    program().catalogue().applyGroup(1);
    tick({7});
    program().Lance(1);
    EXPECT_EQ(cleared.count(), 1);
    EXPECT_EQ(results().NbVignettes(), 0);
    EXPECT_EQ(results().NbResultats(), 0);
    EXPECT_TRUE(program().state().PageHtml.isEmpty());
    EXPECT_EQ(results().stripLeft(), ResultList::kStripHome);
    EXPECT_FALSE(results().scrollBar().visible);
}

} // namespace
