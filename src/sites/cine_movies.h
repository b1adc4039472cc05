#pragma once

#include "sites/site_adapter.h"

// CineMovies: the result page lists films, and every poster on a film's
// poster pages is a hit of its own.
class CineMovies : public SiteAdapter
{
public:
    static constexpr int kBase = 3;

    CineMovies();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // The films of a result page: lower-case title, year, and the film's
    // number in Key.
    static QList<ResultEntry> filmPass(const QString &page);
    // The posters of one of `film`'s poster pages as its hits, in page order:
    // "IDaffiche" in Extra, the picture below "images/data/affiches/" in Key.
    static QList<ResultEntry> posterPass(const QString &page, const ResultEntry &film);

private:
    QCoro::Task<> walkPosterPages(SiteSearch &search, const QString &host, const ResultEntry &film);
    QCoro::Task<> addPosters(SiteSearch &search, const QString &host, const QList<ResultEntry> &posters);
};
