#pragma once

#include <QString>

// A film's title and year as its folder or file name gives them.
struct FilmName
{
    QString title;
    int year = 0; // 0 when the name gives none
};

// Reads a film folder's name, or a film file's name without its extension, as
// media managers do: "The.Matrix.1999.1080p.BluRay.x264-GROUP",
// "Matrix, The (1999)" and "The Matrix [1999]" all give The Matrix, 1999.
// A year is one from 1900 to `currentYear` + 1. Never fails: a name it cannot
// read is its own title, with no year.
FilmName readFilmName(const QString &name, int currentYear);
