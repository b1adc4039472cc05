#pragma once

#include "sites/site_adapter.h"

// AllDivX: DVD jackets found through a search form that only answers a POST.
// Each hit's jacket page names its picture, which serves as thumbnail and as
// full picture alike.
class AllDivX : public SiteAdapter
{
public:
    static constexpr int kBase = 9;

    AllDivX();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // What starts a link to one of the site's own jacket pages, for the site at `host`.
    static QString jacketMarker(const QString &host);
    // Every jacket link after the results heading: its title, its page's address in Key.
    static QList<ResultEntry> jacketPass(const QString &page, const QString &marker);
    // The picture that a jacket page shows; empty when it has none.
    static QString picturePass(const QString &jacketPage);
};
