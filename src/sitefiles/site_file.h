#pragma once

#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QString>

#include <optional>
#include <utility>

// A site described in a file, as the reader leaves it: every key checked,
// every regular expression compiled, every template's placeholders known.
// Templates stay as written ("{home}/search?q={title}", "{{" for a brace).

// One step a found text goes through, in the order the file lists them.
struct SiteFilter
{
    enum class Kind { Trim, DecodeHtml, DecodeUrl, Lower, Upper, Absolute, Replace, RegexReplace, Prepend, Append, Default };

    Kind kind = Kind::Trim;
    // replace: from, to; regex-replace: pattern, replacement; prepend, append, default: the text.
    QString text;
    QString with;
    QRegularExpression regex;
};

// How one text is taken from a page, a row or the other fields, then filtered.
struct SiteExtractor
{
    enum class Kind { Between, Regex, Path, Value };

    Kind kind = Kind::Between;
    QString start;   // between
    QString end;
    QString pattern; // regex, as written; `regex` is it compiled, with the match limit
    QRegularExpression regex;
    QString path;    // json: keys and [N] joined by "."
    QString templ;   // value: a template over the hit's fields
    QList<SiteFilter> filters;
};

struct SiteRequest
{
    enum class Method { Get, Post };
    enum class Charset { Utf8, Windows1252 };
    enum class Answer { Html, Text, Json };

    Method method = Method::Get;
    QString address;
    QList<std::pair<QString, QString>> form; // post: field and template, in file order
    Charset charset = Charset::Utf8;         // how {title} is escaped
    Answer answer = Answer::Html;
};

struct SiteRows
{
    std::optional<std::pair<QString, QString>> within;
    SiteExtractor each; // between, regex (group "row") or path; never filtered
};

struct SitePages
{
    std::optional<SiteExtractor> next; // a next-page link, or
    QString address;                   // a page-number template
    int max = 1;
};

struct SiteFilmPage
{
    QString address;
    std::optional<SiteExtractor> thumbnail;
    std::optional<SiteExtractor> picture;
};

struct SitePictureRule
{
    QString address; // a template over the hit's fields, or
    QString page;    // a page read at retrieval time, and what is taken from it
    std::optional<SiteExtractor> fromPage;
};

struct SiteFile
{
    enum class Language { Fr, Us, Both };
    enum class Kind { Posters, Jackets };

    int format = 1;
    QString id;
    QString name;
    Language language = Language::Fr;
    Kind kind = Kind::Posters;
    QString home;
    QList<std::pair<QString, QString>> hosts; // name and address, in file order
    SiteRequest search;
    SiteRows rows;
    QMap<QString, SiteExtractor> fields; // title, year, thumbnail, picture, key, link, and helpers (_NAME)
    std::optional<SitePages> pages;
    std::optional<SiteFilmPage> filmPage;
    std::optional<SitePictureRule> picture;
    QString path; // the file it was read from
};
