#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

class QSettings;

// The per-user store of named text values. Numbers and flags are kept as text;
// a missing value reads as empty text; names are compared without regard to
// case; nothing here ever fails loudly.
class SettingsStore
{
public:
    // The user's own store: the registry key on Windows, an INI file in the
    // XDG config folder elsewhere.
    SettingsStore();
    // A store in the given INI file.
    explicit SettingsStore(const QString &iniFile);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // A value that would not fit the 512-byte read buffer (its terminator
    // included) reads as empty, as does a value that is not text.
    static constexpr qsizetype kReadBufferBytes = 512;

    QString LitValeur(const QString &name) const;
    void EcritValeur(const QString &name, const QString &text);
    // Several values written in one go: the store is saved once, not once a value.
    void writeValues(const QList<std::pair<QString, QString>> &values);
    void EffaceValeur(const QString &name);

    // Booleans are stored as "True" or "False"; a number reads as false for 0
    // and true otherwise. Anything else reads as nothing.
    std::optional<bool> readBool(const QString &name) const;
    void writeBool(const QString &name, bool value);
    static QString boolText(bool value);

private:
    QString storedName(const QString &name) const;

    std::unique_ptr<QSettings> m_settings;
};
