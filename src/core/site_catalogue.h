#pragma once

#include "core/site_report.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

class SettingsStore;
struct ProgramState;

// The bases the program searches and which of them are ticked. The
// selection window only draws this state and forwards its clicks here; the
// search run reads the ticks; the main window shows summary().
class SiteCatalogue : public QObject
{
    Q_OBJECT

public:
    // The built-in bases, numbered 0..13; bases from site files come after.
    static constexpr int kBuiltInCount = 14;

    enum class Language { Fr, Us, FrUs };
    enum class Kind { Posters, Jackets };

    struct BaseInfo
    {
        int index;              // BaseIndex: widget index and number of the "Base" setting
        QString name;           // display name, as the window and the summary show it
        int row;                // row in the window, which is also the search order
        Language language;
        Kind kind;
        QString addressSetting; // the site-address setting that gives its home page
        QString id;             // a file base's id; empty for a built-in base
        QString file;           // the site file that describes it; empty while its code runs
        QString home;           // the site file's home page, while its setting is unset
    };

    // A site file's base: a new one, or the built-in base whose id it takes.
    struct FileBase
    {
        QString id;
        QString name;
        Language language;
        Kind kind;
        QString file;
        QString home;
    };

    // The built-in base whose address setting ends with `id` (case aside): the
    // JPG base for MovieCovers; -1 for no built-in site.
    static int builtInBase(const QString &id);

    explicit SiteCatalogue(ProgramState &state, QObject *parent = nullptr);

    // Indexed by BaseIndex: the built-in bases, then those of site files.
    const QList<BaseInfo> &bases() const { return m_bases; }
    int baseCount() const { return int(m_bases.size()); }
    // BaseIndex values from the top row down.
    const QList<int> &rowOrder() const { return m_rowOrder; }
    // Empty for an unknown base.
    QString displayName(int base) const;
    // The site's home page (the row link's target and tooltip); empty for an unknown base.
    QString homeAddress(const SettingsStore &store, int base) const;
    // The base of a file id or of a built-in site's id (case aside); -1 for none.
    int baseOf(const QString &id) const;

    // Site files, sorted here by id: one with a built-in id describes that
    // base, the others get bases from 14 on, below the built-in rows. Ticks
    // and reports are cleared; restore() reads the ticks again. `brokenFiles`
    // holds the errors of each file that could not be used.
    void setFileBases(QList<FileBase> files, QList<QStringList> brokenFiles = {});
    // The site folders were read again. A base still there keeps its tick (a
    // file base by its id); a new file base takes its stored tick, or none in
    // single-base mode. The reports of bases that files run are dropped: the
    // files may have changed. Ends with AfficheNbrCoche.
    void reloadFileBases(QList<FileBase> files, QList<QStringList> brokenFiles, const SettingsStore &store);

    // How many site files could not be used, and their errors in file order,
    // each as "FILE:LINE:COLUMN: ...".
    int brokenFileCount() const { return int(m_brokenFiles.size()); }
    QStringList fileErrors() const;

    // A tick is 0 or 1; a base counts as ticked only when it is exactly 1.
    // Unknown bases read as 0 and are ignored when set, as are other values.
    int tick(int base) const;
    void setTick(int base, int value);
    bool isTicked(int base) const;
    int tickedCount() const;

    // Recounts, enforces single-base mode and refreshes summary().
    void AfficheNbrCoche();
    QString summary() const { return m_summary; }
    // BaseUnique: the selection window's height follows it.
    bool singleBase() const;

    // Group link n (0 all, 1 none, 2 Fr, 3 Us, 4 posters, 5 jackets) replaces the
    // selection; base 13 and the files of both languages belong to both groups.
    void applyGroup(int n);

    // Mouse release on a base's tick box, and click on its name.
    void tickBoxReleased(int base);
    void nameClicked(int base);

    // "Base0".."Base13", and "Base-<id>" for a file base. A missing or unreadable
    // value restores as unticked; a stored file tick whose file is gone is
    // left alone. The caller runs AfficheNbrCoche afterwards.
    void restore(const SettingsStore &store);
    void save(SettingsStore &store) const;

    // The selection window became active: "BdD" is read again; an unreadable
    // value keeps the flag.
    void onActivated(const SettingsStore &store);

    // Applies "BdD" as the settings are read: switching single-base mode on with
    // several bases ticked unticks them all. Always ends with AfficheNbrCoche.
    void applySingleBaseSetting(const SettingsStore &store);

    // How each base's last search ended; none before it is searched, and
    // none while a new search of it runs.
    const std::optional<SiteReport> &report(int base) const;
    void setReport(const SiteReport &report);
    void clearReport(int base);

signals:
    // The bases were set anew: their number, rows, names or files may differ.
    void basesChanged();
    void summaryChanged(const QString &summary);
    void ticksChanged();
    void reportsChanged();
    // A pick in single-base mode closes the selection window.
    void hideRequested();

private:
    using Ticks = QList<int>;

    void replaceTicks(const Ticks &ticks);
    void pickOnly(int base);
    bool validBase(int base) const { return base >= 0 && base < baseCount(); }
    QString settingName(int base) const;
    QString text(int id) const;

    ProgramState &m_state;
    QList<BaseInfo> m_bases;
    QList<int> m_rowOrder;
    Ticks m_ticks;
    QString m_summary;
    QList<std::optional<SiteReport>> m_reports;
    QList<QStringList> m_brokenFiles;
};
