#include "app/cli_library.h"

#include "app/cli_output.h"
#include "assembly/assembly.h"
#include "core/program.h"
#include "core/site_catalogue.h"
#include "library/film_finder.h"
#include "library/film_name.h"
#include "library/library_run.h"
#include "settings/settings_store.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QTextStream>
#include <csignal>
#include <unistd.h>

using namespace CliOutput;

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void interrupted(int)
{
    g_interrupted = 1;
}

constexpr int kExitInterrupted = 130;

struct LibraryOptions
{
    std::optional<QString> baseList;
    LibraryRun::Options run;
    bool json = false;
    QString folder;
};

QString parseOptions(const QStringList &args, LibraryOptions &options)
{
    QStringList words;
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (optionsEnded || arg == u"-" || !arg.startsWith(u'-'))
            words << arg;
        else if (arg == u"--")
            optionsEnded = true;
        else if (arg == u"--bases" && hasValue)
            options.baseList = args[++i];
        else if (arg == u"--name" && hasValue)
            options.run.name = args[++i];
        else if (arg == u"--jackets")
            options.run.jackets = true;
        else if (arg == u"--overwrite")
            options.run.overwrite = true;
        else if (arg == u"--dry-run")
            options.run.dryRun = true;
        else if (arg == u"--json")
            options.json = true;
        else
            return QStringLiteral("unknown option or missing value: %1").arg(arg);
    }
    // A name with a separator would write elsewhere than beside the film.
    if (options.run.name.isEmpty() || options.run.name.contains(u'/') || options.run.name.startsWith(u'.'))
        return QStringLiteral("--name takes a file name without '/', not starting with '.'");
    if (words.size() != 1)
        return QStringLiteral("library takes one folder");
    options.folder = words.first();
    const QFileInfo folder(options.folder);
    if (!folder.isDir() || !folder.isReadable())
        return QStringLiteral("no such readable folder: %1").arg(options.folder);
    return {};
}

struct Tally
{
    QMap<LibraryRun::Outcome, int> outcomes;
    QMap<QString, QString> failedSites; // site -> the outcome of its last failure
    int done = 0;
};

void printFilm(const LibraryRun::Film &film, const LibraryRun::Result &result, bool json)
{
    QTextStream out(stdout);
    if (json) {
        out << "{\"folder\":" << jsonString(film.folder) << ",\"title\":" << jsonString(film.title)
            << ",\"year\":" << film.year << ",\"outcome\":" << jsonString(LibraryRun::word(result.outcome))
            << ",\"site\":" << jsonString(result.site) << ",\"hit_title\":" << jsonString(result.hitTitle)
            << ",\"file\":" << jsonString(result.file) << "}\n";
        return;
    }
    const QString detail = result.outcome == LibraryRun::Outcome::NotFound
                               ? QStringLiteral("%1 hits, none of this title").arg(result.hits)
                           : result.outcome == LibraryRun::Outcome::Failed ? result.problem
                                                                           : result.file;
    out << LibraryRun::word(result.outcome) << '\t' << withoutControls(film.folder) << '\t'
        << withoutControls(film.title) << '\t' << (film.year > 0 ? QString::number(film.year) : QString()) << '\t'
        << withoutControls(detail) << '\n';
}

void showProgress(const Tally &tally, int total, const QString &current)
{
    using O = LibraryRun::Outcome;
    QTextStream(stderr) << "\r\x1b[K" << tally.done << '/' << total << ' ' << withoutControls(current).left(40) << " - "
                        << tally.outcomes.value(O::Written) + tally.outcomes.value(O::WouldWrite) << " written, "
                        << tally.outcomes.value(O::Kept) << " kept, " << tally.outcomes.value(O::NotFound)
                        << " not found" << Qt::flush;
}

void printSummary(const Tally &tally, bool progress)
{
    using O = LibraryRun::Outcome;
    QTextStream err(stderr);
    if (progress)
        err << "\r\x1b[K";
    err << tally.done << " films: " << tally.outcomes.value(O::Written) << " posters written";
    if (tally.outcomes.value(O::WouldWrite) > 0)
        err << ", " << tally.outcomes.value(O::WouldWrite) << " would be written";
    err << ", " << tally.outcomes.value(O::Kept) << " kept, " << tally.outcomes.value(O::NotFound) << " not found, "
        << tally.outcomes.value(O::Failed) << " failed\n";
    for (auto it = tally.failedSites.cbegin(); it != tally.failedSites.cend(); ++it)
        err << "site failed: " << withoutControls(it.key()) << ": " << it.value() << '\n';
}

QCoro::Task<> runFilms(Program &program, LibraryRun &run, const QList<LibraryRun::Film> &films, bool json, Tally &tally)
{
    const bool progress = ::isatty(STDERR_FILENO);
    const bool lines = json || !::isatty(STDOUT_FILENO);
    for (const LibraryRun::Film &film : films) {
        if (g_interrupted)
            break;
        if (progress)
            showProgress(tally, int(films.size()), film.title);
        const LibraryRun::Result result = co_await run.posterFor(film);
        ++tally.done;
        tally.outcomes[result.outcome] += 1;
        if (result.outcome != LibraryRun::Outcome::Kept && program.run())
            for (const SiteReport &report : program.run()->reports())
                if (!report.isSound())
                    tally.failedSites.insert(report.site, SiteReport::word(report.outcome));
        if (lines)
            printFilm(film, result, json);
    }
    if (progress)
        showProgress(tally, int(films.size()), {});
}

} // namespace

int runLibrary(const QStringList &args)
{
    LibraryOptions options;
    if (const QString problem = parseOptions(args, options); !problem.isEmpty())
        return usageError(problem);
    SettingsStore store;
    Assembly assembly(store);
    Program &program = assembly.program();
    std::optional<QList<int>> bases;
    if (options.baseList) {
        bases = parseBases(*options.baseList, program.catalogue());
        if (!bases)
            return usageError(basesProblem(program.catalogue()));
    }
    assembly.readSettings();
    tickSearchedBases(program, bases);
    program.setQuietSearch(true);

    QList<LibraryRun::Film> films;
    const LibraryContents contents = findFilms(options.folder);
    const int thisYear = QDate::currentDate().year();
    for (const LibraryFilm &found : contents.films) {
        const FilmName name = readFilmName(found.name, thisYear);
        films.append({found.folder, found.fileStem, name.title, name.year});
    }
    for (const LibraryProblem &problem : contents.problems)
        QTextStream(stderr) << "pellicam-cli: " << withoutControls(QDir::toNativeSeparators(problem.path))
                            << (problem.kind == LibraryProblem::Kind::LinkOutside ? ": a link out of the library, not followed\n"
                                                                                  : ": cannot be read, skipped\n");

    std::signal(SIGINT, interrupted);
    LibraryRun run(program, assembly.retrieval(), options.run);
    Tally tally;
    QCoro::waitFor(runFilms(program, run, films, options.json, tally));
    printSummary(tally, ::isatty(STDERR_FILENO));
    if (g_interrupted)
        return kExitInterrupted;
    using O = LibraryRun::Outcome;
    const int withPoster = tally.outcomes.value(O::Written) + tally.outcomes.value(O::Kept)
                           + tally.outcomes.value(O::WouldWrite);
    // A folder that could not be read may hold films left without a poster.
    const bool unread = std::any_of(contents.problems.begin(), contents.problems.end(), [](const LibraryProblem &problem) {
        return problem.kind == LibraryProblem::Kind::UnreadableFolder;
    });
    return withPoster == tally.done && !unread ? kExitOk : kExitFailed;
}
