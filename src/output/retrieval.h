#pragma once

#include "core/picture_request.h"

#include <QCoro/QCoroTask>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class OutputActions;
class Program;

// A press on a hit: its site's resolver says where the full picture is, it is
// fetched into the cache folder under a name made from the hit, then copied
// to the download folder or shown. finished() says when it is over.
class Retrieval : public QObject
{
    Q_OBJECT

public:
    // A site's resolver: where the full picture of the request's hit is.
    using Resolver = std::function<QCoro::Task<PictureSource>(PictureRequest &)>;

    explicit Retrieval(Program &program, QObject *parent = nullptr);

    // The resolver of the hits of `base`.
    void setResolver(int base, Resolver resolver);
    void setOutputActions(OutputActions *actions) { m_actions = actions; }
    // The download folder, without a trailing separator.
    void setSaveFolder(const QString &folder);
    QString saveFolder() const { return m_saveFolder; }

    // A press on a thumbnail (button 2: right), a click on its download
    // button, a click on its badge.
    void thumbPressed(int Index, int button);
    void downloadClicked(int Index);
    void badgeClicked(int Index);
    // Starts the retrieval of slot `Index`'s hit; a base without a resolver does nothing.
    void retrieve(int Index, bool Copy);

    // The steps that every resolver shares.
    void PrepareTelechargement(int Index);
    QCoro::Task<> OuvreFichier(int Index, bool Copy);
    static bool FichierExiste(const QString &path);

    bool downloading() const { return m_downloading; }
signals:
    // A retrieval that started has ended, whatever came of it.
    void finished();

public:
    // The copy that the last retrieval made, empty when it made none.
    QString lastCopy() const { return m_lastCopy; }

private:
    QCoro::Task<> run(Resolver resolver, int Index, bool Copy);

    Program &m_program;
    QHash<int, Resolver> m_resolvers;
    OutputActions *m_actions = nullptr;
    QString m_saveFolder;
    QString m_lastCopy;
    quint64 m_generation = 0; // of the list the retrieved hit is in
    bool m_downloading = false;
    bool m_closing = false;
};
