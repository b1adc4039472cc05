#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// The download folders the user chooses from: the desktop, documents and
// pictures folders (those that exist), then the user's own ("Folder-User").
namespace DownloadFolders {

// The desktop, documents and pictures folders that exist.
QStringList systemFolders();

QStringList list(const SettingsStore &store);

// The entry selected at start: "Folder-Id" is the entry plus 1; -1 stands for
// the third entry and 0 (or nothing stored) for the last. -1 when there is none.
int selectedIndex(const SettingsStore &store, int count);

// The folder of that entry; empty when there is none.
QString selected(const SettingsStore &store);

} // namespace DownloadFolders
