#include "windows/poster_viewer.h"

#include "controls/file_dialog.h"
#include "output/retrieval.h"
#include "settings/string_table.h"
#include "test_program.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kTwips = PosterViewer::kTwipsPerPixel;

// A 1280 by 1024 work area, the main window at (100, 80) pixels and a frame of
// 4 pixels with a 30-pixel title bar, all in twips.
PosterViewer::Surroundings desk()
{
    PosterViewer::Surroundings around;
    around.workArea = QRect(0, 0, 1280 * kTwips, 1024 * kTwips);
    around.mainWindow = QPoint(1500, 1200);
    around.frame = QMargins(60, 450, 60, 60);
    return around;
}

TEST(PosterViewerPlacementTest, aSmallPictureOpensOverTheMainWindowAndPushesTheNextOneRight)
{
    int cascade = 0;
    const auto first = PosterViewer::place(desk(), QSize(6000, 9000), true, cascade);
    EXPECT_EQ(first.frame, QRect(1500 + (12000 - 6000) / 2, 1200 - 450, 6000 + 120, 9000 + 510));
    EXPECT_FALSE(first.horizontalBar);
    EXPECT_FALSE(first.verticalBar);
    EXPECT_EQ(cascade, 120);

    const auto second = PosterViewer::place(desk(), QSize(6000, 9000), true, cascade);
    EXPECT_EQ(second.frame.left(), first.frame.left() + 120);
}

TEST(PosterViewerPlacementTest, theCascadeWrapsToTheLeftPastNineHundred)
{
    int cascade = 840;
    PosterViewer::place(desk(), QSize(6000, 9000), true, cascade);
    EXPECT_EQ(cascade, -900);
    const auto next = PosterViewer::place(desk(), QSize(6000, 9000), true, cascade);
    EXPECT_EQ(next.frame.left(), 1500 + 3000 - 900);
}

TEST(PosterViewerPlacementTest, aWidePictureTakesTheWholeWidthWithAHorizontalBar)
{
    int cascade = 0;
    const auto placement = PosterViewer::place(desk(), QSize(30000, 6000), true, cascade);
    EXPECT_EQ(placement.frame.left(), 0);
    EXPECT_EQ(placement.frame.width(), 1280 * kTwips);
    ASSERT_TRUE(placement.horizontalBar);
    EXPECT_FALSE(placement.verticalBar);
    // The bar gets room of its own under the picture.
    EXPECT_EQ(placement.frame.height(), 6000 + 510 + 255);
    EXPECT_EQ(placement.horizontal.maximum, 30000 - (1280 * kTwips - 120));
    EXPECT_EQ(placement.horizontal.smallStep, 300);
    EXPECT_EQ(placement.horizontal.largeStep, 3000);
    EXPECT_EQ(cascade, 120);
}

TEST(PosterViewerPlacementTest, aTallPictureScrollsBeyondSixteenBitsAndLeavesTheCascade)
{
    int cascade = 360;
    const auto placement = PosterViewer::place(desk(), QSize(4500, 60000), true, cascade);
    EXPECT_EQ(placement.frame.top(), 0);
    EXPECT_EQ(placement.frame.height(), 1024 * kTwips);
    ASSERT_TRUE(placement.verticalBar);
    EXPECT_FALSE(placement.horizontalBar);
    EXPECT_EQ(placement.vertical.maximum, 60000 - (1024 * kTwips - 510));
    EXPECT_GT(placement.vertical.maximum, 32767);
    EXPECT_EQ(placement.vertical.largeStep, 6000);
    EXPECT_EQ(cascade, 360);
}

TEST(PosterViewerPlacementTest, anUnavailablePictureOpensLowerAndRestartsTheCascade)
{
    int cascade = 600;
    const auto placement = PosterViewer::place(desk(), QSize(3735, 1995), false, cascade);
    EXPECT_EQ(placement.frame.topLeft(), QPoint(1500 + (12000 - 3735) / 2, 1200 + 2600));
    EXPECT_EQ(cascade, 120);
}

class PosterViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_mainWindow.move(40, 30);
        program().results().addSlot(false, true);
        program().results().addSlot(false, true);
        QDir().mkpath(m_test.dir.filePath(QStringLiteral("saved")));
        program().retrieval().setSaveFolder(m_test.dir.filePath(QStringLiteral("saved")));
    }

    Program &program() { return m_test.program; }

    QString picture(const QString &name, QSize size)
    {
        const QString path = m_test.cached(name + QStringLiteral(".jpg"));
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        image.save(path, "JPEG");
        return path;
    }

    // Deleted with the main window stand-in, as the real ones are.
    PosterViewer *open(const QString &path, int slot = 1)
    {
        auto *viewer = new PosterViewer(program(), path, slot, m_cascade, &m_mainWindow);
        viewer->show();
        return viewer;
    }

    TestProgram m_test;
    QWidget m_mainWindow;
    int m_cascade = -900;
};

TEST_F(PosterViewerTest, aPictureTallerThanTheScreenScrollsPastSixteenBits)
{
    PosterViewer *viewer = open(picture(QStringLiteral("Tall"), QSize(20, 4000)));
    const QRect work = viewer->screen()->availableGeometry();

    QScrollBar *bar = viewer->verticalBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_FALSE(viewer->horizontalBar()->isVisible());
    EXPECT_GT(bar->maximum(), 32767);
    EXPECT_LE(viewer->frameGeometry().height(), work.height());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Tall - 20x4000"));

    bar->setValue(bar->maximum());
    EXPECT_EQ(viewer->pictureBox()->y(), -bar->maximum() / kTwips);
    // Scrolled to the end, the picture's last row is in view.
    EXPECT_LE(viewer->pictureBox()->geometry().bottom(), viewer->height());
}

TEST_F(PosterViewerTest, anUnreadablePictureSaysSoInTheUsersLanguageAndSavesNothing)
{
    for (int langOffset : {0, 1000}) {
        program().state().LangOffset = langOffset;
        const QString path = m_test.cached(QStringLiteral("Broken.jpg"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html>not found</html>");
        file.close();

        PosterViewer *viewer = open(path);
        int dialogs = 0;
        viewer->setSaveDialog([&](CFileDialog &) {
            ++dialogs;
            return true;
        });
        const auto text = [langOffset](int id) { return *StringTable::text(id, langOffset); };

        EXPECT_FALSE(viewer->pictureLoaded());
        EXPECT_EQ(viewer->windowTitle(), text(103));
        ASSERT_NE(viewer->messageLabel(), nullptr);
        EXPECT_EQ(viewer->messageLabel()->text(), text(101) + QStringLiteral("\n") + text(102));
        QTest::mouseClick(viewer->pictureBox(), Qt::LeftButton);
        QTest::mouseClick(viewer->messageLabel(), Qt::LeftButton);
        EXPECT_EQ(dialogs, 0);
        viewer->close();
    }
}

TEST_F(PosterViewerTest, aClickOrCtrlSSavesThroughTheDialogAndMarksTheHit)
{
    const struct
    {
        const char *way;
        int slot;
        std::function<void(PosterViewer *)> save;
    } cases[] = {
        {"click", 1, [](PosterViewer *viewer) { QTest::mouseClick(viewer->pictureBox(), Qt::LeftButton, {}, QPoint(20, 30)); }},
        {"Ctrl+S", 0, [](PosterViewer *viewer) { QTest::keyClick(viewer, Qt::Key_S, Qt::ControlModifier); }},
    };
    for (const auto &c : cases) {
        const QString source = picture(QStringLiteral("Matrix [1999]  (MovieCovers)"), QSize(40, 60));
        PosterViewer *viewer = open(source, c.slot);
        const QString target = m_test.dir.filePath(QStringLiteral("saved/") + QString::fromLatin1(c.way) + ".jpg");
        CFileDialog asked;
        viewer->setSaveDialog([&](CFileDialog &dialog) {
            asked = dialog;
            dialog.setFileName(QDir::toNativeSeparators(target));
            return true;
        });
        // Only the viewer's own hit is marked.
        ASSERT_FALSE(program().results().slot(c.slot).downloaded) << c.way;

        c.save(viewer);

        EXPECT_EQ(asked.DialogTitle(), program().text(100)) << c.way;
        EXPECT_EQ(asked.Filter(), QStringLiteral("Jpeg (*.jpg)|*.jpg|"));
        EXPECT_EQ(asked.InitialDir(), program().retrieval().saveFolder());
        EXPECT_EQ(asked.FileName(), QStringLiteral("Matrix [1999]  (MovieCovers)"));
        QFile copy(target);
        QFile original(source);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << c.way;
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), original.readAll()) << c.way;
        EXPECT_TRUE(program().results().slot(c.slot).downloaded) << c.way;
        viewer->close();
    }
}

TEST_F(PosterViewerTest, cancellingTheDialogCopiesNothingAndLeavesTheHitUnmarked)
{
    PosterViewer *viewer = open(picture(QStringLiteral("Matrix"), QSize(40, 60)), 0);
    viewer->setSaveDialog([](CFileDialog &) { return false; });

    EXPECT_FALSE(viewer->save());
    EXPECT_TRUE(QDir(program().retrieval().saveFolder()).isEmpty());
    EXPECT_FALSE(program().results().slot(0).downloaded);
}

} // namespace
