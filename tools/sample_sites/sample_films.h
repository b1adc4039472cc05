#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The films every sample site knows. Each site keeps its own table of keys
// and of titles as it shows them, keyed by `id`, in its own source.
struct SampleFilm
{
    QString id;          // stable, lower case: "matrix", "parrain-2"
    QString title;       // original title: "The Godfather"
    QString frenchTitle; // "Le Parrain"
    int year = 0;
};

namespace SampleFilms {

const QList<SampleFilm> &all();
// The film of `id`, or nullptr.
const SampleFilm *byId(QStringView id);
// What a film's pictures are drawn from: its title, and its year too when
// another film has the same title, so that a remake's posters differ.
QString pictureSeed(const SampleFilm &film);
// Whether `typed` is found in one of `titles`, without regard to case or accents.
bool matches(QStringView typed, const QStringList &titles);

} // namespace SampleFilms
