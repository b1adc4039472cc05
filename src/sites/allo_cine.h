#pragma once

#include "sites/site_adapter.h"

// AlloCiné: titles from the result page, each hit's thumbnail from its film
// page, and the full poster through the film's picture gallery.
class AlloCine : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheAlloCine();
    void RecupAlloCine(int Index, bool Copy);

private:
    void collectTitles();
    void completeHits(int first);
    void fetchThumbnails(int first);
    QString thumbnailAddress(const QString &film);
    QString posterAddress(const ResultEntry &hit);
    void readPage(const QString &path, bool decode);
    QString host() const;
};

void registerAlloCine(Program &program);
