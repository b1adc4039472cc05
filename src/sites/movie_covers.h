#pragma once

#include "sites/site_adapter.h"

// MovieCovers: posters as JPG pictures (base "MovieCovers (JPG)") and
// printable jackets as PDF files (base "MovieCovers (PDF)"), one adapter for both.
class MovieCovers : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    // `TypeFichier` is "JPG" or "PDF"; hits of both formats share their thumbnails.
    void ChercheMovieCovers(const QString &TypeFichier);
    void RecupMovieCovers(int Index, bool Copy);

private:
    void collectSnippets();
    void completeHit(ResultEntry &hit, const QString &TypeFichier) const;
    QString thumbnailAddress(const ResultEntry &hit) const;
    QString jacketAddress(const ResultEntry &hit);
    QString host() const;
};

void registerMovieCovers(Program &program);
