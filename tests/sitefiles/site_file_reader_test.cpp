#include "disk_trouble.h"
#include "sitefiles/site_file_reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// The smallest usable file; each error case changes one piece of it.
constexpr char kSmallest[] = R"(format: 1
id: t
name: T
language: fr
kind: posters
home: http://a.example/
search:
  address: "s?q={title}"
  rows: {between: [<li, </li>]}
  fields:
    title: {between: [<b>, </b>]}
)";

class SiteFileReaderTest : public ::testing::Test
{
protected:
    SiteFileReading read(const QByteArray &text)
    {
        writeFile(path(), text);
        return readSiteFile(path());
    }

    // Every error, one a line, without the file name that starts each.
    QString errors(const QByteArray &text)
    {
        QStringList lines;
        for (const SiteFileError &error : read(text).errors)
            lines << (error.text().startsWith(path() + ':') ? error.text().mid(path().size() + 1) : error.text());
        return lines.join('\n');
    }

    QString path() const { return m_folder.filePath("site.yaml"); }

    QTemporaryDir m_folder;
};

TEST_F(SiteFileReaderTest, eachErrorIsReportedAtItsNodeWithItsKeyPath)
{
    struct Case
    {
        const char *before; // empty: appended
        QByteArray after;
        const char *expected; // the start of the errors' text, each on a line of its own
    };
    const QByteArray longPattern = "    title: {regex: " + QByteArray(1001, 'a') + "}";
    const char *title = "    title: {between: [<b>, </b>]}";
    const Case cases[] = {
        {"", "", ""},
        {"kind: posters", "kind: posters\ncolour: red",
         "6:1: colour: unknown key; known keys: film-page, format, home, hosts, id, kind, language, name, picture, search"},
        {"name: T", "name: T\nname: U", "4:1: name: duplicate key (first at line 3)"},
        {"name: T\n", "", "1:1: name: required key is missing"},
        {"name: T", "name: [T]", "3:7: name: expected a string"},
        {"rows: {between: [<li, </li>]}", "rows: [<li, </li>]", "9:9: search.rows: expected a map"},
        {title, "    title: {between: <b>}", "11:22: search.fields.title.between: expected a list of two strings"},
        {title, "    title: {between: [<b>, </b>], filters: trim}", "11:44: search.fields.title.filters: expected a list"},
        {"", "  pages: {next: {between: [a, b]}, max: ten}", "12:41: search.pages.max: expected a number"},
        {"", "  pages: {address: \"p{page}\", max: 11}", "12:36: search.pages.max: expected a number from 1 to 10"},
        {title, "    title: {between: [<b>, </b>], filters: [trim, trimm, {prepend: x}, {prefix: y}]}",
         "11:51: search.fields.title.filters[1]: unknown filter 'trimm'; known filters: absolute, append, decode-html, "
         "decode-url, default, lower, prepend, regex-replace, replace, trim, upper\n"
         "11:73: search.fields.title.filters[3]: unknown filter 'prefix'"},
        {title, "    title: {regex: \"(?<value>\\\\d+\"}",
         "11:20: search.fields.title.regex: invalid regular expression at offset 12: missing closing parenthesis"},
        {title, "    title: {between: [a, b], filters: [{regex-replace: [\"[a\", x]}]}",
         "11:56: search.fields.title.filters[0].regex-replace: invalid regular expression at offset 2: missing terminating ]"},
        {title, longPattern, "11:20: search.fields.title.regex: regular expression longer than 1000 characters"},
        {title, "    title: {between: [a, b], regex: a}",
         "11:30: search.fields.title.regex: only one of: between, path, regex, value"},
        {title, "    title: {path: a.b}", "11:19: search.fields.title.path: path is for json answers only"},
        {"home: http://a.example/", "home: ftp://a.example/", "6:7: home: expected an http or https address"},
        {"home: http://a.example/", "home: http://a.example/\nhosts: {img: \"//b.example\", x_y: http://c.example}",
         "7:14: hosts.img: expected an http or https address\n7:29: hosts.x_y: a host name is letters, digits and '-'"},
        {"  address: \"s?q={title}\"", "  address: \"s?q={titel}&p={host.img}\"",
         "8:12: search.address: unknown placeholder {titel}; known: {home}, {letter}, {page}, {title}\n"
         "8:12: search.address: unknown placeholder {host.img}"},
        {"  address: \"s?q={title}\"", "  address: \"http://b.example/s?q={title}}\"",
         "8:12: search.address: an address is relative to home or starts with {home} or {host.NAME}\n"
         "8:12: search.address: a lone } is written }}"},
        {title, QByteArray(title) + "\n    year: {regex: value}\n    key: {value: \"{title}{year}\"}"
                                    "\n    link: {value: \"{key}\"}",
         "14:19: search.fields.link.value: unknown placeholder {key}; known: {home}, {title}, {year}"},
        {title, QByteArray(title) + "\n    _x: {regex: a}\n    link: {value: \"{_x}\"}\n    titel: {regex: a}"
                                    "\nfilm-page: {address: \"{_x}\", picture: {regex: a}}",
         "14:5: search.fields.titel: unknown key; known keys: key, link, picture, thumbnail, title, year, or _NAME for a helper\n"
         "15:22: film-page.address: unknown placeholder {_x}"},
        {"", "picture: {address: \"{picture}.jpg\"}",
         "12:20: picture.address: unknown placeholder {picture}; known: {home}, {title}"},
        {"format: 1", "format: 2\ncolour: red", "1:9: format: format 2 is newer than this Pellicam reads (1)"},
        {"id: t", "id: t_1", "2:5: id: an id is letters, digits and '-'"},
        {"id: t", "id: motEURrecherche", "2:5: id: motEURrecherche is taken by the program; choose another id"},
        {"language: fr", "language: de", "4:11: language: expected one of: both, fr, us"},
        {"home: http://a.example/", "home: &h http://a.example/\nhosts: {img: *h}",
         "6:7: home: anchors and aliases are not allowed\n7:14: hosts.img: anchors and aliases are not allowed\n"
         "7:14: hosts.img: expected a string"},
        {"name: T", "name: [T", "4:9: end of sequence flow not found"},
    };
    for (const Case &c : cases) {
        QByteArray text = kSmallest;
        if (*c.before)
            text.replace(c.before, c.after);
        else
            text += c.after;
        SCOPED_TRACE(text.toStdString());
        const std::string found = errors(text).toStdString();
        EXPECT_EQ(found.substr(0, std::strlen(c.expected)), c.expected) << found;
        const std::string_view expected = c.expected;
        EXPECT_EQ(std::count(found.begin(), found.end(), '\n'), std::count(expected.begin(), expected.end(), '\n')) << found;
    }
}

// Every key of the format, as a site written today would use them.
TEST_F(SiteFileReaderTest, aCompleteFileReadsIntoItsDescription)
{
    const SiteFileReading html = read(R"yaml(format: 1
id: Sample-HTML
name: Sample HTML
language: both
kind: jackets
home: http://films.example/
hosts:
  images: http://img.example/
  api: https://api.example:8443/
search:
  address: "search?q={title}&l={letter}"
  charset: windows-1252
  rows:
    within: ["<ul class=\"results\">", "</ul>"]
    between: ["<li", "</li>"]
  fields:
    title: {between: ["<h2>", "</h2>"], filters: [trim, decode-html]}
    year: {regex: "\\((?<value>\\d{4})\\)", filters: [{default: "0"}]}
    thumbnail: {between: ["src=\"", "\""], filters: [absolute, {replace: [/small/, /large/]}]}
    key: {between: ["data-id=\"", "\""], filters: [lower, {regex-replace: ["^0+", ""]}]}
    link: {between: ["href=\"", "\""], filters: [decode-url, absolute, upper]}
    picture: {value: "{{{host.images}}}/{key}.jpg", filters: [{prepend: a}, {append: b}]}
  pages:
    next: {between: ["<a rel=\"next\" href=\"", "\""], filters: [absolute]}
    max: 3
film-page:
  address: "{link}"
  thumbnail: {regex: "<img class=\"small\" src=\"(?<value>[^\"]+)\""}
picture:
  page: "{link}/poster"
  from-page: {between: ["<img id=\"poster\" src=\"", "\""], filters: [absolute]}
)yaml");
    ASSERT_EQ(html.errors.size(), 0) << html.errors.value(0).text().toStdString();
    const SiteFile &site = html.site;
    EXPECT_EQ(std::tuple(site.path, site.format, site.id, site.name, site.home),
              std::tuple(path(), 1, "Sample-HTML", "Sample HTML", "http://films.example/"));
    EXPECT_TRUE(site.language == SiteFile::Language::Both && site.kind == SiteFile::Kind::Jackets);
    using Pairs = QList<std::pair<QString, QString>>;
    EXPECT_EQ(site.hosts, (Pairs{{"images", "http://img.example/"}, {"api", "https://api.example:8443/"}}));
    EXPECT_TRUE(site.search.method == SiteRequest::Method::Get && site.search.charset == SiteRequest::Charset::Windows1252
                && site.search.answer == SiteRequest::Answer::Html);
    EXPECT_EQ(site.search.address, "search?q={title}&l={letter}");
    EXPECT_EQ(site.rows.within, std::pair(QString("<ul class=\"results\">"), QString("</ul>")));
    EXPECT_EQ(std::tuple(site.rows.each.start, site.rows.each.end), std::tuple("<li", "</li>"));
    EXPECT_EQ(site.fields.keys(), (QStringList{"key", "link", "picture", "thumbnail", "title", "year"}));
    using Filter = SiteFilter::Kind;
    const auto kinds = [](const SiteExtractor &found) {
        QList<Filter> listed;
        for (const SiteFilter &filter : found.filters)
            listed << filter.kind;
        return listed;
    };
    EXPECT_EQ(kinds(site.fields["title"]), (QList<Filter>{Filter::Trim, Filter::DecodeHtml}));
    EXPECT_EQ(kinds(site.fields["link"]), (QList<Filter>{Filter::DecodeUrl, Filter::Absolute, Filter::Upper}));
    EXPECT_EQ(kinds(site.fields["picture"]), (QList<Filter>{Filter::Prepend, Filter::Append}));
    const SiteExtractor year = site.fields["year"];
    EXPECT_EQ(year.regex.match("Film (1999)").captured("value"), "1999") << "compiled as written, with its match limit";
    EXPECT_TRUE(year.kind == SiteExtractor::Kind::Regex && year.pattern == R"(\((?<value>\d{4})\))"
                && year.regex.pattern().startsWith("(*LIMIT_MATCH="));
    const SiteFilter replace = site.fields["thumbnail"].filters[1];
    EXPECT_EQ(std::tuple(year.filters[0].text, replace.text, replace.with), std::tuple("0", "/small/", "/large/"));
    EXPECT_EQ(site.fields["key"].filters[1].regex.match("007").capturedLength(), 2);
    EXPECT_EQ(site.fields["picture"].templ, "{{{host.images}}}/{key}.jpg");
    ASSERT_TRUE(site.pages && site.pages->next && site.filmPage && site.filmPage->thumbnail && !site.filmPage->picture
                && site.picture && site.picture->fromPage);
    EXPECT_EQ(std::tuple(site.pages->next->start, site.pages->address, site.pages->max),
              std::tuple("<a rel=\"next\" href=\"", "", 3));
    EXPECT_EQ(std::tuple(site.filmPage->address, site.picture->address, site.picture->page, site.picture->fromPage->end),
              std::tuple("{link}", "", "{link}/poster", "\""));

    const SiteFileReading json = read(R"yaml(format: 1
id: sample-json
name: Sample JSON
language: us
kind: posters
home: https://api.example/v1
search:
  method: post
  address: "{home}/search"
  form: {query: "{title}", page: "{page}", all: "1"}
  answer: json
  rows: {path: "data.results[0].films"}
  fields:
    title: {path: name}
    picture: {path: "images[2].large", filters: [absolute]}
  pages: {address: "{home}/search?p={page}", max: 10}
picture: {address: "{picture}"}
)yaml");
    ASSERT_EQ(json.errors.size(), 0) << json.errors.value(0).text().toStdString();
    EXPECT_EQ(json.site.search.form, (Pairs{{"query", "{title}"}, {"page", "{page}"}, {"all", "1"}}));
    EXPECT_TRUE(json.site.search.method == SiteRequest::Method::Post && json.site.search.answer == SiteRequest::Answer::Json);
    ASSERT_TRUE(json.site.pages);
    EXPECT_EQ(std::tuple(json.site.rows.each.path, json.site.fields["picture"].path, json.site.pages->max),
              std::tuple("data.results[0].films", "images[2].large", 10));
}

// Size and nesting are refused before the YAML parser sees the file; the first
// error of each file is checked, and a file at each limit still reaches the parser.
TEST_F(SiteFileReaderTest, aFileTooLargeOrTooDeeplyNestedIsRefusedWhereItPassesTheLimit)
{
    const auto padded = [](qsizetype size) { return kSmallest + QByteArray(size - qstrlen(kSmallest), '#'); };
    const auto indented = [](int depth) {
        QByteArray text;
        for (int level = 0; level < depth; ++level)
            text += QByteArray(2 * level, ' ') + "k" + QByteArray::number(level) + ":\n";
        return text;
    };
    const auto block = "a: |\n  " + indented(20).replace(":", "").replace("\n", "\n  ");
    const std::pair<QByteArray, const char *> cases[] = {
        {padded(64 * 1024), ""},
        {padded(64 * 1024 + 1), "1:1: the file is larger than 64 KiB"},
        {indented(16), "1:1: k0: unknown key"},
        {indented(17), "17:33: nesting deeper than 16 levels"},
        {"a: " + QByteArray(15, '[') + QByteArray(15, ']'), "1:1: a: unknown key"},
        {"a: " + QByteArray(16, '[') + QByteArray(16, ']'), "1:19: nesting deeper than 16 levels"},
        {QByteArray("- ").repeated(15) + "x", "1:1: expected a map"},
        {QByteArray("- ").repeated(16) + "x", "1:33: nesting deeper than 16 levels"},
        {"a: \"" + QByteArray(20, '[') + "\"\nb: '{{{{{{{{{{{{{{{{{{{{'", "1:1: a: unknown key"},
        {block, "1:1: a: unknown key"},
    };
    for (const auto &[text, expected] : cases) {
        SCOPED_TRACE(text.left(200).toStdString());
        EXPECT_EQ(errors(text).section('\n', 0, 0).left(qstrlen(expected)), QString(expected));
    }
    const QString missing = readSiteFile(path() + ".missing").errors.value(0).text();
    EXPECT_TRUE(missing.endsWith(".missing:1:1: cannot be read: No such file or directory")) << missing.toStdString();
}

} // namespace
