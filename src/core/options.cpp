#include "core/options.h"

#include "settings/program_state.h"
#include "core/site_catalogue.h"
#include "text/text_helpers.h"
#include "settings/settings_store.h"

#include <QString>

namespace {

// The full window is 12000 x 7365 twips (800 x 491 pixels at 15 twips a pixel).
constexpr int kWindowWidthTwips = 12000;
constexpr int kWindowHeightTwips = 7365;
constexpr int kEnglishOffset = 1000;
constexpr int kFrenchOffset = 0;
constexpr int kNoProxyPort = 80;

// "Connexion" 0 to 4, in the order the options window lists them.
constexpr int kConnectionModes[] = {1, 8, 16, 512, 524288};

void writeFirstRunDefaults(SettingsStore &store, std::optional<QSize> screenTwips)
{
    for (const auto &[name, value] : firstRunDefaults(screenTwips))
        store.EcritValeur(name, value);
}

void applyConnectionMode(const SettingsStore &store, ProgramState &state)
{
    const int mode = connectionModeFor(text::intValue(store.LitValeur(QStringLiteral("Connexion")), -1));
    if (mode != 0)
        state.ModeConnexion = mode;
}

void applyLanguage(SettingsStore &store, ProgramState &state)
{
    const QString language = store.LitValeur(QStringLiteral("langue"));
    if (language == u"English") {
        state.LangOffset = kEnglishOffset;
    } else {
        state.LangOffset = kFrenchOffset;
        if (language != u"Français")
            store.EcritValeur(QStringLiteral("Langue"), QStringLiteral("Français"));
    }
}

void applyProxy(const SettingsStore &store, ProgramState &state)
{
    const QString host = store.LitValeur(QStringLiteral("Proxy-Adresse"));
    if (host.isEmpty()) {
        state.ProxyHost.clear();
        state.ProxyPort = kNoProxyPort;
        return;
    }
    state.ProxyHost = host;
    state.ProxyPort = text::intValue(store.LitValeur(QStringLiteral("Proxy-Port")), state.ProxyPort);
}

} // namespace

QList<QPair<QString, QString>> firstRunDefaults(std::optional<QSize> screenTwips)
{
    QList<QPair<QString, QString>> defaults = {
        {QStringLiteral("PDF-Format"), QStringLiteral("3")},
        {QStringLiteral("PDF-Fond"), QStringLiteral("1")},
        {QStringLiteral("PDF-Police"), QStringLiteral("0")},
        {QStringLiteral("Form-Position"), QStringLiteral("1")},
    };
    if (screenTwips) {
        defaults.append({QStringLiteral("Form-Top"),
                         QString::number((screenTwips->height() - kWindowHeightTwips) / 2)});
        defaults.append({QStringLiteral("Form-Left"),
                         QString::number((screenTwips->width() - kWindowWidthTwips) / 2)});
    }
    defaults.append({
        {QStringLiteral("Historique-Max"), QStringLiteral("75")},
        {QStringLiteral("Connexion"), QStringLiteral("3")},
        {QStringLiteral("BdD"), SettingsStore::boolText(true)},
        {QStringLiteral("Langue"), QStringLiteral("English")},
    });
    return defaults;
}

int connectionModeFor(int setting)
{
    if (setting < 0 || setting >= int(std::size(kConnectionModes)))
        return 0;
    return kConnectionModes[setting];
}

void LitOptions(SettingsStore &store, ProgramState &state, SiteCatalogue &catalogue,
                std::optional<QSize> screenTwips)
{
    if (store.LitValeur(QStringLiteral("Historique-Max")).isEmpty())
        writeFirstRunDefaults(store, screenTwips);
    catalogue.applySingleBaseSetting(store);
    applyConnectionMode(store, state);
    applyLanguage(store, state);
    applyProxy(store, state);
}

void migrateLegacyHistory(SettingsStore &store)
{
    if (store.LitValeur(QStringLiteral("Historique")).isEmpty())
        return;
    store.EffaceValeur(QStringLiteral("Historique"));
    store.EcritValeur(QStringLiteral("Historique-Max"), QStringLiteral("75"));
}
