#include "library/library_run.h"

#include "core/program.h"
#include "core/result_list.h"
#include "core/site_catalogue.h"
#include "output/retrieval.h"

#include <QCoro/QCoroSignal>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QUrl>

namespace {

// The extension a picture's real format is written with; empty for what is no poster.
QString extensionOf(const QByteArray &format)
{
    if (format == "jpeg" || format == "jpg")
        return QStringLiteral("jpg");
    if (format == "png" || format == "gif" || format == "webp")
        return QString::fromLatin1(format);
    return {};
}

// How near a hit's year is to the film's: 0 same, 1 a year apart, 2 unknown, -1 too far.
int yearRank(int film, int hit)
{
    if (film <= 0 || hit <= 0)
        return 2;
    const int apart = qAbs(film - hit);
    return apart == 0 ? 0 : apart == 1 ? 1 : -1;
}

} // namespace

LibraryRun::LibraryRun(Program &program, Retrieval &retrieval, Options options)
    : m_program(program), m_retrieval(retrieval), m_options(std::move(options))
{
}

QString LibraryRun::word(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Written: return QStringLiteral("written");
    case Outcome::Kept: return QStringLiteral("kept");
    case Outcome::NotFound: return QStringLiteral("not-found");
    case Outcome::Failed: return QStringLiteral("failed");
    case Outcome::WouldWrite: return QStringLiteral("would-write");
    }
    return {};
}

QString LibraryRun::posterBase(const Film &film) const
{
    const QString name = film.stem.isEmpty() ? m_options.name : film.stem + u'-' + m_options.name;
    return QDir(film.folder).filePath(name);
}

QString LibraryRun::existingPoster(const Film &film) const
{
    const QFileInfo base(posterBase(film));
    const QStringList found = QDir(base.path()).entryList({base.fileName() + QStringLiteral(".*")}, QDir::Files, QDir::Name);
    for (const QString &name : found)
        if (!extensionOf(QFileInfo(name).suffix().toLower().toLatin1()).isEmpty())
            return QDir(base.path()).filePath(name);
    return {};
}

int LibraryRun::choose(const Film &film) const
{
    const ResultList &results = m_program.results();
    const SiteCatalogue &catalogue = m_program.catalogue();
    int best = -1;
    std::tuple<int, int, int> bestRank;
    for (int index = 1; index <= results.NbResultats(); ++index) {
        const ResultEntry &hit = results.entry(index);
        if (hit.Base < 0 || hit.Base >= catalogue.baseCount())
            continue;
        const SiteCatalogue::BaseInfo &base = catalogue.bases()[hit.Base];
        const int year = yearRank(film.year, hit.Year);
        // A printable jacket is fetched as a PDF, which is never a poster.
        if (year < 0 || (base.kind == SiteCatalogue::Kind::Jackets && !m_options.jackets) || hit.Extra == u"PDF"
            || !ResultList::matchesTitle(ResultList::displayTitle(hit.Title), film.title))
            continue;
        const std::tuple<int, int, int> rank{year, base.row, index};
        if (best < 0 || rank < bestRank) {
            best = index - 1;
            bestRank = rank;
        }
    }
    return best;
}

QCoro::Task<LibraryRun::Result> LibraryRun::posterFor(Film film)
{
    Result result;
    if (const QString kept = existingPoster(film); !kept.isEmpty() && !m_options.overwrite) {
        result.outcome = Outcome::Kept;
        result.file = kept;
        co_return result;
    }
    m_program.setTitle(film.title);
    m_program.Lance(1);
    if (m_program.searching())
        co_await qCoro(&m_program, &Program::runFinished);
    result.hits = m_program.results().NbResultats();
    const int chosen = choose(film);
    if (chosen < 0)
        co_return result;
    const ResultEntry &hit = m_program.results().entry(chosen + 1);
    result.site = hit.Site;
    result.hitTitle = hit.Title;
    m_target = posterBase(film);
    if (m_options.dryRun) {
        result.outcome = Outcome::WouldWrite;
        result.file = m_target + QStringLiteral(".jpg");
        co_return result;
    }
    m_written.clear();
    m_problem.clear();
    m_retrieval.setOutputActions(this);
    m_retrieval.setSaveFolder(film.folder);
    m_retrieval.downloadClicked(chosen);
    if (m_retrieval.downloading())
        co_await qCoro(&m_retrieval, &Retrieval::finished);
    result.outcome = m_written.isEmpty() ? Outcome::Failed : Outcome::Written;
    result.file = m_written;
    result.problem = m_written.isEmpty() && m_problem.isEmpty() ? QStringLiteral("the picture could not be fetched")
                                                                : m_problem;
    co_return result;
}

QCoro::Task<bool> LibraryRun::copyFile(QString source, QString)
{
    const QString extension = extensionOf(QImageReader::imageFormat(source));
    if (extension.isEmpty()) {
        m_problem = QStringLiteral("what came is not a picture");
        co_return false;
    }
    const QString path = m_target + u'.' + extension;
    QFile picture(source);
    QSaveFile poster(path);
    if (!picture.open(QIODevice::ReadOnly) || !poster.open(QIODevice::WriteOnly) || poster.write(picture.readAll()) < 0
        || !poster.commit()) {
        m_problem = QStringLiteral("the poster cannot be written: %1 (%2)").arg(QDir::toNativeSeparators(path),
                                                                                poster.errorString());
        co_return false;
    }
    // Another format's older poster would hide the new one.
    const QFileInfo target(m_target);
    for (const QString &name : QDir(target.path()).entryList({target.fileName() + QStringLiteral(".*")}, QDir::Files))
        if (QDir(target.path()).filePath(name) != path && !extensionOf(QFileInfo(name).suffix().toLower().toLatin1()).isEmpty())
            QFile::remove(QDir(target.path()).filePath(name));
    m_written = path;
    co_return true;
}
