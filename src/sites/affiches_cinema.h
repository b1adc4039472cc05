#pragma once

#include "sites/site_adapter.h"

// Affiches Cinéma: no search of its own. The index page of the title's first
// letter lists every film; a link whose text begins with the title is a hit,
// and the film's page shows the poster, which is also the thumbnail.
class AffichesCinema : public SiteAdapter
{
public:
    static constexpr int kBase = 0;

    AffichesCinema();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // Every link of an index page whose text begins with the prepared `title`,
    // lower-cased as the page is read; the film page's path in Key.
    static QList<ResultEntry> linkPass(const QString &page, const QString &title);
    // The poster's path that a film page shows; empty when it shows none.
    static QString posterPass(const QString &filmPage);
};
