#include "core/text_utils.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace Qt::StringLiterals;


using testing::PrintToString;

namespace {

struct DecodeCase
{
    QString page;
    QString expected;
};

void PrintTo(const DecodeCase &c, std::ostream *os)
{
    *os << PrintToString(c.page);
}

class DecodeHtmlTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeHtmlTest, rewritesPage)
{
    const DecodeCase &c = GetParam();
    QString page = c.page;
    DecodeHtml(page);
    EXPECT_EQ(page, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Entities, DecodeHtmlTest, testing::Values(
    DecodeCase{u"&#039;&lt;&gt;&quot;&amp;&euro;&nbsp;&Agrave;&agrave;&acirc;&Ccedil;&ccedil;"
               u"&egrave;&eacute;&ecirc;&euml;&icirc;&ocirc;&ugrave;&ucirc;"_s,
               u"'<>'&€ ÀàâÇçèéêëîôùû"_s},
    // "&amp;" runs after the other escapes but before the accented letters.
    DecodeCase{u"&amp;lt;"_s, u"&lt;"_s},
    DecodeCase{u"&amp;quot;"_s, u"&quot;"_s},
    DecodeCase{u"&amp;eacute;"_s, u"é"_s},
    DecodeCase{u"&quot;Le Parrain&quot;"_s, u"'Le Parrain'"_s},
    DecodeCase{u"&LT;&Eacute;&hellip;&#233;&#39;"_s, u"&LT;&Eacute;&hellip;&#233;&#39;"_s},
    DecodeCase{u""_s, u""_s}));

INSTANTIATE_TEST_SUITE_P(LineBreaks, DecodeHtmlTest, testing::Values(
    DecodeCase{u"a\nb\r\nc"_s, u"a b\r\nc"_s},
    DecodeCase{u"a\r\nb"_s, u"a\r\nb"_s},
    DecodeCase{u"a\rb\r"_s, u"a\rb\r"_s},
    DecodeCase{u"\n\r\r\n"_s, u" \r\r\n"_s},
    // The page's own "··" turn into CR LF, but only when it has a line feed.
    DecodeCase{u"x··y\nz"_s, u"x\r\ny z"_s},
    DecodeCase{u"x··y\rz"_s, u"x··y\rz"_s}));

INSTANTIATE_TEST_SUITE_P(Markup, DecodeHtmlTest, testing::Values(
    DecodeCase{u"<a href=\"film.php?id=12\" class=\"x\">"_s,
               u"<a href='film.php?id=12' class='x'>"_s},
    DecodeCase{u"a<br>b<BR>c<br/>d<Br>"_s, u"a\rb<BR>c<br/>d<Br>"_s},
    DecodeCase{u"\t<td>\t1999\t</td>"_s, u"<td>1999</td>"_s},
    DecodeCase{u"a<br>\nb"_s, u"a\r b"_s}));

TEST(DecodeHtml, leavesNoDoubleQuoteNorTab)
{
    QString page = u"<img src=\"a.jpg\"\talt=&quot;x&quot;>\r\n\t\"\""_s;
    DecodeHtml(page);
    EXPECT_FALSE(page.contains(u'"'));
    EXPECT_FALSE(page.contains(u'\t'));
}

struct NormaliseCase
{
    QString title;
    bool full;
    QString expected;
};

void PrintTo(const NormaliseCase &c, std::ostream *os)
{
    *os << PrintToString(c.title) << (c.full ? " full" : "");
}

class NormaliseTest : public testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseTest, foldsTitle)
{
    const NormaliseCase &c = GetParam();
    QString title = c.title;
    EXPECT_EQ(Normalise(title, c.full), c.expected);
    EXPECT_EQ(title, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Full, NormaliseTest, testing::Values(
    NormaliseCase{u"le parrain"_s, true, u"parrain"_s},
    NormaliseCase{u"parrain (le)"_s, true, u"parrain"_s},
    NormaliseCase{u"l'été meurtrier"_s, true, u"etemeurtrier"_s},
    // Articles are cut inside words too.
    NormaliseCase{u"castle rock"_s, true, u"castrock"_s},
    NormaliseCase{u"les dents de la mer"_s, true, u"dentsdemer"_s},
    NormaliseCase{u"à bout de souffle"_s, true, u"boutdesouffle"_s},
    NormaliseCase{u"voyage à travers a temps"_s, true, u"voyagetraverstemps"_s},
    // "à " goes before the accents are folded.
    NormaliseCase{u"déjà vu"_s, true, u"dejvu"_s},
    NormaliseCase{u"The Thing"_s, true, u"TheThing"_s},
    NormaliseCase{u"[rec] 2"_s, true, u"[rec2"_s},
    NormaliseCase{u"mission: impossible - fantôme!"_s, true, u"missionimpossibfantome"_s},
    NormaliseCase{u"a_b&c(d)e?f.g,h;i+j"_s, true, u"abcdefghij"_s},
    NormaliseCase{u"Été"_s, true, u"Éte"_s},
    NormaliseCase{u""_s, true, u""_s}));

INSTANTIATE_TEST_SUITE_P(AccentsOnly, NormaliseTest, testing::Values(
    NormaliseCase{u"l'été meurtrier"_s, false, u"l'ete meurtrier"_s},
    NormaliseCase{u"déjà vu"_s, false, u"deja vu"_s},
    NormaliseCase{u"éèêëàôöùûüç"_s, false, u"eeeeaoouuuc"_s},
    NormaliseCase{u"Été"_s, false, u"Éte"_s},
    NormaliseCase{u"ÀÇÈÉÊÔÜ îâ"_s, false, u"ÀÇÈÉÊÔÜ îâ"_s},
    NormaliseCase{u"le parrain (1972) - tom & jerry"_s, false,
                  u"le parrain (1972) - tom & jerry"_s}));

} // namespace
