#pragma once

#include "sites/site_adapter.h"

// AllDivX: DVD jackets found through a search form that only answers a POST.
// Each hit's jacket page names its picture, which serves as thumbnail and as
// full picture alike.
class AllDivX : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheAllDivX();
    void RecupAllDivX(int Index, bool Copy);

private:
    void scanJackets();
    QString pictureAddress(const QString &jacketPage);
    QString jacketMarker() const;
    QString host() const;
};

void registerAllDivX(Program &program);
