#pragma once

#include "sites/site_adapter.h"

#include <QList>

// CineMovies: the result page lists films, and every poster on a film's
// poster pages is a hit of its own.
class CineMovies : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheCineMovies();
    void RecupCineMovies(int Index, bool Copy);

private:
    struct Film
    {
        QString number;
        QString title; // lower case, as the page is read
        qint16 year = 0;
    };

    struct Poster
    {
        QString number;  // "IDaffiche"
        QString key;     // below "images/data/affiches/", ".jpg" included
        QString caption;

        bool operator==(const Poster &) const = default;
    };

    // The films of a lower-cased result page, at most 100.
    static QList<Film> filmPass(const QString &page);
    // The posters of one poster page, in page order.
    static QList<Poster> posterPass(const QString &page);

    void walkPosterPages(const Film &film);
    void addPosters(const Film &film, const QList<Poster> &posters);
    QString host() const;
};

void registerCineMovies(Program &program);
