#include "net/page_decoding.h"

#include <gtest/gtest.h>

namespace {

TEST(PageDecodingTest, theDeclaredCharsetWinsElseUtf8WhenValidElseWindows1252)
{
    const QByteArray ete = "\xC3\xA9t\xC3\xA9"; // "été" in UTF-8
    const QByteArray meta = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">";
    const QByteArray notMeta = "<meta name='x' content='charset windows-1252'><p>charset=windows-1252, in the text</p>";
    const QByteArray lateMeta = QByteArray(5000, ' ') + "<meta charset=windows-1252>"; // only the head is read
    const std::tuple<QByteArray, QByteArray, QByteArray> cases[] = { // bytes, content type, text in UTF-8
        {{}, {}, ""}, {{}, "text/html; charset=utf-8", ""}, {ete, {}, "été"}, {"\xE9t\xE9", {}, "été"},
        // 0x80 and 0x92 are the euro sign and the curly apostrophe of the French sites.
        {"5 \x80 l\x92\xE9t\xE9", {}, "5 € l’été"}, {"\xEF\xBB\xBF" + ete, {}, "été"},
        // Valid UTF-8, but the page says otherwise.
        {ete, "text/html; charset=windows-1252", "Ã©tÃ©"}, {ete, "text/html;charset=\"ISO-8859-1\"", "Ã©tÃ©"},
        {meta + ete, {}, meta + "Ã©tÃ©"}, {"<meta charset=\"Windows-1252\" />" + ete, {}, "<meta charset=\"Windows-1252\" />Ã©tÃ©"},
        {notMeta + ete, {}, notMeta + "été"}, {lateMeta + ete, {}, lateMeta + "été"},
        // The header comes before the page's own claim.
        {"<meta charset='iso-8859-1'>" + ete, "text/html; charset=UTF-8", "<meta charset='iso-8859-1'>été"},
        {ete, "text/html; charset=no-such-charset", "été"}, {"\xE9t\xE9", "text/html; charset=no-such-charset", "été"},
    };
    for (const auto &[bytes, contentType, text] : cases)
        EXPECT_EQ(OctetsVersTexte(bytes, contentType), QString::fromUtf8(text)) << bytes.toStdString();
}

} // namespace
