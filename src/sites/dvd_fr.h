#pragma once

#include "sites/site_adapter.h"

// DvdFr: a DVD catalogue whose result page links every film to its own page,
// where the cover is; the cover is both thumbnail and full picture.
class DvdFr : public SiteAdapter
{
public:
    static constexpr int kBase = 4;

    DvdFr();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // Every film of a result page, its film page's path in Extra.
    static QList<ResultEntry> scanResults(const QString &page);
    // The cover a film page shows, or the site's placeholder when it shows none.
    static QString coverAddress(const QString &host, const QString &filmPage);
};
