#pragma once

#include "sites/site_adapter.h"

// Affiches Cinéma: no search of its own. The index page of the title's first
// letter lists every film; a link whose text begins with the title is a hit,
// and the film's page shows the poster, which is also the thumbnail.
class AffichesCinema : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheAffichesCinema();
    void RecupAffichesCinema(int Index, bool Copy);

private:
    void collectLinks(const QString &title);
    QString posterPath(const QString &filmPath);
    QString host() const;
};

void registerAffichesCinema(Program &program);
