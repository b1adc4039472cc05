#include "core/download_folders.h"

#include "text/text_helpers.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QStandardPaths>

namespace DownloadFolders {

QStringList systemFolders()
{
    QStringList folders;
    for (const auto location : {QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation,
                                QStandardPaths::PicturesLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QDir(folder).exists() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QStringList list(const SettingsStore &store)
{
    QStringList folders = systemFolders();
    const QString own = store.LitValeur(QStringLiteral("Folder-User"));
    if (!own.isEmpty())
        folders << own;
    return folders;
}

int selectedIndex(const SettingsStore &store, int count)
{
    const int stored = text::intValue(store.LitValeur(QStringLiteral("Folder-Id")));
    const int entry = stored == 0 ? count - 1 : stored == -1 ? 2 : stored - 1;
    return entry >= 0 && entry < count ? entry : -1;
}

QString selected(const SettingsStore &store)
{
    const QStringList folders = list(store);
    return folders.value(selectedIndex(store, int(folders.size())));
}

} // namespace DownloadFolders
