#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

struct ChildOutcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

// One of our programs run as a child with settings, cache and home folders of
// its own, and no proxy but the one it is given.
class ChildProcess
{
public:
    explicit ChildProcess(const QString &program = QStringLiteral(PELLICAM_CLI)) : m_program(program) {}
    ~ChildProcess()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    // `inChild` runs between the fork and the exec.
    void start(const QStringList &args, const std::function<void()> &inChild = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_cache.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral(".local/share")));
        env.insert(QStringLiteral("HOME"), m_home.path());
        // The proxy comes from here alone, not from the machine or a desktop's settings.
        for (const char *name : {"http_proxy", "HTTP_PROXY", "no_proxy", "NO_PROXY", "all_proxy", "ALL_PROXY",
                                 "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
            env.remove(QString::fromLatin1(name));
        if (!m_proxy.isEmpty()) {
            env.insert(QStringLiteral("http_proxy"), m_proxy);
            env.insert(QStringLiteral("HTTP_PROXY"), m_proxy);
        }
        m_process.setProcessEnvironment(env);
        m_process.setChildProcessModifier([inChild, nobody = m_asNobody] {
            if (inChild)
                inChild();
            if (nobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(127);
        });
        m_process.start(m_program, args);
    }

    // Runs the main loop until the child ends: a test server in this process goes on answering.
    ChildOutcome run(const QStringList &args, const std::function<void()> &inChild = {})
    {
        start(args, inChild);
        EXPECT_TRUE(QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, 60000))
            << args.join(u' ').toStdString();
        return {m_process.exitCode(), QString::fromUtf8(m_process.readAllStandardOutput()),
                QString::fromUtf8(m_process.readAllStandardError())};
    }

    // Root reads and writes through permissions: as root, the child runs as
    // nobody, and its own folders are opened to it.
    void dropRoot()
    {
        m_asNobody = ::geteuid() == 0;
        for (const QTemporaryDir *dir : {&m_config, &m_cache, &m_home})
            if (m_asNobody)
                ::chmod(QFile::encodeName(dir->path()).constData(), 0777);
    }

    void useProxy(const QString &proxy) { m_proxy = proxy; }
    QProcess &process() { return m_process; }
    QString iniFile() const { return m_config.filePath(QStringLiteral("Pellicam/Pellicam.ini")); }
    QString home() const { return m_home.path(); }

private:
    QString m_program;
    QProcess m_process;
    QTemporaryDir m_config;
    QTemporaryDir m_cache;
    QTemporaryDir m_home;
    QString m_proxy;
    bool m_asNobody = false;
};
