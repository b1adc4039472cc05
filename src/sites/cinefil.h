#pragma once

#include "sites/site_adapter.h"

// Cinefil: every field on the result page; thumbnails and posters on the
// site's own picture server.
class Cinefil : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheCinefil();
    void RecupCinefil(int Index, bool Copy);

private:
    void collectHits();
    QString host() const;
    QString pictureServer() const;
};

void registerCinefil(Program &program);
