#include "sample_films.h"

#include <QStringList>

#include <algorithm>

namespace {

// Folds case and accents so "amelie" finds "Amélie".
QString folded(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            plain.append(c.toCaseFolded());
    return plain.simplified();
}

} // namespace

namespace SampleFilms {

const QList<SampleFilm> &all()
{
    static const QList<SampleFilm> films = {
        {"alien", "Alien", QString::fromUtf8("Alien, le huitième passager"), 1979},
        {"amelie", QString::fromUtf8("Amélie"), QString::fromUtf8("Le Fabuleux Destin d'Amélie Poulain"), 2001},
        {"dune-1984", "Dune", "Dune", 1984},
        {"dune-2021", "Dune", "Dune", 2021},
        {"ete-meurtrier", QString::fromUtf8("One Deadly Summer"), QString::fromUtf8("L'Été meurtrier"), 1983},
        {"matrix", "The Matrix", "Matrix", 1999},
        {"matrix-reloaded", "The Matrix Reloaded", "Matrix Reloaded", 2003},
        {"parrain", "The Godfather", "Le Parrain", 1972},
        {"parrain-2", "The Godfather Part II", QString::fromUtf8("Le Parrain, 2e partie"), 1974},
        {"solaris-1972", "Solaris", "Solaris", 1972},
        {"solaris-2002", "Solaris", "Solaris", 2002},
        {"star-wars", "Star Wars", QString::fromUtf8("La Guerre des étoiles"), 1977},
    };
    return films;
}

const SampleFilm *byId(QStringView id)
{
    for (const SampleFilm &film : all())
        if (film.id == id)
            return &film;
    return nullptr;
}

QString pictureSeed(const SampleFilm &film)
{
    const auto sameTitle = [&](const SampleFilm &other) { return other.title == film.title; };
    return std::count_if(all().begin(), all().end(), sameTitle) > 1 ? film.title + u' ' + QString::number(film.year)
                                                                     : film.title;
}

bool matches(QStringView typed, const QStringList &titles)
{
    const QString wanted = folded(typed);
    if (wanted.isEmpty())
        return false;
    for (const QString &title : titles)
        if (folded(title).contains(wanted))
            return true;
    return false;
}

} // namespace SampleFilms
