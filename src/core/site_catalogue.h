#pragma once

#include "core/site_report.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

class SettingsStore;
struct ProgramState;

// The fourteen bases the program searches and which of them are ticked. The
// selection window only draws this state and forwards its clicks here; the
// search run reads the ticks; the main window shows summary().
class SiteCatalogue : public QObject
{
    Q_OBJECT

public:
    static constexpr int kBaseCount = 14;

    enum class Language { Fr, Us, FrUs };
    enum class Kind { Posters, Jackets };

    struct BaseInfo
    {
        int index;              // BaseIndex: widget index and number of the "Base" setting
        QStringView name;       // display name, as the window and the summary show it
        int row;                // row in the window, which is also the search order
        Language language;
        Kind kind;
        const char *addressSetting; // the site-address setting that gives its home page
    };

    // Indexed by BaseIndex.
    static const std::array<BaseInfo, kBaseCount> &bases();
    // BaseIndex values from the top row down (alphabetical by display name).
    static const std::array<int, kBaseCount> &rowOrder();
    // Empty for an index outside 0..13.
    static QString displayName(int base);
    // The site's home page (the row link's target and tooltip); empty for an unknown base.
    static QString homeAddress(const SettingsStore &store, int base);

    explicit SiteCatalogue(ProgramState &state, QObject *parent = nullptr);

    // A tick is 0 or 1; a base counts as ticked only when it is exactly 1.
    // Indices outside 0..13 read as 0 and are ignored when set, as are other values.
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
    // selection; base 13 belongs to both language groups.
    void applyGroup(int n);

    // Mouse release on a base's tick box, and click on its name.
    void tickBoxReleased(int base);
    void nameClicked(int base);

    // "Base0".."Base13". A missing or unreadable value restores as unticked.
    // The caller runs AfficheNbrCoche afterwards.
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
    void summaryChanged(const QString &summary);
    void ticksChanged();
    void reportsChanged();
    // A pick in single-base mode closes the selection window.
    void hideRequested();

private:
    using Ticks = std::array<int, kBaseCount>;

    void replaceTicks(const Ticks &ticks);
    void pickOnly(int base);
    QString text(int id) const;

    ProgramState &m_state;
    Ticks m_ticks{};
    QString m_summary;
    std::array<std::optional<SiteReport>, kBaseCount> m_reports;
};
