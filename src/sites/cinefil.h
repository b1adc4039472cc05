#pragma once

#include "sites/site_adapter.h"

// Cinefil: every field on the result page; thumbnails and posters on the
// site's own picture server.
class Cinefil : public SiteAdapter
{
public:
    static constexpr int kBase = 2;

    Cinefil();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // The films of a result page, titles in lower case.
    static QList<ResultEntry> resultPass(const QString &page);
};
