#pragma once

#include "output/output_actions.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QString>

class Program;
class Retrieval;
struct ResultEntry;

// The posters of a library, one film after the other, each searched with the
// window's run and fetched through its retrieval: only a real picture is
// written, whole or not at all, and nothing outside the film's folder.
class LibraryRun : public OutputActions
{
public:
    // One film: where its poster goes and what it is searched by.
    struct Film
    {
        QString folder; // the film's own folder, where its poster is written
        QString stem;   // the film file's name without extension when it shares its folder; empty otherwise
        QString title;
        int year = 0;   // 0: unknown
    };

    struct Options
    {
        bool jackets = false;            // jacket bases' hits may be chosen too
        QString name = QStringLiteral("poster");
        bool overwrite = false;
        bool dryRun = false;
    };

    enum class Outcome { Written, Kept, NotFound, Failed, WouldWrite };

    struct Result
    {
        Outcome outcome = Outcome::NotFound;
        QString site;     // the chosen hit's
        QString hitTitle;
        QString file;     // the poster written, kept or that would be written
        int hits = 0;     // the hits the search found
        QString problem;  // why it failed
    };

    LibraryRun(Program &program, Retrieval &retrieval, Options options);

    QCoro::Task<Result> posterFor(Film film);

    // "written", "kept", "not-found", "failed", "would-write".
    static QString word(Outcome outcome);
    // The poster's path without its extension.
    QString posterBase(const Film &film) const;
    // Slot index of the hit to take for `film` among the program's results, or -1.
    int choose(const Film &film) const;

    // Writes the fetched picture as the poster, through a temporary file.
    QCoro::Task<bool> copyFile(QString source, QString destination) override;
    void openDocument(const QString &) override {}
    void showInSystemViewer(const QString &) override {}
    void showInViewer(const QString &, int) override {}

private:
    // A poster already there under the base name, whatever its extension.
    QString existingPoster(const Film &film) const;

    Program &m_program;
    Retrieval &m_retrieval;
    Options m_options;
    QString m_target;  // the poster base of the film being fetched
    QString m_written;
    QString m_problem;
};
