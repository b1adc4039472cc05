#include "settings/program_state.h"
#include "core/site_catalogue.h"
#include "settings/settings_store.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kFrench = 0;
constexpr int kEnglish = 1000;
using L = SiteCatalogue::Language;
using K = SiteCatalogue::Kind;

class SiteCatalogueTest : public ::testing::Test
{
protected:
    QList<int> ticked() const
    {
        QList<int> bases;
        for (int base = 0; base < m_catalogue.baseCount(); ++base)
            if (m_catalogue.isTicked(base))
                bases.append(base);
        return bases;
    }

    QTemporaryDir m_dir;
    SettingsStore m_store{m_dir.filePath("Pellicam.ini")};
    ProgramState m_state;
    SiteCatalogue m_catalogue{m_state};
    QSignalSpy m_hides{&m_catalogue, &SiteCatalogue::hideRequested};
};

TEST_F(SiteCatalogueTest, rowsFollowTheDisplayNamesAlphabetically)
{
    const auto &bases = m_catalogue.bases();
    const auto &order = m_catalogue.rowOrder();
    EXPECT_EQ(order, (QList<int>{0, 9, 1, 2, 12, 3, 13, 4, 10, 5, 6, 11, 7, 8}));
    for (int row = 0; row < m_catalogue.baseCount(); ++row) {
        const SiteCatalogue::BaseInfo &base = bases[order[row]];
        EXPECT_EQ(base.index, order[row]);
        EXPECT_EQ(base.row, row) << base.name.toStdString();
        if (row > 0) {
            EXPECT_LT(bases[order[row - 1]].name.compare(base.name, Qt::CaseInsensitive), 0);
        }
    }
    EXPECT_EQ(m_catalogue.displayName(14), "");
}

TEST_F(SiteCatalogueTest, homeAddressComesFromTheSiteSetting)
{
    m_store.EcritValeur("Hote-MovieCovers", "http://127.0.0.1:8080/mc/");
    EXPECT_EQ(m_catalogue.homeAddress(m_store, 6), "http://127.0.0.1:8080/mc");
    EXPECT_EQ(m_catalogue.homeAddress(m_store, 11), "http://127.0.0.1:8080/mc");
    EXPECT_EQ(m_catalogue.homeAddress(m_store, 9), "http://www.alldivx.com");
    EXPECT_EQ(m_catalogue.homeAddress(m_store, -1), "");
}

TEST_F(SiteCatalogueTest, groupLinksReplaceTheSelection)
{
    m_state.BaseUnique = false;
    const std::pair<int, QList<int>> cases[] = {
        {0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {3, {5, 7, 8, 13}},
        {2, {0, 1, 2, 3, 4, 6, 9, 10, 11, 12, 13}},
        {4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 12}},
        {5, {9, 10, 11, 13}},
        {1, {}},
    };
    for (const auto &[group, expected] : cases) {
        SCOPED_TRACE(group);
        m_catalogue.applyGroup(group);
        EXPECT_EQ(ticked(), expected);
        EXPECT_EQ(m_catalogue.tickedCount(), expected.size());
    }
    EXPECT_EQ(m_hides.count(), 0) << "the window stays open";
}

TEST_F(SiteCatalogueTest, summaryCountsTheTickedBasesInBothLanguages)
{
    m_state.BaseUnique = false;
    m_catalogue.setTick(6, 1);
    m_catalogue.setTick(11, 1);
    const std::tuple<int, int, QString> cases[] = {
        {-1, kFrench, QString::fromUtf8("2 bases sélectionnées")},
        {-1, kEnglish, "2 databases selected"},
        {0, kFrench, QString::fromUtf8("14 bases sélectionnées")},
        {1, kEnglish, "No database selected"},
        {1, kFrench, QString::fromUtf8("Aucune base sélectionnée")},
    };
    QSignalSpy summaries(&m_catalogue, &SiteCatalogue::summaryChanged);
    for (const auto &[group, offset, expected] : cases) {
        m_state.LangOffset = offset;
        if (group >= 0)
            m_catalogue.applyGroup(group);
        else
            m_catalogue.AfficheNbrCoche();
        EXPECT_EQ(m_catalogue.summary(), expected);
        EXPECT_EQ(summaries.takeLast().at(0).toString(), expected);
    }
    m_state.LangOffset = kEnglish;
    m_catalogue.nameClicked(4);
    EXPECT_EQ(m_catalogue.summary(), "1 database selected");
    EXPECT_EQ(ticked(), QList<int>{4});
}

TEST_F(SiteCatalogueTest, multipleModeTogglesOnReleaseAndOnName)
{
    m_state.BaseUnique = false;
    m_catalogue.tickBoxReleased(6);
    m_catalogue.nameClicked(11);
    m_catalogue.nameClicked(0);
    EXPECT_EQ(ticked(), (QList<int>{0, 6, 11}));
    m_catalogue.tickBoxReleased(0);
    m_catalogue.nameClicked(6);
    EXPECT_EQ(ticked(), QList<int>{11});
    EXPECT_EQ(m_hides.count(), 0);
}

TEST_F(SiteCatalogueTest, singleBaseModeKeepsOnlyThePickedBaseAndHides)
{
    m_state.BaseUnique = true;
    m_state.LangOffset = kEnglish;
    for (const bool byName : {false, true}) {
        SCOPED_TRACE(byName ? "name" : "tick box");
        m_hides.clear();
        m_catalogue.applyGroup(1);
        auto pick = [&](int base) {
            byName ? m_catalogue.nameClicked(base) : m_catalogue.tickBoxReleased(base);
        };
        pick(3);
        pick(11);
        EXPECT_EQ(ticked(), QList<int>{11});
        EXPECT_EQ(m_catalogue.summary(), "MovieCovers (PDF)");
        // Picking the only ticked base again leaves it ticked.
        pick(11);
        EXPECT_EQ(ticked(), QList<int>{11});
        EXPECT_EQ(m_hides.count(), 3);
    }
}

TEST_F(SiteCatalogueTest, switchingSingleBaseModeOnWithSeveralTicksUnticksAll)
{
    m_state.BaseUnique = false;
    for (const int base : {1, 5, 9})
        m_catalogue.setTick(base, 1);
    m_store.writeBool("BdD", true);
    m_catalogue.applySingleBaseSetting(m_store);
    EXPECT_TRUE(m_state.BaseUnique);
    EXPECT_EQ(m_catalogue.tickedCount(), 0);
    EXPECT_EQ(m_catalogue.summary(), QString::fromUtf8("Aucune base sélectionnée"));

    // Group links in single-base mode end with the recount, which keeps at most one.
    m_catalogue.applyGroup(0);
    EXPECT_EQ(m_catalogue.tickedCount(), 0);
}

TEST_F(SiteCatalogueTest, activationReadsTheModeButLeavesTheTicks)
{
    m_state.BaseUnique = false;
    m_catalogue.applyGroup(5);
    m_store.writeBool("BdD", true);
    m_catalogue.onActivated(m_store);
    EXPECT_TRUE(m_state.BaseUnique);
    EXPECT_EQ(m_catalogue.tickedCount(), 4);

    m_store.EcritValeur("BdD", "maybe");
    m_catalogue.onActivated(m_store);
    EXPECT_TRUE(m_state.BaseUnique);
    m_store.writeBool("BdD", false);
    m_catalogue.onActivated(m_store);
    EXPECT_FALSE(m_state.BaseUnique);
}

// Saved ticks come back; missing or unreadable ones come back unticked.
TEST_F(SiteCatalogueTest, ticksSurviveSaveAndRestore)
{
    for (const int base : {0, 6, 11, 13})
        m_catalogue.setTick(base, 1);
    m_catalogue.save(m_store);
    EXPECT_EQ(m_store.LitValeur("Base6"), "1");
    EXPECT_EQ(m_store.LitValeur("Base7"), "0");
    m_store.EcritValeur("Base1", "yes");
    m_store.EcritValeur("Base2", "2");
    m_store.EcritValeur("Base3", " 1 ");

    ProgramState state;
    SiteCatalogue restored(state);
    restored.restore(SettingsStore(m_dir.filePath("Pellicam.ini")));
    for (int base = 0; base < restored.baseCount(); ++base)
        EXPECT_EQ(restored.tick(base), QList<int>({0, 3, 6, 11, 13}).contains(base) ? 1 : 0) << base;

    SiteCatalogue empty(m_state);
    empty.restore(SettingsStore(m_dir.filePath("Other.ini")));
    m_state.BaseUnique = false;
    empty.AfficheNbrCoche();
    EXPECT_EQ(empty.tickedCount(), 0);
    EXPECT_EQ(empty.summary(), QString::fromUtf8("Aucune base sélectionnée"));
}

} // namespace

namespace {

// File bases come after the built-in ones, numbered by id whatever the order
// the files were read in; a built-in id takes that base over. Their ticks are
// stored by id, so a file that comes or goes moves no other tick.
TEST_F(SiteCatalogueTest, fileBasesFollowTheBuiltInOnesAndKeepTheirTicksById)
{
    const SiteCatalogue::FileBase zeta{"zeta", "Zeta", L::Us, K::Jackets, "/z.yaml", "http://z.example"};
    const SiteCatalogue::FileBase alpha{"Alpha", "Alpha", L::FrUs, K::Posters, "/a.yaml", "http://a.example"};
    const SiteCatalogue::FileBase covers{"moviecovers", "Covers", L::Us, K::Posters, "/mc.yaml", "http://mc.example"};
    m_catalogue.setFileBases({zeta, covers, alpha});
    ASSERT_EQ(m_catalogue.baseCount(), 16);
    EXPECT_EQ(m_catalogue.rowOrder().mid(13), (QList<int>{8, 14, 15}));
    EXPECT_EQ(m_catalogue.baseOf("ALPHA"), 14);
    EXPECT_EQ(m_catalogue.baseOf("Zeta"), 15);
    EXPECT_EQ(m_catalogue.baseOf("MovieCovers"), 6);
    EXPECT_EQ(m_catalogue.baseOf("gone"), -1);
    EXPECT_EQ(m_catalogue.bases()[6].file, "/mc.yaml");
    EXPECT_EQ(m_catalogue.bases()[11].file, "");
    EXPECT_EQ(m_catalogue.homeAddress(m_store, 6), "http://mc.example");
    m_store.EcritValeur("Hote-zeta", "http://127.0.0.1:9/z");
    EXPECT_EQ(m_catalogue.homeAddress(m_store, 15), "http://127.0.0.1:9/z");

    m_state.BaseUnique = false;
    const std::pair<int, QList<int>> groups[] = {{3, {5, 7, 8, 13, 14, 15}}, {2, {0, 1, 2, 3, 4, 6, 9, 10, 11, 12, 13, 14}},
                                                 {5, {9, 10, 11, 13, 15}}};
    for (const auto &[group, expected] : groups) {
        m_catalogue.applyGroup(group);
        EXPECT_EQ(ticked(), expected) << group;
    }

    m_store.EcritValeur("Base-gone", "1");
    m_catalogue.save(m_store);
    EXPECT_EQ(m_store.LitValeur("Base-zeta"), "1");
    EXPECT_EQ(m_store.LitValeur("Base-Alpha"), "0");
    EXPECT_EQ(m_store.LitValeur("Base6"), "0");
    EXPECT_EQ(m_store.LitValeur("Base-gone"), "1") << "the tick of a file that is gone is kept";
    m_catalogue.setFileBases({zeta});
    m_catalogue.restore(m_store);
    EXPECT_EQ(ticked(), (QList<int>{9, 10, 11, 13, 14}));
    EXPECT_EQ(m_catalogue.displayName(14), "Zeta");
}

// Reading the folders again: a tick follows its base's id, whatever number the
// base now has; a file that comes back takes its stored tick; a report stays
// only where the built-in code ran before and runs still.
TEST_F(SiteCatalogueTest, reloadingTheFilesKeepsTheTicksOfTheBasesStillThere)
{
    const SiteCatalogue::FileBase alpha{"alpha", "Alpha", L::FrUs, K::Posters, "/a.yaml", {}};
    const SiteCatalogue::FileBase beta{"beta", "Beta", L::Us, K::Jackets, "/b.yaml", {}};
    const SiteCatalogue::FileBase gamma{"gamma", "Gamma", L::Fr, K::Posters, "/g.yaml", {}};
    const SiteCatalogue::FileBase covers{"moviecovers", "Covers", L::Fr, K::Posters, "/mc.yaml", {}};
    struct Case
    {
        const char *what;
        bool singleBase;
        QList<int> tickedBefore; // with alpha 14 and beta 15
        QList<SiteCatalogue::FileBase> after;
        QList<int> tickedAfter;
    };
    const Case cases[] = {
        {"the same files", false, {0, 6, 15}, {alpha, beta, covers}, {0, 6, 15}},
        {"alpha gone: beta moves up with its tick", false, {0, 15}, {beta, covers}, {0, 14}},
        {"alpha gone with its tick", false, {14}, {beta, covers}, {}},
        {"gamma comes with its stored tick", false, {15}, {alpha, beta, gamma, covers}, {15, 16}},
        {"one base at a time: gamma comes unticked", true, {15}, {alpha, beta, gamma, covers}, {15}},
        {"MovieCovers back to its code", false, {6}, {alpha, beta}, {6}},
    };
    m_store.EcritValeur("Base-gamma", "1");
    m_store.EcritValeur("Base-alpha", "1");
    SiteReport report;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_state.BaseUnique = c.singleBase;
        m_catalogue.setFileBases({alpha, beta, covers});
        for (const int base : c.tickedBefore)
            m_catalogue.setTick(base, 1);
        for (report.base = 0; report.base < m_catalogue.baseCount(); ++report.base)
            m_catalogue.setReport(report);
        m_catalogue.reloadFileBases(c.after, {{"x.yaml:1:1: broken"}}, m_store);
        EXPECT_EQ(ticked(), c.tickedAfter);
        for (int base = 0; base < m_catalogue.baseCount(); ++base)
            EXPECT_EQ(m_catalogue.report(base).has_value(), base < 14 && base != 6) << base;
        if (c.singleBase) {
            EXPECT_EQ(m_catalogue.summary(), "Beta") << "the summary is made again";
        }
        EXPECT_EQ(m_catalogue.fileErrors(), QStringList{"x.yaml:1:1: broken"});
    }
    EXPECT_EQ(m_store.LitValeur("Base-alpha"), "1") << "a file's stored tick is left alone";
}

} // namespace
