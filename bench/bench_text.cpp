#include "text/text_utils.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <iterator>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kOneMb = 1 << 20;
constexpr qsizetype kTenMb = 10 << 20;

// A result list as the sites send it: CR LF and lone LF line ends, tabs,
// quoted attributes, entities (some doubly escaped) and accented titles.
QString makePage(qsizetype size)
{
    static const QString rows[] = {
        u"<tr class=\"result\">\r\n\t<td><a href=\"/film.php?id=%1\">L&#039;&eacute;t&eacute; "
        u"meurtrier</a></td>\r\n"_s,
        u"\t<td class=\"year\">1983</td>\n\t<td>Drame &amp; policier, d&#039;apr&egrave;s "
        u"S&eacute;bastien Japrisot</td>\n"_s,
        u"<p>Affiche&nbsp;: 12&euro; &ndash; &quot;Grand format&quot; &amp;lt;120x160&amp;gt;"
        u"<br>Livr&eacute;e sous 8 jours</p>\r\n"_s,
        u"<div title=\"Été à Noël\">Façade du château, à côté de l'église ; "
        u"la plage – les dents de la mer (1975)</div>\n"_s,
        u"<img src=\"/affiches/%1.jpg\" alt=\"Le Parrain\" width=\"120\"><br>\r\n"_s,
    };
    QString page;
    page.reserve(size + 512);
    for (int i = 0; page.size() < size; ++i) {
        const QString &row = rows[i % std::size(rows)];
        page += row.contains(u"%1") ? row.arg(i) : row;
    }
    page.truncate(size);
    return page;
}

// Pages are counted as one byte per character, as they arrive over the wire.
void setThroughput(benchmark::State &state, const QString &page)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * page.size());
}

// The fetched page is not shared with anyone when it is decoded, so the copy
// that sharing would force is left out of the timing.
QString ownCopy(const QString &source)
{
    QString copy = source;
    copy.detach();
    return copy;
}

void BM_DecodeHtml(benchmark::State &state)
{
    const QString source = makePage(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QString page = ownCopy(source);
        state.ResumeTiming();
        DecodeHtml(page);
        benchmark::DoNotOptimize(page.constData());
    }
    setThroughput(state, source);
}

void BM_Normalise(benchmark::State &state)
{
    const QString source = makePage(state.range(0)).toLower();
    const bool full = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        QString text = ownCopy(source);
        state.ResumeTiming();
        benchmark::DoNotOptimize(Normalise(text, full).constData());
    }
    setThroughput(state, source);
}

} // namespace

BENCHMARK(BM_DecodeHtml)->Arg(kOneMb)->Arg(kTenMb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Normalise)
    ->ArgNames({"size", "full"})
    ->ArgsProduct({{kOneMb, kTenMb}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
