#include "sites/title_preparation.h"

#include "text/text_utils.h"
#include "net/page_decoding.h"

#include <QList>
#include <initializer_list>

namespace {

enum class Op { Replace, DropL, DropArticle, Fold };

struct Step
{
    Op op;
    const char16_t *from = nullptr;
    const char16_t *to = nullptr;
};

constexpr Step replace(const char16_t *from, const char16_t *to) { return {Op::Replace, from, to}; }
constexpr Step kDropL{Op::DropL};
constexpr Step kDropArticle{Op::DropArticle};
constexpr Step kFold{Op::Fold};

struct Preparation
{
    const char16_t *site;
    std::initializer_list<Step> steps;
};

// Each site's steps, in order; every replacement applies to every occurrence.
const Preparation kPreparations[] = {
    {u"Affiches Cinéma", {kDropL, kDropArticle, kFold}},
    {u"AllDivX", {kDropL, replace(u"-", u" "), kFold}},
    {u"AlloCiné", {replace(u" ", u"%20")}},
    {u"Cinefil", {replace(u" ", u"%20"), replace(u"-", u"%20"), kDropL, kFold}},
    {u"CinEmotions", {replace(u" ", u"-"), replace(u"'", u"-"), kFold}},
    {u"CineMovies", {replace(u" ", u"+"), kDropL, kFold}},
    {u"Cover Comoz", {replace(u"'", u" "), kFold}},
    {u"DvdFr", {replace(u" ", u"+"), kDropL, kFold}},
    {u"HD Covers", {replace(u" ", u"+"), replace(u"-", u"+"), replace(u"'", u"+"), kFold}},
    {u"IMP Awards", {replace(u" ", u"%20"), kDropL, kFold}},
    {u"MoviePoster", {replace(u" ", u"%20"), kFold}},
    {u"Vintage Movie Poster", {replace(u" ", u"+"), kDropL, kFold}},
};

// Tested one after the other on the text as it becomes ("the " twice on purpose).
const char16_t *const kArticles[] = {u"le ", u"la ", u"un ", u"the ", u"les ", u"des ", u"une ", u"the "};

void dropArticles(QString &title)
{
    for (const char16_t *article : kArticles) {
        const QString word = QString::fromUtf16(article);
        if (title.startsWith(word))
            title.remove(0, word.size());
    }
}

void apply(const Step &step, QString &title)
{
    switch (step.op) {
    case Op::Replace:
        title.replace(QString::fromUtf16(step.from), QString::fromUtf16(step.to));
        break;
    case Op::DropL:
        if (title.startsWith(u"l'"))
            title.remove(0, 2);
        break;
    case Op::DropArticle:
        dropArticles(title);
        break;
    case Op::Fold:
        Normalise(title, false);
        break;
    }
}

bool isReserved(char32_t c)
{
    return c == u'&' || c == u'#' || c == u'%' || c == u'+' || c == u'=';
}

QString percentEscaped(QByteArrayView bytes)
{
    QString escapes;
    for (const char b : bytes)
        escapes += u'%' + QString::number(uchar(b), 16).rightJustified(2, u'0').toUpper();
    return escapes;
}

QString escaped(QStringView text, bool reserved, bool nonAscii)
{
    QString out;
    for (const char32_t c : text.toUcs4()) {
        if (reserved && isReserved(c)) {
            out += percentEscaped(QByteArray(1, char(c)));
        } else if (nonAscii && c >= 0x80) {
            const std::optional<char> byte = windows1252Byte(c);
            out += percentEscaped(byte ? QByteArray(1, *byte) : QString::fromUcs4(&c, 1).toUtf8());
        } else {
            out += QString::fromUcs4(&c, 1);
        }
    }
    return out;
}

} // namespace

QString prepareTitle(const QString &site, const QString &typed)
{
    QString title = typed;
    for (const Preparation &preparation : kPreparations) {
        if (site == QStringView(preparation.site)) {
            for (const Step &step : preparation.steps)
                apply(step, title);
            break;
        }
    }
    return title;
}

// The typed characters are escaped before the steps, so that the escapes the
// steps write ("%20") stay as they are.
QString titleForForm(const QString &site, const QString &typed)
{
    return prepareTitle(site, escaped(typed, true, false));
}

QString titleForAddress(const QString &site, const QString &typed)
{
    return escaped(titleForForm(site, typed), false, true);
}

QString escapeForAddress(QStringView text)
{
    return escaped(text, true, true);
}
