#include "windows/about_window.h"

#include "settings/settings_store.h"

#include <QEnterEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class AboutWindowTest : public ::testing::Test
{
protected:
    AboutWindowTest() { m_store.EcritValeur(QStringLiteral("Hote-Editeur"), QStringLiteral("http://www.example.org")); }

    // Deleted on close, as the real one is; the parent takes it if it stays open.
    AboutWindow *open(int langOffset = 1000)
    {
        auto *window = new AboutWindow(m_store, langOffset, &m_parent);
        window->setPageOpener([this](const QUrl &address) { m_opened.append(address); });
        window->show();
        return window;
    }

    QTemporaryDir m_dir;
    SettingsStore m_store{m_dir.filePath(QStringLiteral("Pellicam.ini"))};
    QWidget m_parent;
    QList<QUrl> m_opened;
};

TEST_F(AboutWindowTest, showsItsTextsInEitherLanguageAndTheVersion)
{
    const struct
    {
        int langOffset;
        const char *site, *donation;
    } cases[] = {
        {0, "Site internet", "Vous voulez nous aider ? Cliquez donc sur ce bouton"},
        {1000, "Web site", "Do you want to help us ? Click on this button"},
    };
    for (const auto &c : cases) {
        AboutWindow *window = open(c.langOffset);
        const auto *site = window->findChild<QLabel *>(QStringLiteral("Label2_1"));
        ASSERT_NE(site, nullptr);
        EXPECT_EQ(site->text(), QString::fromUtf8(c.site));
        EXPECT_EQ(window->donationButton()->toolTip(), QString::fromUtf8(c.donation));
        EXPECT_EQ(window->version(), QStringLiteral("2006.l"));
        window->close();
    }
}

TEST_F(AboutWindowTest, theDonationButtonSinksWhilePressedAndOpensItsPageAndAPlainTextCloses)
{
    AboutWindow *window = open();
    QLabel *button = window->donationButton();
    const QPoint place = button->pos();
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(button->pos(), place + QPoint(1, 1));
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(button->pos(), place);
    EXPECT_EQ(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://www.example.org/don.htm"))});
    EXPECT_TRUE(window->isVisible());

    auto *version = window->findChild<QLabel *>(QStringLiteral("Label2_5"));
    ASSERT_NE(version, nullptr);
    QTest::mouseClick(window, Qt::LeftButton, {}, version->geometry().center());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(m_opened.size(), 1);
}

TEST_F(AboutWindowTest, linksLightUpUnderThePointerAndCloseTheWindowOnceOpened)
{
    AboutWindow *window = open();
    EXPECT_EQ(window->link(0)->text(), QStringLiteral("example.org"));
    QLabel *forum = window->link(1);
    EXPECT_EQ(forum->text(), QStringLiteral("example.org/forum"));
    const auto colour = [forum] { return forum->palette().color(QPalette::WindowText); };
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(forum, &enter);
    EXPECT_EQ(colour(), QColor(255, 255, 0));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(forum, &leave);
    EXPECT_EQ(colour(), QColor(120, 145, 216));

    QTest::mouseClick(forum, Qt::LeftButton);
    EXPECT_EQ(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://www.example.org/forum/"))});
    EXPECT_FALSE(window->isVisible());
}

} // namespace
