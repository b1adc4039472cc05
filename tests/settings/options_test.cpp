#include "settings/program_state.h"
#include "core/site_catalogue.h"
#include "core/options.h"
#include "settings/settings_store.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QSize kScreenTwips{1920 * 15, 1080 * 15};

class OptionsTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    SettingsStore m_store{m_dir.filePath("Pellicam.ini")};
    ProgramState m_state;
    SiteCatalogue m_catalogue{m_state};
};

TEST_F(OptionsTest, firstRunWritesTheDefaultsAndCentresTheWindow)
{
    LitOptions(m_store, m_state, m_catalogue, kScreenTwips);

    const std::pair<const char *, QString> defaults[] = {
        {"PDF-Format", "3"},     {"PDF-Fond", "1"},       {"PDF-Police", "0"},
        {"Form-Position", "1"},  {"Form-Top", "4417"},    {"Form-Left", "8400"},
        {"Historique-Max", "75"}, {"Connexion", "3"},      {"BdD", "True"},
        {"Langue", "English"},
    };
    for (const auto &[name, value] : defaults)
        EXPECT_EQ(m_store.LitValeur(name), value) << name;
    EXPECT_EQ(m_state.LangOffset, 1000);
    EXPECT_EQ(m_state.ModeConnexion, 512);
    EXPECT_EQ(m_state.ProxyHost, "");
    EXPECT_EQ(m_state.ProxyPort, 80);
}

TEST_F(OptionsTest, firstRunWithoutAScreenStoresNoWindowPosition)
{
    LitOptions(m_store, m_state, m_catalogue);

    EXPECT_EQ(m_store.LitValeur("Form-Top"), "");
    EXPECT_EQ(m_store.LitValeur("Form-Left"), "");
    EXPECT_EQ(m_store.LitValeur("Historique-Max"), "75");
    EXPECT_EQ(m_store.LitValeur("Form-Position"), "1");
}

TEST(FirstRunDefaultsTest, comeInTheirOrderWithThePositionOnlyWhenThereIsAScreen)
{
    QStringList names;
    for (const auto &[name, value] : firstRunDefaults(kScreenTwips))
        names.append(name);
    EXPECT_EQ(names, (QStringList{"PDF-Format", "PDF-Fond", "PDF-Police", "Form-Position", "Form-Top",
                                  "Form-Left", "Historique-Max", "Connexion", "BdD", "Langue"}));
    EXPECT_EQ(firstRunDefaults(std::nullopt).size(), 8);
}

TEST_F(OptionsTest, defaultsAreWrittenOnlyWhenTheHistoryLengthIsMissing)
{
    LitOptions(m_store, m_state, m_catalogue, kScreenTwips);
    m_store.EcritValeur("PDF-Format", "7");
    m_store.EcritValeur("Langue", QString::fromUtf8("Français"));
    LitOptions(m_store, m_state, m_catalogue, kScreenTwips);
    EXPECT_EQ(m_store.LitValeur("PDF-Format"), "7");
    EXPECT_EQ(m_state.LangOffset, 0);

    // Losing only the history length brings every default back.
    m_store.EffaceValeur("Historique-Max");
    LitOptions(m_store, m_state, m_catalogue, kScreenTwips);
    EXPECT_EQ(m_store.LitValeur("PDF-Format"), "3");
    EXPECT_EQ(m_state.LangOffset, 1000);
}

TEST_F(OptionsTest, languageIsEnglishOrFrenchAndAnythingElseIsRepairedToFrench)
{
    m_store.EcritValeur("Historique-Max", "75");
    const std::tuple<QString, int, QString> cases[] = {
        {"English", 1000, "English"},
        {QString::fromUtf8("Français"), 0, QString::fromUtf8("Français")},
        {"english", 0, QString::fromUtf8("Français")},
        {"Deutsch", 0, QString::fromUtf8("Français")},
        {"", 0, QString::fromUtf8("Français")},
    };
    for (const auto &[stored, offset, after] : cases) {
        SCOPED_TRACE(stored.toStdString());
        if (stored.isEmpty())
            m_store.EffaceValeur("Langue");
        else
            m_store.EcritValeur("Langue", stored);
        m_state.LangOffset = 1000 - offset; // so a missed assignment shows
        LitOptions(m_store, m_state, m_catalogue);
        EXPECT_EQ(m_state.LangOffset, offset);
        EXPECT_EQ(m_store.LitValeur("Langue"), after);
    }
}

TEST_F(OptionsTest, connectionSettingPicksTheReadOptionAndOtherValuesKeepThePreviousOne)
{
    m_store.EcritValeur("Historique-Max", "75");
    const std::pair<const char *, int> cases[] = {
        {"0", 1}, {"1", 8}, {"2", 16}, {"3", 512}, {"4", 524288},
        {"7", 524288}, {"-1", 524288}, {"abc", 524288}, {"", 524288},
        {"2", 16},
    };
    for (const auto &[stored, mode] : cases) {
        SCOPED_TRACE(stored);
        m_store.EcritValeur("Connexion", stored);
        LitOptions(m_store, m_state, m_catalogue);
        EXPECT_EQ(m_state.ModeConnexion, mode);
    }
}

TEST_F(OptionsTest, proxyIsKeptForTheFetcherAndTheFormPost)
{
    m_store.EcritValeur("Historique-Max", "75");
    m_store.EcritValeur("Proxy-Adresse", "proxy.example.org");
    m_store.EcritValeur("Proxy-Port", "3128");
    LitOptions(m_store, m_state, m_catalogue);
    EXPECT_EQ(m_state.ProxyHost, "proxy.example.org");
    EXPECT_EQ(m_state.ProxyPort, 3128);

    m_store.EcritValeur("Proxy-Port", "not a port");
    LitOptions(m_store, m_state, m_catalogue);
    EXPECT_EQ(m_state.ProxyPort, 3128) << "an unreadable port keeps the previous one";

    m_store.EffaceValeur("Proxy-Adresse");
    LitOptions(m_store, m_state, m_catalogue);
    EXPECT_EQ(m_state.ProxyHost, "");
    EXPECT_EQ(m_state.ProxyPort, 80);
}

TEST_F(OptionsTest, firstRunSwitchesSingleBaseModeOnAndShowsTheSummary)
{
    LitOptions(m_store, m_state, m_catalogue);
    EXPECT_TRUE(m_state.BaseUnique);
    // The summary is worked out before the language is read: a first run starts in French.
    EXPECT_EQ(m_catalogue.summary(), QString::fromUtf8("Aucune base sélectionnée"));
}

TEST_F(OptionsTest, singleBaseModeUnticksSeveralBasesOnlyWhenItIsSwitchedOn)
{
    m_store.EcritValeur("Historique-Max", "75");
    m_store.EcritValeur("Langue", "English");
    m_state.LangOffset = 1000;
    m_catalogue.applyGroup(3);

    m_store.writeBool("BdD", false);
    LitOptions(m_store, m_state, m_catalogue);
    EXPECT_FALSE(m_state.BaseUnique);
    EXPECT_EQ(m_catalogue.summary(), "4 databases selected");

    m_store.EcritValeur("BdD", "neither");
    LitOptions(m_store, m_state, m_catalogue);
    EXPECT_FALSE(m_state.BaseUnique) << "an unreadable value keeps the mode";
    EXPECT_EQ(m_catalogue.tickedCount(), 4);

    m_store.writeBool("BdD", true);
    LitOptions(m_store, m_state, m_catalogue);
    EXPECT_TRUE(m_state.BaseUnique);
    EXPECT_EQ(m_catalogue.tickedCount(), 0);
    EXPECT_EQ(m_catalogue.summary(), "No database selected");

    // Already on: the single ticked base stays and names the summary.
    m_catalogue.nameClicked(11);
    LitOptions(m_store, m_state, m_catalogue);
    EXPECT_TRUE(m_catalogue.isTicked(11));
    EXPECT_EQ(m_catalogue.summary(), "MovieCovers (PDF)");
}

TEST_F(OptionsTest, legacyHistoryValueIsDroppedForTheDefaultLength)
{
    m_store.EcritValeur("Historique-Max", "20");
    migrateLegacyHistory(m_store);
    EXPECT_EQ(m_store.LitValeur("Historique-Max"), "20");

    m_store.EcritValeur("Historique", "old|titles");
    migrateLegacyHistory(m_store);
    EXPECT_EQ(m_store.LitValeur("Historique"), "");
    EXPECT_EQ(m_store.LitValeur("Historique-Max"), "75");
}

} // namespace
