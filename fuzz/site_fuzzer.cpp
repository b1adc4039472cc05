#include "site_fuzzer.h"

#include "core/program.h"
#include "core/result_list.h"
#include "core/site_catalogue.h"
#include "net/download.h"
#include "output/retrieval.h"
#include "sitefiles/file_site.h"
#include "sitefiles/site_file_reader.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QStandardPaths>
#include <QUrl>

#include <vector>

namespace {

// Short enough that a page which never comes costs little, long enough that
// a loaded machine still gets every answer in time.
constexpr Download::Timing kTiming = {50, 200, 1};

// Thumbnail addresses are only compared; a long run must not keep them all.
constexpr qsizetype kMaxPictures = 4096;
constexpr int kInputsPerServer = 10000;

// The typed title: the captured pages are the answers for it.
const QString kTitle = QStringLiteral("matrix");

QString addressKey(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
}

// Qt wants its application object before any socket. The fuzzer's own
// arguments are none of Qt's business, and settings and caches go to the
// test locations, never the user's.
void startApplication()
{
    static int argc = 1;
    static char name[] = "pellicam-fuzz";
    static char *argv[] = {name, nullptr};
    QStandardPaths::setTestModeEnabled(true);
    // Never destroyed: nothing of Qt is torn down while libFuzzer exits.
    new QCoreApplication(argc, argv);
}

// Runs the main loop until `sender` sends `signal`, unless `underWay` is already
// false. One that never comes is a hang, which libFuzzer's time limit reports.
template<typename Sender, typename Signal>
void runUntil(bool underWay, Sender *sender, Signal signal)
{
    if (!underWay)
        return;
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

SiteFuzzer::SiteFuzzer(int base, SiteAdapter *site)
{
    Program &program = m_test.program;
    if (site) {
        program.setSearch(base, [site, base](SiteSearch &search) { return site->search(search, base); }, site->name());
        program.retrieval().setResolver(base, [site](PictureRequest &request) { return site->picture(request); });
    }
    program.download().setTiming(kTiming);
    startServer();
    // A lone base's hits are placed as they come, so a thumbnail's address is
    // on its slot before the read reaches the server.
    QObject::connect(&program.results(), &ResultList::slotChanged, [this, &program](int slot) {
        const QString url = program.results().slot(slot).thumbnailUrl;
        if (url.isEmpty())
            return;
        if (m_pictures.size() >= kMaxPictures)
            m_pictures.clear();
        m_pictures.insert(addressKey(QUrl(url)));
    });

    for (int b = 0; b < program.catalogue().baseCount(); ++b)
        program.catalogue().setTick(b, b == base ? 1 : 0);
    program.catalogue().AfficheNbrCoche();
    program.setTitle(kTitle);
}

void SiteFuzzer::startServer()
{
    m_server = std::make_unique<FixtureServer>();
    m_server->listen();
    m_server->setFallback([this](const FixtureServer::Request &request) { return answer(request); });
    ProgramState &state = m_test.program.state();
    state.ProxyHost = QStringLiteral("127.0.0.1");
    state.ProxyPort = m_server->port();
    m_inputsServed = 0;
}

FixtureServer::Reply SiteFuzzer::answer(const FixtureServer::Request &request)
{
    FixtureServer::Reply reply;
    // Kept out of the disk cache: storing every page would cost more than the search.
    reply.headers.append(FixtureServer::Header("Cache-Control", "no-store"));
    if (m_pictures.contains(addressKey(QUrl::fromEncoded(request.target))))
        reply.status = 404;
    else
        reply.body = m_page;
    return reply;
}

void SiteFuzzer::play(QByteArrayView page)
{
    // The server keeps a little of every connection it saw.
    if (++m_inputsServed > kInputsPerServer)
        startServer();
    m_page = page.toByteArray();
    m_server->clearRequests();
    Program &program = m_test.program;
    program.Lance(1);
    runUntil(program.searching(), &program, &Program::runFinished);
    // A press on the first hit: some sites read one or two more pages to find
    // the full picture. No output actions are set, so nothing is shown.
    if (program.results().NbResultats() > 0) {
        Retrieval &retrieval = program.retrieval();
        retrieval.thumbPressed(0, 1);
        runUntil(retrieval.downloading(), &retrieval, &Retrieval::finished);
    }
    // A search or a retrieval that does not give the buttons back leaves the
    // program unable to search again: as bad as a hang.
    if (program.searching() || program.retrieval().downloading() || !program.searchButtonEnabled())
        qFatal("the search or the retrieval did not end");
    program.EffaceResultats();
    // Each picture is saved under its hit's title: a long run would fill the disk.
    QDir cache(program.state().DossierTemp);
    cache.removeRecursively();
    cache.mkpath(QStringLiteral("."));
}

int fuzzSite(int base, const uint8_t *data, size_t size)
{
    static SiteFuzzer *fuzzer = [base] {
        startApplication();
        return new SiteFuzzer(base);
    }();
    fuzzer->play(QByteArrayView(data, qsizetype(size)));
    return 0;
}

int fuzzSiteFiles(const QList<QByteArray> &files, const uint8_t *data, size_t size)
{
    struct Run
    {
        std::unique_ptr<FileSite> site;
        std::unique_ptr<SiteFuzzer> fuzzer;
    };
    static std::vector<Run> *runs = [&files] {
        startApplication();
        auto *made = new std::vector<Run>;
        for (const QByteArray &file : files) {
            const SiteFileReading reading = readSiteText(file, QStringLiteral("fuzz.yaml"));
            if (!reading.usable())
                qFatal("a fixed file is broken: %s", qPrintable(reading.errors.first().text()));
            Run run{std::make_unique<FileSite>(reading.site, 0), nullptr};
            run.fuzzer = std::make_unique<SiteFuzzer>(0, run.site.get());
            made->push_back(std::move(run));
        }
        return made;
    }();
    for (Run &run : *runs)
        run.fuzzer->play(QByteArrayView(data, qsizetype(size)));
    return 0;
}
