#include "sites/site_registry.h"

#include "sites/allo_cine.h"
#include "sites/cin_emotions.h"
#include "sites/cine_movies.h"
#include "sites/cinefil.h"
#include "sites/movie_covers.h"

std::vector<std::unique_ptr<SiteAdapter>> makeSites()
{
    std::vector<std::unique_ptr<SiteAdapter>> sites;
    sites.push_back(std::make_unique<MovieCovers>());
    sites.push_back(std::make_unique<AlloCine>());
    sites.push_back(std::make_unique<Cinefil>());
    sites.push_back(std::make_unique<CineMovies>());
    sites.push_back(std::make_unique<CinEmotions>());
    return sites;
}
