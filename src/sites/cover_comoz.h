#pragma once

#include "sites/site_adapter.h"

// Cover Comoz: DVD covers found through a search form that only answers a
// POST. The result page shows each cover's thumbnail; the full picture is on
// the cover's own page.
class CoverComoz : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheCoverComoz();
    void RecupCoverComoz(int Index, bool Copy);

private:
    void scanCovers();
    QString pictureAddress(const QString &coverPath);
    QString host() const;
};

void registerCoverComoz(Program &program);
