#pragma once

#include "sites/site_adapter.h"

// MoviePoster: the result page gives every field of a hit; the full picture is
// named on the poster's own page.
class MoviePoster : public SiteAdapter
{
public:
    static constexpr int kBase = 7;

    MoviePoster();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // Every hit of a result page, each field as far as the page gives it.
    static QList<ResultEntry> scanResults(const QString &page);
    // The full picture's path on a poster's page, empty when it names none.
    static QString picturePath(const QString &page);
};
