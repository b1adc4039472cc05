#include "app/cli_site_files.h"

#include "app/cli_output.h"
#include "assembly/assembly.h"
#include "core/picture_request.h"
#include "core/program.h"
#include "core/site_catalogue.h"
#include "settings/settings_store.h"
#include "sitefiles/file_site.h"
#include "sitefiles/site_file_set.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

using namespace CliOutput;

namespace {

void printErrors(QTextStream &out, const SiteFileReading &reading)
{
    for (const SiteFileError &error : reading.errors)
        out << withoutControls(error.text()) << '\n';
}

int runCheck(const QStringList &files)
{
    if (files.isEmpty())
        return usageError(QStringLiteral("site check takes one or more site files"));
    QTextStream out(stdout);
    bool usable = true;
    for (const QString &file : files) {
        const SiteFileReading reading = readSiteFile(file);
        printErrors(out, reading);
        usable = usable && reading.usable();
    }
    return usable ? kExitOk : kExitFailed;
}

QString quoted(const QJsonObject &step, const char *key)
{
    return jsonString(step.value(QLatin1String(key)).toString());
}

QString number(const QJsonObject &step, const char *key)
{
    return QString::number(step.value(QLatin1String(key)).toInteger());
}

// A step as a person reads it; the JSON form carries the same keys.
QString stepLine(const QJsonObject &step)
{
    const QString kind = step.value("step").toString();
    const QString refused = step.value("allowed").toBool(true) ? QString() : QStringLiteral(" (not asked: not an allowed address)");
    if (kind == u"request")
        return QStringLiteral("request, page %1: %2 %3%4").arg(number(step, "page"), step.value("method").toString(),
                                                               withoutControls(step.value("address").toString()),
                                                               step.contains("form") ? QStringLiteral(" form ") + quoted(step, "form") : QString());
    if (kind == u"answer")
        return QStringLiteral("answer, page %1: status %2, %3 bytes, %4")
            .arg(number(step, "page"), number(step, "status"), number(step, "bytes"), quoted(step, "type"));
    if (kind == u"rows")
        return step.value("count").toInt() > 0
                   ? QStringLiteral("rows, page %1: %2").arg(number(step, "page"), number(step, "count"))
                   : QStringLiteral("rows, page %1: none; %2; the page starts with %3")
                         .arg(number(step, "page"), withoutControls(step.value("failed").toString()), quoted(step, "start"));
    if (kind == u"field") {
        const char *where = step.contains("row") ? "row" : step.contains("hit") ? "hit" : nullptr;
        return QStringLiteral("field %1%2: found %3, filtered %4%5")
            .arg(step.value("field").toString(),
                 where ? QStringLiteral(" of %1 %2").arg(QLatin1String(where), number(step, where)) : QString(),
                 quoted(step, "found"), quoted(step, "value"),
                 step.value("failed").toBool() ? QStringLiteral(" (found nothing)") : QString());
    }
    if (kind == u"next-page")
        return QStringLiteral("next page %1: %2%3").arg(number(step, "page"), withoutControls(step.value("address").toString()), refused);
    if (kind == u"film-page")
        return QStringLiteral("film page of hit %1: %2, status %3, %4 bytes")
            .arg(number(step, "hit"), withoutControls(step.value("address").toString()), number(step, "status"), number(step, "bytes"));
    if (kind == u"thumbnail" || kind == u"picture")
        return QStringLiteral("%1 of %2: %3%4").arg(kind, quoted(step, "title"), withoutControls(step.value("address").toString()), refused);
    if (kind == u"picture-page")
        return QStringLiteral("picture page: %1, %2 characters").arg(withoutControls(step.value("address").toString()), number(step, "characters"));
    if (kind == u"hit")
        return QStringLiteral("hit %1: %2%3, thumbnail %4, picture %5")
            .arg(number(step, "number"), quoted(step, "title"),
                 step.value("year").toInt() > 0 ? QStringLiteral(" (%1)").arg(number(step, "year")) : QString(),
                 withoutControls(step.value("thumbnail").toString()), withoutControls(step.value("picture").toString()));
    if (kind == u"report")
        return QStringLiteral("report: ") + step.value("line").toString();
    return withoutControls(QString::fromUtf8(QJsonDocument(step).toJson(QJsonDocument::Compact)));
}

int runTest(const QStringList &args)
{
    bool json = false;
    QStringList words;
    for (const QString &arg : args) {
        if (arg == u"--json")
            json = true;
        else
            words << arg;
    }
    if (words.size() < 2 || words.mid(1).join(u' ').trimmed().isEmpty())
        return usageError(QStringLiteral("site test takes a site file and a film title"));
    const QString title = words.mid(1).join(u' ');

    SettingsStore store;
    const SiteFileSet files = SiteFileSet::readFiles({words[0]});
    const SiteFileReading &reading = files.files().first().reading;
    QTextStream out(stdout);
    if (!reading.usable()) {
        printErrors(out, reading);
        return kExitFailed;
    }
    const auto print = [&out, json](const QJsonObject &step) {
        out << (json ? QString::fromUtf8(QJsonDocument(step).toJson(QJsonDocument::Compact)) : stepLine(step)) << '\n';
        out.flush();
    };

    Assembly assembly(store, files);
    Program &program = assembly.program();
    SiteCatalogue &catalogue = program.catalogue();
    const int base = catalogue.baseOf(reading.site.id);
    FileSite &site = *assembly.fileSite(base);
    site.setStepLog(print);
    assembly.readSettings();
    program.state().BaseUnique = false;
    for (int other = 0; other < catalogue.baseCount(); ++other)
        catalogue.setTick(other, other == base ? 1 : 0);
    catalogue.AfficheNbrCoche();
    program.setTitle(title);
    program.Lance(1);
    waitFor(program.searching(), &program, &Program::runFinished);

    const ResultList &results = program.results();
    for (int index = 1; index <= results.NbResultats(); ++index) {
        const ResultEntry &hit = results.entry(index);
        QString fileName;
        PictureRequest request(hit, fileName, program.state().DossierTemp, program.download(), store,
                               [&program](const QString &setting) { return program.siteAddress(setting); });
        const PictureSource picture = QCoro::waitFor(site.picture(request));
        print({{"step", "hit"}, {"number", index}, {"title", hit.Title}, {"year", hit.Year},
               {"thumbnail", index <= results.NbVignettes() ? results.slot(index - 1).thumbnailUrl : QString()},
               {"picture", picture.url}});
    }
    const int langOffset = program.state().LangOffset;
    for (const SiteReport &report : program.run() ? program.run()->reports() : QList<SiteReport>())
        print({{"step", "report"}, {"outcome", SiteReport::word(report.outcome)}, {"hits", report.hits},
               {"line", reportLine(report, false, langOffset)}});
    return results.NbResultats() > 0 ? kExitOk : kExitFailed;
}

} // namespace

int runSites(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(QStringLiteral("sites takes no argument"));
    SettingsStore store;
    const SiteFileSet files = SiteFileSet::read(store);
    QTextStream out(stdout);
    for (const SiteFileSet::Entry &entry : files.files()) {
        out << SiteFileSet::word(entry.state) << '\t' << withoutControls(entry.id) << '\t' << withoutControls(entry.path)
            << '\n';
        printErrors(out, entry.reading);
    }
    return files.anyBroken() ? kExitFailed : kExitOk;
}

int runSite(const QStringList &args)
{
    if (args.value(0) == u"check")
        return runCheck(args.mid(1));
    if (args.value(0) == u"test")
        return runTest(args.mid(1));
    return usageError(QStringLiteral("site takes: check FILE... | test FILE TITLE [--json]"));
}
