#pragma once

#include <QList>
#include <QString>

// One film of a library: a folder that holds it, or one file among others.
struct LibraryFilm
{
    QString folder;   // the real (canonical) path of the folder that holds the film
    QString name;     // what its title and year are read from: the folder's name, or the file's stem
    QString fileStem; // empty for a folder film; for one film file among others, its name
                      // without extension: its poster goes beside it as STEM-poster.EXT
};

// Something under the library that the walk could not or would not enter.
struct LibraryProblem
{
    enum class Kind
    {
        UnreadableFolder,
        LinkOutside, // a symbolic link that leads out of the library: never followed
    };
    QString path;
    Kind kind = Kind::UnreadableFolder;
};

struct LibraryContents
{
    QList<LibraryFilm> films;        // sorted by path
    QList<LibraryProblem> problems;  // sorted by path
};

// The films under `folder`, at any depth. A folder that directly holds one
// video file of at least 1 MiB, or a VIDEO_TS or BDMV folder, is a film; when
// it holds several, each file is a film, and so is each file lying directly in
// `folder`. Hidden, sample, extras and featurettes folders hold no films. Each
// real folder is walked once, so links that loop are harmless. Never fails: an
// unreadable folder is a problem and the walk goes on; a `folder` that cannot
// be read gives no films and that one problem.
LibraryContents findFilms(const QString &folder);
