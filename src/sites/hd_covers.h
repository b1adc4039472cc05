#pragma once

#include "sites/site_adapter.h"

// HD Covers: DVD jackets and disc stickers, listed page by page in two
// categories of the site's search. Its pictures are wider than high.
class HDCovers : public SiteAdapter
{
public:
    static constexpr int kBase = 10;

    HDCovers();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // Every link of a lower-cased result page, as a hit of `category`.
    static QList<ResultEntry> scanPage(const QString &page, const QString &category);
    // Whether a lower-cased result page offers the next one.
    static bool offersNextPage(const QString &page);

private:
    static QCoro::Task<> searchCategory(SiteSearch &search, const QString &host, const QString &mid,
                                        const QString &category, const QString &title);
};
