// Whole-program figures: a search of every base against the sample sites with
// a fixed latency per reply, set against each base searched alone; the same
// search with one site that never answers; the peak memory of a search that
// fills the list; and the window's start-up time. Prints the figures; nothing
// is asserted.

#include "assembly/assembly.h"
#include "core/program.h"
#include "core/site_catalogue.h"
#include "fixture_server.h"
#include "library/library_run.h"
#include "net/download.h"
#include "settings/settings_store.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

constexpr int kLatencyMs = 50;
constexpr int kSearchRuns = 3;
constexpr int kStartUpRuns = 5;
constexpr int kHitsForMemory = 120;
// No run of the benchmark waits longer for a search than this.
constexpr int kSearchBoundMs = 180000;

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The sample sites in a process of their own, storing their addresses in the
// settings of this run's XDG folders.
class SampleSites
{
public:
    // With `apply`, the addresses go to the settings too.
    SampleSites(const QString &log, int latencyMs, bool apply = true)
    {
        QStringList arguments{QStringLiteral("--latency"), QString::number(latencyMs), QStringLiteral("--log"), log};
        if (apply)
            arguments.prepend(QStringLiteral("--apply"));
        m_process.start(QStringLiteral(PELLICAM_SAMPLE_SITES), arguments);
        QByteArray output;
        while (m_process.waitForReadyRead(10000)) {
            output += m_process.readAll();
            if (!output.contains("Ready"))
                continue;
            for (const QByteArray &line : output.split('\n')) {
                const qsizetype equals = line.indexOf('=');
                if (equals > 0)
                    m_settings.append({QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1))});
            }
            return;
        }
        std::fputs("pellicam-sample-sites did not start\n", stderr);
        std::exit(1);
    }
    ~SampleSites()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

    // The address settings it printed, in its order.
    const QList<QPair<QString, QString>> &settings() const { return m_settings; }

private:
    QProcess m_process;
    QList<QPair<QString, QString>> m_settings;
};

// The sample sites on servers of their own, one per address setting, as real
// sites are on hosts of their own: the fetcher keeps only a few connections
// at a time to one host, which one shared server would make everybody wait for.
class SpreadSampleSites
{
public:
    SpreadSampleSites(const QString &folder, int latencyMs)
    {
        start(folder, latencyMs, true);
        const QList<QPair<QString, QString>> settings = m_servers.front()->settings();
        while (m_servers.size() < size_t(settings.size()))
            start(folder, latencyMs, false);
        // IMP Awards is searched through the search engine, which links to its own server's pages.
        qsizetype impAwards = 0;
        for (qsizetype k = 0; k < settings.size(); ++k)
            if (settings[k].first == u"Hote-IMPAwards")
                impAwards = k;
        SettingsStore store;
        for (qsizetype k = 0; k < settings.size(); ++k) {
            const qsizetype server = settings[k].first == u"Hote-MoteurRecherche" ? impAwards : k;
            store.EcritValeur(settings[k].first, m_servers[size_t(server)]->settings().value(k).second);
        }
    }
    const QStringList &logs() const { return m_logs; }

private:
    void start(const QString &folder, int latencyMs, bool apply)
    {
        m_logs << folder + QStringLiteral("/requests-%1.log").arg(m_servers.size());
        m_servers.push_back(std::make_unique<SampleSites>(m_logs.last(), latencyMs, apply));
    }

    std::vector<std::unique_ptr<SampleSites>> m_servers;
    QStringList m_logs;
};

// How many requests came one after the other: the longest chain in which each
// arrived after the previous one's reply was due.
int sequentialRequests(const QStringList &logs, int latencyMs)
{
    std::vector<qint64> arrivals;
    for (const QString &log : logs) {
        QFile file(log);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd())
            arrivals.push_back(file.readLine().split(' ').value(0).toLongLong());
    }
    std::sort(arrivals.begin(), arrivals.end());
    int chain = 0;
    qint64 free = std::numeric_limits<qint64>::min();
    for (const qint64 arrival : arrivals) {
        if (arrival >= free) {
            ++chain;
            free = arrival + latencyMs;
        }
    }
    return chain;
}

int requestCount(const QStringList &logs)
{
    int count = 0;
    for (const QString &log : logs) {
        QFile file(log);
        if (file.open(QIODevice::ReadOnly))
            count += int(file.readAll().count('\n'));
    }
    return count;
}

// Runs the main loop for `ms`: thumbnails still in flight after a run land meanwhile.
void runLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct SearchFigures
{
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

// One press on the search button, then the main loop until the run is over.
SearchFigures timedSearch(Program &program)
{
    QEventLoop loop;
    QObject::connect(&program, &Program::runFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kSearchBoundMs, &loop, &QEventLoop::quit);
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    program.Lance(1);
    if (program.searching())
        loop.exec();
    if (program.searching())
        std::fputs("a search did not end within the bound\n", stderr);
    return {clock.nsecsElapsed() / 1e9, cpuSeconds(RUSAGE_SELF) - cpuBefore};
}

void tickOnly(Program &program, const QList<int> &bases)
{
    for (int base = 0; base < program.catalogue().baseCount(); ++base)
        program.catalogue().setTick(base, bases.contains(base) ? 1 : 0);
    program.catalogue().AfficheNbrCoche();
}

// The program as the window puts it together, on the settings the sample sites wrote.
struct BenchProgram
{
    BenchProgram()
    {
        assembly.readSettings();
        program.state().ModeConnexion = Download::kForceUpdate; // every run reads the network
        program.state().BaseUnique = false;
        program.setTitle(QStringLiteral("matrix"));
    }

    SettingsStore store;
    Assembly assembly{store};
    Program &program = assembly.program();
};

void searchEveryBase(const QString &folder)
{
    const SpreadSampleSites sites(folder, kLatencyMs);
    const QStringList &logs = sites.logs();
    BenchProgram bench;
    Program &program = bench.program;
    const QList<int> bases = program.catalogue().rowOrder();

    std::vector<double> walls, cpus, ratios, lowerRatios, slowests;
    std::vector<std::vector<double>> alone(size_t(program.catalogue().baseCount()));
    int hits = 0, requests = 0, sequential = 0;
    for (int run = 0; run < kSearchRuns; ++run) {
        tickOnly(program, bases);
        for (const QString &log : logs)
            QFile::resize(log, 0);
        const SearchFigures whole = timedSearch(program);
        runLoopFor(3 * kLatencyMs);
        hits = program.results().NbResultats();
        requests = requestCount(logs);
        sequential = sequentialRequests(logs, kLatencyMs);
        const double lowerBound = sequential * kLatencyMs / 1000.0;

        double slowest = 0;
        for (const int base : bases) {
            tickOnly(program, {base});
            const double wall = timedSearch(program).wallSeconds;
            runLoopFor(3 * kLatencyMs);
            alone[size_t(base)].push_back(wall);
            slowest = std::max(slowest, wall);
        }
        walls.push_back(whole.wallSeconds);
        cpus.push_back(whole.cpuSeconds);
        lowerRatios.push_back(lowerBound > 0 ? whole.wallSeconds / lowerBound : 0);
        slowests.push_back(slowest);
        ratios.push_back(slowest > 0 ? whole.wallSeconds / slowest : 0);
    }
    std::printf("search of all %lld bases (%lld with a site), each site on a server of its own, %d ms per reply (median of %d runs)\n",
                static_cast<long long>(bases.size()), static_cast<long long>(bases.size()), kLatencyMs,
                kSearchRuns);
    std::printf("  hits                      %d\n", hits);
    std::printf("  requests                  %d, of which %d one after the other\n", requests, sequential);
    std::printf("  wall time                 %.2f s\n", median(walls));
    std::printf("  lower bound               %.2f s (%d x %d ms)\n", sequential * kLatencyMs / 1000.0, sequential,
                kLatencyMs);
    std::printf("  wall / lower bound        %.2f\n", median(lowerRatios));
    std::printf("  slowest base alone        %.2f s\n", median(slowests));
    std::printf("  wall / slowest alone      %.2f (goal <= 1.1)\n", median(ratios));
    std::printf("  process CPU               %.3f s\n", median(cpus));
    std::printf("  process CPU / wall        %.3f\n", median(cpus) / median(walls));
    std::printf("  each base alone, s:");
    for (const int base : bases)
        std::printf(" %s %.2f", qPrintable(program.catalogue().displayName(base)), median(alone[size_t(base)]));
    std::printf("\n");
}

// The same search with one site that takes the connection and never answers.
void searchWithAStalledSite(const QString &folder)
{
    SampleSites sites(folder + QStringLiteral("/stalled.log"), kLatencyMs);
    FixtureServer stalled;
    if (!stalled.listen()) {
        std::puts("search with a stalled site: no server");
        return;
    }
    stalled.setFallback([](const FixtureServer::Request &) {
        FixtureServer::Reply reply;
        reply.stall = true;
        return reply;
    });
    BenchProgram bench;
    const SiteCatalogue &catalogue = bench.program.catalogue();
    const int base = catalogue.rowOrder().first();
    bench.store.EcritValeur(catalogue.bases()[base].addressSetting, stalled.url());
    tickOnly(bench.program, catalogue.rowOrder());
    const double wall = timedSearch(bench.program).wallSeconds;
    std::printf("search of all bases, %s never answers, the others %d ms per reply\n",
                qPrintable(catalogue.displayName(base)), kLatencyMs);
    std::printf("  wall time                 %.2f s (a read is given up after %.0f s)\n", wall,
                Download::Timing{}.limitMs / 1000.0);
    std::printf("  requests to the stalled   %lld\n", static_cast<long long>(stalled.requests().size()));
}

QByteArray thumbnailJpeg()
{
    QImage picture(111, 172, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    return bytes;
}

// The child of the memory figure: a MovieCovers search whose page lists more
// hits than the list holds, each with its thumbnail. With `search` false it
// only sets up, for the baseline.
int memoryChild(bool search)
{
    FixtureServer server;
    if (!server.listen())
        return 1;
    QByteArray page = "<html><body>";
    for (int i = 1; i <= kHitsForMemory; ++i)
        page += "<a href='/film/titre_FILM" + QByteArray::number(i) + ".html'>FILM " + QByteArray::number(i)
                + "</a> (1999)<br>\n";
    page += "</body></html>";
    const QByteArray jpeg = thumbnailJpeg();
    server.setFallback([&](const FixtureServer::Request &request) {
        FixtureServer::Reply reply;
        if (request.path.endsWith(".jpg")) {
            reply.body = jpeg;
            reply.contentType = "image/jpeg";
        } else {
            reply.body = page;
        }
        return reply;
    });

    SettingsStore store;
    store.EcritValeur(QStringLiteral("Hote-MovieCovers"), server.url(QStringLiteral("/mc")));
    Assembly assembly(store);
    assembly.readSettings();
    Program &program = assembly.program();
    program.state().ModeConnexion = Download::kForceUpdate;
    program.state().BaseUnique = false;
    tickOnly(program, {6});
    program.setTitle(QStringLiteral("film"));
    if (search) {
        timedSearch(program);
        runLoopFor(500);
    }
    std::printf("%d\n", program.results().NbResultats());
    return 0;
}

// Peak resident size of a child running `mode`, in MiB.
double childPeakMiB(const QString &mode, int &hits)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {mode});
    child.waitForFinished(120000);
    hits = child.readAllStandardOutput().trimmed().toInt();
    // ru_maxrss of RUSAGE_CHILDREN is the largest child so far: each mode gets a fresh parent.
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A library of fifty films searched on every base, one poster each, as
// `pellicam-cli library` fetches them.
void libraryOfFifty(const QString &folder)
{
    constexpr int kFilms = 50;
    const SpreadSampleSites sites(folder, kLatencyMs);
    BenchProgram bench;
    Program &program = bench.program;
    tickOnly(program, program.catalogue().rowOrder());
    program.setQuietSearch(true);
    const std::pair<const char *, int> titles[] = {
        {"The Matrix", 1999}, {"Alien", 1979}, {"Le Parrain", 1972}, {"Star Wars", 1977},
        {"Matrix Reloaded", 2003}, {"The Godfather Part II", 1974}, {"Dune", 1984}, {"Nosferatu", 1922},
    };
    QTemporaryDir library;
    QList<LibraryRun::Film> films;
    for (int i = 0; i < kFilms; ++i) {
        const auto &[title, year] = titles[i % std::size(titles)];
        films.append({library.filePath(QStringLiteral("film-%1").arg(i)), {}, QString::fromUtf8(title), year});
        QDir().mkpath(films.last().folder);
    }
    for (const QString &log : sites.logs())
        QFile::resize(log, 0);
    LibraryRun run(program, bench.assembly.retrieval(), {});
    int written = 0;
    QElapsedTimer clock;
    clock.start();
    for (const LibraryRun::Film &film : films)
        written += QCoro::waitFor(run.posterFor(film)).outcome == LibraryRun::Outcome::Written ? 1 : 0;
    const double wall = clock.nsecsElapsed() / 1e9;
    std::printf("library of %d films on every base, %d ms per reply\n", kFilms, kLatencyMs);
    std::printf("  wall time                 %.2f s\n", wall);
    std::printf("  films per minute          %.0f\n", kFilms / wall * 60);
    std::printf("  requests per film         %.1f\n", double(requestCount(sites.logs())) / kFilms);
    std::printf("  posters written           %d\n", written);
}

void memory()
{
    int hits = 0;
    QProcess self;
    self.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory-baseline-parent")});
    self.waitForFinished(120000);
    const double baseline = self.readAllStandardOutput().trimmed().toDouble();
    const double peak = childPeakMiB(QStringLiteral("--memory-child"), hits);
    std::printf("memory of a headless search that fills the list (%d hits with their thumbnails)\n", hits);
    std::printf("  peak resident size        %.1f MiB\n", peak);
    std::printf("  of which the set-up       %.1f MiB (the same process without the search)\n", baseline);
}

void startUp(const QString &folder)
{
    SampleSites sites(folder + QStringLiteral("/startup.log"), 0);
    SettingsStore store;
    // No update announcement: it would wait for an answer.
    store.EcritValeur(QStringLiteral("LiveUpdate"), QStringLiteral("2099-01-01T00:00:00"));
    store.EcritValeur(QStringLiteral("Historique-Max"), QStringLiteral("75"));

    std::vector<double> times;
    for (int run = 0; run < kStartUpRuns; ++run) {
        QProcess gui;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        gui.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        gui.start(QStringLiteral(PELLICAM_GUI), {QStringLiteral("--exit-when-shown")});
        double shown = 0;
        while (gui.waitForReadyRead(30000)) {
            if (gui.readAllStandardOutput().contains("shown")) {
                shown = clock.nsecsElapsed() / 1e6;
                break;
            }
        }
        gui.waitForFinished(30000);
        if (shown > 0)
            times.push_back(shown);
    }
    if (times.empty()) {
        std::puts("start-up: the window never said it was shown");
        return;
    }
    std::printf("start-up, process start to main window shown, offscreen (median of %zu)\n", times.size());
    std::printf("  time                      %.0f ms\n", median(times));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.contains(QStringLiteral("--memory-child")))
        return memoryChild(true);
    if (args.contains(QStringLiteral("--memory-baseline")))
        return memoryChild(false);
    if (args.contains(QStringLiteral("--memory-baseline-parent"))) {
        int hits = 0;
        std::printf("%.1f\n", childPeakMiB(QStringLiteral("--memory-baseline"), hits));
        return 0;
    }

    // Settings and caches of this run only.
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", (folder.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (folder.path() + QStringLiteral("/cache")).toUtf8());

    searchEveryBase(folder.path());
    searchWithAStalledSite(folder.path());
    libraryOfFifty(folder.path());
    memory();
    startUp(folder.path());
    return 0;
}
