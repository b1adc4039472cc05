#include "output/retrieval.h"

#include "core/program.h"
#include "net/download.h"
#include "output/file_naming.h"
#include "output/output_actions.h"

#include <QDir>
#include <QFileInfo>

Retrieval::Retrieval(Program &program, QObject *parent)
    : QObject(parent)
    , m_program(program)
{
    connect(&program, &Program::closing, this, [this] { m_closing = true; });
}

void Retrieval::setResolver(int base, Resolver resolver)
{
    m_resolvers.insert(base, std::move(resolver));
}

void Retrieval::setSaveFolder(const QString &folder)
{
    m_saveFolder = folder;
    while (m_saveFolder.size() > 1 && (m_saveFolder.endsWith(u'/') || m_saveFolder.endsWith(u'\\')))
        m_saveFolder.chop(1);
}

void Retrieval::thumbPressed(int Index, int button)
{
    m_program.state().ClicDroit = button == 2;
    retrieve(Index, false);
}

void Retrieval::downloadClicked(int Index)
{
    retrieve(Index, true);
}

void Retrieval::badgeClicked(int Index)
{
    thumbPressed(Index, 0);
}

void Retrieval::retrieve(int Index, bool Copy)
{
    // One retrieval at a time: the slots are disabled while one runs.
    if (m_downloading)
        return;
    const auto resolver = m_resolvers.constFind(m_program.results().entry(Index + 1).Base);
    if (resolver != m_resolvers.cend())
        run(*resolver, Index, Copy);
}

QCoro::Task<> Retrieval::run(Resolver resolver, int Index, bool Copy)
{
    m_closing = false;
    PrepareTelechargement(Index);
    // Nobody awaits this task: whatever a step throws (memory running out)
    // ends here as a failed retrieval, so that the buttons come back.
    try {
        const ResultEntry hit = m_program.results().entry(Index + 1);
        ProgramState &state = m_program.state();
        PictureRequest request(hit, state.NomFichier, state.DossierTemp, m_program.download(), m_program.settings(),
                               [this](const QString &setting) { return m_program.siteAddress(setting); });
        const PictureSource source = co_await resolver(request);
        if (!source.url.isEmpty() && !(source.reuseCached && request.isCached(source.pdf)))
            co_await m_program.download().fetch(source.url, Download::Purpose::Save, request.cachedPath(source.pdf),
                                                request.redirects());
        // Closing ends the retrieval; nothing is copied or shown any more.
        if (!m_closing)
            co_await OuvreFichier(Index, Copy);
    } catch (...) {
    }
    m_program.FinTraitement();
    m_downloading = false;
    emit finished();
}

void Retrieval::PrepareTelechargement(int Index)
{
    m_downloading = true;
    m_lastCopy.clear();
    m_generation = m_program.results().generation();
    m_program.beginDownloadState();
    m_program.state().NomFichier = composeFileName(m_program.results().entry(Index + 1));
}

bool Retrieval::FichierExiste(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && file.size() > 0;
}

QCoro::Task<> Retrieval::OuvreFichier(int Index, bool Copy)
{
    ProgramState &state = m_program.state();
    const QString extension = m_program.results().entry(Index + 1).Extra == QStringLiteral("PDF") ? QStringLiteral(".pdf")
                                                                                  : QStringLiteral(".jpg");
    const QString source = state.DossierTemp + state.NomFichier + extension;

    if (Copy) {
        const QString destination = m_saveFolder + QDir::separator() + state.NomFichier + extension;
        // The badge says the picture is in the download folder: only when it is.
        if (!m_saveFolder.isEmpty() && FichierExiste(source) && m_actions
            && co_await m_actions->copyFile(source, destination)) {
            m_lastCopy = destination;
            m_program.results().setDownloaded(Index, m_generation);
        }
    } else if (m_actions) {
        if (extension == u".pdf") {
            m_actions->openDocument(source);
        } else if (state.ClicDroit) {
            m_actions->showInSystemViewer(source);
        } else {
            m_actions->showInViewer(source, Index);
        }
    }
}
