#include "windows/desktop_output.h"

#include "core/program.h"
#include "output/file_copy.h"
#include "windows/poster_viewer.h"

#include <QCoro/QCoroSignal>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>
#include <QWidget>

DesktopOutput::DesktopOutput(Program &program, QWidget *owner)
    : m_program(program)
    , m_owner(owner)
{
}

QCoro::Task<bool> DesktopOutput::copyFile(QString source, QString destination)
{
    const bool french = m_program.state().LangOffset == 0;
    if (QFileInfo::exists(destination)) {
        const QString question = french ? QStringLiteral("Remplacer « %1 » ?") : QStringLiteral("Replace \"%1\"?");
        const QPointer<QMessageBox> box = new QMessageBox(QMessageBox::Question, QStringLiteral("Pellicam"),
                                                          question.arg(QFileInfo(destination).fileName()),
                                                          QMessageBox::Yes | QMessageBox::No, m_owner);
        // Closing the program while it asks answers no.
        QObject::connect(&m_program, &Program::closing, box, &QDialog::reject);
        box->open();
        const std::optional<int> answer = co_await qCoro(box.data(), &QDialog::finished);
        if (box)
            box->deleteLater();
        if (answer != QMessageBox::Yes)
            co_return false;
    }
    if (copyReplacing(source, destination))
        co_return true;
    const QString problem = french ? QStringLiteral("L'image n'a pas pu être copiée dans « %1 ».")
                                   : QStringLiteral("The picture could not be copied to \"%1\".");
    auto *warning = new QMessageBox(QMessageBox::Warning, QStringLiteral("Pellicam"),
                                    problem.arg(QFileInfo(destination).path()), QMessageBox::Ok, m_owner);
    warning->setAttribute(Qt::WA_DeleteOnClose);
    warning->open();
    co_return false;
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
