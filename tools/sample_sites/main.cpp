// pellicam-sample-sites: plays the poster sites on 127.0.0.1, for the offline
// demo, the tests and the benchmarks. Prints each site's address setting,
// then "Ready", and serves until it is killed.

#include "sample_server.h"
#include "settings/app_paths.h"
#include "settings/settings_store.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <unistd.h>
#endif

namespace {

constexpr int kUsageError = 2;

constexpr char kUsage[] =
    "Usage: pellicam-sample-sites [--port N] [--apply] [--latency MS] [--log FILE]\n"
    "                             [--refuse SITE] [--error SITE[:STATUS]] [--stall SITE] [--no-markers SITE]\n"
    "Plays the poster sites on 127.0.0.1 (each under a path of its own on one port),\n"
    "and two made-up sites that only site files describe (afficheraie, frameshelf),\n"
    "prints their address settings, then \"Ready\", and serves until it is stopped.\n"
    "  --port N                 listen on port N (default: any free port)\n"
    "  --apply                  also store the addresses in Pellicam's settings, and\n"
    "                           Dossier-Sites: the folder of the made-up sites' files\n"
    "  --latency MS             delay every reply by MS milliseconds\n"
    "  --log FILE               append a line per request (arrival in ms since the epoch, method, path)\n"
    "Each of these makes a site fail on purpose, on all its addresses, and can be repeated:\n"
    "  --refuse SITE            its addresses lead to a port that refuses connections\n"
    "  --error SITE[:STATUS]    every request gets HTTP status STATUS (400-599, default 500)\n"
    "  --stall SITE             every request is accepted and never answered\n"
    "  --no-markers SITE        every request gets 200 and a plain page with nothing to find\n"
    "  --help                   show this help\n";

void printUsage(std::FILE *to, const QStringList &siteNames)
{
    std::fputs(kUsage, to);
    std::fprintf(to, "SITE is one of (any case): %s\n", qPrintable(siteNames.join(QStringLiteral(", "))));
}

struct SiteFailure
{
    QString site;
    SampleServer::Failure failure;
    int status = 500;
};

// "SITE" or "SITE:STATUS", the status an HTTP error (400-599).
bool parseErrorSite(const QString &argument, SiteFailure &failure)
{
    const qsizetype colon = argument.indexOf(u':');
    failure.site = argument.left(colon);
    if (colon < 0)
        return true;
    bool ok = false;
    failure.status = argument.mid(colon + 1).toInt(&ok);
    return ok && failure.status >= 400 && failure.status <= 599;
}

struct Options
{
    quint16 port = 0;
    bool apply = false;
    int latencyMs = 0;
    QString log;
    QList<SiteFailure> failures;
    bool help = false;
};

bool parseArguments(const QStringList &arguments, Options &options)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        bool ok = false;
        if (argument == u"--apply") {
            options.apply = true;
        } else if (argument == u"--help" || argument == u"-h") {
            options.help = true;
        } else if (argument == u"--port" && i + 1 < arguments.size()) {
            const uint port = arguments[++i].toUInt(&ok);
            if (!ok || port > 65535)
                return false;
            options.port = quint16(port);
        } else if (argument == u"--log" && i + 1 < arguments.size()) {
            options.log = arguments[++i];
        } else if (argument == u"--latency" && i + 1 < arguments.size()) {
            options.latencyMs = arguments[++i].toInt(&ok);
            if (!ok || options.latencyMs < 0)
                return false;
        } else if (argument == u"--refuse" && i + 1 < arguments.size()) {
            options.failures.append({arguments[++i], SampleServer::Failure::Refuse});
        } else if (argument == u"--stall" && i + 1 < arguments.size()) {
            options.failures.append({arguments[++i], SampleServer::Failure::Stall});
        } else if (argument == u"--no-markers" && i + 1 < arguments.size()) {
            options.failures.append({arguments[++i], SampleServer::Failure::NoMarkers});
        } else if (argument == u"--error" && i + 1 < arguments.size()) {
            SiteFailure failure{{}, SampleServer::Failure::Error};
            if (!parseErrorSite(arguments[++i], failure))
                return false;
            options.failures.append(failure);
        } else {
            return false;
        }
    }
    return true;
}

#ifdef Q_OS_UNIX
// A signal handler may only write to a pipe; the event loop reads it and quits.
int g_signalPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

void quitOnStopSignals(QCoreApplication &app)
{
    if (::pipe(g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}
#endif

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    SampleServer server;
    Options options;
    if (!parseArguments(app.arguments(), options)) {
        printUsage(stderr, server.siteNames());
        return kUsageError;
    }
    if (options.help) {
        printUsage(stdout, server.siteNames());
        return 0;
    }
    for (const SiteFailure &failure : std::as_const(options.failures)) {
        if (!server.setFailure(failure.site, failure.failure, failure.status)) {
            std::fprintf(stderr, "pellicam-sample-sites: no site is called %s\n", qPrintable(failure.site));
            printUsage(stderr, server.siteNames());
            return kUsageError;
        }
    }

    server.setLatency(options.latencyMs);
    if (!options.log.isEmpty() && !server.setRequestLog(options.log)) {
        std::fprintf(stderr, "pellicam-sample-sites: cannot write %s\n", qPrintable(options.log));
        return 1;
    }
    if (!server.listen(options.port)) {
        std::fprintf(stderr, "pellicam-sample-sites: cannot listen on 127.0.0.1:%u\n", unsigned(options.port));
        return 1;
    }
#ifdef Q_OS_UNIX
    quitOnStopSignals(app);
#endif

    const auto settings = server.settings();
    if (options.apply) {
        SettingsStore store;
        for (const auto &[name, address] : settings)
            store.EcritValeur(name, address);
        store.EcritValeur(QStringLiteral("Dossier-Sites"), AppPaths::sampleSiteFiles());
    }
    for (const auto &[name, address] : settings)
        std::printf("%s=%s\n", qPrintable(name), qPrintable(address));
    std::puts("Ready");
    std::fflush(stdout);

    return app.exec();
}
