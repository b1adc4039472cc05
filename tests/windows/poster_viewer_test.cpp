#include "windows/poster_viewer.h"

#include "controls/file_dialog.h"
#include "disk_trouble.h"
#include "output/retrieval.h"
#include "test_pictures.h"
#include "test_program.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

TEST(PosterViewerPlacementTest, placesTheFrameInsideTheWorkAreaWithBarsAndMovesTheCascade)
{
    // A 1280 by 1024 pixel work area, the main window at (100, 80) pixels and a
    // frame of 4 pixels with a 30-pixel title bar, all in twips.
    PosterViewer::Surroundings desk;
    desk.workArea = QRect(0, 0, 19200, 15360);
    desk.mainWindow = QPoint(1500, 1200);
    desk.frame = QMargins(60, 450, 60, 60);
    using Range = std::array<int, 3>; // maximum, small and large step; all 0 without a bar
    const struct
    {
        const char *what;
        QSize picture;
        bool loaded;
        int cascade;
        QRect frame;
        int nextCascade;
        Range across;
        Range down;
    } cases[] = {
        {"small, over the main window", {6000, 9000}, true, 0, {4500, 750, 6120, 9510}, 120, {}, {}},
        {"small, pushed right", {6000, 9000}, true, 840, {5340, 750, 6120, 9510}, -900, {}, {}},
        {"small, wrapped left", {6000, 9000}, true, -900, {3600, 750, 6120, 9510}, -780, {}, {}},
        // The bar gets room of its own under the picture.
        {"wide", {30000, 6000}, true, 0, {0, 750, 19200, 6765}, 120, {10920, 300, 3000}, {}},
        // Past 16 bits, and a full-height viewer leaves the cascade as it is.
        {"tall", {4500, 60000}, true, 360, {5610, 0, 4875, 15360}, 360, {}, {45150, 600, 6000}},
        {"unavailable: lower, cascade restarted", {3735, 1995}, false, 600, {5632, 3800, 3855, 2505}, 120, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        int cascade = c.cascade;
        const auto placement = PosterViewer::place(desk, c.picture, c.loaded, cascade);
        EXPECT_EQ(placement.frame, c.frame);
        EXPECT_EQ(cascade, c.nextCascade);
        EXPECT_EQ(placement.horizontalBar, c.across[0] > 0);
        EXPECT_EQ(placement.verticalBar, c.down[0] > 0);
        const auto &h = placement.horizontal;
        const auto &v = placement.vertical;
        EXPECT_EQ((Range{h.maximum, h.smallStep, h.largeStep}), c.across);
        EXPECT_EQ((Range{v.maximum, v.smallStep, v.largeStep}), c.down);
    }
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

    // `bytes` cached as `name`, then shown; deleted with the main window stand-in, as the real ones are.
    PosterViewer *open(const QString &name, const QByteArray &bytes, int slot = 1)
    {
        writeFile(m_test.cached(name), bytes);
        auto *viewer = new PosterViewer(program(), m_test.cached(name), slot, m_cascade, &m_mainWindow);
        viewer->show();
        return viewer;
    }

    TestProgram m_test;
    QWidget m_mainWindow;
    int m_cascade = -900;
};

TEST_F(PosterViewerTest, aPictureTallerThanTheScreenScrollsPastSixteenBits)
{
    PosterViewer *viewer = open(QStringLiteral("Tall.jpg"), jpegBytes(QSize(20, 4000)));
    QScrollBar *bar = viewer->verticalBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_FALSE(viewer->horizontalBar()->isVisible());
    EXPECT_GT(bar->maximum(), 32767);
    EXPECT_LE(viewer->frameGeometry().height(), viewer->screen()->availableGeometry().height());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Tall - 20x4000"));

    bar->setValue(bar->maximum());
    EXPECT_EQ(viewer->pictureBox()->y(), -bar->maximum() / 15);
    // Scrolled to the end, the picture's last row is in view.
    EXPECT_LE(viewer->pictureBox()->geometry().bottom(), viewer->height());
}

TEST_F(PosterViewerTest, anUnreadablePictureSaysSoInTheUsersLanguageAndSavesNothing)
{
    const struct
    {
        int langOffset;
        const char *title;
        const char *message;
    } cases[] = {
        {0, "Erreur", "Affiche indisponible\nVeuillez réessayer ultérieurement"},
        {1000, "Error", "unavailable poster\nPlease try later"},
    };
    for (const auto &c : cases) {
        program().state().LangOffset = c.langOffset;
        PosterViewer *viewer = open(QStringLiteral("Broken.jpg"), "<html>not found</html>");
        int dialogs = 0;
        viewer->setSaveDialog([&](CFileDialog &) { ++dialogs; return true; });

        EXPECT_FALSE(viewer->pictureLoaded());
        EXPECT_EQ(viewer->windowTitle(), QString::fromUtf8(c.title));
        ASSERT_NE(viewer->messageLabel(), nullptr);
        EXPECT_EQ(viewer->messageLabel()->text(), QString::fromUtf8(c.message));
        QTest::mouseClick(viewer->pictureBox(), Qt::LeftButton);
        QTest::mouseClick(viewer->messageLabel(), Qt::LeftButton);
        EXPECT_EQ(dialogs, 0);
        viewer->close();
    }
}

TEST_F(PosterViewerTest, aClickOrCtrlSSavesThroughTheDialogAndMarksTheHitUnlessCancelled)
{
    const struct
    {
        const char *way;
        int slot;
        bool chosen;
        std::function<void(PosterViewer *)> save;
        bool newSearch = false; // the list is cleared and filled anew while the viewer is open
    } cases[] = {
        {"cancel", 0, false, [](PosterViewer *viewer) { viewer->save(); }},
        {"click", 1, true, [](PosterViewer *viewer) { QTest::mouseClick(viewer->pictureBox(), Qt::LeftButton, {}, QPoint(20, 30)); }},
        {"Ctrl+S", 0, true, [](PosterViewer *viewer) { QTest::keyClick(viewer, Qt::Key_S, Qt::ControlModifier); }},
        {"new search", 1, true, [](PosterViewer *viewer) { viewer->save(); }, true},
    };
    const QByteArray bytes = jpegBytes(QSize(40, 60));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.way);
        PosterViewer *viewer = open(QStringLiteral("Matrix [1999]  (MovieCovers).jpg"), bytes, c.slot);
        const QString target = m_test.dir.filePath(QStringLiteral("saved/") + QString::fromLatin1(c.way) + ".jpg");
        CFileDialog asked;
        viewer->setSaveDialog([&](CFileDialog &dialog) {
            asked = dialog;
            dialog.setFileName(QDir::toNativeSeparators(target));
            return c.chosen;
        });
        if (c.newSearch) {
            program().results().clear();
            program().results().addSlot(false, true);
            program().results().addSlot(false, true);
        }
        // Only the viewer's own hit is marked.
        ASSERT_FALSE(program().results().slot(c.slot).downloaded);

        c.save(viewer);

        EXPECT_EQ(asked.DialogTitle(), QStringLiteral("Enregistrer l'image sous..."));
        EXPECT_EQ(asked.Filter(), QStringLiteral("Jpeg (*.jpg)|*.jpg|"));
        EXPECT_EQ(asked.InitialDir(), m_test.dir.filePath(QStringLiteral("saved")));
        EXPECT_EQ(asked.FileName(), QStringLiteral("Matrix [1999]  (MovieCovers)"));
        QFile copy(target);
        EXPECT_EQ(copy.open(QIODevice::ReadOnly) ? copy.readAll() : QByteArray(), c.chosen ? bytes : QByteArray());
        EXPECT_EQ(program().results().slot(c.slot).downloaded, c.chosen && !c.newSearch);
        viewer->close();
    }
}

} // namespace
