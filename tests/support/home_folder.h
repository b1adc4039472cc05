#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

// Points HOME at a folder of its own with the three system folders, for one test.
class HomeFolder
{
public:
    HomeFolder() : m_previous(qgetenv("HOME"))
    {
        for (const char *folder : {"Desktop", "Documents", "Pictures"})
            QDir(m_home.path()).mkpath(QString::fromLatin1(folder));
        qputenv("HOME", m_home.path().toUtf8());
    }
    ~HomeFolder() { qputenv("HOME", m_previous); }
    HomeFolder(const HomeFolder &) = delete;
    HomeFolder &operator=(const HomeFolder &) = delete;

    QString path(const char *folder) const { return m_home.filePath(QString::fromLatin1(folder)); }

private:
    QTemporaryDir m_home;
    QByteArray m_previous;
};
