#include "core/search_history.h"
#include "settings/settings_store.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SearchHistoryTest : public ::testing::Test
{
protected:
    // Stores the length and the titles (newest first), then loads them.
    void start(int length, const QStringList &titles)
    {
        m_store.EcritValeur("Historique-Max", QString::number(length));
        for (int n = 1; n <= titles.size(); ++n)
            if (!titles[n - 1].isEmpty())
                m_store.EcritValeur("Historique-" + QString::number(n), titles[n - 1]);
        m_history.load();
    }

    QStringList stored(int upTo) const
    {
        QStringList values;
        for (int n = 1; n <= upTo; ++n)
            values.append(m_store.LitValeur("Historique-" + QString::number(n)));
        return values;
    }

    QTemporaryDir m_dir;
    SettingsStore m_store{m_dir.filePath("Pellicam.ini")};
    SearchHistory m_history{m_store};
};

TEST_F(SearchHistoryTest, aNewTitleGoesFirstAndTheOldestFallsOff)
{
    start(3, {"c", "b", "a"});
    QSignalSpy changes(&m_history, &SearchHistory::entriesChanged);
    EXPECT_EQ(m_history.AjouteHistorique("  d "), "d");
    EXPECT_EQ(m_history.entries(), (QStringList{"d", "c", "b"}));
    EXPECT_EQ(stored(4), (QStringList{"d", "c", "b", ""}));
    EXPECT_EQ(changes.count(), 1);

    SearchHistory reloaded(m_store);
    reloaded.load();
    EXPECT_EQ(reloaded.entries(), (QStringList{"d", "c", "b"}));
}

TEST_F(SearchHistoryTest, aTitleAlreadyKeptChangesNothing)
{
    start(75, {"Le Parrain", "Alien"});
    QSignalSpy changes(&m_history, &SearchHistory::entriesChanged);
    for (const QString typed : {"le parrain", "  ALIEN  ", "Le Parrain"}) {
        EXPECT_EQ(m_history.AjouteHistorique(typed), typed);
        EXPECT_EQ(m_history.entries(), (QStringList{"Le Parrain", "Alien"}));
        EXPECT_EQ(stored(3), (QStringList{"Le Parrain", "Alien", ""}));
    }
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(SearchHistoryTest, emptyPlacesMoveWithoutBeingWritten)
{
    start(3, {"x", "", "z"});
    EXPECT_EQ(m_history.entries(), (QStringList{"x", "z"}));
    m_history.AjouteHistorique("t");
    EXPECT_EQ(m_history.entries(), (QStringList{"t", "x"}));
    // The moved empty place is not written, so the stored third title stays.
    EXPECT_EQ(stored(3), (QStringList{"t", "x", "z"}));
}

TEST_F(SearchHistoryTest, lengthZeroKeepsNothing)
{
    start(0, {"old"});
    EXPECT_EQ(m_history.HistoMax(), 0);
    EXPECT_EQ(m_history.AjouteHistorique(" new "), " new ");
    EXPECT_TRUE(m_history.entries().isEmpty());
    EXPECT_EQ(stored(2), (QStringList{"old", ""}));
}

TEST_F(SearchHistoryTest, unreadableLengthKeepsNothing)
{
    for (const QString length : {"", "abc", "-3", "40000"}) {
        m_store.EcritValeur("Historique-Max", length);
        m_history.load();
        EXPECT_EQ(m_history.HistoMax(), 0) << length.toStdString();
    }
}

TEST_F(SearchHistoryTest, legacyValueIsDroppedForTheDefaultLength)
{
    m_store.EcritValeur("Historique-Max", "5");
    m_store.EcritValeur("Historique", "a|b");
    m_store.EcritValeur("Historique-1", "Alien");
    m_history.load();
    EXPECT_EQ(m_store.LitValeur("Historique"), "");
    EXPECT_EQ(m_store.LitValeur("Historique-Max"), "75");
    EXPECT_EQ(m_history.HistoMax(), 75);
    EXPECT_EQ(m_history.entries(), QStringList{"Alien"});
}

TEST_F(SearchHistoryTest, shrinkingForgetsTheOldestTitles)
{
    QStringList titles;
    for (int n = 1; n <= 75; ++n)
        titles.append("Title " + QString::number(n));
    start(75, titles);

    QSignalSpy changes(&m_history, &SearchHistory::entriesChanged);
    m_history.resize(10, "10 ");
    EXPECT_EQ(m_history.HistoMax(), 10);
    EXPECT_EQ(m_history.entries(), titles.mid(0, 10));
    EXPECT_EQ(stored(75), titles.mid(0, 10) + QStringList(65, QString()));
    EXPECT_EQ(m_store.LitValeur("Historique-Max"), "10 ") << "stored as typed";
    EXPECT_EQ(changes.count(), 1);

    // The same number again is no change, even with another text.
    m_history.resize(10, "10");
    EXPECT_EQ(m_store.LitValeur("Historique-Max"), "10 ");

    // Growing keeps every title and adds free places at the end.
    m_history.resize(12, "12");
    EXPECT_EQ(m_history.entries(), titles.mid(0, 10));
    m_history.AjouteHistorique("New");
    EXPECT_EQ(m_history.entries().size(), 11);
    EXPECT_EQ(m_store.LitValeur("Historique-11"), "Title 10");
}

TEST(SearchHistoryCompletionTest, newestMatchCompletesWhatWasTyped)
{
    const QStringList entries = {"Alien  ", "Le Parrain", "le parrain 2", "Aliens"};
    const std::tuple<QString, bool, std::optional<QString>> cases[] = {
        {"le p", false, QString("Le Parrain")},
        {"LE PARRAIN ", false, QString("le parrain 2")},
        {"ali", false, QString("Alien")},
        {"Alien ", false, std::nullopt},
        {"", false, QString("Alien")},
        {"x", false, std::nullopt},
        {"le p", true, std::nullopt},
    };
    for (const auto &[typed, backspace, expected] : cases) {
        SCOPED_TRACE(typed.toStdString());
        EXPECT_EQ(SearchHistory::completion(entries, typed, backspace), expected);
    }
    EXPECT_EQ(SearchHistory::completion({}, "", false), std::nullopt);
}

} // namespace
