#pragma once

#include "test_pictures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Files left on disk, and disks that are full or cannot be written.

// A real poster of at least `size` bytes.
inline QByteArray posterBytes(qsizetype size)
{
    QByteArray poster = jpegBytes();
    for (int side = 16; poster.size() < size; side *= 2)
        poster = jpegBytes({side, side});
    return poster;
}

// Every file below `folder`, hidden ones too, by its path from there.
inline QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    return files;
}

inline QByteArray contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// A disk that is full past `bytes`: no file of this process grows beyond them.
// The write fails with "file too large" instead of raising the signal that
// would end the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        apply({bytes, m_previous.rlim_max});
    }
    ~FileSizeLimit() { apply(m_previous); }

private:
    static void apply(rlimit limit)
    {
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    }

    rlimit m_previous{};
};

// A download folder that nothing can be written into. Root writes through
// permissions, so for root it is a folder that cannot exist: its parent is a file.
class UnwritableFolder
{
public:
    explicit UnwritableFolder(const QString &parent)
        : m_path(parent + (runningAsRoot() ? QStringLiteral("/not-a-folder/Posters") : QStringLiteral("/Posters")))
    {
        if (runningAsRoot())
            writeFile(parent + QStringLiteral("/not-a-folder"), {});
        else
            QDir().mkpath(m_path);
        ::chmod(QFile::encodeName(m_path).constData(), 0555);
    }
    ~UnwritableFolder() { ::chmod(QFile::encodeName(m_path).constData(), 0755); }
    QString path() const { return m_path; }

private:
    QString m_path;
};

// As root, this process reads and writes as nobody while this lives, so that
// permissions hold for it.
class WithoutRoot
{
public:
    WithoutRoot() : m_dropped(runningAsRoot() && ::seteuid(65534) == 0) {}
    ~WithoutRoot()
    {
        if (m_dropped && ::seteuid(0) != 0)
            std::abort();
    }

private:
    bool m_dropped;
};
