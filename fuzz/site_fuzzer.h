#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSet>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fixture_server.h"
#include "test_program.h"

class SiteAdapter;

// Plays one page through a base's whole search, as the search button would,
// then through the retrieval of the first hit, as a press on its thumbnail
// would: every page read (result page, film pages, the answer to a form post,
// picture pages, the picture saved) is that page, every address asked for as a
// thumbnail is missing. The program and its server are made once and kept for
// every input.
//
// The sites keep their own addresses and the program's proxy setting sends
// every read to the server on 127.0.0.1: captured pages stay valid seeds with
// the links they hold, an input means the same thing whatever port the server
// got, and no address taken from a page can lead anywhere else.
class SiteFuzzer
{
public:
    // `site`, when given, searches and retrieves for the base in place of its own code.
    explicit SiteFuzzer(int base, SiteAdapter *site = nullptr);

    void play(QByteArrayView page);

private:
    void startServer();
    FixtureServer::Reply answer(const FixtureServer::Request &request);

    TestProgram m_test;
    std::unique_ptr<FixtureServer> m_server;
    int m_inputsServed = 0;
    QByteArray m_page;
    // Every address asked for as a thumbnail: a late request of an earlier
    // input must not get the page either.
    QSet<QString> m_pictures;
};

// The whole of a target's entry point; `base` is its only difference.
int fuzzSite(int base, const uint8_t *data, size_t size);
// The same for sites described in files: each file, run by a program of its
// own, plays the input in turn. The files are read once; a broken one stops the target.
int fuzzSiteFiles(const QList<QByteArray> &files, const uint8_t *data, size_t size);
