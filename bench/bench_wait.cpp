// How much processor a waited read burns while the network is slow: the
// waiting task is suspended and the main loop sleeps until the reply.

#include "settings/program_state.h"
#include "fixture_server.h"
#include "net/download.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int kReplyDelayMs = 2000;

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Fetches `url` as a site's page, waited for, and says when it is over.
QCoro::Task<> fetchPage(Download &download, QString url, QByteArray &body, bool &done)
{
    body = (co_await download.fetch(url, Download::Purpose::Page)).body;
    done = true;
}

QByteArray fetchWithTheMainLoop(Download &download, const QString &url)
{
    QByteArray body;
    bool done = false;
    QCoro::Task<> task = fetchPage(download, url, body, done);
    // Sleeps until the next event, as the main loop does.
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return body;
}

void BM_WaitedFetchOnASlowReply(benchmark::State &state)
{
    FixtureServer server;
    server.listen();
    FixtureServer::Reply slow;
    slow.body = "<html>slow page</html>";
    slow.delayMs = kReplyDelayMs;
    server.setReply("/slow", slow);

    QTemporaryDir cache;
    ProgramState programState;
    programState.ModeConnexion = Download::kForceUpdate;
    Download download(programState, cache.path());

    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        const QByteArray page = fetchWithTheMainLoop(download, server.url("/slow"));
        wall += clock.nsecsElapsed() / 1e9;
        cpu += processCpuSeconds() - cpuBefore;
        if (page.isEmpty())
            state.SkipWithError("the page did not arrive");
    }
    state.counters["cpu_s"] = cpu / double(state.iterations());
    state.counters["wall_s"] = wall / double(state.iterations());
    state.counters["cpu_over_wall"] = cpu / wall;
}
BENCHMARK(BM_WaitedFetchOnASlowReply)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
