#pragma once

#include "sites/site_adapter.h"

// Vintage Movie Poster: a keyword search whose hits show the large picture
// itself, reduced, so a hit's thumbnail and full picture share one address.
class VintageMoviePoster : public SiteAdapter
{
public:
    static constexpr int kBase = 8;

    VintageMoviePoster();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // Every poster of a result page: its tip's text and its large picture's path.
    static QList<ResultEntry> hitPass(const QString &page);
};
