#pragma once

#include <QString>

// One hit of a search, as an adapter scraped it.
struct ResultEntry
{
    QString Title;  // as the site gives it, entities decoded
    qint16 Year = 0; // below 1: the site gave none
    QString Key;    // the site's key for thumbnail and full picture
    QString Extra;  // a second site key (MovieCovers: "JPG" or "PDF"); a raw excerpt while scanning
    QString Site;   // the site's display name
    int Base = -1;  // the base that found it, whose resolver finds its full picture

    friend bool operator==(const ResultEntry &, const ResultEntry &) = default;
};
