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
        QString why;
        const QList<SiteRow> rows = X::rows(text, m_file, &why);
        if (rows.isEmpty())
            log("rows", {{"page", page}, {"count", 0}, {"failed", why}, {"start", text.left(300)}});
        else
            log("rows", {{"page", page}, {"count", rows.size()}});
        for (const SiteRow &row : rows) {
            ResultEntry *hit = search.newHit();
            full = !hit;
            if (full)
                break;
            const int number = search.hitCount() - first + 1;
            fill(*hit, row, hosts.values(), url, number <= kLoggedRows ? number : 0);
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
        if (!url.isEmpty() && page < (pages ? pages->max : 1))
            log("next-page", {{"page", page + 1}, {"address", url}, {"allowed", hosts.allows(url)}});
    }
    co_await readFilmPages(search, hosts, first, budget);
    search.centre();
    co_await search.placeHits(first, false, SiteSearch::Pacing::Waited, [this, &hosts](ResultEntry &hit) {
        const QString thumbnail = hosts.resolved(fieldsOf(hit).value("thumbnail"));
        log("thumbnail", {{"title", hit.Title}, {"address", thumbnail}, {"allowed", hosts.allows(thumbnail)}});
        return hosts.allows(thumbnail) ? thumbnail : QString();
    });
}

QCoro::Task<QString> FileSite::readResults(SiteSearch &search, const QString &url, const SiteTemplateValues &request)
{
    const bool get = m_file.search.method == SiteRequest::Method::Get;
    QByteArray body;
    for (const auto &[name, templ] : m_file.search.form)
        body += (body.isEmpty() ? "" : "&") + QUrl::toPercentEncoding(name) + '=' + X::expand(templ, request).toUtf8();
    QJsonObject asked{{"page", request.value("page").toInt()}, {"method", get ? "GET" : "POST"}, {"address", url}};
    if (!get)
        asked.insert("form", QString::fromLatin1(body));
    log("request", asked);
    // Awaited apart: GCC 12 frees a co_await result inside a conditional expression twice.
    QString text;
    if (get)
        text = co_await search.readRawPage(url);
    else
        text = bodyOf(co_await search.postRawForm(url, body));
    const SiteSearch::Answer &answer = search.lastAnswer();
    log("answer", {{"page", request.value("page").toInt()}, {"status", answer.status}, {"bytes", answer.bytes},
                   {"type", answer.contentType}});
    co_return text;
}

void FileSite::fill(ResultEntry &hit, const SiteRow &row, const SiteTemplateValues &hosts, const QString &pageUrl,
                    int logged) const
{
    // Fields found on the row first, so that a value template can name them.
    SiteTemplateValues values = hosts;
    for (const bool templated : {false, true})
        for (auto it = m_file.fields.begin(); it != m_file.fields.end(); ++it)
            if ((it->kind == SiteExtractor::Kind::Value) == templated) {
                const SiteValue value = X::field(*it, row, values, pageUrl);
                values.insert(it.key(), value.text);
                if (logged > 0)
                    logField({{"row", logged}}, it.key(), value);
            }
    hit.Title = values.value("title");
    hit.Year = X::year(values.value("year"));
    hit.Key = values.value("key");
    hit.Site = m_file.name;
    keepFields(hit, values);
}

void FileSite::logField(QJsonObject where, const QString &name, const SiteValue &value) const
{
    where.insert("field", name);
    where.insert("found", value.found);
    where.insert("value", value.text);
    where.insert("failed", value.failed);
    log("field", where);
}

void FileSite::log(const QString &step, QJsonObject fields) const
{
    if (!m_log)
        return;
    fields.insert("step", step);
    m_log(fields);
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
        const SiteSearch::Answer &answer = search.lastAnswer();
        log("film-page", {{"hit", number - first + 1}, {"address", url}, {"status", answer.status}, {"bytes", answer.bytes}});
        for (const auto &[name, extractor] : {std::pair{"thumbnail", &film.thumbnail}, std::pair{"picture", &film.picture}})
            if (*extractor && values.value(name).isEmpty()) {
                const SiteValue value = X::field(**extractor, page, values, url);
                values.insert(name, value.text);
                logField({{"hit", number - first + 1}}, name, value);
            }
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
            const SiteValue value = X::field(*rule->fromPage, read, values, page);
            log("picture-page", {{"address", page}, {"characters", read.text.size()}});
            logField({}, "picture", value);
            url = value.text;
        }
    } else if (rule) {
        url = X::expand(rule->address, values);
    }
    // Fetched at every press: posters of one film on one site share their
    // cache file's name (title, year and site).
    PictureSource source;
    url = hosts.resolved(url);
    if (hosts.allows(url))
        source.url = url;
    log("picture", {{"title", request.hit().Title}, {"address", url}, {"allowed", hosts.allows(url)}});
    co_return source;
}
