#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

// The open and save dialogs, run from a handful of properties. Set what the
// dialog should propose, call Show, then read FileName and FileTitle. A
// cancelled dialog leaves every property as it was.
class CFileDialog
{
public:
    // Added when the user types a name without an extension ("jpg").
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &extension) { m_defaultExt = extension; }

    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString &title) { m_dialogTitle = title; }

    // In: the proposed name or path. Out: the chosen full path.
    QString FileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }

    // In: the proposed name when FileName is empty. Out: the chosen file's
    // name without its folder.
    QString FileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString &title) { m_fileTitle = title; }

    QString InitialDir() const { return m_initialDir; }
    void setInitialDir(const QString &folder) { m_initialDir = folder; }

    // Description and pattern pairs, each item followed by "|":
    // "Jpeg (*.jpg)|*.jpg|". Patterns of one pair are separated by ";".
    QString Filter() const { return m_filter; }
    void setFilter(const QString &filter) { m_filter = filter; }

    // The pair selected at first, 1 for the first.
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }

    // The dialog's owner: it opens above it.
    QWidget *parentWidget() const { return m_parent; }
    void setParentWidget(QWidget *owner) { m_parent = owner; }

    // The open dialog when fOpen is true, the save dialog otherwise. True when
    // the user confirmed a file.
    bool Show(bool fOpen);

    // Filter as the dialog's name filters: "Jpeg (*.jpg)|*.jpg|" gives "Jpeg (*.jpg)".
    static QStringList nameFilters(const QString &Filter);

private:
    QString m_defaultExt;
    QString m_dialogTitle;
    QString m_fileName;
    QString m_fileTitle;
    QString m_initialDir;
    QString m_filter;
    int m_filterIndex = 0;
    QPointer<QWidget> m_parent;
};
