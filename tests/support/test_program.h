#pragma once

#include "assembly/assembly.h"
#include "core/program.h"
#include "core/site_catalogue.h"
#include "net/download.h"
#include "output/output_actions.h"
#include "output/retrieval.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// A program put together as the window's is, with settings and a cache folder
// of its own, short network limits, and no disk cache in the way.
struct TestProgram
{
    TestProgram()
    {
        program.download().setTiming({300, 1500, 100});
        program.state().ModeConnexion = Download::kForceUpdate;
        program.state().DossierTemp = dir.filePath(QStringLiteral("cache/"));
        QDir().mkpath(program.state().DossierTemp);
    }

    QString cached(const QString &name) { return program.state().DossierTemp + name; }

    // Ticks these bases only.
    void tick(const QList<int> &bases)
    {
        for (int base = 0; base < program.catalogue().baseCount(); ++base)
            program.catalogue().setTick(base, bases.contains(base) ? 1 : 0);
        program.catalogue().AfficheNbrCoche();
    }
    // The main loop until the run is over.
    bool runEnded() { return QTest::qWaitFor([this] { return !program.searching(); }, 30000); }
    // The search button, then the main loop until the run is over.
    bool search(int button = 1)
    {
        program.Lance(button);
        return runEnded();
    }
    // A press on a hit (copied when `copy`), then the main loop until it is over.
    bool retrieve(int slot, bool copy)
    {
        if (copy)
            program.retrieval().downloadClicked(slot);
        else
            program.retrieval().retrieve(slot, false);
        return QTest::qWaitFor([this] { return !program.retrieval().downloading(); }, 30000);
    }

    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("Pellicam.ini"))};
    Assembly assembly{store};
    Program &program = assembly.program();
};

// Writes down what the program asked the desktop to do, and copies for real.
struct RecordedActions : OutputActions
{
    QCoro::Task<bool> copyFile(QString source, QString destination) override
    {
        calls << QStringLiteral("copy %1 -> %2").arg(source, destination);
        co_return QFile::copy(source, destination);
    }
    void openDocument(const QString &path) override { calls << QStringLiteral("open ") + path; }
    void showInSystemViewer(const QString &path) override { calls << QStringLiteral("system viewer ") + path; }
    void showInViewer(const QString &path, int index) override
    {
        calls << QStringLiteral("viewer %1 #%2").arg(path).arg(index);
    }

    QStringList calls;
};
