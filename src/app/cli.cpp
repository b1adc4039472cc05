// pellicam-cli: the program's core without a window.

#include "settings/settings_store.h"

#include <QCoreApplication>
#include <QNetworkProxyFactory>
#include <QStringList>
#include <QTextStream>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "Usage: pellicam-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Finds film posters and DVD jackets, without a window.\n"
    "\n"
    "Commands:\n"
    "  config get NAME          print a setting (an empty line when it is missing)\n"
    "  config set NAME VALUE    store a setting\n"
    "  config unset NAME        delete a setting\n"
    "  --help                   show this help\n"
    "\n"
    "Setting names are not case-sensitive. Site addresses are settings named\n"
    "Hote-... (for example Hote-MovieCovers); see the README for the full list.\n"
    "Settings live in $XDG_CONFIG_HOME/Pellicam/Pellicam.ini.\n";

int usageError(const QString &problem = {})
{
    QTextStream err(stderr);
    if (!problem.isEmpty())
        err << "pellicam-cli: " << problem << "\n\n";
    err << kUsage;
    return kExitUsage;
}

int runConfig(const QStringList &args)
{
    const QString action = args.value(0);
    SettingsStore store;
    QTextStream out(stdout);
    if (action == u"get" && args.size() == 2) {
        out << store.LitValeur(args[1]) << '\n';
        return kExitOk;
    }
    if (action == u"set" && args.size() == 3) {
        store.EcritValeur(args[1], args[2]);
        return kExitOk;
    }
    if (action == u"unset" && args.size() == 2) {
        store.EffaceValeur(args[1]);
        return kExitOk;
    }
    return usageError(QStringLiteral("config takes: get NAME | set NAME VALUE | unset NAME"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString command = args.value(0);
    if (command == u"--help" || command == u"-h" || command == u"help") {
        QTextStream(stdout) << kUsage;
        return kExitOk;
    }
    if (command == u"config")
        return runConfig(args.mid(1));
    return usageError(command.isEmpty() ? QString() : QStringLiteral("unknown command: %1").arg(command));
}
