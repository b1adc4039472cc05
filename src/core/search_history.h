#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class SettingsStore;

// The titles searched before, newest first, kept in the settings store as
// "Historique-1" (newest) to "Historique-<HistoMax>". Each search writes the
// shifted titles in one go. A length of 0 switches the history off.
class SearchHistory : public QObject
{
    Q_OBJECT

public:
    // The length was a 16-bit integer: anything longer is unreadable.
    static constexpr int kLargestLength = 32767;

    explicit SearchHistory(SettingsStore &store, QObject *parent = nullptr);

    // Drops the single-value layout of older versions, then reads the length
    // and the titles.
    void load();

    int HistoMax() const { return m_histoMax; }

    // What the title box lists: the stored titles in order, newest first,
    // empty places left out.
    QStringList entries() const;

    // Puts the searched title (trimmed) at the head unless the history already
    // holds it, whatever its case. Returns the text the title box shows
    // afterwards: the trimmed title once the list was rebuilt, else the text
    // as it was.
    QString AjouteHistorique(const QString &titleBoxText);

    // The options window changed the length: `newMax` is the number its text
    // starts with, `optionsText` what was typed, stored as it is. Shrinking
    // forgets the oldest titles.
    void resize(int newMax, const QString &optionsText);

    // The entry that completes `typed` (from the newest entry down, compared in
    // upper case, trailing blanks ignored), without its trailing blanks; nothing
    // after a Backspace, so the user can delete a completion. The caller puts
    // the caret back and selects the completed part.
    static std::optional<QString> completion(const QStringList &entries, const QString &typed,
                                             bool afterBackspace);

signals:
    void entriesChanged();

private:
    SettingsStore &m_store;
    int m_histoMax = 0;
    // Index 0 is never used, so a title's place is its setting's number.
    QStringList m_histo{QString()};
};
