#pragma once

#include "sites/site_adapter.h"

// CinEmotions: the result page lists films; each film's poster page shows
// its posters, every one a hit whose own page holds the full picture.
class CinEmotions : public SiteAdapter
{
public:
    static constexpr int kBase = 12;

    CinEmotions();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // The films of a result page: title, and in Key the film's path from the
    // site's root without ".html".
    static QList<ResultEntry> filmPass(const QString &page);
    // The posters of `film`'s poster page as its hits: the poster's own page
    // in Extra, its thumbnail in Key, both from the site's root.
    static QList<ResultEntry> posterPass(const QString &page, const ResultEntry &film);
    // The full picture's path on a poster's page, empty when it shows none.
    static QString picturePass(const QString &page);
};
