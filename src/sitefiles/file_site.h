#pragma once

#include "sites/site_adapter.h"
#include "sitefiles/site_file.h"
#include "sitefiles/site_file_extraction.h"

class SiteFileHosts;

// A site run from its file: the same search and retrieval as a built-in
// site's, every address checked before it is asked for.
class FileSite : public SiteAdapter
{
public:
    // Page reads and posts one search of one file may make, film pages included.
    static constexpr int kMaxRequests = 30;

    FileSite(SiteFile site, int base);

    const SiteFile &file() const { return m_file; }

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

private:
    // One result page, read or posted; the request values give the form's.
    QCoro::Task<QString> readResults(SiteSearch &search, const QString &url, const SiteTemplateValues &request);
    // A hit from a row; the fields a file does not give stay empty.
    void fill(ResultEntry &hit, const SiteRow &row, const SiteTemplateValues &hosts, const QString &pageUrl) const;
    // What a film page gives of the hits from `first` on that their row did not.
    QCoro::Task<> readFilmPages(SiteSearch &search, const SiteFileHosts &hosts, int first, int &budget) const;

    SiteFile m_file;
};
