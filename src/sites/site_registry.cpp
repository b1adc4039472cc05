#include "sites/site_registry.h"

#include "sites/movie_covers.h"

std::vector<std::unique_ptr<SiteAdapter>> makeSites()
{
    std::vector<std::unique_ptr<SiteAdapter>> sites;
    sites.push_back(std::make_unique<MovieCovers>());
    return sites;
}
