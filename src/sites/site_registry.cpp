#include "sites/site_registry.h"

#include "sites/movie_covers.h"

void registerSites(Program &program)
{
    registerMovieCovers(program);
}
