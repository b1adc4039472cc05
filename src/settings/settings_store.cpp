#include "settings/settings_store.h"

#include "settings/app_paths.h"

#include <QHash>
#include <QSettings>

SettingsStore::SettingsStore()
#ifdef Q_OS_WIN
    : m_settings(std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\Pellicam"),
                                             QSettings::NativeFormat))
#else
    : SettingsStore(AppPaths::settingsFile())
#endif
{
}

SettingsStore::SettingsStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::storedName(const QString &name) const
{
    if (m_settings->contains(name))
        return name;
    const QStringList names = m_settings->childKeys();
    for (const QString &stored : names)
        if (stored.compare(name, Qt::CaseInsensitive) == 0)
            return stored;
    return {};
}

QString SettingsStore::LitValeur(const QString &name) const
{
    const QString stored = storedName(name);
    if (stored.isEmpty())
        return {};
    const QVariant value = m_settings->value(stored);
    if (value.typeId() != QMetaType::QString)
        return {};
    QString text = value.toString();
    if (text.size() + 1 > kReadBufferBytes)
        return {};
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

void SettingsStore::EcritValeur(const QString &name, const QString &text)
{
    // An existing value keeps the spelling of its name, as the registry does.
    const QString stored = storedName(name);
    m_settings->setValue(stored.isEmpty() ? name : stored, text);
    m_settings->sync();
}

void SettingsStore::writeValues(const QList<std::pair<QString, QString>> &values)
{
    QHash<QString, QString> storedNames;
    for (const QString &stored : m_settings->childKeys())
        storedNames.insert(stored.toLower(), stored);
    for (const auto &[name, text] : values) {
        const QString stored = m_settings->contains(name) ? name : storedNames.value(name.toLower(), name);
        m_settings->setValue(stored, text);
        storedNames.insert(name.toLower(), stored);
    }
    m_settings->sync();
}

void SettingsStore::EffaceValeur(const QString &name)
{
    const QString stored = storedName(name);
    if (stored.isEmpty())
        return;
    m_settings->remove(stored);
    m_settings->sync();
}

std::optional<bool> SettingsStore::readBool(const QString &name) const
{
    const QString text = LitValeur(name).trimmed();
    if (text.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const qlonglong number = text.toLongLong(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return number != 0;
}

void SettingsStore::writeBool(const QString &name, bool value)
{
    EcritValeur(name, boolText(value));
}

QString SettingsStore::boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
