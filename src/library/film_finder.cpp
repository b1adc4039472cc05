#include "library/film_finder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringView>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Smaller video files are samples and trailers, not films.
constexpr qint64 kMinimumFilmBytes = 1024 * 1024;

constexpr QStringView kVideoSuffixes[] = {u"mkv", u"mp4", u"m4v", u"avi", u"mov", u"wmv",
                                          u"mpg", u"mpeg", u"ts", u"m2ts", u"iso"};
// A disc's own folders: the folder that holds one is the film, and nothing
// inside is walked.
constexpr QStringView kDiscFolders[] = {u"video_ts", u"bdmv"};
constexpr QStringView kBonusFolders[] = {u"sample", u"extras", u"featurettes"};

bool among(QStringView name, const auto &names)
{
    const QString lowered = name.toString().toLower();
    return std::ranges::find(names, QStringView(lowered)) != std::end(names);
}

// Asked with the effective ids, those the listing itself runs with.
bool canList(const QString &folder)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), R_OK | X_OK, AT_EACCESS) == 0;
}

class Walk
{
public:
    explicit Walk(const QString &root)
        : m_root(root)
        , m_prefix(root.endsWith(u'/') ? root : root + u'/')
    {
    }

    LibraryContents run()
    {
        m_pending.append(m_root);
        while (!m_pending.isEmpty()) {
            const QString folder = m_pending.takeLast();
            if (!m_visited.contains(folder)) {
                m_visited.insert(folder);
                visit(folder);
            }
        }
        const auto path = [](const LibraryFilm &film) { return film.folder + u'/' + film.fileStem; };
        std::ranges::sort(m_contents.films, {}, path);
        std::ranges::sort(m_contents.problems, {}, &LibraryProblem::path);
        return m_contents;
    }

private:
    void visit(const QString &folder)
    {
        if (!canList(folder)) {
            m_contents.problems.append({folder, LibraryProblem::Kind::UnreadableFolder});
            return;
        }
        QStringList videos;
        bool disc = false;
        // Hidden entries are not listed: a hidden folder holds no films.
        const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
        for (const QFileInfo &entry : entries) {
            const QString real = entry.canonicalFilePath();
            if (real != m_root && !real.startsWith(m_prefix)) {
                m_contents.problems.append({entry.absoluteFilePath(), LibraryProblem::Kind::LinkOutside});
            } else if (entry.isDir()) {
                const bool discFolder = among(entry.fileName(), kDiscFolders);
                disc = disc || discFolder;
                if (!discFolder && !among(entry.fileName(), kBonusFolders))
                    m_pending.append(real);
            } else if (among(entry.suffix(), kVideoSuffixes) && entry.size() >= kMinimumFilmBytes) {
                videos.append(entry.completeBaseName());
            }
        }
        // Files lying in the library itself are loose films, even alone.
        if (videos.size() > 1 || (folder == m_root && !videos.isEmpty())) {
            for (const QString &stem : videos)
                m_contents.films.append({folder, stem, stem});
        } else if (!videos.isEmpty() || disc) {
            m_contents.films.append({folder, QFileInfo(folder).fileName(), {}});
        }
    }

    QString m_root;
    QString m_prefix;
    QStringList m_pending;
    QSet<QString> m_visited;
    LibraryContents m_contents;
};

} // namespace

LibraryContents findFilms(const QString &folder)
{
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return {{}, {{folder, LibraryProblem::Kind::UnreadableFolder}}};
    return Walk(root).run();
}
