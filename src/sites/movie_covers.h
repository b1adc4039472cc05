#pragma once

#include "sites/site_adapter.h"

// MovieCovers: posters as JPG pictures (base "MovieCovers (JPG)") and
// printable jackets as PDF files (base "MovieCovers (PDF)"), one site for both.
class MovieCovers : public SiteAdapter
{
public:
    static constexpr int kJpgBase = 6;
    static constexpr int kPdfBase = 11;

    MovieCovers();

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

    // Every film link of a result page, kept raw (in Extra) until the hit is made.
    static QList<ResultEntry> snippetPass(const QString &page);
    // A snippet made into the hit of a base: "JPG" or "PDF" in `TypeFichier`.
    static void completeHit(ResultEntry &hit, const QString &TypeFichier);
    static QString thumbnailAddress(const QString &host, const ResultEntry &hit);
};
