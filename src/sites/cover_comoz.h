#pragma once

#include "sites/site_adapter.h"

// Cover Comoz: DVD covers found through a search form that only answers a
// POST. The result page shows each cover's thumbnail; the full picture is on
// the cover's own page.
class CoverComoz : public SiteAdapter
{
public:
    static constexpr int kBase = 13;

    CoverComoz();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // Every cover of the form's answer (headers included): its title, its
    // thumbnail in Key and its page's path in Extra.
    static QList<ResultEntry> coverPass(const QString &answer);
    // The picture that a cover's page shows; empty when it shows none.
    static QString picturePass(const QString &coverPage);
};
