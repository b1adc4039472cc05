#include "sitefiles/file_site.h"

#include "sitefiles/site_file_hosts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace X = SiteFileExtraction;

namespace {

const QStringList kHitFields = {"thumbnail", "picture", "link"};

// A hit's fields other than its title, year and key ride in its Extra, so
// that its full picture can be found from them later.
SiteTemplateValues fieldsOf(const ResultEntry &hit)
{
    SiteTemplateValues values{{"title", hit.Title}, {"key", hit.Key}};
    if (hit.Year > 0)
        values.insert("year", QString::number(hit.Year));
    const QJsonObject extra = QJsonDocument::fromJson(hit.Extra.toUtf8()).object();
    for (auto it = extra.begin(); it != extra.end(); ++it)
        values.insert(it.key(), it.value().toString());
    return values;
}

void keepFields(ResultEntry &hit, const SiteTemplateValues &values)
{
    QJsonObject extra;
    for (const QString &name : kHitFields)
        if (!values.value(name).isEmpty())
            extra.insert(name, values.value(name));
    hit.Extra = QString::fromUtf8(QJsonDocument(extra).toJson(QJsonDocument::Compact));
}

// A post's answer comes with its headers; a file reads only its body.
QString bodyOf(const QString &answer)
{
    const qsizetype end = answer.indexOf(QStringLiteral("\r\n\r\n"));
    return answer.startsWith(QStringLiteral("HTTP/")) && end >= 0 ? answer.mid(end + 4) : answer;
}

// A redirect is held to the same hosts as the address it came from.
Download::RedirectCheck redirectCheck(const SiteFileHosts &hosts)
{
    return [hosts](const QUrl &to) { return hosts.allows(to.toString(QUrl::FullyEncoded)); };
}

QStringList settingsOf(const SiteFile &site)
{
    QStringList settings{SiteFileHosts::settingName(site)};
    for (const auto &host : site.hosts)
        settings << SiteFileHosts::settingName(site, host.first);
    return settings;
}

} // namespace

FileSite::FileSite(SiteFile site, int base)
    : SiteAdapter({site.name, {base}, settingsOf(site)}), m_file(std::move(site))
{
}

QCoro::Task<> FileSite::search(SiteSearch &search, int)
{
    const SiteFileHosts hosts(m_file, [&search](const QString &setting) { return search.address(setting); });
    const std::optional<SitePages> &pages = m_file.pages;
    int budget = kMaxRequests;
    search.checkRedirects(redirectCheck(hosts));
    search.announce(m_file.name);
    const int first = search.hitCount() + 1;

    SiteTemplateValues request = hosts.values();
    request.insert("title", X::escapedTitle(search.typedTitle(), m_file.search.charset));
    request.insert("letter", X::escapedTitle(search.typedTitle().left(1), m_file.search.charset));
    request.insert("page", "1");
    QString url = hosts.resolved(X::expand(m_file.search.address, request));
    bool full = false;
    for (int page = 1; page <= (pages ? pages->max : 1) && !full && hosts.allows(url) && budget-- > 0; ++page) {
        const QString text = co_await readResults(search, url, request);
        const QList<SiteRow> rows = X::rows(text, m_file);
        for (const SiteRow &row : rows) {
            ResultEntry *hit = search.newHit();
            full = !hit;
            if (full)
                break;
            fill(*hit, row, hosts.values(), url);
        }
        request.insert("page", QString::number(page + 1));
        if (rows.isEmpty())
            url.clear(); // a page past the last one, or an answer that is no result page
        else if (pages && pages->next)
            url = hosts.resolved(X::field(*pages->next, {text, {}}, {}, url).text);
        else if (pages && !pages->address.isEmpty())
            url = hosts.resolved(X::expand(pages->address, request));
        else
            url.clear();
    }
    co_await readFilmPages(search, hosts, first, budget);
    co_await search.placeHits(first, false, SiteSearch::Pacing::Waited, [&hosts](ResultEntry &hit) {
        const QString thumbnail = hosts.resolved(fieldsOf(hit).value("thumbnail"));
        return hosts.allows(thumbnail) ? thumbnail : QString();
    });
}

QCoro::Task<QString> FileSite::readResults(SiteSearch &search, const QString &url, const SiteTemplateValues &request)
{
    if (m_file.search.method == SiteRequest::Method::Get)
        co_return co_await search.readRawPage(url);
    QByteArray body;
    for (const auto &[name, templ] : m_file.search.form)
        body += (body.isEmpty() ? "" : "&") + QUrl::toPercentEncoding(name) + '=' + X::expand(templ, request).toUtf8();
    co_return bodyOf(co_await search.postRawForm(url, body));
}

void FileSite::fill(ResultEntry &hit, const SiteRow &row, const SiteTemplateValues &hosts, const QString &pageUrl) const
{
    // Fields found on the row first, so that a value template can name them.
    SiteTemplateValues values = hosts;
    for (const bool templated : {false, true})
        for (auto it = m_file.fields.begin(); it != m_file.fields.end(); ++it)
            if ((it->kind == SiteExtractor::Kind::Value) == templated)
                values.insert(it.key(), X::field(*it, row, values, pageUrl).text);
    hit.Title = values.value("title");
    hit.Year = X::year(values.value("year"));
    hit.Key = values.value("key");
    hit.Site = m_file.name;
    keepFields(hit, values);
}

QCoro::Task<> FileSite::readFilmPages(SiteSearch &search, const SiteFileHosts &hosts, int first, int &budget) const
{
    if (!m_file.filmPage)
        co_return;
    const SiteFilmPage &film = *m_file.filmPage;
    for (int number = first; number <= search.hitCount() && !search.stopRequested(); ++number) {
        SiteTemplateValues values = hosts.values();
        values.insert(fieldsOf(search.hit(number)));
        const bool wanted = (film.thumbnail && values.value("thumbnail").isEmpty())
                            || (film.picture && values.value("picture").isEmpty());
        const QString url = hosts.resolved(X::expand(film.address, values));
        if (!wanted || !hosts.allows(url) || budget-- <= 0)
            continue;
        // Awaited apart: GCC 12 destroys a co_await result inside a braced initialiser twice.
        SiteRow page;
        page.text = co_await search.readRawPage(url);
        for (const auto &[name, extractor] : {std::pair{"thumbnail", &film.thumbnail}, std::pair{"picture", &film.picture}})
            if (*extractor && values.value(name).isEmpty())
                values.insert(name, X::field(**extractor, page, values, url).text);
        keepFields(search.hit(number), values);
    }
}

QCoro::Task<PictureSource> FileSite::picture(PictureRequest &request)
{
    const SiteFileHosts hosts(m_file, [&request](const QString &setting) { return request.address(setting); });
    request.checkRedirects(redirectCheck(hosts));
    SiteTemplateValues values = hosts.values();
    values.insert(fieldsOf(request.hit()));
    QString url = values.value("picture");
    if (const std::optional<SitePictureRule> &rule = m_file.picture; rule && rule->fromPage) {
        const QString page = hosts.resolved(X::expand(rule->page, values));
        url.clear();
        if (hosts.allows(page)) {
            SiteRow read;
            read.text = co_await request.readRawPage(page);
            url = X::field(*rule->fromPage, read, values, page).text;
        }
    } else if (rule) {
        url = X::expand(rule->address, values);
    }
    PictureSource source;
    source.reuseCached = true;
    url = hosts.resolved(url);
    if (hosts.allows(url))
        source.url = url;
    co_return source;
}
