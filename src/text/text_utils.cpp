#include "text/text_utils.h"

#include "text/text_helpers.h"

#include <string_view>

namespace {

using namespace std::string_view_literals;

struct Replacement
{
    std::u16string_view before;
    std::u16string_view after;
};

// "&amp;" comes after "&lt;", "&gt;" and "&quot;", so a doubly escaped
// "&amp;lt;" stays "&lt;" as the site shows it; the adapters' markers are
// written against this order.
constexpr Replacement kEntities[] = {
    {u"&#039;"sv, u"'"sv},
    {u"&lt;"sv, u"<"sv},
    {u"&gt;"sv, u">"sv},
    {u"&quot;"sv, u"'"sv}, // an apostrophe, like the double quotes below
    {u"&amp;"sv, u"&"sv},
    {u"&euro;"sv, u"€"sv},
    {u"&nbsp;"sv, u" "sv}, // a plain space, so markers need no U+00A0
    {u"&Agrave;"sv, u"À"sv},
    {u"&agrave;"sv, u"à"sv},
    {u"&acirc;"sv, u"â"sv},
    {u"&Ccedil;"sv, u"Ç"sv},
    {u"&ccedil;"sv, u"ç"sv},
    {u"&egrave;"sv, u"è"sv},
    {u"&eacute;"sv, u"é"sv},
    {u"&ecirc;"sv, u"ê"sv},
    {u"&euml;"sv, u"ë"sv},
    {u"&icirc;"sv, u"î"sv},
    {u"&ocirc;"sv, u"ô"sv},
    {u"&ugrave;"sv, u"ù"sv},
    {u"&ucirc;"sv, u"û"sv},
};

// Markers are written with apostrophes for attribute quotes and without tabs.
constexpr Replacement kMarkup[] = {
    {u"<br>"sv, u"\r"sv},
    {u"\t"sv, u""sv},
    {u"\""sv, u"'"sv},
};

// Matched anywhere, not only at word starts ("castle rock" loses its "le "):
// both titles of a comparison are folded alike, so the cuts cancel out.
constexpr Replacement kTitleNoise[] = {
    {u" à "sv, u" "sv},
    {u" a "sv, u" "sv},
    {u"à "sv, u""sv},
    {u"l'"sv, u""sv},
    {u"d'"sv, u""sv},
    {u"le "sv, u""sv},
    {u"la "sv, u""sv},
    {u"un "sv, u""sv},
    {u"une "sv, u""sv},
    {u"the "sv, u""sv},
    {u"des "sv, u""sv},
    {u"les "sv, u""sv},
    {u"(le)"sv, u""sv},
    {u"(la)"sv, u""sv},
    {u"(un)"sv, u""sv},
    {u"(une)"sv, u""sv},
    {u"(the)"sv, u""sv},
    {u"(des)"sv, u""sv},
    {u"(les)"sv, u""sv},
    {u"-"sv, u""sv},
    {u"_"sv, u""sv},
    {u"&"sv, u""sv},
    {u"("sv, u""sv},
    {u")"sv, u""sv},
    {u"]"sv, u""sv}, // "[" stays: it was never in the list
    {u"?"sv, u""sv},
    {u"!"sv, u""sv},
    {u"."sv, u""sv},
    {u","sv, u""sv},
    {u";"sv, u""sv},
    {u":"sv, u""sv},
    {u"+"sv, u""sv},
};

// Lower case only: titles are lowered before they are compared, and a search
// address keeps the capitals as they were typed.
constexpr Replacement kAccents[] = {
    {u"é"sv, u"e"sv},
    {u"è"sv, u"e"sv},
    {u"ê"sv, u"e"sv},
    {u"ë"sv, u"e"sv},
    {u"à"sv, u"a"sv},
    {u"ô"sv, u"o"sv},
    {u"ö"sv, u"o"sv},
    {u"ù"sv, u"u"sv},
    {u"û"sv, u"u"sv},
    {u"ü"sv, u"u"sv},
    {u"ç"sv, u"c"sv},
};

constexpr std::u16string_view kCrLf = u"\r\n"sv;
// Stands in for CR LF while lone line feeds become spaces.
constexpr std::u16string_view kCrLfStandIn = u"··"sv;

template <std::size_t N>
void applyRows(QString &text, const Replacement (&rows)[N])
{
    for (const Replacement &row : rows)
        text::replaceAll(text, row.before, row.after);
}

} // namespace

void DecodeHtml(QString &page)
{
    applyRows(page, kEntities);

    // Pages without any line feed keep their lone CRs and their "··".
    if (page.contains(u'\n')) {
        text::replaceAll(page, kCrLf, kCrLfStandIn);
        text::replaceAll(page, u"\n", u" ");
        text::replaceAll(page, kCrLfStandIn, kCrLf);
    }

    applyRows(page, kMarkup);
}

QString Normalise(QString &text, bool full)
{
    if (full)
        applyRows(text, kTitleNoise);
    applyRows(text, kAccents);
    if (full)
        text::replaceAll(text, u" ", u"");
    return text;
}
