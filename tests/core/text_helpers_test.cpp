#include "core/text_helpers.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

using namespace Qt::StringLiterals;


using testing::PrintToString;

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

void PrintTo(const SearchCase &c, std::ostream *os)
{
    *os << PrintToString(c.what) << " in " << PrintToString(c.text) << " from " << c.from;
}

class FindTest : public testing::TestWithParam<SearchCase> {};

TEST_P(FindTest, givesOneBasedPositionOrZero)
{
    const SearchCase &c = GetParam();
    EXPECT_EQ(text::find(c.text, c.what, c.from), c.expected);
}

INSTANTIATE_TEST_SUITE_P(TextHelpers, FindTest, testing::Values(
    SearchCase{u"abcabc"_s, u"bc"_s, 1, 2},
    SearchCase{u"abcabc"_s, u"bc"_s, 2, 2},
    SearchCase{u"abcabc"_s, u"bc"_s, 3, 5},
    SearchCase{u"abcabc"_s, u"bc"_s, 6, 0},
    SearchCase{u"abcabc"_s, u"c"_s, 6, 6},
    SearchCase{u"abcabc"_s, u"BC"_s, 1, 0},
    SearchCase{u"abcabc"_s, u"bc"_s, 0, 0},
    SearchCase{u"abcabc"_s, u"bc"_s, -4, 0},
    SearchCase{u"abcabc"_s, u"bc"_s, kMostNegative, 0},
    SearchCase{u"abcabc"_s, u"bc"_s, kHuge, 0},
    SearchCase{u"abcabc"_s, u""_s, 1, 0},
    SearchCase{u""_s, u"a"_s, 1, 0},
    SearchCase{u"ab"_s, u"abc"_s, 1, 0}));

class FindLastTest : public testing::TestWithParam<SearchCase> {};

// The match must lie wholly within the first `from` characters.
TEST_P(FindLastTest, givesLastMatchEndingByFrom)
{
    const SearchCase &c = GetParam();
    EXPECT_EQ(text::findLast(c.text, c.what, c.from), c.expected);
}

INSTANTIATE_TEST_SUITE_P(TextHelpers, FindLastTest, testing::Values(
    SearchCase{u"abcabc"_s, u"bc"_s, -1, 5},
    SearchCase{u"abcabc"_s, u"bc"_s, 6, 5},
    SearchCase{u"abcabc"_s, u"bc"_s, 5, 2},
    SearchCase{u"abcabc"_s, u"bc"_s, 3, 2},
    SearchCase{u"abcabc"_s, u"bc"_s, 2, 0},
    SearchCase{u"abcabc"_s, u"bc"_s, kHuge, 5},
    SearchCase{u"abcabc"_s, u"bc"_s, 0, 0},
    SearchCase{u"abcabc"_s, u"bc"_s, -2, 0},
    SearchCase{u"abcabc"_s, u"bc"_s, kMostNegative, 0},
    SearchCase{u"abcabc"_s, u"x"_s, -1, 0},
    SearchCase{u"abcabc"_s, u""_s, -1, 0},
    SearchCase{u""_s, u"a"_s, -1, 0}));

struct MidCase
{
    qsizetype start;
    qsizetype length;
    QString expected;
};

void PrintTo(const MidCase &c, std::ostream *os)
{
    *os << "start " << c.start << ", length " << c.length;
}

class MidTest : public testing::TestWithParam<MidCase> {};

TEST_P(MidTest, cutsWithinTheText)
{
    const MidCase &c = GetParam();
    EXPECT_EQ(text::mid(u"abcdef", c.start, c.length), c.expected);
}

INSTANTIATE_TEST_SUITE_P(TextHelpers, MidTest, testing::Values(
    MidCase{1, 3, u"abc"_s},
    MidCase{2, 3, u"bcd"_s},
    MidCase{5, 10, u"ef"_s},
    MidCase{3, -1, u"cdef"_s},
    MidCase{3, -99, u"cdef"_s},
    MidCase{3, kHuge, u"cdef"_s},
    MidCase{6, 1, u"f"_s},
    MidCase{7, 1, u""_s},
    MidCase{kHuge, kHuge, u""_s},
    MidCase{2, 0, u""_s},
    MidCase{0, 2, u""_s},
    MidCase{-3, 5, u""_s},
    MidCase{kMostNegative, kHuge, u""_s}));

TEST(TextHelpers, midOfEmptyTextIsEmpty)
{
    EXPECT_TRUE(text::mid(u"", 1, 1).isEmpty());
}

struct IntCase
{
    QString text;
    int expected;
};

void PrintTo(const IntCase &c, std::ostream *os)
{
    *os << PrintToString(c.text);
}

class IntValueTest : public testing::TestWithParam<IntCase> {};

TEST_P(IntValueTest, readsWholeNumberOrGivesFallback)
{
    const IntCase &c = GetParam();
    EXPECT_EQ(text::intValue(c.text, -7), c.expected);
}

INSTANTIATE_TEST_SUITE_P(TextHelpers, IntValueTest, testing::Values(
    IntCase{u"1999"_s, 1999},
    IntCase{u" 1999"_s, 1999},
    IntCase{u"\t1999 \r\n"_s, 1999},
    IntCase{u"-12"_s, -12},
    IntCase{u"+12"_s, 12},
    IntCase{u"007"_s, 7},
    IntCase{u"2147483647"_s, std::numeric_limits<int>::max()},
    IntCase{u"-2147483648"_s, std::numeric_limits<int>::min()},
    IntCase{u"2147483648"_s, -7},
    IntCase{u"-2147483649"_s, -7},
    IntCase{u"99999999999999999999999"_s, -7},
    IntCase{u"1999)"_s, -7},
    IntCase{u"(1999"_s, -7},
    IntCase{u"19 99"_s, -7},
    IntCase{u"0x1F"_s, -7},
    IntCase{u"abc"_s, -7},
    IntCase{u"-"_s, -7},
    IntCase{u"  "_s, -7},
    IntCase{u""_s, -7}));

TEST(TextHelpers, intValueFallbackDefaultsToZero)
{
    EXPECT_EQ(text::intValue(u"n/a"), 0);
}

struct ReplaceCase
{
    QString text;
    QString before;
    QString after;
    QString expected;
};

void PrintTo(const ReplaceCase &c, std::ostream *os)
{
    *os << PrintToString(c.before) << " -> " << PrintToString(c.after) << " in "
        << PrintToString(c.text);
}

class ReplaceAllTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAllTest, replacesLeftToRightWithoutOverlap)
{
    const ReplaceCase &c = GetParam();
    QString s = c.text;
    text::replaceAll(s, c.before, c.after);
    EXPECT_EQ(s, c.expected);
}

INSTANTIATE_TEST_SUITE_P(TextHelpers, ReplaceAllTest, testing::Values(
    ReplaceCase{u"aaa"_s, u"aa"_s, u"b"_s, u"ba"_s},
    ReplaceCase{u"aaaa"_s, u"aa"_s, u"b"_s, u"bb"_s},
    ReplaceCase{u"abc"_s, u""_s, u"x"_s, u"abc"_s},
    ReplaceCase{u"abc"_s, u"x"_s, u"y"_s, u"abc"_s},
    ReplaceCase{u"abc"_s, u"B"_s, u"y"_s, u"abc"_s},
    ReplaceCase{u"a.b.c"_s, u"."_s, u"::"_s, u"a::b::c"_s},
    ReplaceCase{u"a::b::c"_s, u"::"_s, u"."_s, u"a.b.c"_s},
    ReplaceCase{u"abab"_s, u"ab"_s, u""_s, u""_s},
    // The replacement is not searched again.
    ReplaceCase{u"aXa"_s, u"a"_s, u"aa"_s, u"aaXaa"_s},
    // A match never runs past the end of the text.
    ReplaceCase{u"ba"_s, u"a\0"_s, u"x"_s, u"ba"_s},
    ReplaceCase{u"été"_s, u"é"_s, u"e"_s, u"ete"_s},
    ReplaceCase{u""_s, u"a"_s, u"b"_s, u""_s}));

TEST(TextHelpers, replaceAllAcceptsPatternsTakenFromTheTextItself)
{
    QString s = u"xyxyz"_s;
    const QStringView view(s);
    text::replaceAll(s, view.sliced(0, 2), view.sliced(4, 1));
    EXPECT_EQ(s, u"zzz"_s);

    text::replaceAll(s, QStringView(s).sliced(0, 1), QStringView(s).sliced(0, 2));
    EXPECT_EQ(s, u"zzzzzz"_s);
}

TEST(TextHelpers, replaceAllLeavesOtherCopiesAlone)
{
    const QString original = u"a-b-c"_s;
    QString shrunk = original;
    QString grown = original;
    text::replaceAll(shrunk, u"-", u"");
    text::replaceAll(grown, u"-", u"--");
    EXPECT_EQ(shrunk, u"abc"_s);
    EXPECT_EQ(grown, u"a--b--c"_s);
    EXPECT_EQ(original, u"a-b-c"_s);
}

} // namespace
