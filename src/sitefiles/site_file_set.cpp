#include "sitefiles/site_file_set.h"

#include "core/site_catalogue.h"
#include "settings/app_paths.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

QStringList SiteFileSet::folders(const SettingsStore &store)
{
    QStringList folders;
    QStringList seen;
    for (const QString &folder : {AppPaths::shippedSiteFiles(), store.LitValeur(QStringLiteral("Dossier-Sites")),
                                  AppPaths::userSiteFiles()}) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (folder.isEmpty() || seen.contains(canonical.isEmpty() ? folder : canonical))
            continue;
        seen << (canonical.isEmpty() ? folder : canonical);
        folders << folder;
    }
    return folders;
}

SiteFileSet SiteFileSet::read(const SettingsStore &store)
{
    if (qEnvironmentVariableIntValue("PELLICAM_NO_SITE_FILES") == 1)
        return {};
    return read(folders(store));
}

SiteFileSet SiteFileSet::read(const QStringList &folders)
{
    QStringList paths;
    for (const QString &folder : folders) {
        const QFileInfoList found = QDir(folder).entryInfoList({QStringLiteral("*.yaml"), QStringLiteral("*.yml")},
                                                               QDir::Files, QDir::Name);
        for (const QFileInfo &file : found)
            paths << file.filePath();
    }
    return readFiles(paths);
}

SiteFileSet SiteFileSet::readFiles(const QStringList &paths)
{
    SiteFileSet set;
    QHash<QString, qsizetype> latest; // id in lower case -> the file that runs
    for (const QString &path : paths) {
        Entry entry;
        entry.path = path;
        entry.reading = readSiteFile(path);
        entry.id = entry.reading.site.id.isEmpty() ? QFileInfo(path).completeBaseName() : entry.reading.site.id;
        if (entry.reading.usable()) {
            const QString key = entry.id.toLower();
            if (const auto earlier = latest.constFind(key); earlier != latest.cend())
                set.m_files[*earlier].state = State::Replaced;
            latest.insert(key, set.m_files.size());
            entry.state = SiteCatalogue::builtInBase(entry.id) >= 0 ? State::Replaces : State::Loaded;
        }
        set.m_files.append(std::move(entry));
    }
    return set;
}

QList<const SiteFileSet::Entry *> SiteFileSet::running() const
{
    QList<const Entry *> running;
    for (const Entry &entry : m_files)
        if (entry.state == State::Loaded || entry.state == State::Replaces)
            running << &entry;
    return running;
}

bool SiteFileSet::anyBroken() const
{
    return std::any_of(m_files.begin(), m_files.end(), [](const Entry &entry) { return entry.state == State::Broken; });
}

QString SiteFileSet::word(State state)
{
    switch (state) {
    case State::Loaded: return QStringLiteral("loaded");
    case State::Replaces: return QStringLiteral("replaces");
    case State::Replaced: return QStringLiteral("replaced");
    case State::Broken: return QStringLiteral("broken");
    }
    return {};
}
