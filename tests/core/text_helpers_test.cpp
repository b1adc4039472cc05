#include "text/text_helpers.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kHuge = std::numeric_limits<qsizetype>::max();
constexpr qsizetype kMostNegative = std::numeric_limits<qsizetype>::min();

struct SearchCase
{
    QString text;
    QString what;
    qsizetype from;
    qsizetype expected;
};

std::string describe(const SearchCase &c)
{
    return (c.what + u" in "_s + c.text + u" from "_s + QString::number(c.from)).toStdString();
}

TEST(TextHelpers, findGivesTheOneBasedPositionOrZero)
{
    const SearchCase cases[] = {
        {u"abcabc"_s, u"bc"_s, 1, 2},  {u"abcabc"_s, u"bc"_s, 2, 2},
        {u"abcabc"_s, u"bc"_s, 3, 5},  {u"abcabc"_s, u"bc"_s, 6, 0},
        {u"abcabc"_s, u"c"_s, 6, 6},   {u"abcabc"_s, u"BC"_s, 1, 0},
        {u"abcabc"_s, u"bc"_s, 0, 0},  {u"abcabc"_s, u"bc"_s, -4, 0},
        {u"abcabc"_s, u"bc"_s, kMostNegative, 0}, {u"abcabc"_s, u"bc"_s, kHuge, 0},
        {u"abcabc"_s, u""_s, 1, 0},    {u""_s, u"a"_s, 1, 0},
        {u"ab"_s, u"abc"_s, 1, 0},
    };
    for (const SearchCase &c : cases)
        EXPECT_EQ(text::find(c.text, c.what, c.from), c.expected) << describe(c);
}

TEST(TextHelpers, findLastTakesTheLastMatchLyingWithinTheFirstCharacters)
{
    const SearchCase cases[] = {
        {u"abcabc"_s, u"bc"_s, -1, 5}, {u"abcabc"_s, u"bc"_s, 6, 5},
        {u"abcabc"_s, u"bc"_s, 5, 2},  {u"abcabc"_s, u"bc"_s, 3, 2},
        {u"abcabc"_s, u"bc"_s, 2, 0},  {u"abcabc"_s, u"bc"_s, kHuge, 5},
        {u"abcabc"_s, u"bc"_s, 0, 0},  {u"abcabc"_s, u"bc"_s, -2, 0},
        {u"abcabc"_s, u"bc"_s, kMostNegative, 0}, {u"abcabc"_s, u"x"_s, -1, 0},
        {u"abcabc"_s, u""_s, -1, 0},   {u""_s, u"a"_s, -1, 0},
    };
    for (const SearchCase &c : cases)
        EXPECT_EQ(text::findLast(c.text, c.what, c.from), c.expected) << describe(c);
}

TEST(TextHelpers, midCutsWithinTheTextAndNeverFails)
{
    const std::tuple<qsizetype, qsizetype, QString> cases[] = {
        {1, 3, u"abc"_s},   {2, 3, u"bcd"_s},   {5, 10, u"ef"_s},  {3, -1, u"cdef"_s},
        {3, -99, u"cdef"_s}, {3, kHuge, u"cdef"_s}, {6, 1, u"f"_s}, {7, 1, u""_s},
        {kHuge, kHuge, u""_s}, {2, 0, u""_s},   {0, 2, u""_s},     {-3, 5, u""_s},
        {kMostNegative, kHuge, u""_s},
    };
    for (const auto &[start, length, expected] : cases)
        EXPECT_EQ(text::mid(u"abcdef", start, length), expected) << start << ", " << length;
    EXPECT_TRUE(text::mid(u"", 1, 1).isEmpty());
}

TEST(TextHelpers, intValueReadsAWholeNumberOrGivesTheFallback)
{
    constexpr int kFallback = -7;
    const std::pair<QString, int> cases[] = {
        {u"1999"_s, 1999}, {u" 1999"_s, 1999}, {u"\t1999 \r\n"_s, 1999}, {u"-12"_s, -12},
        {u"+12"_s, 12},    {u"007"_s, 7},
        {u"2147483647"_s, std::numeric_limits<int>::max()},
        {u"-2147483648"_s, std::numeric_limits<int>::min()},
        {u"2147483648"_s, kFallback}, {u"-2147483649"_s, kFallback},
        {u"99999999999999999999999"_s, kFallback}, {u"1999)"_s, kFallback},
        {u"(1999"_s, kFallback}, {u"19 99"_s, kFallback}, {u"0x1F"_s, kFallback},
        {u"abc"_s, kFallback},   {u"-"_s, kFallback},     {u"  "_s, kFallback},
        {u""_s, kFallback},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(text::intValue(text, kFallback), expected) << text.toStdString();
    EXPECT_EQ(text::intValue(u"n/a"), 0);
}

TEST(TextHelpers, replaceAllReplacesLeftToRightWithoutOverlap)
{
    const std::tuple<QString, QString, QString, QString> cases[] = {
        {u"aaa"_s, u"aa"_s, u"b"_s, u"ba"_s},
        {u"aaaa"_s, u"aa"_s, u"b"_s, u"bb"_s},
        {u"abc"_s, u""_s, u"x"_s, u"abc"_s},
        {u"abc"_s, u"B"_s, u"y"_s, u"abc"_s},
        {u"a.b.c"_s, u"."_s, u"::"_s, u"a::b::c"_s},
        {u"a::b::c"_s, u"::"_s, u"."_s, u"a.b.c"_s},
        {u"abab"_s, u"ab"_s, u""_s, u""_s},
        {u"aXa"_s, u"a"_s, u"aa"_s, u"aaXaa"_s}, // the replacement is not searched again
        {u"ba"_s, u"a\0"_s, u"x"_s, u"ba"_s},   // a match never runs past the end
        {u"été"_s, u"é"_s, u"e"_s, u"ete"_s},
        {u""_s, u"a"_s, u"b"_s, u""_s},
    };
    for (const auto &[text, before, after, expected] : cases) {
        QString s = text;
        text::replaceAll(s, before, after);
        EXPECT_EQ(s, expected) << (before + u" -> "_s + after + u" in "_s + text).toStdString();
    }
}

// Patterns may be views of the text itself; other copies of the text stay as they were.
TEST(TextHelpers, replaceAllIsSafeWithSharedText)
{
    QString s = u"xyxyz"_s;
    const QString copy = s;
    text::replaceAll(s, QStringView(s).sliced(0, 2), QStringView(s).sliced(4, 1));
    EXPECT_EQ(s, u"zzz"_s);
    text::replaceAll(s, QStringView(s).sliced(0, 1), QStringView(s).sliced(0, 2));
    EXPECT_EQ(s, u"zzzzzz"_s);
    EXPECT_EQ(copy, u"xyxyz"_s);

    QString shrunk = copy;
    text::replaceAll(shrunk, u"y", u"");
    EXPECT_EQ(shrunk, u"xxz"_s);
    EXPECT_EQ(copy, u"xyxyz"_s);
}

} // namespace
