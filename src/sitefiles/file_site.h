#pragma once

#include "sites/site_adapter.h"
#include "sitefiles/site_file.h"
#include "sitefiles/site_file_extraction.h"

#include <QJsonObject>
#include <functional>

class SiteFileHosts;

// A site run from its file: the same search and retrieval as a built-in
// site's, every address checked before it is asked for.
class FileSite : public SiteAdapter
{
public:
    // Page reads and posts one search of one file may make, film pages included.
    static constexpr int kMaxRequests = 30;

    // Rows of the first page whose fields the step log shows.
    static constexpr int kLoggedRows = 3;

    // One step of a search or retrieval as `site test` shows it: "step" names it.
    using StepLog = std::function<void(const QJsonObject &step)>;

    FileSite(SiteFile site, int base);

    const SiteFile &file() const { return m_file; }
    void setStepLog(StepLog log) { m_log = std::move(log); }

    QCoro::Task<> search(SiteSearch &search, int base) override;
    QCoro::Task<PictureSource> picture(PictureRequest &request) override;

private:
    // One result page, read or posted; the request values give the form's.
    QCoro::Task<QString> readResults(SiteSearch &search, const QString &url, const SiteTemplateValues &request);
    // A hit from a row; the fields a file does not give stay empty. Row
    // `logged` (from 1; 0 for none) has its fields told to the step log.
    void fill(ResultEntry &hit, const SiteRow &row, const SiteTemplateValues &hosts, const QString &pageUrl,
              int logged) const;
    // The fields' values before and after their filters.
    void logField(QJsonObject where, const QString &name, const SiteValue &value) const;
    void log(const QString &step, QJsonObject fields) const;
    // What a film page gives of the hits from `first` on that their row did not.
    QCoro::Task<> readFilmPages(SiteSearch &search, const SiteFileHosts &hosts, int first, int &budget) const;

    SiteFile m_file;
    StepLog m_log;
};
