#include "sitefiles/site_file_reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
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
        {title, "    title: {between: [a, b], regex: a}", "11:30: search.fields.title.regex: only one of: between, path, regex, value"},
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
        {"", "picture: {address: \"{picture}.jpg\"}", "12:20: picture.address: unknown placeholder {picture}; known: {home}, {title}"},
        {"format: 1", "format: 2\ncolour: red", "1:9: format: format 2 is newer than this Pellicam reads (1)"},
        {"id: t", "id: t_1", "2:5: id: an id is letters, digits and '-'"},
        {"id: t", "id: motEURrecherche", "2:5: id: motEURrecherche is taken by the program; choose another id"},
        {"language: fr", "language: de", "4:11: language: expected one of: both, fr, us"},
        {"home: http://a.example/", "home: &h http://a.example/\nhosts: {img: *h}",
         "6:7: home: anchors and aliases are not allowed\n7:14: hosts.img: anchors and aliases are not allowed\n7:14: hosts.img: expected a string"},
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
        EXPECT_EQ(std::count(found.begin(), found.end(), '\n'), std::count(c.expected, c.expected + std::strlen(c.expected), '\n'))
            << found;
    }
}

} // namespace
