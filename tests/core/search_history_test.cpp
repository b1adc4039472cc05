#include "core/search_history.h"
#include "settings/settings_store.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Stores the length and the titles (newest first).
void start(SettingsStore &store, int length, const QStringList &titles)
{
    store.EcritValeur("Historique-Max", QString::number(length));
    for (int n = 1; n <= titles.size(); ++n)
        if (!titles[n - 1].isEmpty())
            store.EcritValeur("Historique-" + QString::number(n), titles[n - 1]);
}

QStringList stored(const SettingsStore &store, int upTo)
{
    QStringList values;
    for (int n = 1; n <= upTo; ++n)
        values.append(store.LitValeur("Historique-" + QString::number(n)));
    return values;
}

class SearchHistoryTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    SettingsStore m_store{m_dir.filePath("Pellicam.ini")};
    SearchHistory m_history{m_store};
};

TEST_F(SearchHistoryTest, addingATitle)
{
    struct Case
    {
        int length;
        QStringList before; // newest first
        QString typed, returned;
        QStringList entries, stored;
        int changes;
    };
    const Case cases[] = {
        {3, {"c", "b", "a"}, "  d ", "d", {"d", "c", "b"}, {"d", "c", "b", ""}, 1},
        {75, {"Le Parrain", "Alien"}, "le parrain", "le parrain", {"Le Parrain", "Alien"}, {"Le Parrain", "Alien", ""}, 0},
        {75, {"Le Parrain", "Alien"}, "  ALIEN  ", "  ALIEN  ", {"Le Parrain", "Alien"}, {"Le Parrain", "Alien", ""}, 0},
        {3, {"x", "", "z"}, "t", "t", {"t", "x"}, {"t", "x", "z"}, 1},
        {0, {"old"}, " new ", " new ", {}, {"old", ""}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        QTemporaryDir dir;
        SettingsStore store(dir.filePath("Pellicam.ini"));
        start(store, c.length, c.before);
        SearchHistory history(store);
        history.load();
        QSignalSpy changes(&history, &SearchHistory::entriesChanged);
        EXPECT_EQ(history.AjouteHistorique(c.typed), c.returned);
        EXPECT_EQ(history.entries(), c.entries);
        EXPECT_EQ(stored(store, int(c.stored.size())), c.stored);
        EXPECT_EQ(changes.count(), c.changes);
    }
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
    start(m_store, 75, titles);
    m_history.load();

    QSignalSpy changes(&m_history, &SearchHistory::entriesChanged);
    m_history.resize(10, "10 ");
    EXPECT_EQ(m_history.HistoMax(), 10);
    EXPECT_EQ(m_history.entries(), titles.mid(0, 10));
    EXPECT_EQ(stored(m_store, 75), titles.mid(0, 10) + QStringList(65, QString()));
    EXPECT_EQ(m_store.LitValeur("Historique-Max"), "10 ") << "stored as typed";
    EXPECT_EQ(changes.count(), 1);

    // The same number again is no change, even with another text.
    m_history.resize(10, "10");
    EXPECT_EQ(m_store.LitValeur("Historique-Max"), "10 ");

    // Growing keeps every title and adds free places at the end.
    m_history.resize(12, "12");
    EXPECT_EQ(m_history.entries(), titles.mid(0, 10));
    m_history.AjouteHistorique("New");
    EXPECT_EQ(m_store.LitValeur("Historique-11"), "Title 10");
    SearchHistory reloaded(m_store);
    reloaded.load();
    EXPECT_EQ(reloaded.entries(), QStringList{"New"} + titles.mid(0, 10));
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
