#include "sites/site_registry.h"

#include "sites/allo_cine.h"
#include "sites/cin_emotions.h"
#include "sites/cine_movies.h"
#include "sites/cinefil.h"
#include "sites/dvd_fr.h"
#include "sites/hd_covers.h"
#include "sites/movie_covers.h"

void registerSites(Program &program)
{
    registerMovieCovers(program);
    registerAlloCine(program);
    registerCinefil(program);
    registerCineMovies(program);
    registerCinEmotions(program);
    registerHDCovers(program);
    registerDvdFr(program);
}
