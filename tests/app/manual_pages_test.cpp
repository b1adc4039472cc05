#include "child_process.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The long options a text names, sorted; roff writes each '-' as "\-".
QStringList optionsIn(QString text)
{
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--[a-z][a-z-]*"));
    QStringList options;
    for (const QRegularExpressionMatch &match : option.globalMatch(text.replace(QStringLiteral("\\-"), QStringLiteral("-"))))
        options << match.captured();
    options.removeDuplicates();
    options.sort();
    return options;
}

struct Program
{
    const char *path;
    const char *page;
    friend void PrintTo(const Program &program, std::ostream *os) { *os << program.page; }
};

class ManualPageTest : public ::testing::TestWithParam<Program> {};

TEST_P(ManualPageTest, namesTheOptionsTheHelpLists)
{
    ChildProcess program(QString::fromUtf8(GetParam().path));
    const ChildOutcome help = program.run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    QFile page(QStringLiteral(PELLICAM_SOURCE "/man/") + QString::fromUtf8(GetParam().page));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QStringList listed = optionsIn(help.out);
    EXPECT_GE(listed.size(), 3);
    EXPECT_EQ(optionsIn(QString::fromUtf8(page.readAll())), listed);
}

INSTANTIATE_TEST_SUITE_P(Programs, ManualPageTest,
                         ::testing::Values(Program{PELLICAM_WINDOW, "pellicam.1"}, Program{PELLICAM_CLI, "pellicam-cli.1"},
                                           Program{PELLICAM_SAMPLE_SITES, "pellicam-sample-sites.1"}));

TEST(CompletionTest, offersCommandsSettingsOptionsAndBases)
{
    const std::pair<QString, QString> cases[] = {
        {"--no-site-files s", "search sites site"},
        {"config set Hote-Movie", "Hote-MovieCovers Hote-MoviePoster"},
        {"search --bases 6,1", "6,1 6,10 6,11 6,12 6,13"},
        {"library --d", "--dry-run"},
        {"site test mysite.yaml --", "--json"},
    };
    for (const auto &[line, offered] : cases) {
        const QString script = QStringLiteral("source " PELLICAM_SOURCE "/dist/completion/pellicam-cli; PATH=%1:$PATH; "
                                              "COMP_WORDS=(pellicam-cli %2); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
                                              "_pellicam_cli; echo -n \"${COMPREPLY[*]}\"")
                                   .arg(QFileInfo(QStringLiteral(PELLICAM_CLI)).path(), line);
        EXPECT_EQ(ChildProcess(QStringLiteral("bash")).run({"-c", script}).out, offered) << line.toStdString();
    }
}

} // namespace
