#include "library/film_name.h"

#include <QList>
#include <QRegularExpression>
#include <QStringView>

#include <algorithm>

namespace {

// The words release names add after a title: resolutions, sources, codecs,
// audio, editions, languages. Names drop them only from their end, and the
// list leaves out words that end real titles ("web", "english"), so that
// "Charlotte's Web" keeps its last word.
constexpr QStringView kReleaseWords[] = {
    u"480p", u"576p", u"720p", u"1080p", u"1080i", u"2160p", u"4k", u"uhd", u"hdr", u"hdr10", u"10bit",
    u"bluray", u"blu-ray", u"bdrip", u"brrip", u"bdremux", u"dvdrip", u"webrip", u"web-dl", u"webdl",
    u"hdtv", u"remux", u"hdrip", u"dvd", u"dvdr", u"dvd5", u"dvd9", u"dvdscr",
    u"x264", u"x265", u"h264", u"h265", u"hevc", u"xvid", u"divx", u"avc",
    u"aac", u"ac3", u"eac3", u"dts", u"dts-hd", u"dd", u"dd+", u"ddp", u"atmos", u"truehd", u"flac", u"mp3",
    u"extended", u"unrated", u"uncut", u"remastered", u"proper", u"repack", u"limited", u"internal",
    u"multi", u"vostfr", u"vost", u"vf", u"vff", u"vfq", u"french", u"truefrench", u"subfrench",
};

// Two words that are a release word together only: "Director's Cut", but not
// a film called "Cut".
constexpr QStringView kReleasePairs[][2] = {
    {u"director's", u"cut"}, {u"directors", u"cut"}, {u"extended", u"cut"}, {u"theatrical", u"cut"},
    {u"extended", u"edition"}, {u"special", u"edition"}, {u"collector's", u"edition"},
    {u"collectors", u"edition"}, {u"anniversary", u"edition"}, {u"dts-hd", u"ma"}, {u"h", u"264"}, {u"h", u"265"},
};

// "Matrix, The" is how libraries sort The Matrix.
constexpr QStringView kArticles[] = {u"the", u"a", u"an", u"le", u"la", u"les", u"l'"};

struct Token
{
    qsizetype start = 0;
    qsizetype end = 0;
    QString word; // lower case, typographic apostrophes straightened
    bool release = false;
};

bool listed(QStringView word)
{
    return std::ranges::find(kReleaseWords, word) != std::end(kReleaseWords);
}

// "5.1", "2.0": audio channels, a release word only right after one.
bool isChannels(QStringView word)
{
    return word.size() == 3 && word[0].isDigit() && word[1] == u'.' && word[2].isDigit();
}

bool isReleaseWord(QStringView word)
{
    return listed(word) || (word.size() > 3 && isChannels(word.right(3)) && listed(word.chopped(3)));
}

bool isBracketed(QStringView word)
{
    return word.size() >= 2
        && ((word.front() == u'(' && word.back() == u')') || (word.front() == u'[' && word.back() == u']'));
}

bool isPunctuation(QStringView word)
{
    return std::ranges::all_of(word, [](QChar c) { return QStringView(u"-–,:;").contains(c); });
}

// Dots and underscores stand for spaces, except the dot of "5.1", so that a
// channel count stays one word.
QString spaced(const QString &name)
{
    QString text = name;
    const auto digitAt = [&name](qsizetype i) { return i >= 0 && i < name.size() && name[i].isDigit(); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool channels = digitAt(i - 1) && !digitAt(i - 2) && digitAt(i + 1) && !digitAt(i + 2);
        if (text[i] == u'_' || (text[i] == u'.' && !channels))
            text[i] = u' ';
    }
    return text.simplified();
}

QList<Token> tokensOf(const QString &text)
{
    static const QRegularExpression kToken(QStringLiteral(R"(\[[^\[\]]*\]|\([^()]*\)|[^\s\[\]()]+)"));
    const auto token = [&text](qsizetype start, qsizetype end) {
        return Token{start, end, text.sliced(start, end - start).toLower().replace(u'’', u'\'')};
    };
    QList<Token> tokens;
    for (const QRegularExpressionMatch &m : kToken.globalMatch(text))
        tokens.append(token(m.capturedStart(), m.capturedEnd()));
    // A release group glued to the last word: "x264-GROUP".
    if (!tokens.isEmpty() && !isBracketed(tokens.back().word) && !isReleaseWord(tokens.back().word)) {
        const Token last = tokens.takeLast();
        const qsizetype dash = last.end - last.start > 2 ? text.lastIndexOf(u'-', last.end - 2) : -1;
        const bool glued = dash > last.start;
        tokens.append(token(last.start, glued ? dash : last.end));
        if (glued)
            tokens.append(token(dash, last.end));
    }
    return tokens;
}

bool allRelease(const QString &text);

void markReleaseWords(QList<Token> &tokens)
{
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString &word = tokens[i].word;
        const bool afterRelease = i > 0 && tokens[i - 1].release;
        if (i + 1 < tokens.size() && std::ranges::any_of(kReleasePairs, [&](const QStringView(&pair)[2]) {
                return pair[0] == word && pair[1] == tokens[i + 1].word;
            })) {
            tokens[i].release = tokens[i + 1].release = true;
            ++i;
        } else if (isBracketed(word)) {
            tokens[i].release = allRelease(word.sliced(1, word.size() - 2));
        } else {
            tokens[i].release = isReleaseWord(word)
                || (afterRelease && (isChannels(word) || (word.startsWith(u'-') && i == tokens.size() - 1)));
        }
    }
}

// "[1080p BluRay]", "(Director's Cut)".
bool allRelease(const QString &text)
{
    QList<Token> tokens = tokensOf(text);
    markReleaseWords(tokens);
    return !tokens.isEmpty() && std::ranges::all_of(tokens, &Token::release);
}

int yearOf(const Token &token, int currentYear)
{
    const QStringView word = isBracketed(token.word) ? QStringView(token.word).sliced(1, token.word.size() - 2)
                                                     : QStringView(token.word);
    if (word.size() != 4 || !std::ranges::all_of(word, [](QChar c) { return c.isDigit(); }))
        return 0;
    const int year = word.toInt();
    return year >= 1900 && year <= currentYear + 1 ? year : 0;
}

QString withArticleFirst(const QString &title)
{
    const qsizetype comma = title.lastIndexOf(u',');
    if (comma < 1)
        return title;
    const QString article = title.sliced(comma + 1).trimmed();
    const QString lowered = article.toLower();
    if (std::ranges::find(kArticles, QStringView(lowered)) == std::end(kArticles))
        return title;
    return article + (article.endsWith(u'\'') ? QString() : QStringLiteral(" ")) + title.first(comma).trimmed();
}

bool droppable(const Token &token)
{
    return token.release || isPunctuation(token.word);
}

} // namespace

FilmName readFilmName(const QString &name, int currentYear)
{
    const QString text = spaced(name);
    QList<Token> tokens = tokensOf(text);
    if (tokens.isEmpty())
        return {text, 0};
    markReleaseWords(tokens);
    qsizetype end = tokens.size();
    while (end > 1 && droppable(tokens[end - 1]))
        --end;
    FilmName film;
    // A year in first place is the title: "1984", "1917 2019".
    if (end > 1 && (film.year = yearOf(tokens[end - 1], currentYear)) != 0)
        --end;
    // Release words before the year go too: "Alien - Director's Cut (1979)" is
    // Alien, the film the sites show; a part after " - " that is not made of
    // release words stays ("Apocalypse Now - Redux").
    while (end > 1 && droppable(tokens[end - 1]))
        --end;
    QString title = text.sliced(tokens[0].start, tokens[end - 1].end - tokens[0].start);
    while (title.size() > 1 && (title.back().isSpace() || isPunctuation(title.right(1))))
        title.chop(1);
    film.title = withArticleFirst(title);
    return film;
}
