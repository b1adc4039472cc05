#pragma once

#include <QCoro/QCoroTask>
#include <QString>

// What the program does with a fetched picture, which the front end carries
// out: the GUI with the desktop's services and its own viewer, the headless
// front end with plain file copies, tests with a recorder.
class OutputActions
{
public:
    virtual ~OutputActions() = default;

    // Copies a picture to the download folder; false when nothing was copied
    // (the user declined to replace a file, the folder is not writable, ...).
    // It may wait for the user, but never in an event loop of its own: the
    // retrieval that awaits it runs inside a network reply's handler. The
    // paths are copies: the wait may outlive the caller's strings.
    virtual QCoro::Task<bool> copyFile(QString source, QString destination) = 0;
    // Hands a document (a PDF jacket) to the desktop's reader.
    virtual void openDocument(const QString &path) = 0;
    // Shows a picture in the system's picture viewer.
    virtual void showInSystemViewer(const QString &path) = 0;
    // Shows a picture in the program's own viewer; `index` is the hit's slot.
    virtual void showInViewer(const QString &path, int index) = 0;
};
