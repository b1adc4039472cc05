#pragma once

#include "sites/site_adapter.h"

// DvdFr: a DVD catalogue whose result page links every film to its own page,
// where the cover is; the cover is both thumbnail and full picture.
class DvdFr : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheDvdFr();
    void RecupDvdFr(int Index, bool Copy);

private:
    void scanResults();
    QString coverAddress(const QString &filmPath);
    QString host() const;
};

void registerDvdFr(Program &program);
