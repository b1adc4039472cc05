#pragma once

#include "sites/site_adapter.h"

// MoviePoster: the result page gives every field of a hit; the full picture is
// named on the poster's own page.
class MoviePoster : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheMoviePoster();
    void RecupMoviePoster(int Index, bool Copy);

private:
    void scanResults();
    // The full picture's path on a poster's page, empty when it names none.
    static QString picturePath(const QString &page);
    QString host() const;
};

void registerMoviePoster(Program &program);
