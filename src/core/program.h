#pragma once

#include "settings/program_state.h"
#include "core/result_list.h"
#include "core/search_run.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <memory>

class Download;
class Retrieval;
class SearchHistory;
class SettingsStore;
class SiteCatalogue;

// The program without its windows: what the main window owns and what the
// search run, the adapters and the retrieval share. The windows draw its state
// and learn of changes through its signals; the headless front end drives it
// the same way.
class Program : public QObject
{
    Q_OBJECT

public:
    using SearchProcedure = SearchRun::Procedure;

    explicit Program(SettingsStore &store, QObject *parent = nullptr);
    ~Program() override;

    ProgramState &state() { return m_state; }
    SettingsStore &settings() { return m_store; }
    Download &download() { return *m_download; }
    ResultList &results() { return m_results; }
    SiteCatalogue &catalogue() { return *m_catalogue; }
    SearchHistory &history() { return *m_history; }
    // The retrieval the program was put together with.
    Retrieval &retrieval() { return *m_retrieval; }
    void setRetrieval(Retrieval *retrieval) { m_retrieval = retrieval; }

    // The task that searches a base, and the name its hits carry.
    void setSearch(int baseIndex, SearchProcedure procedure, const QString &site = {});
    // A site's address, from its "Hote-..." setting.
    QString siteAddress(const QString &settingName) const;

    // A library's searches: the history is left as it is and no thumbnail is
    // fetched, since nobody sees them.
    void setQuietSearch(bool quiet) { m_quietSearch = quiet; }
    bool quietSearch() const { return m_quietSearch; }

    // The title box.
    QString title() const { return m_title; }
    void setTitle(const QString &title);

    // The search button: starts a search on its search caption (button 1 left,
    // 2 right: exact-title mode), asks the running one to stop otherwise.
    void Lance(int button);
    bool searchCaptionShowsStop() const { return m_stopCaption; }
    // A search is under way (also while a stopped one unwinds).
    bool searching() const { return m_runUnwinding; }
    // The stop request: every base's task ends, the search button shows "Rechercher".
    void requestStop();
    // The program is closing: the search and the retrieval under way end now.
    void shutDown();
    // The run under way or the last one; none before the first search.
    const SearchRun *run() const { return m_run.get(); }
    bool searchButtonEnabled() const { return m_searchButtonEnabled; }
    // Title box and base box: disabled while a search runs.
    bool inputEnabled() const { return m_inputEnabled; }
    bool busy() const { return !m_state.ArretDemande; }
    QString statusText() const { return m_statusText; }
    int statusTop() const { return m_statusTop; }

    // Back to idle after a search or a download.
    void FinTraitement();
    void AfficheAttente(bool busy);
    void AfficheStatut(const QString &text, bool connecting);
    // Makes the slot of the next hit; `index` only numbers the status text.
    void AjouteResultat(int index, bool Wide);
    void EffaceResultats();
    void CentreVignettes();
    // Enters the downloading state of a retrieval.
    void beginDownloadState();

    // The string table text of `id` in the current language.
    QString text(int id) const;

signals:
    void statusChanged(const QString &text, int topTwips);
    void busyChanged(bool busy);
    void searchCaptionChanged(bool showsStop);
    void searchButtonEnabledChanged(bool enabled);
    void inputEnabledChanged(bool enabled);
    void waitCursorChanged(bool waiting);
    void titleChanged(const QString &title);
    void runFinished();
    // The program is closing: what is under way ends without showing anything more.
    void closing();
    // The hits of one more base are in the list, final: those after `before`.
    void hitsPlaced(int before);

private:
    void runSearch(int button);
    void endSearch();
    void setStopCaption(bool stop);
    void setInputEnabled(bool enabled);
    void setSearchButtonEnabled(bool enabled);

    ProgramState m_state;
    SettingsStore &m_store;
    ResultList m_results;
    Download *m_download;
    SiteCatalogue *m_catalogue;
    SearchHistory *m_history;
    Retrieval *m_retrieval = nullptr;
    QHash<int, SearchProcedure> m_searches;
    QHash<int, QString> m_siteNames;
    int m_sitesNotAnswering = 0; // in the last search, told after the hit count
    std::unique_ptr<SearchRun> m_run;

    QString m_title;
    bool m_quietSearch = false;
    QString m_statusText;
    int m_statusTop = 1305;
    bool m_stopCaption = false;
    bool m_runUnwinding = false;
    bool m_searchButtonEnabled = true;
    bool m_inputEnabled = true;
};
