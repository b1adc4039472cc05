// Frameshelf: a made-up poster database behind a JSON search API, as many
// current poster sources are. Its answers give picture paths relative to the
// API's address. No built-in site knows it: a site file does.

#include "picture_maker.h"
#include "sample_films.h"
#include "sample_site.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <memory>

namespace {

struct Entry
{
    const char *filmId;
    int id; // the database's own number, which names the pictures
};

constexpr Entry kEntries[] = {
    {"alien", 4101}, {"amelie", 4102}, {"ete-meurtrier", 4103}, {"matrix", 4104},
    {"matrix-reloaded", 4105}, {"parrain", 4106}, {"parrain-2", 4107}, {"star-wars", 4108},
    {"dune-2021", 4109}, {"solaris-2002", 4110},
};

constexpr int kPerPage = 20;

FixtureServer::Reply json(const QJsonObject &answer, int status = 200)
{
    FixtureServer::Reply reply;
    reply.status = status;
    reply.contentType = "application/json";
    reply.body = QJsonDocument(answer).toJson(QJsonDocument::Compact);
    return reply;
}

const SampleFilm *filmOf(const Entry &entry)
{
    return SampleFilms::byId(QString::fromLatin1(entry.filmId));
}

class FrameshelfSite : public SampleSite
{
public:
    QList<Address> addresses() const override
    {
        return {{QStringLiteral("Hote-frameshelf"), QStringLiteral("/frameshelf")}};
    }

    FixtureServer::Reply reply(const Request &request) const override
    {
        static const QRegularExpression picture(QStringLiteral("^/api/posters/(w185|original)/(\\d+)\\.jpg$"));

        if (request.path == u"/api/search")
            return search(request.value(QStringLiteral("query")), request.value(QStringLiteral("page")).toInt());
        if (const auto match = picture.match(request.path); match.hasMatch()) {
            for (const Entry &entry : kEntries) {
                const SampleFilm *film = filmOf(entry);
                if (film && match.captured(2).toInt() == entry.id)
                    return jpeg(PictureMaker::posterJpeg(SampleFilms::pictureSeed(*film), match.captured(1) == u"original"
                                                                          ? PictureMaker::kPosterSize
                                                                          : PictureMaker::kThumbnailSize));
            }
        }
        return json({{"status", 404}, {"message", "The resource you requested could not be found."}}, 404);
    }

private:
    // Matches on the original titles; `page` counts from 1.
    static FixtureServer::Reply search(const QString &query, int page)
    {
        if (query.trimmed().isEmpty())
            return json({{"status", 422}, {"message", "query must be provided"}}, 422);
        QJsonArray found;
        for (const Entry &entry : kEntries) {
            const SampleFilm *film = filmOf(entry);
            if (!film || !SampleFilms::matches(query, {film->title}))
                continue;
            const QString id = QString::number(entry.id);
            found.append(QJsonObject{{"id", entry.id},
                                     {"title", film->title},
                                     {"year", film->year},
                                     {"thumbnail_path", "posters/w185/" + id + ".jpg"},
                                     {"poster_path", "posters/original/" + id + ".jpg"}});
        }
        page = qMax(page, 1);
        QJsonArray results;
        for (qsizetype i = qsizetype(page - 1) * kPerPage; i < found.size() && results.size() < kPerPage; ++i)
            results.append(found[i]);
        return json({{"page", page},
                     {"total_pages", int((found.size() + kPerPage - 1) / kPerPage)},
                     {"total_results", int(found.size())},
                     {"results", results}});
    }
};

} // namespace

std::unique_ptr<SampleSite> makeFrameshelfSite()
{
    return std::make_unique<FrameshelfSite>();
}
