#pragma once

#include "core/site_report.h"

#include <QEventLoop>
#include <QObject>
#include <QList>
#include <QString>
#include <optional>

class Program;
class SiteCatalogue;

// What pellicam-cli's commands share: exit codes, and text safe for a terminal or a line of JSON.
namespace CliOutput {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

QString usage();
// The usage text after `problem`, on standard error; kExitUsage.
int usageError(const QString &problem = {});
// "pellicam-cli: problem" on standard error; kExitFailed.
int failure(const QString &problem);

QString jsonString(const QString &value);
// A page's text for the terminal: its control characters could clear the
// screen or rename the window.
QString withoutControls(const QString &text);
// A report as `check` prints it: a tab-separated line, or a JSON object.
QString reportLine(const SiteReport &report, bool json, int langOffset);
// A report's detail for the terminal or a tab-separated line.
QString plainDetail(const SiteReport &report, int langOffset);

// "all", or base numbers and site-file ids separated by commas; nothing when
// the list is not one.
std::optional<QList<int>> parseBases(const QString &list, const SiteCatalogue &catalogue);
QString basesProblem(const SiteCatalogue &catalogue);
// Once the settings are read: ticks exactly the bases asked for; without a list,
// the window's ticks stay, or every base is ticked when none is.
void tickSearchedBases(Program &program, const std::optional<QList<int>> &asked);

// Runs the main loop until `sender` sends `signal`, unless `underWay` is already false.
template<typename Sender, typename Signal>
void waitFor(bool underWay, Sender *sender, Signal signal)
{
    if (!underWay)
        return;
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace CliOutput
