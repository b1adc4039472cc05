#include "core/download_folders.h"

#include "core/text_helpers.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QStandardPaths>

namespace DownloadFolders {

QStringList list(const SettingsStore &store)
{
    QStringList folders;
    for (const auto location : {QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation,
                                QStandardPaths::PicturesLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QDir(folder).exists() && !folders.contains(folder))
            folders << folder;
    }
    const QString own = store.LitValeur(QStringLiteral("Folder-User"));
    if (!own.isEmpty())
        folders << own;
    return folders;
}

QString selected(const SettingsStore &store)
{
    const QStringList folders = list(store);
    const int entry = text::intValue(store.LitValeur(QStringLiteral("Folder-Id"))) - 1;
    if (entry >= 0 && entry < folders.size())
        return folders[entry];
    return folders.value(0);
}

} // namespace DownloadFolders
