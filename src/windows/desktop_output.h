#pragma once

#include "output/output_actions.h"

class Program;
class QWidget;

// What the window does with a fetched picture: the desktop's services for
// documents and the system viewer, a file copy that asks before replacing,
// and the program's own poster viewer. Its message boxes are window-modal and
// never run a loop of their own.
class DesktopOutput : public OutputActions
{
public:
    DesktopOutput(Program &program, QWidget *owner);

    QCoro::Task<bool> copyFile(QString source, QString destination) override;
    void openDocument(const QString &path) override;
    void showInSystemViewer(const QString &path) override;
    void showInViewer(const QString &path, int index) override;

private:
    Program &m_program;
    QWidget *m_owner;
    // Twips, shared by every viewer of the run: each opens a little further along.
    int m_cascade = -900;
};
