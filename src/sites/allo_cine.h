#pragma once

#include "sites/site_adapter.h"

// AlloCiné: titles from the result page, each hit's thumbnail from its film
// page, and the full poster through the film's picture gallery.
class AlloCine : public SiteAdapter
{
public:
    static constexpr int kBase = 1;

    AlloCine();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // The films of a result page: lower-case title, year, and in Extra the
    // film's number and ".html".
    static QList<ResultEntry> resultPass(const QString &page);
    // The thumbnail's address on a film page, empty when it shows none.
    static QString thumbnailPass(const QString &filmPage);
    // The start of a thumbnail's address that every picture of the film shares.
    static QString pictureStem(const QString &thumbnail);
    // The path of the poster's own page in the gallery, empty when the
    // gallery holds no picture of `stem`.
    static QString galleryPass(const QString &galleryPage, const QString &stem);
    // The full poster's address on its own page.
    static QString posterPass(const QString &posterPage, const QString &stem);
};
