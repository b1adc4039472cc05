#pragma once

#include "core/program.h"
#include "net/download.h"
#include "net/form_post.h"
#include "output/output_actions.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

// A program with settings and a cache folder of its own, short network limits,
// and no disk cache in the way.
struct TestProgram
{
    TestProgram()
    {
        const Download::Timing timing{300, 1500, 100};
        program.download().setTiming(timing);
        program.formPost().setTiming(timing);
        program.state().ModeConnexion = Download::kForceUpdate;
        program.state().DossierTemp = dir.filePath(QStringLiteral("cache/"));
        QDir().mkpath(program.state().DossierTemp);
    }

    QString cached(const QString &name) { return program.state().DossierTemp + name; }

    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("Pellicam.ini"))};
    Program program{store};
};

// Writes down what the program asked the desktop to do, and copies for real.
struct RecordedActions : OutputActions
{
    bool copyFile(const QString &source, const QString &destination) override
    {
        calls << QStringLiteral("copy %1 -> %2").arg(source, destination);
        return QFile::copy(source, destination);
    }
    void openDocument(const QString &path) override { calls << QStringLiteral("open ") + path; }
    void showInSystemViewer(const QString &path) override { calls << QStringLiteral("system viewer ") + path; }
    void showInViewer(const QString &path, int index) override
    {
        calls << QStringLiteral("viewer %1 #%2").arg(path).arg(index);
    }

    QStringList calls;
};
