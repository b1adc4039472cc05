#include "controls/file_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(CFileDialogTest, filterPairsBecomeNameFilters)
{
    const struct
    {
        const char *filter;
        QStringList expected;
    } cases[] = {
        {"Jpeg (*.jpg)|*.jpg|", {QStringLiteral("Jpeg (*.jpg)")}},
        // No final bar: the last pattern still counts.
        {"Jpeg (*.jpg)|*.jpg|Tous les fichiers (*.*)|*.*",
         {QStringLiteral("Jpeg (*.jpg)"), QStringLiteral("Tous les fichiers (*)")}},
        {"Images|*.jpg;*.gif|", {QStringLiteral("Images (*.jpg *.gif)")}},
        {"Jpeg (*.jpg)|*.jpg|Seul|", {QStringLiteral("Jpeg (*.jpg)")}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CFileDialog::nameFilters(QString::fromUtf8(c.filter)), c.expected) << c.filter;
}

class CFileDialogShowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The dialog must be one of ours to be answered from here.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        m_dialog.setDialogTitle(QStringLiteral("Save picture as..."));
        m_dialog.setFilter(QStringLiteral("Jpeg (*.jpg)|*.jpg|Tous (*.*)|*.*|"));
        m_dialog.setFilterIndex(1);
        m_dialog.setDefaultExt(QStringLiteral("jpg"));
        m_dialog.setInitialDir(m_folder.path());
        m_dialog.setFileName(QStringLiteral("Matrix [1999]"));
        m_dialog.setFileTitle(QStringLiteral("title"));
    }

    void TearDown() override { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false); }

    // Cancels the dialog that Show is about to run, as its user would.
    bool showAndCancel(bool fOpen)
    {
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        poll.start();
        return m_dialog.Show(fOpen);
    }

    QTemporaryDir m_folder;
    CFileDialog m_dialog;
};

TEST_F(CFileDialogShowTest, cancellingChangesNoProperty)
{
    EXPECT_FALSE(showAndCancel(false));
    EXPECT_FALSE(showAndCancel(true));

    EXPECT_EQ(m_dialog.FileName(), QStringLiteral("Matrix [1999]"));
    EXPECT_EQ(m_dialog.FileTitle(), QStringLiteral("title"));
    EXPECT_EQ(m_dialog.InitialDir(), m_folder.path());
    EXPECT_EQ(m_dialog.FilterIndex(), 1);
}

} // namespace
