#include "controls/folder_dialog.h"

#include <QDir>
#include <QFileDialog>

QString ChoixDossier(QWidget *owner, const QString &startFolder, const QString &title)
{
    const QString folder = QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
    // The folder list shows paths as the system writes them.
    return folder.isEmpty() ? QString() : QDir::toNativeSeparators(folder);
}
