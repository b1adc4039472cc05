#include "settings/settings_store.h"
#include "settings/site_addresses.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsStoreTest : public ::testing::Test
{
protected:
    QString iniFile() const { return m_dir.filePath("Pellicam.ini"); }

    QTemporaryDir m_dir;
    SettingsStore m_store{iniFile()};
};

TEST_F(SettingsStoreTest, namesAreComparedWithoutRegardToCaseAndValuesSurviveANewStore)
{
    m_store.EffaceValeur("Folder-User"); // deleting what is not there is no error
    EXPECT_EQ(m_store.LitValeur("Folder-User"), "");

    // One value, kept under the spelling it was first written with.
    QSettings file(iniFile(), QSettings::IniFormat);
    m_store.EcritValeur("Hote-MovieCovers", "http://127.0.0.1:1");
    m_store.EcritValeur("hote-moviecovers", "http://127.0.0.1:2");
    m_store.writeValues({{"HOTE-MOVIECOVERS", "http://127.0.0.1:3"}, {"Langue", "English"}, {"langue", "Français"}});
    file.sync();
    EXPECT_EQ(file.childKeys(), (QStringList{"Hote-MovieCovers", "Langue"}));
    EXPECT_EQ(m_store.LitValeur("hote-moviecovers"), "http://127.0.0.1:3");
    EXPECT_EQ(m_store.LitValeur("LANGUE"), QString::fromUtf8("Français"));
    m_store.EffaceValeur("langue");
    EXPECT_EQ(m_store.LitValeur("Langue"), "");

    // Only text that fits the read buffer is read.
    const QString title = QString::fromUtf8("L'été meurtrier, \"1983\"; a=b");
    m_store.EcritValeur("Historique-1", title);
    m_store.EcritValeur("Historique-2", "");
    m_store.EcritValeur("Fits", QString(511, u'a'));
    m_store.EcritValeur("TooLong", QString(512, u'a'));
    file.setValue("Historique-3", QStringList{"a", "b"});
    file.sync();
    SettingsStore reopened(iniFile());
    EXPECT_EQ(reopened.LitValeur("historique-1"), title);
    EXPECT_EQ(reopened.LitValeur("Historique-2"), "");
    EXPECT_EQ(reopened.LitValeur("Fits"), QString(511, u'a'));
    EXPECT_EQ(reopened.LitValeur("TooLong"), "");
    EXPECT_EQ(reopened.LitValeur("Historique-3"), "") << "a list is no text";
}

TEST_F(SettingsStoreTest, booleansAreWrittenAsTextAndReadBackAlsoFromNumbers)
{
    m_store.writeBool("BdD", true);
    EXPECT_EQ(m_store.LitValeur("BdD"), "True");
    m_store.writeBool("BdD", false);
    EXPECT_EQ(m_store.LitValeur("BdD"), "False");
    const std::pair<const char *, std::optional<bool>> cases[] = {
        {"True", true}, {"False", false}, {"0", false}, {"1", true}, {"-1", true}, {"7", true},
        {"true", true}, {"FALSE", false}, {"", std::nullopt}, {"yes", std::nullopt}, {"1x", std::nullopt},
    };
    for (const auto &[text, expected] : cases) {
        m_store.EcritValeur("BdD", text);
        EXPECT_EQ(m_store.readBool("BdD"), expected) << text;
    }
}

// A stored address loses its blanks and trailing slash; without one, the site's own is used.
TEST_F(SettingsStoreTest, siteAddressesAndTheirHostNames)
{
    m_store.EcritValeur("hote-moviecovers", "http://127.0.0.1:8080/mirror/ ");
    EXPECT_EQ(SiteAddresses::address(m_store, "Hote-MovieCovers"), "http://127.0.0.1:8080/mirror");
    EXPECT_EQ(SiteAddresses::address(m_store, "Hote-DvdFr"), "http://www.dvdfr.com");
    EXPECT_EQ(SiteAddresses::address(m_store, "Hote-Nothing"), "");
    // The host name carries the port when the address gives one.
    EXPECT_EQ(SiteAddresses::hostName("http://127.0.0.1:8080/prefix"), "127.0.0.1:8080");
    EXPECT_EQ(SiteAddresses::hostName("http://www.example.org/films"), "www.example.org");
}

} // namespace
