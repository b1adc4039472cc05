#include "windows/desktop_output.h"

#include "core/program.h"
#include "output/file_copy.h"
#include "windows/poster_viewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

DesktopOutput::DesktopOutput(Program &program, QWidget *owner)
    : m_program(program)
    , m_owner(owner)
{
}

bool DesktopOutput::copyFile(const QString &source, const QString &destination)
{
    if (QFileInfo::exists(destination)) {
        const QString question = m_program.state().LangOffset == 0
                                     ? QStringLiteral("Remplacer « %1 » ?")
                                     : QStringLiteral("Replace \"%1\"?");
        const auto answer = QMessageBox::question(m_owner, QStringLiteral("Pellicam"),
                                                  question.arg(QFileInfo(destination).fileName()));
        if (answer != QMessageBox::Yes)
            return false;
    }
    if (copyReplacing(source, destination))
        return true;
    const QString problem = m_program.state().LangOffset == 0
                                ? QStringLiteral("L'image n'a pas pu être copiée dans « %1 ».")
                                : QStringLiteral("The picture could not be copied to \"%1\".");
    QMessageBox::warning(m_owner, QStringLiteral("Pellicam"), problem.arg(QFileInfo(destination).path()));
    return false;
}

void DesktopOutput::openDocument(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void DesktopOutput::showInSystemViewer(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void DesktopOutput::showInViewer(const QString &path, int index)
{
    auto *viewer = new PosterViewer(m_program, path, index, m_cascade, m_owner);
    viewer->show();
}
