#pragma once

#include "sitefiles/site_file_reader.h"

#include <QList>
#include <QString>
#include <QStringList>

class SettingsStore;

// The site files of the program's folders, read in order, and which of them
// run. A later folder's file replaces an earlier one of the same id; a broken
// file runs nothing and replaces nothing, and is listed with its errors.
class SiteFileSet
{
public:
    enum class State { Loaded, Replaces, Replaced, Broken };

    struct Entry
    {
        State state = State::Broken;
        QString id; // the file's name without its suffix when it gives no id
        QString path;
        SiteFileReading reading;
    };

    // The shipped files, the "Dossier-Sites" folder when set, the user's own;
    // a folder named twice is read once, where it comes first.
    static QStringList folders(const SettingsStore &store);
    // None when PELLICAM_NO_SITE_FILES is 1.
    static SiteFileSet read(const SettingsStore &store);
    // Every "*.yaml" and "*.yml" file of `folders`, in that order, names sorted within each.
    static SiteFileSet read(const QStringList &folders);
    // These files, a later one replacing an earlier one of the same id.
    static SiteFileSet readFiles(const QStringList &paths);

    // Every file found, in the order read.
    const QList<Entry> &files() const { return m_files; }
    // The files that run: loaded, or replacing a built-in site.
    QList<const Entry *> running() const;
    bool anyBroken() const;

    // "loaded", "replaces", "replaced", "broken".
    static QString word(State state);

private:
    QList<Entry> m_files;
};
