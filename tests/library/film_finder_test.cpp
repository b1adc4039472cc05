#include "disk_trouble.h"
#include "library/film_finder.h"

#include <QTemporaryDir>

namespace {

constexpr qint64 kMiB = 1024 * 1024;

TEST(FilmFinderTest, findsEachFilmOnceAndReportsWhatItCannotEnter)
{
    QTemporaryDir outside;
    QTemporaryDir temporary;
    const QString library = QFileInfo(temporary.path()).canonicalFilePath();
    // Sparse files: a film's size without its bytes.
    const struct
    {
        const char *path;
        qint64 size;
    } files[] = {
        {"The Matrix (1999)/The.Matrix.1999.mkv", 2 * kMiB},
        {"The Matrix (1999)/Sample/sample.mkv", 2 * kMiB},
        {"The Matrix (1999)/Extras/Making of.mp4", 2 * kMiB},
        {"The Matrix (1999)/subs/english.srt", 2 * kMiB},
        {"Loose/Alien.1979.MKV", kMiB},
        {"Loose/Heat.1995.avi", 3 * kMiB},
        {"Loose/trailer.mp4", kMiB - 1},
        {"Le Parrain [1972]/VIDEO_TS/VTS_01_1.VOB", 2 * kMiB},
        {"Le Parrain [1972]/VIDEO_TS/inside.mkv", 2 * kMiB},
        {"Sets/Nosferatu (1922)/BDMV/index.bdmv", 1},
        {"Sets/Trilogy/Blade Runner (1982)/br.m2ts", 2 * kMiB},
        {"Sets/Small/tiny.mkv", kMiB / 2},
        {".hidden/Film (2000)/film.mkv", 2 * kMiB},
        {"Le Samouraï (1967)/a.ISO", 2 * kMiB},
        {"Locked/Locked.2001.mkv", 2 * kMiB},
        {"Jaws.1975.mp4", 2 * kMiB},
    };
    for (const auto &file : files) {
        const QString path = library + u'/' + QString::fromUtf8(file.path);
        QDir().mkpath(QFileInfo(path).path());
        QFile sparse(path);
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(file.size)) << file.path;
    }
    const QString elsewhere = outside.path() + QStringLiteral("/Elsewhere (2010)/elsewhere.mkv");
    writeFile(elsewhere, QByteArray(kMiB, 'x'));
    // A loop, a second way to a film, and two ways out.
    QFile::link(library, library + QStringLiteral("/Sets/Trilogy/Back to the library"));
    QFile::link(library + QStringLiteral("/Sets/Trilogy/Blade Runner (1982)"), library + QStringLiteral("/Alias"));
    QFile::link(outside.path(), library + QStringLiteral("/Outside"));
    QFile::link(elsewhere, library + QStringLiteral("/Loose/out.mkv"));
    const QString locked = library + QStringLiteral("/Locked");
    QFile(locked).setPermissions({});
    for (const QTemporaryDir *folder : {&temporary, &outside})
        QFile(folder->path()).setPermissions(QFile::permissions(library) | QFile::ReadGroup | QFile::ExeGroup
                                             | QFile::ReadOther | QFile::ExeOther);

    // The films by path; "file" marks one film file among others, found by its stem.
    QStringList expected = {
        "file Jaws.1975",
        "Le Parrain [1972]",
        "Le Samouraï (1967)",
        "file Loose/Alien.1979",
        "file Loose/Heat.1995",
        "Sets/Nosferatu (1922)",
        "Sets/Trilogy/Blade Runner (1982)",
        "The Matrix (1999)",
    };
    QStringList problems = {"Locked unreadable", "Loose/out.mkv outside", "Outside outside"};
    LibraryContents contents;
    {
        // Root reads any folder: the walk runs as nobody, and when even that
        // cannot be, the locked folder is an ordinary film.
        const WithoutRoot nobody;
        if (!QDir(locked).isEmpty()) {
            problems.removeFirst();
            expected.insert(3, QStringLiteral("Locked"));
        }
        contents = findFilms(temporary.path());
    }
    QFile(locked).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QStringList found;
    for (const LibraryFilm &film : contents.films) {
        const bool file = !film.fileStem.isEmpty();
        EXPECT_EQ(film.name, file ? film.fileStem : QFileInfo(film.folder).fileName());
        found << (file ? "file " : "") + QDir(library).relativeFilePath(film.folder + u'/' + film.fileStem);
    }
    EXPECT_EQ(found, expected);
    QStringList reported;
    for (const LibraryProblem &problem : contents.problems)
        reported << QDir(library).relativeFilePath(problem.path)
                        + (problem.kind == LibraryProblem::Kind::LinkOutside ? " outside" : " unreadable");
    EXPECT_EQ(reported, problems);
}

} // namespace
