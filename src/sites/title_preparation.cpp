#include "sites/title_preparation.h"

#include "core/text_utils.h"

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
