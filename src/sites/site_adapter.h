#pragma once

#include "core/picture_request.h"
#include "core/site_search.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QString>
#include <QStringList>

// A site: the bases it searches, the name its hits carry, the settings that
// hold its addresses, its search and how a hit's full picture is found. A
// site's source holds only that, its markers and its scan passes; every pass
// that reads a page is a pure function of the page's text.
class SiteAdapter
{
public:
    // What a site declares of itself; the program registers it from that.
    struct Description
    {
        QString name;                // as its hits carry it
        QList<int> bases;            // the bases it searches (one, or MovieCovers' two)
        QStringList addressSettings; // the "Hote-..." settings its addresses come from
    };

    explicit SiteAdapter(Description description) : m_description(std::move(description)) {}
    virtual ~SiteAdapter() = default;
    SiteAdapter(const SiteAdapter &) = delete;
    SiteAdapter &operator=(const SiteAdapter &) = delete;

    QString name() const { return m_description.name; }
    QList<int> bases() const { return m_description.bases; }
    QStringList addressSettings() const { return m_description.addressSettings; }

    // The search of `base`; its hits go to `search`.
    virtual QCoro::Task<> search(SiteSearch &search, int base) = 0;
    // Where the full picture of `request.hit()` comes from.
    virtual QCoro::Task<PictureSource> picture(PictureRequest &request) = 0;

protected:
    // Mid as a scan reads it: a negative length (its end marker was not found)
    // gives an empty text, not the rest of the page.
    static QString piece(QStringView text, qsizetype start, qsizetype length);
    // The year a piece of page holds; 0 when it is no number or does not fit a Year.
    static qint16 yearValue(QStringView text);

private:
    Description m_description;
};
