#include "sites/site_registry.h"

#include "sites/affiches_cinema.h"
#include "sites/all_divx.h"
#include "sites/allo_cine.h"
#include "sites/cin_emotions.h"
#include "sites/cine_movies.h"
#include "sites/cinefil.h"
#include "sites/cover_comoz.h"
#include "sites/movie_covers.h"
#include "sites/vintage_movie_poster.h"

std::vector<std::unique_ptr<SiteAdapter>> makeSites()
{
    std::vector<std::unique_ptr<SiteAdapter>> sites;
    sites.push_back(std::make_unique<MovieCovers>());
    sites.push_back(std::make_unique<AlloCine>());
    sites.push_back(std::make_unique<Cinefil>());
    sites.push_back(std::make_unique<CineMovies>());
    sites.push_back(std::make_unique<CinEmotions>());
    sites.push_back(std::make_unique<VintageMoviePoster>());
    sites.push_back(std::make_unique<AffichesCinema>());
    sites.push_back(std::make_unique<AllDivX>());
    sites.push_back(std::make_unique<CoverComoz>());
    return sites;
}
