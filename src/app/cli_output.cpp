#include "app/cli_output.h"

#include "core/program.h"
#include "core/site_catalogue.h"

#include <QTextStream>

namespace CliOutput {

namespace {

const char kUsage[] =
    "Usage: pellicam-cli [--no-site-files] COMMAND [ARGUMENTS]\n"
    "\n"
    "Finds film posters and DVD jackets, without a window.\n"
    "\n"
    "Commands:\n"
    "  config get NAME          print a setting (an empty line when it is missing)\n"
    "  config set NAME VALUE    store a setting\n"
    "  config unset NAME        delete a setting\n"
    "  bases                    list the bases: number, name, language group, kind,\n"
    "                           and the site file that describes it\n"
    "  search [--bases LIST] [--exact] [--json] TITLE\n"
    "                           search the bases for a film and list the hits\n"
    "  download --hit N [--into DIR] [--bases LIST] [--exact] TITLE\n"
    "                           search, then fetch hit N and copy it into DIR\n"
    "                           (default: the download folder chosen in the window)\n"
    "  check [--bases LIST] [--json] [TITLE]\n"
    "                           search (for \"matrix\" by default) and tell, per base,\n"
    "                           how its site answered: base, site, outcome, hits,\n"
    "                           requests, seconds, detail; exits 1 when a site failed\n"
    "  library [--bases LIST] [--jackets] [--name NAME] [--overwrite] [--dry-run]\n"
    "          [--json] FOLDER  write a poster beside every film under FOLDER:\n"
    "                           NAME.EXT in a film's folder (NAME: poster), or\n"
    "                           FILE-NAME.EXT beside a film file among others;\n"
    "                           an existing one is kept unless --overwrite;\n"
    "                           exits 1 when a film is left without a poster\n"
    "  sites                    list the site files found, in the order read:\n"
    "                           state, id, path, and each error of a broken file;\n"
    "                           exits 1 when a file is broken\n"
    "  site check FILE...       read and check site files, without the network\n"
    "  site test [--json] FILE TITLE\n"
    "                           search that one site and show every step: request,\n"
    "                           answer, rows, fields, pages, addresses, report;\n"
    "                           exits 0 when it finds hits\n"
    "  --help                   show this help\n"
    "  --version                show the version\n"
    "\n"
    "  --no-site-files  only the built-in sites, none from site files\n"
    "  --bases LIST   the bases searched, whatever is ticked in the window: base\n"
    "                 numbers or site-file ids separated by commas (see 'bases'),\n"
    "                 or 'all';\n"
    "                 without it the bases ticked in the window are searched,\n"
    "                 or every base when none is ticked\n"
    "  --exact        keep only the hits whose title is the one searched\n"
    "  --json         one JSON object per hit (per base with check) and per line\n"
    "  --             ends the options: what follows is the title, even\n"
    "                 when it starts with '-'\n"
    "\n"
    "Setting names are not case-sensitive. Site addresses are settings named\n"
    "Hote-... (for example Hote-MovieCovers); see the README for the full list.\n"
    "Settings live in $XDG_CONFIG_HOME/Pellicam/Pellicam.ini. Site files are read\n"
    "from share/pellicam/sites, the folder of the setting Dossier-Sites, then\n"
    "$XDG_DATA_HOME/Pellicam/sites; see docs/site-files.md.\n";

} // namespace

QString usage()
{
    return QString::fromUtf8(kUsage);
}

int usageError(const QString &problem)
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

QString withoutControls(const QString &text)
{
    QString shown;
    for (const QChar c : text)
        if (c.category() != QChar::Other_Control)
            shown += c;
    return shown;
}

QString plainDetail(const SiteReport &report, int langOffset)
{
    QString detail = withoutControls(report.detail(langOffset));
    return detail.replace(u'\t', u' ');
}

QString reportLine(const SiteReport &report, bool json, int langOffset)
{
    QString line;
    QTextStream out(&line);
    const QString seconds = QString::number(report.seconds, 'f', 2);
    if (json) {
        out << "{\"base\":" << report.base << ",\"site\":" << jsonString(report.site)
            << ",\"outcome\":" << jsonString(SiteReport::word(report.outcome)) << ",\"hits\":" << report.hits
            << ",\"requests\":" << report.requests << ",\"failed\":" << report.failed << ",\"seconds\":" << seconds
            << ",\"detail\":" << jsonString(report.detail(langOffset)) << "}";
    } else {
        out << report.base << '\t' << withoutControls(report.site).replace(u'\t', u' ') << '\t'
            << SiteReport::word(report.outcome) << '\t' << report.hits << '\t' << report.requests << '\t' << seconds
            << '\t' << plainDetail(report, langOffset);
    }
    return line;
}

// "all", or base numbers and site-file ids separated by commas; nothing when
// the list is not one.
std::optional<QList<int>> parseBases(const QString &list, const SiteCatalogue &catalogue)
{
    if (list == u"all")
        return catalogue.rowOrder();
    QList<int> bases;
    for (const QString &word : list.split(u',')) {
        const QString item = word.trimmed();
        bool number = false;
        int base = item.toInt(&number);
        if (!number)
            base = catalogue.baseOf(item);
        if (base < 0 || base >= catalogue.baseCount())
            return std::nullopt;
        bases << base;
    }
    return bases;
}

QString basesProblem(const SiteCatalogue &catalogue)
{
    return QStringLiteral("--bases takes base numbers 0 to %1 or site-file ids separated by commas, or all")
        .arg(catalogue.baseCount() - 1);
}

void tickSearchedBases(Program &program, const std::optional<QList<int>> &asked)
{
    SiteCatalogue &catalogue = program.catalogue();
    QList<int> bases = asked.value_or(QList<int>());
    // Nothing ticked in the window: a search from here is of no base in particular.
    if (!asked && catalogue.tickedCount() == 0) {
        QTextStream(stderr) << catalogue.summary() << ": every base is searched\n";
        bases = catalogue.rowOrder();
    }
    if (bases.isEmpty())
        return;
    // Exactly the bases asked for, even where the window allows only one.
    // The ticks are never saved from here, so the window's stay as they were.
    program.state().BaseUnique = false;
    for (int base = 0; base < catalogue.baseCount(); ++base)
        catalogue.setTick(base, bases.contains(base) ? 1 : 0);
    catalogue.AfficheNbrCoche();
}

} // namespace CliOutput
