// pellicam-cli: the program's core without a window.

#include "app/cli_library.h"
#include "app/cli_output.h"
#include "app/cli_site_files.h"
#include "assembly/assembly.h"
#include "core/download_folders.h"
#include "core/program.h"
#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "core/site_report.h"
#include "output/file_copy.h"
#include "output/output_actions.h"
#include "output/retrieval.h"
#include "core/options.h"
#include "settings/settings_store.h"
#include "update/version.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkProxyFactory>
#include <QStringList>
#include <QTextStream>
#include <optional>

using namespace CliOutput;

namespace {

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
        // An empty name or a separator would write another value than the one named.
        if (args[1].isEmpty() || args[1].contains(u'/') || args[1].contains(u'\\'))
            return usageError(QStringLiteral("a setting name is not empty and holds no '/' or '\\'"));
        store.EcritValeur(args[1], args[2]);
        return kExitOk;
    }
    if (action == u"unset" && args.size() == 2) {
        store.EffaceValeur(args[1]);
        return kExitOk;
    }
    return usageError(QStringLiteral("config takes: get NAME | set NAME VALUE | unset NAME"));
}

int runBases(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(QStringLiteral("bases takes no argument"));
    SettingsStore store;
    Assembly assembly(store);
    QTextStream out(stdout);
    for (const SiteCatalogue::BaseInfo &base : assembly.program().catalogue().bases()) {
        const char *group = base.language == SiteCatalogue::Language::Fr   ? "Fr"
                            : base.language == SiteCatalogue::Language::Us ? "Us"
                                                                           : "Fr/Us";
        const char *kind = base.kind == SiteCatalogue::Kind::Posters ? "posters" : "jackets";
        out << base.index << '\t' << withoutControls(base.name) << '\t' << group << '\t' << kind << '\t'
            << withoutControls(base.file) << '\n';
    }
    return kExitOk;
}

struct SearchOptions
{
    std::optional<QString> baseList; // none: the stored ticks
    std::optional<QList<int>> bases;
    bool exact = false;
    bool json = false;
    int hit = 0;
    QString into;
    QString title;
};

// The --bases list read against the bases there are; an error message when it names none of them.
QString resolveBases(SearchOptions &options, const SiteCatalogue &catalogue)
{
    if (!options.baseList)
        return {};
    options.bases = parseBases(*options.baseList, catalogue);
    return options.bases ? QString() : basesProblem(catalogue);
}

enum class Command { Search, Download, Check };

// Reads the options of `search`, `download` and `check`; an error message when they are wrong.
QString parseSearchOptions(const QStringList &args, Command command, SearchOptions &options)
{
    const bool download = command == Command::Download;
    QStringList words;
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (optionsEnded || arg == u"-" || !arg.startsWith(u'-')) {
            words << arg;
        } else if (arg == u"--") {
            optionsEnded = true;
        } else if (arg == u"--bases" && hasValue) {
            options.baseList = args[++i];
        } else if (arg == u"--exact") {
            options.exact = true;
        } else if (arg == u"--json" && !download) {
            options.json = true;
        } else if (arg == u"--hit" && download && hasValue) {
            bool ok = false;
            options.hit = args[++i].toInt(&ok);
            if (!ok || options.hit < 1)
                return QStringLiteral("--hit takes a hit number from 1");
        } else if (arg == u"--into" && download && hasValue) {
            options.into = args[++i];
            if (options.into.isEmpty())
                return QStringLiteral("--into takes a folder");
        } else {
            return QStringLiteral("unknown option or missing value: %1").arg(arg);
        }
    }
    options.title = words.join(u' ');
    if (command == Command::Check && words.isEmpty())
        options.title = QStringLiteral("matrix");
    if (options.title.trimmed().isEmpty())
        return QStringLiteral("a film title is needed");
    if (download && options.hit == 0)
        return QStringLiteral("download needs --hit N");
    return {};
}

// Prints the hits from `first` on; returns where the next print starts.
int printHits(const ResultList &results, bool json, int first)
{
    QTextStream out(stdout);
    int index = first;
    for (; index <= results.NbResultats(); ++index) {
        const ResultEntry &hit = results.entry(index);
        const ResultList::Slot &slot = results.slot(index - 1);
        const bool shown = index <= results.NbVignettes() && slot.shown;
        if (json) {
            out << "{\"index\":" << index << ",\"site\":" << jsonString(hit.Site)
                << ",\"title\":" << jsonString(hit.Title) << ",\"year\":" << hit.Year
                << ",\"key\":" << jsonString(hit.Key) << ",\"extra\":" << jsonString(hit.Extra)
                << ",\"thumbnail\":" << jsonString(slot.thumbnailUrl)
                << ",\"shown\":" << (shown ? "true" : "false") << "}\n";
        } else {
            out << index << ". " << withoutControls(hit.Title);
            if (hit.Year >= 1)
                out << " (" << hit.Year << ')';
            out << " [" << withoutControls(hit.Site) << "]" << (shown ? "" : " (hidden)") << '\n';
        }
    }
    out.flush();
    return index;
}

// The bases whose site failed, one line each on standard error.
void warnOfFailures(const QList<SiteReport> &reports, int langOffset)
{
    QTextStream err(stderr);
    for (const SiteReport &report : reports) {
        if (!report.isSound())
            err << "base " << report.base << ", " << report.site << ": " << SiteReport::word(report.outcome) << ": "
                << plainDetail(report, langOffset) << '\n';
    }
}

// Copies replace an older copy without a question, in one step.
class FileCopies : public OutputActions
{
public:
    QCoro::Task<bool> copyFile(QString source, QString destination) override
    {
        const QString folder = QFileInfo(destination).absolutePath();
        QDir().mkpath(folder);
        QString why;
        if (copyReplacing(source, destination, &why))
            co_return true;
        m_problem = QStringLiteral("the picture could not be copied into %1").arg(QDir::toNativeSeparators(folder));
        if (!why.isEmpty())
            m_problem += QStringLiteral(" (%1)").arg(why);
        co_return false;
    }
    void openDocument(const QString &) override {}
    void showInSystemViewer(const QString &) override {}
    void showInViewer(const QString &, int) override {}

    // Why the last copy failed; empty when none did.
    QString problem() const { return m_problem; }

private:
    QString m_problem;
};

// Runs a search as the window does: same settings, same order, same adapters.
// Each base's hits are printed once they are placed, when `print` is set.
void runSearch(Assembly &assembly, const SearchOptions &options, bool print)
{
    Program &program = assembly.program();
    assembly.readSettings();
    tickSearchedBases(program, options.bases);

    QObject::connect(&program, &Program::statusChanged, [](const QString &status) {
        if (!status.isEmpty())
            QTextStream(stderr) << status << '\n';
    });
    int printed = 1;
    // Ends the connection with the locals it refers to.
    QObject printing;
    if (print) {
        QObject::connect(&program, &Program::hitsPlaced, &printing, [&] {
            printed = printHits(program.results(), options.json, printed);
        });
    }
    program.setTitle(options.title);
    program.Lance(options.exact ? 2 : 1);
    waitFor(program.searching(), &program, &Program::runFinished);
    // A stopped base's hits are counted though not placed.
    if (print)
        printHits(program.results(), options.json, printed);
}

QList<SiteReport> reportsOf(Program &program)
{
    return program.run() ? program.run()->reports() : QList<SiteReport>();
}

int runCheckCommand(const QStringList &args)
{
    SearchOptions options;
    if (const QString problem = parseSearchOptions(args, Command::Check, options); !problem.isEmpty())
        return usageError(problem);
    SettingsStore store;
    Assembly assembly(store);
    if (const QString problem = resolveBases(options, assembly.program().catalogue()); !problem.isEmpty())
        return usageError(problem);
    runSearch(assembly, options, false);
    bool sound = true;
    const int langOffset = assembly.program().state().LangOffset;
    for (const SiteReport &report : reportsOf(assembly.program())) {
        QTextStream(stdout) << reportLine(report, options.json, langOffset) << '\n';
        sound = sound && report.isSound();
    }
    return sound ? kExitOk : kExitFailed;
}

int runSearchCommand(const QStringList &args, bool download)
{
    SearchOptions options;
    const Command command = download ? Command::Download : Command::Search;
    if (const QString problem = parseSearchOptions(args, command, options); !problem.isEmpty())
        return usageError(problem);

    SettingsStore store;
    const QString folder = options.into.isEmpty() ? DownloadFolders::selected(store) : options.into;
    if (download && folder.isEmpty()) {
        QTextStream(stderr) << "pellicam-cli: no download folder is set: give one with --into DIR\n";
        return kExitUsage;
    }
    Assembly assembly(store);
    Program &program = assembly.program();
    if (const QString problem = resolveBases(options, program.catalogue()); !problem.isEmpty())
        return usageError(problem);
    FileCopies copies;
    program.retrieval().setOutputActions(&copies);
    runSearch(assembly, options, !download);
    warnOfFailures(reportsOf(program), program.state().LangOffset);
    if (!download)
        return kExitOk;
    if (options.hit > program.results().NbVignettes())
        return failure(QStringLiteral("there is no hit %1").arg(options.hit));
    program.retrieval().setSaveFolder(QFileInfo(folder).absoluteFilePath());
    program.retrieval().downloadClicked(options.hit - 1);
    waitFor(program.retrieval().downloading(), &program.retrieval(), &Retrieval::finished);
    if (program.retrieval().lastCopy().isEmpty())
        return failure(copies.problem().isEmpty() ? QStringLiteral("hit %1 could not be fetched").arg(options.hit)
                                                  : copies.problem());
    QTextStream(stdout) << program.retrieval().lastCopy() << '\n';
    return kExitOk;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.value(0) == u"--no-site-files") {
        qputenv("PELLICAM_NO_SITE_FILES", "1");
        args.removeFirst();
    }
    const QString command = args.value(0);
    if (command == u"--help" || command == u"-h" || command == u"help") {
        QTextStream(stdout) << usage();
        return kExitOk;
    }
    if (command == u"--version") {
        QTextStream(stdout) << "pellicam-cli " << kVersion << '\n';
        return kExitOk;
    }
    if (command == u"config")
        return runConfig(args.mid(1));
    if (command == u"bases")
        return runBases(args.mid(1));
    if (command == u"library")
        return runLibrary(args.mid(1));
    if (command == u"sites")
        return runSites(args.mid(1));
    if (command == u"site")
        return runSite(args.mid(1));
    if (command == u"check")
        return runCheckCommand(args.mid(1));
    if (command == u"search" || command == u"download")
        return runSearchCommand(args.mid(1), command == u"download");
    return usageError(command.isEmpty() ? QString() : QStringLiteral("unknown command: %1").arg(command));
}
