#include "settings/program_state.h"
#include "core/site_catalogue.h"
#include "core/options.h"
#include "settings/settings_store.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class OptionsTest : public ::testing::Test
{
protected:
    // Settings that are not a first run's.
    void SetUp() override { m_store.EcritValeur("Historique-Max", "75"); }
    void read() { LitOptions(m_store, m_state, m_catalogue); }

    QTemporaryDir m_dir;
    SettingsStore m_store{m_dir.filePath("Pellicam.ini")};
    ProgramState m_state;
    SiteCatalogue m_catalogue{m_state};
};

// Only a missing history length makes a first run: every default comes back.
TEST_F(OptionsTest, aFirstRunWritesTheDefaultsAndCentresTheWindowOnAScreen)
{
    for (const bool screen : {false, true}) {
        SCOPED_TRACE(screen);
        m_state.LangOffset = 0;
        m_store.EcritValeur("PDF-Format", "7");
        m_store.EffaceValeur("Historique-Max");
        LitOptions(m_store, m_state, m_catalogue, screen ? std::optional(QSize(1920 * 15, 1080 * 15)) : std::nullopt);
        const std::pair<const char *, QString> defaults[] = {
            {"PDF-Format", "3"},     {"PDF-Fond", "1"},    {"PDF-Police", "0"},
            {"Form-Position", "1"},  {"Form-Top", screen ? "4417" : ""}, {"Form-Left", screen ? "8400" : ""},
            {"Historique-Max", "75"}, {"Connexion", "3"},  {"BdD", "True"}, {"Langue", "English"},
        };
        for (const auto &[name, value] : defaults)
            EXPECT_EQ(m_store.LitValeur(name), value) << name;
        EXPECT_EQ((std::pair(m_state.LangOffset, m_state.ModeConnexion)), (std::pair(1000, 512)));
        // The summary is worked out before the language is read: a first run starts in French.
        EXPECT_EQ(m_catalogue.summary(), QString::fromUtf8("Aucune base sélectionnée"));
    }

    m_store.EcritValeur("PDF-Format", "7");
    read();
    EXPECT_EQ(m_store.LitValeur("PDF-Format"), "7") << "not a first run";
}

TEST_F(OptionsTest, languageIsEnglishOrFrenchAndAnythingElseIsRepairedToFrench)
{
    const QString french = QString::fromUtf8("Français");
    const std::tuple<QString, int, QString> cases[] = {
        {"English", 1000, "English"}, {french, 0, french}, {"english", 0, french}, {"Deutsch", 0, french}, {"", 0, french},
    };
    for (const auto &[stored, offset, after] : cases) {
        SCOPED_TRACE(stored.toStdString());
        if (stored.isEmpty())
            m_store.EffaceValeur("Langue");
        else
            m_store.EcritValeur("Langue", stored);
        m_state.LangOffset = 1000 - offset; // so a missed assignment shows
        read();
        EXPECT_EQ(m_state.LangOffset, offset);
        EXPECT_EQ(m_store.LitValeur("Langue"), after);
    }
}

// An unreadable connection setting or proxy port keeps the previous one.
TEST_F(OptionsTest, connectionAndProxySettingsAreReadOrKeepThePreviousValue)
{
    const std::pair<const char *, int> cases[] = {
        {"0", 1}, {"1", 8}, {"2", 16}, {"3", 512}, {"4", 524288}, {"7", 524288},
        {"-1", 524288}, {"abc", 524288}, {"", 524288}, {"2", 16},
    };
    for (const auto &[stored, mode] : cases) {
        m_store.EcritValeur("Connexion", stored);
        read();
        EXPECT_EQ(m_state.ModeConnexion, mode) << stored;
    }

    // address (nullptr: none), port, what is read
    const std::tuple<const char *, const char *, QString, int> proxies[] = {
        {"proxy.example.org", "3128", "proxy.example.org", 3128},
        {"proxy.example.org", "not a port", "proxy.example.org", 3128},
        {nullptr, "3128", "", 80},
    };
    for (const auto &[address, port, host, portRead] : proxies) {
        if (address)
            m_store.EcritValeur("Proxy-Adresse", address);
        else
            m_store.EffaceValeur("Proxy-Adresse");
        m_store.EcritValeur("Proxy-Port", port);
        read();
        EXPECT_EQ((std::pair(m_state.ProxyHost, m_state.ProxyPort)), (std::pair(host, portRead))) << port;
    }
}

TEST_F(OptionsTest, singleBaseModeUnticksSeveralBasesOnlyWhenItIsSwitchedOn)
{
    m_store.EcritValeur("Langue", "English");
    m_state.LangOffset = 1000;
    m_catalogue.applyGroup(3);
    const std::tuple<const char *, int, bool, const char *> steps[] = {
        {"False", -1, false, "4 databases selected"}, {"neither", -1, false, "4 databases selected"},
        {"True", -1, true, "No database selected"}, {"True", 11, true, "MovieCovers (PDF)"},
    };
    for (const auto &[stored, clicked, on, summary] : steps) {
        SCOPED_TRACE(stored);
        m_store.EcritValeur("BdD", stored);
        if (clicked >= 0)
            m_catalogue.nameClicked(clicked);
        read();
        EXPECT_EQ(m_state.BaseUnique, on);
        EXPECT_EQ(m_catalogue.summary(), summary);
    }
}

} // namespace
