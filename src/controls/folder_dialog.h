#pragma once

#include <QString>

class QWidget;

// The folder browser: the chosen folder, or empty text when the user cancels.
// An empty start folder opens the browser at its default place.
QString ChoixDossier(QWidget *owner, const QString &startFolder, const QString &title);
