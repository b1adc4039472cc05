#include "settings/settings_store.h"
#include "settings/site_addresses.h"

#include <QFile>
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

TEST_F(SettingsStoreTest, missingValuesReadAsEmptyText)
{
    EXPECT_EQ(m_store.LitValeur("Folder-User"), "");
    m_store.EffaceValeur("Folder-User"); // deleting what is not there is no error
    EXPECT_EQ(m_store.LitValeur("Folder-User"), "");
}

TEST_F(SettingsStoreTest, namesAreComparedWithoutRegardToCase)
{
    m_store.EcritValeur("Langue", "English");
    EXPECT_EQ(m_store.LitValeur("langue"), "English");
    EXPECT_EQ(m_store.LitValeur("LANGUE"), "English");

    m_store.EcritValeur("LANGUE", QString::fromUtf8("Français"));
    EXPECT_EQ(m_store.LitValeur("Langue"), QString::fromUtf8("Français"));

    m_store.EffaceValeur("langue");
    EXPECT_EQ(m_store.LitValeur("Langue"), "");

    // One value, kept under the spelling it was first written with.
    QSettings file(iniFile(), QSettings::IniFormat);
    m_store.EcritValeur("Hote-MovieCovers", "http://127.0.0.1:1");
    m_store.EcritValeur("hote-moviecovers", "http://127.0.0.1:2");
    m_store.writeValues({{"HOTE-MOVIECOVERS", "http://127.0.0.1:3"}, {"Langue", "English"}, {"langue", "Français"}});
    file.sync();
    EXPECT_EQ(file.childKeys(), (QStringList{"Hote-MovieCovers", "Langue"}));
    EXPECT_EQ(m_store.LitValeur("hote-moviecovers"), "http://127.0.0.1:3");
    EXPECT_EQ(m_store.LitValeur("LANGUE"), QString::fromUtf8("Français"));
}

TEST_F(SettingsStoreTest, valuesSurviveANewStoreAndKeepTheirText)
{
    const QString title = QString::fromUtf8("L'été meurtrier, \"1983\"; a=b");
    m_store.EcritValeur("Historique-1", title);
    m_store.EcritValeur("Historique-2", "");
    SettingsStore reopened(iniFile());
    EXPECT_EQ(reopened.LitValeur("historique-1"), title);
    EXPECT_EQ(reopened.LitValeur("Historique-2"), "");
}

TEST_F(SettingsStoreTest, valuesThatDoNotFitTheReadBufferReadAsEmpty)
{
    const QString fits(511, u'a');
    const QString tooLong(512, u'a');
    m_store.EcritValeur("Folder-User", fits);
    EXPECT_EQ(m_store.LitValeur("Folder-User"), fits);
    m_store.EcritValeur("Folder-User", tooLong);
    EXPECT_EQ(m_store.LitValeur("Folder-User"), "");
}

TEST_F(SettingsStoreTest, booleansAreWrittenAsTextAndReadBackAlsoFromNumbers)
{
    m_store.writeBool("BdD", true);
    EXPECT_EQ(m_store.LitValeur("BdD"), "True");
    EXPECT_EQ(m_store.readBool("BdD"), true);
    m_store.writeBool("BdD", false);
    EXPECT_EQ(m_store.readBool("bdd"), false);

    const std::pair<const char *, std::optional<bool>> cases[] = {
        {"0", false}, {"1", true}, {"-1", true}, {"7", true}, {"true", true}, {"FALSE", false},
        {"", std::nullopt}, {"yes", std::nullopt}, {"1x", std::nullopt},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(text);
        m_store.EcritValeur("BdD", text);
        EXPECT_EQ(m_store.readBool("BdD"), expected);
    }
}

TEST_F(SettingsStoreTest, valuesThatAreNotTextReadAsEmpty)
{
    {
        QSettings file(iniFile(), QSettings::IniFormat);
        file.setValue("Connexion", 3);
        file.setValue("Historique-1", QStringList{"a", "b"});
    }
    SettingsStore store(iniFile());
    EXPECT_EQ(store.LitValeur("Historique-1"), "");
}

TEST_F(SettingsStoreTest, aCorruptFileReadsAsEmptyAndCanBeWrittenAgain)
{
    {
        QFile file(iniFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\x01\x02[[[General\n=\xff\xfe=broken\n\0\0\0", 24);
    }
    SettingsStore store(iniFile());
    EXPECT_EQ(store.LitValeur("Langue"), "");
    store.EcritValeur("Langue", "English");
    EXPECT_EQ(store.LitValeur("Langue"), "English");
}

TEST_F(SettingsStoreTest, siteAddressesHaveDefaultsAndLoseTheirTrailingSlash)
{
    EXPECT_EQ(SiteAddresses::settingNames().size(), 16);
    for (const QString &name : SiteAddresses::settingNames()) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(name.startsWith("Hote-"));
        EXPECT_TRUE(SiteAddresses::address(m_store, name).startsWith("http://"));
        EXPECT_FALSE(SiteAddresses::address(m_store, name).endsWith('/'));
    }
    m_store.EcritValeur("hote-moviecovers", "http://127.0.0.1:8080/mirror/ ");
    EXPECT_EQ(SiteAddresses::address(m_store, "Hote-MovieCovers"), "http://127.0.0.1:8080/mirror");
    EXPECT_EQ(SiteAddresses::address(m_store, "Hote-Nothing"), "");
}

TEST(SiteAddressesTest, hostNameCarriesThePortWhenTheAddressGivesOne)
{
    EXPECT_EQ(SiteAddresses::hostName("http://127.0.0.1:8080"), "127.0.0.1:8080");
    EXPECT_EQ(SiteAddresses::hostName("http://127.0.0.1:8080/prefix"), "127.0.0.1:8080");
    EXPECT_EQ(SiteAddresses::hostName("http://www.example.org"), "www.example.org");
    EXPECT_EQ(SiteAddresses::hostName("http://www.example.org/films"), "www.example.org");
}

} // namespace
