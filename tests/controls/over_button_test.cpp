#include "controls/over_button.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QColor kNormal(255, 0, 0);
const QColor kHovered(0, 255, 0);
const QColor kPressed(0, 0, 255);

class OverButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Three 103 by 23 pictures stacked: one plain colour per state.
        QPixmap skin(103, 69);
        QPainter painter(&skin);
        painter.fillRect(0, 0, 103, 23, kNormal);
        painter.fillRect(0, 23, 103, 23, kHovered);
        painter.fillRect(0, 46, 103, 23, kPressed);
        m_host.resize(200, 60);
        m_button.setGeometry(10, 10, 103, 23);
        m_button.setSkin(skin);
        m_button.setCaption(QString());
        m_button.Refresh();
    }

    // A corner of the button, clear of caption and icon.
    QColor shownColour() { return m_button.grab().toImage().pixelColor(100, 1); }

    QWidget m_host;
    OverButton m_button{&m_host};
    QSignalSpy m_clicks{&m_button, &OverButton::MouseUp};
};

// A press draws the pressed picture; only a release strictly inside the button is a click.
TEST_F(OverButtonTest, aReleaseInsideIsAMouseUpWithButtonShiftAndTwipsUnlessTheEnabledFlagIsCleared)
{
    const std::pair<QPoint, bool> releases[] = {
        {{50, 10}, true}, {{102, 22}, true}, {{103, 10}, false}, {{0, 10}, false}, {{50, 23}, false}, {{50, 40}, false},
    };
    for (const auto &[at, raisesMouseUp] : releases) {
        SCOPED_TRACE(testing::Message() << at.x() << "," << at.y());
        m_clicks.clear();
        QTest::mousePress(&m_button, Qt::LeftButton, {}, QPoint(50, 10));
        EXPECT_EQ(shownColour(), kPressed);
        QTest::mouseRelease(&m_button, Qt::LeftButton, {}, at);
        EXPECT_EQ(m_clicks.count(), raisesMouseUp ? 1 : 0);
        EXPECT_EQ(shownColour(), kNormal);
    }

    m_clicks.clear();
    m_button.setEnabledFlag(false);
    QTest::mousePress(&m_button, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_EQ(shownColour(), kNormal);
    QTest::mouseRelease(&m_button, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_EQ(m_clicks.count(), 0);

    m_button.setEnabledFlag(true);
    QTest::mouseClick(&m_button, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(20, 8));
    EXPECT_EQ(m_clicks, (QList<QList<QVariant>>{{2, 3, 300.0, 120.0}}));
}

TEST_F(OverButtonTest, hoverShowsTheHoveredPictureAndLeavingRestoresIt)
{
    m_host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    QTest::mouseMove(&m_button, QPoint(30, 10));
    EXPECT_EQ(shownColour(), kHovered);
    QTest::mouseMove(&m_button, QPoint(60, 12));
    EXPECT_EQ(shownColour(), kHovered);
    QTest::mouseMove(&m_host, QPoint(180, 50));
    EXPECT_EQ(shownColour(), kNormal);
}

TEST_F(OverButtonTest, flipFlapSwapsBetweenTheTwoIconsDrawnLeftAndCentred)
{
    QPixmap origin(16, 16), other(16, 16);
    origin.fill(Qt::yellow);
    other.fill(Qt::black);
    m_button.setFlipFlapIcons(origin, other);
    m_button.FlipFlap(false);
    EXPECT_EQ(m_button.icon().toImage(), other.toImage());
    m_button.FlipFlap(true);
    // Drawn at 6 px from the left, centred for a 15 px icon height.
    EXPECT_EQ(m_button.grab().toImage().pixelColor(6 + 8, 4 + 8), QColor(Qt::yellow));
}

} // namespace
