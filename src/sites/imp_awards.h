#pragma once

#include "sites/site_adapter.h"

// IMP Awards: the site's own search is not used; a web search engine, limited
// to the site, lists its poster pages, and each page gives its main poster
// and every other version it shows.
class IMPAwards : public SiteAdapter
{
public:
    static constexpr int kBase = 5;

    IMPAwards();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // The poster pages a lower-cased engine page lists, in its order.
    static QStringList linkPass(const QString &page);
    // The main poster and the versions of a lower-cased poster page read from
    // `pageAddress`, a page of the site at `host`.
    static QList<ResultEntry> posterPass(const QString &page, const QString &host, const QString &pageAddress);

private:
    // The hit every poster of a page starts from: its film's title and year.
    static ResultEntry filmOf(const QString &page);
};
