#pragma once

#include <QList>
#include <QPair>
#include <QSize>
#include <QString>
#include <optional>

class SettingsStore;
class SiteCatalogue;
struct ProgramState;

// Reads the settings that take effect at once and applies them: first-run
// defaults, single-base mode (the catalogue shares `state` and refreshes its
// summary), connection mode, language and proxy. `screenTwips` is the screen's
// size in twips; without a screen (the headless front end) a first run stores
// no window position and the window is centred when it first opens.
// The caller re-captions its windows afterwards (the language may have changed).
void LitOptions(SettingsStore &store, ProgramState &state, SiteCatalogue &catalogue,
                std::optional<QSize> screenTwips = std::nullopt);

// What a first run stores, in the order it is written (see LitOptions).
QList<QPair<QString, QString>> firstRunDefaults(std::optional<QSize> screenTwips);

// The history was once kept in a single value; its presence means the old
// format, which is dropped for the new one with the default length.
void migrateLegacyHistory(SettingsStore &store);

// The "Connexion" setting's 0 to 4 as the fetcher's read option; 0 for anything else.
int connectionModeFor(int setting);
