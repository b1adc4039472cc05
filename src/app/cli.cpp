// pellicam-cli: the program's core without a window.

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

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
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
    "  bases                    list the bases: number, name, language group, kind\n"
    "  search [--bases LIST] [--exact] [--json] TITLE\n"
    "                           search the bases for a film and list the hits\n"
    "  download --hit N [--into DIR] [--bases LIST] [--exact] TITLE\n"
    "                           search, then fetch hit N and copy it into DIR\n"
    "                           (default: the download folder chosen in the window)\n"
    "  check [--bases LIST] [--json] [TITLE]\n"
    "                           search (for \"matrix\" by default) and tell, per base,\n"
    "                           how its site answered: base, site, outcome, hits,\n"
    "                           requests, seconds, detail; exits 1 when a site failed\n"
    "  --help                   show this help\n"
    "  --version                show the version\n"
    "\n"
    "  --bases LIST   the bases searched, whatever is ticked in the window: base\n"
    "                 numbers separated by commas (see 'bases'), or 'all';\n"
    "                 without it the bases ticked in the window are searched,\n"
    "                 or every base when none is ticked\n"
    "  --exact        keep only the hits whose title is the one searched\n"
    "  --json         one JSON object per hit (per base with check) and per line\n"
    "  --             ends the options: what follows is the title, even\n"
    "                 when it starts with '-'\n"
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

int failure(const QString &problem)
{
    QTextStream(stderr) << "pellicam-cli: " << problem << '\n';
    return kExitFailed;
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
    QTextStream out(stdout);
    for (const SiteCatalogue::BaseInfo &base : SiteCatalogue::bases()) {
        const char *group = base.language == SiteCatalogue::Language::Fr   ? "Fr"
                            : base.language == SiteCatalogue::Language::Us ? "Us"
                                                                           : "Fr/Us";
        const char *kind = base.kind == SiteCatalogue::Kind::Posters ? "posters" : "jackets";
        out << base.index << '\t' << base.name.toString() << '\t' << group << '\t' << kind << '\n';
    }
    return kExitOk;
}

struct SearchOptions
{
    std::optional<QList<int>> bases; // none: the stored ticks
    bool exact = false;
    bool json = false;
    int hit = 0;
    QString into;
    QString title;
};

// "all", or base numbers separated by commas; nothing when the list is not one.
std::optional<QList<int>> parseBases(const QString &list)
{
    QList<int> bases;
    if (list == u"all") {
        for (int base = 0; base < SiteCatalogue::kBaseCount; ++base)
            bases << base;
        return bases;
    }
    for (const QString &item : list.split(u',')) {
        bool ok = false;
        const int base = item.trimmed().toInt(&ok);
        if (!ok || base < 0 || base >= SiteCatalogue::kBaseCount)
            return std::nullopt;
        bases << base;
    }
    return bases;
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
            options.bases = parseBases(args[++i]);
            if (!options.bases)
                return QStringLiteral("--bases takes base numbers 0 to 13 separated by commas, or all");
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

QString jsonString(const QString &value)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '"': quoted += u"\\\""; break;
        case '\\': quoted += u"\\\\"; break;
        case '\n': quoted += u"\\n"; break;
        case '\r': quoted += u"\\r"; break;
        case '\t': quoted += u"\\t"; break;
        default:
            if (c.unicode() < 0x20)
                quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
            else
                quoted += c;
        }
    }
    return quoted + u'"';
}

// A page's text for the terminal: its control characters could clear the
// screen or rename the window.
QString withoutControls(const QString &text)
{
    QString shown;
    for (const QChar c : text)
        if (c.category() != QChar::Other_Control)
            shown += c;
    return shown;
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

// A report's detail for the terminal or a tab-separated line.
QString plainDetail(const SiteReport &report, int langOffset)
{
    QString detail = withoutControls(report.detail(langOffset));
    return detail.replace(u'\t', u' ');
}

void printReport(const SiteReport &report, bool json, int langOffset)
{
    QTextStream out(stdout);
    const QString seconds = QString::number(report.seconds, 'f', 2);
    if (json) {
        out << "{\"base\":" << report.base << ",\"site\":" << jsonString(report.site)
            << ",\"outcome\":" << jsonString(SiteReport::word(report.outcome)) << ",\"hits\":" << report.hits
            << ",\"requests\":" << report.requests << ",\"failed\":" << report.failed << ",\"seconds\":" << seconds
            << ",\"detail\":" << jsonString(report.detail(langOffset)) << "}\n";
    } else {
        out << report.base << '\t' << report.site << '\t' << SiteReport::word(report.outcome) << '\t' << report.hits
            << '\t' << report.requests << '\t' << seconds << '\t' << plainDetail(report, langOffset) << '\n';
    }
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

// Runs the main loop until `sender` sends `signal`, unless `under way` is already false.
template<typename Sender, typename Signal>
void waitFor(bool underWay, Sender *sender, Signal signal)
{
    if (!underWay)
        return;
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    loop.exec();
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
    SiteCatalogue &catalogue = program.catalogue();
    assembly.readSettings();
    QList<int> bases = options.bases.value_or(QList<int>());
    // Nothing ticked in the window: a search from here is of no base in particular.
    if (!options.bases && catalogue.tickedCount() == 0) {
        QTextStream(stderr) << catalogue.summary() << ": every base is searched\n";
        bases = QList<int>(SiteCatalogue::rowOrder().begin(), SiteCatalogue::rowOrder().end());
    }
    if (!bases.isEmpty()) {
        // Exactly the bases asked for, even where the window allows only one.
        // The ticks are never saved from here, so the window's stay as they were.
        program.state().BaseUnique = false;
        for (int base = 0; base < SiteCatalogue::kBaseCount; ++base)
            catalogue.setTick(base, bases.contains(base) ? 1 : 0);
        catalogue.AfficheNbrCoche();
    }

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
    runSearch(assembly, options, false);
    bool sound = true;
    const int langOffset = assembly.program().state().LangOffset;
    for (const SiteReport &report : reportsOf(assembly.program())) {
        printReport(report, options.json, langOffset);
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
    const QString command = args.value(0);
    if (command == u"--help" || command == u"-h" || command == u"help") {
        QTextStream(stdout) << kUsage;
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
    if (command == u"check")
        return runCheckCommand(args.mid(1));
    if (command == u"search" || command == u"download")
        return runSearchCommand(args.mid(1), command == u"download");
    return usageError(command.isEmpty() ? QString() : QStringLiteral("unknown command: %1").arg(command));
}
