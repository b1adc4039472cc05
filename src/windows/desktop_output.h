#pragma once

#include "output/output_actions.h"

#include <QPoint>

class QWidget;
struct ProgramState;

// What the window does with a fetched picture: the desktop's services for
// documents and the system viewer, a file copy that asks before replacing,
// and the program's own picture window.
class DesktopOutput : public OutputActions
{
public:
    DesktopOutput(ProgramState &state, QWidget *owner);

    bool copyFile(const QString &source, const QString &destination) override;
    void openDocument(const QString &path) override;
    void showInSystemViewer(const QString &path) override;
    void showInViewer(const QString &path, int index) override;

private:
    ProgramState &m_state;
    QWidget *m_owner;
    int m_cascade = -900 / 15; // each picture window opens a little further along
};
