#pragma once

#include <QString>

class Program;
class ResultList;
class Retrieval;
class SettingsStore;
struct ProgramState;
struct ResultEntry;

// What every site adapter is made of: the steps that all of them share, so a
// site's own source holds only its address, its markers and its passes.
class SiteAdapter
{
public:
    // How the thumbnails of a site's hits are fetched, one after the other.
    enum class Pacing {
        Waited,           // each is waited for before the next hit
        WaitedThenSettle, // waited for, then the short settle wait
        Settle,           // only the short settle wait: several in flight at once
    };

    explicit SiteAdapter(Program &program);
    virtual ~SiteAdapter();

    SiteAdapter(const SiteAdapter &) = delete;
    SiteAdapter &operator=(const SiteAdapter &) = delete;

protected:
    ProgramState &state() const;
    ResultList &results() const;
    SettingsStore &settings() const;
    Retrieval &retrieval() const;

    // The site's base address, from its "Hote-..." setting.
    QString address(const QString &settingName) const;
    // The title box's text, prepared as the site wants it in its search
    // address, and in its search form.
    QString preparedTitle(const QString &site) const;
    QString formTitle(const QString &site) const;
    QString typedTitle() const;

    // Where this search's hits begin; makes room for the first ten.
    int beginHits();
    void announce(const QString &statusLabel);
    // Reads a result page into PageHtml, waiting for it, and decodes it.
    void fetchPage(const QString &url);
    // Posts a site's search form ("AllDivX", "CoverComoz") to the site at
    // `siteAddress`, waits for the answer in PageHtml and decodes it.
    void postForm(const QString &SitePost, const QString &TitrePost, const QString &siteAddress);
    // The entry of one more hit, or none when the user stopped or the list is full.
    ResultEntry *newHit();
    bool stopRequested() const;
    // Mid as a scan reads it: a negative length (its end marker was not found)
    // gives an empty text, not the rest of the page.
    static QString piece(QStringView text, qsizetype start, qsizetype length);
    // The year a piece of page holds; 0 when it is no number or does not fit a Year.
    static qint16 yearValue(QStringView text);
    ResultEntry &hit(int index) const;
    void CentreVignettes();
    // The slot of hit IndiceCourant, then its thumbnail.
    void addSlot(bool wide);
    void fetchThumbnail(const QString &url, Pacing pacing);

    // Fetches a full picture into `localPath` unless it is there already
    // (when `reuseCached`), then copies or shows it.
    void saveAndOpen(int index, bool copy, const QString &url, const QString &localPath,
                     bool reuseCached);

    Program &m_program;
};
