#pragma once

#include "disk_trouble.h"
#include "fixture_server.h"
#include "output/retrieval.h"
#include "test_pictures.h"
#include "test_program.h"

#include <QFile>
#include <gtest/gtest.h>

// A page or a picture kept in tests/fixtures/<folder>/.
inline QByteArray fixtureFile(const QString &folder, const QString &name)
{
    return contents(QStringLiteral(PELLICAM_FIXTURES "/") + folder + u'/' + name);
}

inline FixtureServer::Reply pageReply(const QByteArray &body, const QByteArray &type = "text/html")
{
    FixtureServer::Reply reply;
    reply.body = body;
    reply.contentType = type;
    return reply;
}

inline FixtureServer::Reply pictureReply(const QByteArray &body, const QByteArray &type = "image/jpeg")
{
    return pageReply(body, type);
}

inline FixtureServer::Reply statusReply(int status)
{
    FixtureServer::Reply reply;
    reply.status = status;
    reply.body = "<html><body>Error</body></html>";
    return reply;
}

inline FixtureServer::Reply notFoundReply()
{
    return statusReply(404);
}

// The request is taken and never answered.
inline FixtureServer::Reply stalledReply()
{
    FixtureServer::Reply reply;
    reply.stall = true;
    return reply;
}

// A site played by the test server under a path of its own, and a program
// that searches it and writes down what it does with the pictures.
class SiteTest : public ::testing::Test
{
protected:
    // Points the site's address setting at the server, under `prefix`.
    void playSite(const QString &setting, const QString &prefix)
    {
        ASSERT_TRUE(m_server.listen());
        m_prefix = prefix;
        m_test.store.EcritValeur(setting, m_server.url(prefix));
        program().retrieval().setOutputActions(&m_actions);
        program().setTitle(QStringLiteral("matrix"));
    }

    Program &program() { return m_test.program; }
    const ResultEntry &hit(int index) { return program().results().entry(index); }
    const ResultList::Slot &slot(int index) { return program().results().slot(index); }

    // The address of `path` on the site.
    QString siteUrl(const QString &path) const { return m_server.url(m_prefix + path); }
    // The site answers `path` (with or without its query) so.
    void answer(const QString &path, const FixtureServer::Reply &reply) { m_server.setReply(m_prefix + path, reply); }
    void answer(const QString &path, const QByteArray &page) { answer(path, pageReply(page)); }

    // A search of these bases only, waited for until it ends.
    void searchBases(const QList<int> &bases, int button = 1)
    {
        program().state().BaseUnique = false;
        m_test.tick(bases);
        ASSERT_TRUE(m_test.search(button)) << "the search ended";
    }
    // A press on slot `slot`'s hit, or on its download button (`copy`), waited for.
    void retrieve(int slot, bool copy)
    {
        ASSERT_TRUE(m_test.retrieve(slot, copy)) << "the retrieval ended";
    }

    FixtureServer m_server;
    TestProgram m_test;
    RecordedActions m_actions;
    QString m_prefix;
};
