#pragma once

#include <QString>

struct ResultEntry;

// The file base name of a hit's picture: its title with the first letter up
// and the rest down, characters that file systems refuse as "-", then
// " [year] " when the site gave one and " (site)". Control characters are
// dropped and a long title is shortened, so that the name, the jacket options
// and the extension stay within a file name's 255 bytes.
QString composeFileName(const ResultEntry &hit);
