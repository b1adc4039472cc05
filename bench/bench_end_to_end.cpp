// Whole-program figures: a search of every base against the sample sites with
// a fixed latency per reply, the peak memory of a search that fills the list,
// and the window's start-up time. Prints the figures; nothing is asserted.

#include "core/program.h"
#include "core/site_catalogue.h"
#include "fixture_server.h"
#include "net/download.h"
#include "core/options.h"
#include "settings/settings_store.h"
#include "sites/site_registry.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

constexpr int kLatencyMs = 50;
constexpr int kSearchRuns = 3;
constexpr int kStartUpRuns = 5;
constexpr int kBases = 14;
constexpr int kHitsForMemory = 120;

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
    SampleSites(const QString &log, int latencyMs)
    {
        m_process.start(QStringLiteral(PELLICAM_SAMPLE_SITES),
                        {QStringLiteral("--apply"), QStringLiteral("--latency"), QString::number(latencyMs),
                         QStringLiteral("--log"), log});
        while (m_process.waitForReadyRead(10000))
            if (m_process.readAll().contains("Ready"))
                return;
        std::fputs("pellicam-sample-sites did not start\n", stderr);
        std::exit(1);
    }
    ~SampleSites()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};

// How many requests came one after the other: the longest chain in which each
// arrived after the previous one's reply was due.
int sequentialRequests(const QString &log, int latencyMs)
{
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    std::vector<qint64> arrivals;
    while (!file.atEnd())
        arrivals.push_back(file.readLine().split(' ').value(0).toLongLong());
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

int requestCount(const QString &log)
{
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return int(file.readAll().count('\n'));
}

void searchEveryBase(const QString &folder)
{
    const QString log = folder + QStringLiteral("/requests.log");
    SampleSites sites(log, kLatencyMs);

    SettingsStore store;
    Program program(store);
    registerSites(program);
    LitOptions(store, program.state(), program.catalogue());
    program.state().ModeConnexion = Download::kForceUpdate; // every run reads the network
    program.state().BaseUnique = false;
    for (int base = 0; base < kBases; ++base)
        program.catalogue().setTick(base, 1);
    program.setTitle(QStringLiteral("matrix"));

    std::vector<double> walls, ratios, cpuShares;
    int hits = 0, requests = 0, sequential = 0;
    for (int run = 0; run < kSearchRuns; ++run) {
        QFile::resize(log, 0);
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer clock;
        clock.start();
        program.Lance(1);
        const double wall = clock.nsecsElapsed() / 1e9;
        const double cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
        // Thumbnails still in flight land after the run; let them, before the log is read.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 3 * kLatencyMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

        hits = program.results().NbResultats();
        requests = requestCount(log);
        sequential = sequentialRequests(log, kLatencyMs);
        const double lowerBound = sequential * kLatencyMs / 1000.0;
        walls.push_back(wall);
        ratios.push_back(lowerBound > 0 ? wall / lowerBound : 0);
        cpuShares.push_back(cpu / wall);
    }
    std::printf("search of all %d bases, %d ms per reply (median of %d runs)\n", kBases, kLatencyMs, kSearchRuns);
    std::printf("  hits                      %d\n", hits);
    std::printf("  requests                  %d, of which %d one after the other\n", requests, sequential);
    std::printf("  wall time                 %.2f s\n", median(walls));
    std::printf("  lower bound               %.2f s (%d x %d ms)\n", sequential * kLatencyMs / 1000.0, sequential,
                kLatencyMs);
    std::printf("  wall / lower bound        %.2f\n", median(ratios));
    std::printf("  process CPU / wall        %.3f\n", median(cpuShares));
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
    Program program(store);
    registerSites(program);
    LitOptions(store, program.state(), program.catalogue());
    program.state().ModeConnexion = Download::kForceUpdate;
    program.state().BaseUnique = false;
    program.catalogue().setTick(6, 1);
    program.setTitle(QStringLiteral("film"));
    if (search)
        program.Lance(1);
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
    memory();
    startUp(folder.path());
    return 0;
}
