#pragma once

#include "sites/site_adapter.h"

#include <QStringList>

// IMP Awards: the site's own search is not used; a web search engine, limited
// to the site, lists its poster pages, and each page gives its main poster
// and every other version it shows.
class IMPAwards : public SiteAdapter
{
public:
    using SiteAdapter::SiteAdapter;

    void ChercheIMPAwards();
    void RecupIMPAwards(int Index, bool Copy);

private:
    struct Film
    {
        QString title; // in lower case, as the page is read
        qint16 year = 0;
    };

    QString searchAddress() const;
    // The poster pages the search engine found, in its order.
    QStringList linkPass(const QString &page);
    // Turns one poster page into hits; false once no more can be added.
    bool readPosterPage(const QString &pageAddress);
    bool versionsPass(const QString &page, const QString &yearFolder, const Film &film);
    bool addPoster(const QString &folder, const QString &name, const Film &film);
    static Film filmOf(const QString &page);
    void lowerPage();
    QString host() const;
};

void registerIMPAwards(Program &program);
