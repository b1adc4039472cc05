#pragma once

#include "sites/site_adapter.h"

// Vintage Movie Poster: a keyword search whose hits show the large picture
// itself, reduced, so a hit's thumbnail and full picture share one address.
class VintageMoviePoster : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheVintage();
    void RecupVintage(int Index, bool Copy);

private:
    void collectHits();
    QString host() const;
};

void registerVintageMoviePoster(Program &program);
