#pragma once

#include "sites/site_adapter.h"

// HD Covers: DVD jackets and disc stickers, listed page by page in two
// categories of the site's search. Its pictures are wider than high.
class HDCovers : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheHDCovers();
    void RecupHDCovers(int Index, bool Copy);

private:
    void searchCategory(const QString &mid, const QString &category, const QString &title);
    void scanPage(const QString &category);
    QString host() const;
};

void registerHDCovers(Program &program);
