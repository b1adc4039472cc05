#include "controls/file_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(CFileDialogTest, filterPairsBecomeNameFilters)
{
    const std::pair<const char *, QStringList> cases[] = {
        {"Jpeg (*.jpg)|*.jpg|", {"Jpeg (*.jpg)"}},
        // No final bar: the last pattern still counts.
        {"Jpeg (*.jpg)|*.jpg|Tous les fichiers (*.*)|*.*", {"Jpeg (*.jpg)", "Tous les fichiers (*)"}},
        {"Images|*.jpg;*.gif|", {"Images (*.jpg *.gif)"}},
        {"Jpeg (*.jpg)|*.jpg|Seul|", {"Jpeg (*.jpg)"}},
        {"", {}},
    };
    for (const auto &[filter, expected] : cases)
        EXPECT_EQ(CFileDialog::nameFilters(QString::fromUtf8(filter)), expected) << filter;
}

TEST(CFileDialogTest, cancellingEitherDialogChangesNoProperty)
{
    // The dialog must be one of ours to be answered from here.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QTemporaryDir folder;
    CFileDialog dialog;
    dialog.setFilter("Jpeg (*.jpg)|*.jpg|Tous (*.*)|*.*|");
    dialog.setFilterIndex(1);
    dialog.setInitialDir(folder.path());
    dialog.setFileName("Matrix [1999]");
    dialog.setFileTitle("title");
    // Cancels the dialog that Show runs, as its user would.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
        if (auto *shown = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            shown->reject();
    });
    poll.start(10);
    EXPECT_FALSE(dialog.Show(false));
    EXPECT_FALSE(dialog.Show(true));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);

    EXPECT_EQ(dialog.FileName(), "Matrix [1999]");
    EXPECT_EQ(dialog.FileTitle(), "title");
    EXPECT_EQ(dialog.InitialDir(), folder.path());
    EXPECT_EQ(dialog.FilterIndex(), 1);
}

} // namespace
