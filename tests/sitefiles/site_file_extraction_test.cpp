#include "sitefiles/site_file_extraction.h"
#include "sitefiles/site_file_reader.h"

#include <gtest/gtest.h>

namespace {

namespace X = SiteFileExtraction;

const QString kPageUrl = QStringLiteral("http://h.example/dir/list.html");

// The rows a `search` map's rows and fields cut from `page`: per row
// "title|year|thumbnail", a field that failed marked "!".
QString cut(const char *search, const char *page)
{
    const SiteFileReading reading = readSiteText(QByteArray("format: 1\nid: t\nname: T\nlanguage: fr\n"
                                                            "kind: posters\nhome: http://h.example/\n"
                                                            "search:\n  address: \"s?q={title}\"\n")
                                                     + search,
                                                 "t.yaml");
    if (!reading.usable())
        return reading.errors.first().text();
    const SiteFile &site = reading.site;
    QStringList out;
    for (const SiteRow &row : X::rows(QString::fromUtf8(page), site)) {
        SiteTemplateValues values;
        QStringList row_;
        for (const QString name : {"key", "title", "year", "thumbnail"}) {
            if (!site.fields.contains(name))
                continue;
            const SiteValue value = X::field(site.fields[name], row, values, kPageUrl);
            values[name] = value.text;
            if (name != u"key")
                row_ << (name == u"year" ? QString::number(X::year(value.text)) : value.text) + (value.failed ? "!" : "");
        }
        out << row_.join('|');
    }
    return out.join(';');
}

TEST(SiteFileExtractionTest, rowsAndFieldsAreCutAndFilteredAsTheFileSays)
{
    struct Case
    {
        const char *search;
        const char *page;
        const char *expected;
    };
    const Case cases[] = {
        {"  rows: {within: [<ul>, </ul>], between: [<li, </li>]}\n  fields:\n"
         "    title: {between: [<b>, </b>], filters: [trim, decode-html]}\n"
         "    year: {regex: \"\\\\((?<value>\\\\w+)\\\\)\"}\n",
         "<li><b>out</b></li><ul><li><b> A &amp; B </b>(1999)</li><li><b>C</b>(x)</li><li><b>D</b></li></ul><li><b>E</b></li>",
         "A & B|1999;C|0;D|0!"},
        {"  rows: {regex: \"<p>(?<row>.*?)</p>\"}\n  fields:\n    title: {regex: \"[A-Z]+\"}\n"
         "    thumbnail: {between: [\"src='\", \"'\"], filters: [absolute]}\n",
         "<p>AB <img src='i/1.jpg'></p><p>cd <img src='/x.jpg'></p><p>EF <img src='https://o.example/y'></p>",
         "AB|http://h.example/dir/i/1.jpg;!|http://h.example/x.jpg;EF|https://o.example/y"},
        {"  answer: json\n  rows: {path: data.results}\n  fields:\n    title: {path: name}\n"
         "    year: {path: y}\n    thumbnail: {path: \"images[1].url\", filters: [{default: none}]}\n",
         R"({"data": {"results": [{"name": "A", "y": 2001, "images": [{}, {"url": "u1"}]}, {"name": 7, "y": "abc"}]}})",
         "A|2001|u1;7|0|none!"},
        {"  rows: {between: [<li>, </li>]}\n  fields:\n    key: {between: [\"id=\", \";\"]}\n"
         "    title: {between: [\"t=\", \";\"], filters: [decode-url, {replace: [_, \" \"]}, upper,\n"
         "           {regex-replace: [\"(\\\\w+) (\\\\w+)\", \"\\\\2 \\\\1\"]}, {prepend: \"<\"}, {append: \">\"}]}\n"
         "    thumbnail: {value: \"t/{key}.JPG\", filters: [lower]}\n",
         "<li>id=K9;t=la%20vie_nue;</li>", "<VIE LA NUE>|t/k9.jpg"},
        // Empty markers cut no endless run of empty rows.
        {"  rows: {between: [\"\", \"\"]}\n  fields:\n    title: {regex: x}\n", "x", ""},
        // Backtracking past the match limit gives up, though a match comes later.
        {"  rows: {between: [<li>, </li>]}\n  fields:\n    title: {regex: \"(x+x+)+y\"}\n",
         "<li>xxxxxxxxxxxxxxxxxxxxz xxy</li>", "!"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(cut(c.search, c.page), QString::fromUtf8(c.expected)) << c.search;
}

TEST(SiteFileExtractionTest, templatesEscapeTheTitleByTheFilesCharset)
{
    using Charset = SiteRequest::Charset;
    EXPECT_EQ(X::escapedTitle(QStringLiteral("L'été & a/b?c=d#e+f%"), Charset::Utf8),
              "L%27%C3%A9t%C3%A9%20%26%20a%2Fb%3Fc%3Dd%23e%2Bf%25");
    EXPECT_EQ(X::escapedTitle(QStringLiteral("été œ€ ☃"), Charset::Windows1252), "%E9t%E9%20%9C%80%20%E2%98%83");
    const SiteTemplateValues values{{"title", "T"}, {"page", "2"}, {"host.img", "http://i"}};
    EXPECT_EQ(X::expand(QStringLiteral("{{x}} {host.img}/{title}-{page}{unknown}"), values), "{x} http://i/T-2");
}

} // namespace
