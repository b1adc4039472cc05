#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test
{
protected:
    Outcome run(const QStringList &args)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", m_config.path());
        env.insert("XDG_CACHE_HOME", m_cache.path());
        env.insert("HOME", m_home.path());
        process.setProcessEnvironment(env);
        process.start(PELLICAM_CLI, args);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static QStringList filesUnder(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
        return files;
    }

    QTemporaryDir m_config;
    QTemporaryDir m_cache;
    QTemporaryDir m_home;
};

TEST_F(CliTest, configValuesAreSetReadWithoutRegardToCaseAndUnset)
{
    EXPECT_EQ(run({"config", "set", "Hote-MovieCovers", "http://127.0.0.1:1"}).exitCode, 0);

    const Outcome got = run({"config", "get", "hote-moviecovers"});
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, "http://127.0.0.1:1\n");

    EXPECT_EQ(run({"config", "unset", "HOTE-MOVIECOVERS"}).exitCode, 0);
    EXPECT_EQ(run({"config", "get", "Hote-MovieCovers"}).out, "\n");

    EXPECT_EQ(run({"config", "set", "Historique-1", QString::fromUtf8("L'été meurtrier")}).exitCode, 0);
    EXPECT_EQ(run({"config", "get", "Historique-1"}).out, QString::fromUtf8("L'été meurtrier\n"));
}

TEST_F(CliTest, nothingIsWrittenOutsideTheXdgFolders)
{
    run({"config", "set", "Langue", "English"});

    EXPECT_EQ(filesUnder(m_config.path()), QStringList{m_config.filePath("Pellicam/Pellicam.ini")});
    EXPECT_TRUE(filesUnder(m_home.path()).isEmpty()) << filesUnder(m_home.path()).join(' ').toStdString();
}

TEST_F(CliTest, helpGoesToStandardOutput)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("config get NAME"));
    EXPECT_TRUE(help.err.isEmpty());
}

TEST_F(CliTest, badArgumentsGiveTheUsageOnStandardErrorAndStatusTwo)
{
    const QStringList bad[] = {
        {}, {"frobnicate"}, {"config"}, {"config", "get"}, {"config", "set", "Langue"},
        {"config", "get", "a", "b"}, {"config", "rename", "a", "b"},
    };
    for (const QStringList &args : bad) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_TRUE(outcome.err.contains("Usage: pellicam-cli"));
        EXPECT_TRUE(outcome.out.isEmpty());
    }
}

} // namespace
