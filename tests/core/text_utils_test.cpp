#include "text/text_utils.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Case
{
    QString input;
    QString expected;
};

void expectDecoded(std::initializer_list<Case> cases)
{
    for (const Case &c : cases) {
        QString page = c.input;
        DecodeHtml(page);
        EXPECT_EQ(page, c.expected) << testing::PrintToString(c.input);
    }
}

void expectFolded(bool full, std::initializer_list<Case> cases)
{
    for (const Case &c : cases) {
        QString title = c.input;
        EXPECT_EQ(Normalise(title, full), c.expected) << testing::PrintToString(c.input);
        EXPECT_EQ(title, c.expected) << "the argument is folded too";
    }
}

TEST(DecodeHtml, entitiesInTheirOrder)
{
    expectDecoded({
        {u"&#039;&lt;&gt;&quot;&amp;&euro;&nbsp;&Agrave;&agrave;&acirc;&Ccedil;&ccedil;"
         u"&egrave;&eacute;&ecirc;&euml;&icirc;&ocirc;&ugrave;&ucirc;"_s,
         u"'<>'&€ ÀàâÇçèéêëîôùû"_s},
        // "&amp;" runs after the other escapes but before the accented letters.
        {u"&amp;lt;"_s, u"&lt;"_s},
        {u"&amp;quot;"_s, u"&quot;"_s},
        {u"&amp;eacute;"_s, u"é"_s},
        {u"&quot;Le Parrain&quot;"_s, u"'Le Parrain'"_s},
        {u"&LT;&Eacute;&hellip;&#233;&#39;"_s, u"&LT;&Eacute;&hellip;&#233;&#39;"_s},
        {u""_s, u""_s},
    });
}

TEST(DecodeHtml, lineBreaks)
{
    expectDecoded({
        {u"a\nb\r\nc"_s, u"a b\r\nc"_s},
        {u"a\r\nb"_s, u"a\r\nb"_s},
        {u"a\rb\r"_s, u"a\rb\r"_s},
        {u"\n\r\r\n"_s, u" \r\r\n"_s},
        // The page's own "··" turn into CR LF, but only when it has a line feed.
        {u"x··y\nz"_s, u"x\r\ny z"_s},
        {u"x··y\rz"_s, u"x··y\rz"_s},
    });
}

TEST(DecodeHtml, markupQuotesAndTabs)
{
    expectDecoded({
        {u"<a href=\"film.php?id=12\" class=\"x\">"_s, u"<a href='film.php?id=12' class='x'>"_s},
        {u"a<br>b<BR>c<br/>d<Br>"_s, u"a\rb<BR>c<br/>d<Br>"_s},
        {u"\t<td>\t1999\t</td>"_s, u"<td>1999</td>"_s},
        {u"a<br>\nb"_s, u"a\r b"_s},
    });

    QString page = u"<img src=\"a.jpg\"\talt=&quot;x&quot;>\r\n\t\"\""_s;
    DecodeHtml(page);
    EXPECT_FALSE(page.contains(u'"'));
    EXPECT_FALSE(page.contains(u'\t'));
}

TEST(Normalise, fullFoldingForComparingTitles)
{
    expectFolded(true, {
        {u"le parrain"_s, u"parrain"_s},
        {u"parrain (le)"_s, u"parrain"_s},
        {u"l'été meurtrier"_s, u"etemeurtrier"_s},
        // Articles are cut inside words too.
        {u"castle rock"_s, u"castrock"_s},
        {u"les dents de la mer"_s, u"dentsdemer"_s},
        {u"à bout de souffle"_s, u"boutdesouffle"_s},
        {u"voyage à travers a temps"_s, u"voyagetraverstemps"_s},
        // "à " goes before the accents are folded.
        {u"déjà vu"_s, u"dejvu"_s},
        {u"The Thing"_s, u"TheThing"_s},
        {u"[rec] 2"_s, u"[rec2"_s},
        {u"mission: impossible - fantôme!"_s, u"missionimpossibfantome"_s},
        {u"a_b&c(d)e?f.g,h;i+j"_s, u"abcdefghij"_s},
        {u"Été"_s, u"Éte"_s},
        {u""_s, u""_s},
    });
}

TEST(Normalise, accentsOnlyForSearchAddresses)
{
    expectFolded(false, {
        {u"l'été meurtrier"_s, u"l'ete meurtrier"_s},
        {u"déjà vu"_s, u"deja vu"_s},
        {u"éèêëàôöùûüç"_s, u"eeeeaoouuuc"_s},
        {u"Été"_s, u"Éte"_s},
        {u"ÀÇÈÉÊÔÜ îâ"_s, u"ÀÇÈÉÊÔÜ îâ"_s},
        {u"le parrain (1972) - tom & jerry"_s, u"le parrain (1972) - tom & jerry"_s},
    });
}

} // namespace
