#pragma once

#include "sites/site_adapter.h"

#include <QList>

// CinEmotions: the result page lists films; each film's poster page shows
// its posters, every one a hit whose own page holds the full picture.
class CinEmotions : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheCinEmotions();
    void RecupCinEmotions(int Index, bool Copy);

private:
    struct Film
    {
        QString path;  // from the site's root, without ".html"
        QString title;
    };

    struct Poster
    {
        QString page;      // the poster's own page, from the site's root
        QString thumbnail; // from the site's root
    };

    static QList<Film> filmPass(const QString &page);
    static QList<Poster> posterPass(const QString &page);
    // The full picture's path on a poster's page, empty when it shows none.
    static QString picturePath(const QString &page);

    void addPosters(const Film &film, const QList<Poster> &posters);
    QString host() const;
};

void registerCinEmotions(Program &program);
