#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// The download folders the user chooses from: the desktop, documents and
// pictures folders (those that exist), then the user's own ("Folder-User").
namespace DownloadFolders {

QStringList list(const SettingsStore &store);

// The folder selected when the program last closed ("Folder-Id", the entry
// plus 1), else the first of the list; empty when there is none.
QString selected(const SettingsStore &store);

} // namespace DownloadFolders
