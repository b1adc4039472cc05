#pragma once

#include <QString>

// Rewrites a fetched page into the plain text that the scrapers' markers are
// written against: the entities the sites use, line breaks, "<br>", tabs and
// double quotes (which become apostrophes). The order of the rows matters.
void DecodeHtml(QString &page);

// Folds a title. With `full` false only lower-case accented letters are
// folded (for search addresses); with `full` true articles, punctuation and
// spaces go too (to compare titles). Returns the folded text and leaves it in
// `text` too.
QString Normalise(QString &text, bool full);
