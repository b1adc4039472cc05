#include "controls/over_label.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Eight icons, each a solid colour of its own.
QPixmap iconStrip()
{
    QImage strip(8 * 16, 16, QImage::Format_ARGB32);
    QPainter p(&strip);
    for (int i = 0; i < 8; ++i)
        p.fillRect(i * 16, 0, 16, 16, QColor(i * 30, 200 - i * 20, 100));
    return QPixmap::fromImage(strip);
}

class OverLabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host.resize(200, 60);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }

    QRgb pixel(QPoint at) { return m_label->grab().toImage().pixel(at); }
    void moveTo(QPoint at) { QTest::mouseMove(m_label, at); QCoreApplication::processEvents(); }

    QWidget m_host;
    OverLabel *m_label = new OverLabel(iconStrip(), &m_host);
};

TEST_F(OverLabelTest, showsTheStoredIconItIsGivenAndClicksCountOnlyInsideTheHoverArea)
{
    EXPECT_EQ(m_label->size(), QSize(115, 21));
    for (int i : {0, 3, 7}) {
        m_label->ACharger(i);
        EXPECT_EQ(pixel(QPoint(10, 10)), QColor(i * 30, 200 - i * 20, 100).rgb()) << i;
    }
    m_label->ACharger(8);
    EXPECT_EQ(m_label->icon(), 7);

    QSignalSpy clicks(m_label, &OverLabel::Click);
    QTest::mouseClick(m_label, Qt::LeftButton, {}, QPoint(40, 10));
    QTest::mouseClick(m_label, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(clicks.size(), 1);
}

TEST_F(OverLabelTest, selectionAndHoverFramesAreIndependentAndADisabledLabelNeverHovers)
{
    const QPoint corner(0, 0);
    const QRgb background = pixel(corner);
    m_label->Selection(true);
    EXPECT_EQ(pixel(corner), qRgb(255, 158, 22));

    moveTo(QPoint(30, 10));
    EXPECT_TRUE(m_label->hovering());
    m_label->Selection(false);
    EXPECT_EQ(pixel(corner), qRgb(186, 195, 215));

    // The hover area ends at 73 pixels, short of the control's width.
    moveTo(QPoint(100, 10));
    EXPECT_FALSE(m_label->hovering());
    EXPECT_EQ(pixel(corner), background);

    m_label->setEnabled(false);
    moveTo(QPoint(30, 10));
    EXPECT_FALSE(m_label->hovering());
}

} // namespace
