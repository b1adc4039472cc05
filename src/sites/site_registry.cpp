#include "sites/site_registry.h"

#include "sites/affiches_cinema.h"
#include "sites/all_divx.h"
#include "sites/allo_cine.h"
#include "sites/cin_emotions.h"
#include "sites/cine_movies.h"
#include "sites/cinefil.h"
#include "sites/cover_comoz.h"
#include "sites/dvd_fr.h"
#include "sites/hd_covers.h"
#include "sites/imp_awards.h"
#include "sites/movie_covers.h"
#include "sites/movie_poster.h"
#include "sites/vintage_movie_poster.h"

void registerSites(Program &program)
{
    registerMovieCovers(program);
    registerAlloCine(program);
    registerCinefil(program);
    registerCineMovies(program);
    registerCinEmotions(program);
    registerHDCovers(program);
    registerDvdFr(program);
    registerMoviePoster(program);
    registerIMPAwards(program);
    registerVintageMoviePoster(program);
    registerAffichesCinema(program);
    registerAllDivX(program);
    registerCoverComoz(program);
}
