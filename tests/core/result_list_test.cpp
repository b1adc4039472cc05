#include "core/result_list.h"

#include <gtest/gtest.h>

namespace {

// Adds one hit and its slot, as an adapter does.
void add(ResultList &list, const QString &title, int year, bool wide, bool shown = true)
{
    list.countHit();
    list.resize(list.NbResultats() + 10);
    ResultEntry &hit = list.entry(list.NbResultats());
    hit.Title = title;
    hit.Year = qint16(year);
    hit.Site = QStringLiteral("MovieCovers");
    list.addSlot(wide, shown);
}

TEST(ResultListTest, slotGeometryOfBothShapes)
{
    ResultList list;
    add(list, QStringLiteral("MATRIX"), 1999, false);
    add(list, QStringLiteral("a jacket"), 0, true);

    const ResultList::Slot &poster = list.slot(0);
    EXPECT_EQ((QList<int>{poster.left, poster.buttonLeft, poster.badgeLeft, poster.thumbTop, poster.thumbWidth,
                          poster.thumbHeight, poster.labelTop, poster.labelWidth}),
              (QList<int>{0, 0, 480, 330, 1665, 2580, 2940, 1695}));
    const ResultList::Slot &jacket = list.slot(1);
    EXPECT_EQ((QList<int>{jacket.left, jacket.buttonLeft, jacket.badgeLeft, jacket.thumbTop, jacket.thumbWidth,
                          jacket.thumbHeight, jacket.labelTop, jacket.labelWidth}),
              (QList<int>{1935, 2385, 2865, 550, 2580, 1665, 2400, 2580}));
    EXPECT_EQ(list.LargeurBande(), 1935 + 2700);
    EXPECT_EQ(list.stripWidth(), 1935 + 2700);
    EXPECT_FALSE(list.slot(0).enabled);
}

TEST(ResultListTest, captionAndTooltip)
{
    ResultList list;
    add(list, QStringLiteral("THE LORD OF THE RINGS: THE RETURN OF THE KING"), 2003, false);
    add(list, QStringLiteral("THE LORD OF THE RINGS: THE RETURN OF THE KING"), 0, true);

    EXPECT_EQ(list.slot(0).tooltip, QStringLiteral("The lord of the rings: the return of the king"));
    EXPECT_EQ(list.slot(0).caption, QStringLiteral("The lord of the rings:\r\n2003\r\n[MovieCovers]"));
    EXPECT_EQ(list.slot(1).caption,
              QStringLiteral("The lord of the rings: the return of t\r\n\r\n[MovieCovers]"));
}

TEST(ResultListTest, hiddenSlotsTakeNoRoom)
{
    ResultList list;
    add(list, QStringLiteral("A"), 0, false, false);
    add(list, QStringLiteral("B"), 0, false);
    EXPECT_EQ(list.NbVignettes(), 2);
    EXPECT_FALSE(list.slot(0).shown);
    EXPECT_EQ(list.slot(1).left, 0);
    EXPECT_EQ(list.LargeurBande(), 1935);
}

TEST(ResultListTest, scrollBarOfALongStrip)
{
    ResultList list;
    for (int i = 0; i < 12; ++i)
        add(list, QStringLiteral("A"), 0, false);
    EXPECT_TRUE(list.scrollBar().visible);
    EXPECT_EQ(list.scrollBar().maximum, 12 * 1935 / 10 - 1135);
    EXPECT_EQ(list.scrollBar().largeStep, 59);
    EXPECT_EQ(list.scrollBar().smallStep, 29);

    list.clear();
    for (int i = 0; i < 5; ++i)
        add(list, QStringLiteral("A"), 0, false);
    EXPECT_FALSE(list.scrollBar().visible);
    add(list, QStringLiteral("A"), 0, false);
    // Six posters: 11610 twips, a maximum of 26, a large step of 1; a small step
    // of 26 / 40 = 0 is refused and the last one stays.
    EXPECT_TRUE(list.scrollBar().visible);
    EXPECT_EQ(list.scrollBar().maximum, 26);
    EXPECT_EQ(list.scrollBar().largeStep, 1);
    EXPECT_EQ(list.scrollBar().smallStep, 29);
    EXPECT_EQ(list.scrollBar().value, 26);
    EXPECT_EQ(list.stripLeft(), 375 - 260);

    list.scrollTo(10);
    EXPECT_EQ(list.stripLeft(), 275);
    list.scrollTo(500);
    EXPECT_EQ(list.scrollBar().value, 26);
}

TEST(ResultListTest, placementRules)
{
    ResultList list;
    list.placeFinalStrip();
    EXPECT_EQ(list.stripLeft(), 375);

    for (int i = 0; i < 2; ++i)
        add(list, QStringLiteral("A"), 0, false);
    list.CentreVignettes(false);
    EXPECT_EQ(list.stripLeft(), 375);
    list.CentreVignettes(true);
    EXPECT_EQ(list.stripLeft(), (12000 - 2 * 1935) / 2 + 187);

    add(list, QStringLiteral("jacket"), 0, true);
    list.placeFinalStrip();
    EXPECT_EQ(list.stripLeft(), (12000 - 2 * 1935 - 2700) / 2 + 60);

    for (int i = 0; i < 3; ++i)
        add(list, QStringLiteral("A"), 0, false);
    const int scrolled = list.stripLeft();
    list.CentreVignettes(true); // six hits
    list.placeFinalStrip();     // wider than the window
    EXPECT_EQ(list.stripLeft(), scrolled);
}

// A slot number kept from before a new search names an unrelated hit.
TEST(ResultListTest, aHitIsMarkedDownloadedOnlyInTheListItCameFrom)
{
    ResultList list;
    add(list, QStringLiteral("A"), 0, false);
    const quint64 before = list.generation();
    list.clear();
    add(list, QStringLiteral("B"), 0, false);
    list.setDownloaded(0, before);
    EXPECT_FALSE(list.slot(0).downloaded);
    list.setDownloaded(0, list.generation());
    EXPECT_TRUE(list.slot(0).downloaded);
}

TEST(ResultListTest, outOfRangeIndicesAreHarmless)
{
    ResultList list;
    list.entry(500).Title = QStringLiteral("lost");
    EXPECT_TRUE(list.entry(500).Title.isEmpty());
    list.setThumbnail(3, QImage(2, 2, QImage::Format_RGB32));
    list.setDownloaded(-1, list.generation());
    EXPECT_EQ(list.NbVignettes(), 0);
    EXPECT_FALSE(list.slot(7).shown);
}

} // namespace
