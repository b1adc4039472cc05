// How much processor a waited read burns while the network is slow: waits are
// nested event loops, so the process should sleep through them.

#include "settings/program_state.h"
#include "fixture_server.h"
#include "net/download.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

void BM_WaitedStartOnASlowReply(benchmark::State &state)
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
        download.Start(server.url("/slow"), "Html", false, true);
        wall += clock.nsecsElapsed() / 1e9;
        cpu += processCpuSeconds() - cpuBefore;
        if (programState.PageHtml.isEmpty())
            state.SkipWithError("the page did not arrive");
    }
    state.counters["cpu_s"] = cpu / double(state.iterations());
    state.counters["wall_s"] = wall / double(state.iterations());
    state.counters["cpu_over_wall"] = cpu / wall;
}
BENCHMARK(BM_WaitedStartOnASlowReply)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
