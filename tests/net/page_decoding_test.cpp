#include "net/page_decoding.h"

#include <gtest/gtest.h>

namespace {

const QString kEte = QString::fromUtf8("été");

TEST(PageDecodingTest, emptyBytesGiveEmptyText)
{
    EXPECT_TRUE(OctetsVersTexte({}).isEmpty());
    EXPECT_TRUE(OctetsVersTexte({}, "text/html; charset=utf-8").isEmpty());
}

TEST(PageDecodingTest, undeclaredPagesAreUtf8WhenValidElseWindows1252)
{
    EXPECT_EQ(OctetsVersTexte(kEte.toUtf8()), kEte);
    EXPECT_EQ(OctetsVersTexte(kEte.toLatin1()), kEte);
    // 0x80 and 0x92 are the euro sign and the curly apostrophe of the French sites.
    EXPECT_EQ(OctetsVersTexte("5 \x80 l\x92\xE9t\xE9"), QString::fromUtf8("5 € l’été"));
    EXPECT_EQ(OctetsVersTexte("\xEF\xBB\xBF" + kEte.toUtf8()), kEte) << "the byte order mark goes";
}

TEST(PageDecodingTest, theDeclaredCharsetWinsOverGuessing)
{
    // These bytes are valid UTF-8 for "été", but the page says Windows-1252.
    const QByteArray bytes = kEte.toUtf8();
    const QString asWindows1252 = QString::fromLatin1(bytes);
    EXPECT_EQ(OctetsVersTexte(bytes, "text/html; charset=windows-1252"), asWindows1252);
    EXPECT_EQ(OctetsVersTexte(bytes, "text/html;charset=\"ISO-8859-1\""), asWindows1252);
    EXPECT_EQ(OctetsVersTexte("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">" + bytes)
                  .endsWith(asWindows1252),
              true);
    EXPECT_TRUE(OctetsVersTexte("<meta charset=windows-1252>" + bytes).endsWith(asWindows1252));
    // The header comes before the page's own claim.
    EXPECT_TRUE(OctetsVersTexte("<meta charset='iso-8859-1'>" + bytes, "text/html; charset=UTF-8").endsWith(kEte));
}

TEST(PageDecodingTest, declaredCharsetIsFoundInHeaderOrMetaTag)
{
    EXPECT_EQ(declaredCharset("", "text/html; charset=UTF-8"), "utf-8");
    EXPECT_EQ(declaredCharset("<html><head><meta charset=\"Windows-1252\" /></head>"), "windows-1252");
    EXPECT_EQ(declaredCharset("<html><meta name='x' content='charset is elsewhere'>"), "");
    EXPECT_EQ(declaredCharset("<p>charset=utf-8 in the text, not in a meta tag</p>"), "");
    EXPECT_EQ(declaredCharset(QByteArray(5000, ' ') + "<meta charset=utf-8>"), "") << "only the head is read";
}

TEST(PageDecodingTest, unknownDeclarationsFallBackOnGuessing)
{
    EXPECT_EQ(OctetsVersTexte(kEte.toUtf8(), "text/html; charset=no-such-charset"), kEte);
    EXPECT_EQ(OctetsVersTexte(kEte.toLatin1(), "text/html; charset=no-such-charset"), kEte);
}

} // namespace
