#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// Every site's address is a setting ("Hote-..."), so the program can be
// pointed at a mirror or at a local copy of a site. An address is a scheme, a
// host, an optional port and an optional path prefix, without a trailing "/".
namespace SiteAddresses {

// The setting names, in alphabetical order.
QStringList settingNames();

// The address used when the setting is absent; empty for an unknown name.
QString defaultAddress(const QString &settingName);

// The stored address of `settingName` without its trailing "/", or its default.
QString address(const SettingsStore &store, const QString &settingName);

// The host of an address, followed by ":" and the port when the address gives
// one ("127.0.0.1:8080", "www.example.org"): what goes in a Host header, a
// marker or a search engine's site restriction.
QString hostName(const QString &address);

} // namespace SiteAddresses
