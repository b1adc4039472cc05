#include "sites/site_registry.h"

#include "sites/dvd_fr.h"
#include "sites/hd_covers.h"
#include "sites/imp_awards.h"
#include "sites/movie_covers.h"
#include "sites/movie_poster.h"

std::vector<std::unique_ptr<SiteAdapter>> makeSites()
{
    std::vector<std::unique_ptr<SiteAdapter>> sites;
    sites.push_back(std::make_unique<MovieCovers>());
    sites.push_back(std::make_unique<HDCovers>());
    sites.push_back(std::make_unique<DvdFr>());
    sites.push_back(std::make_unique<MoviePoster>());
    sites.push_back(std::make_unique<IMPAwards>());
    return sites;
}
