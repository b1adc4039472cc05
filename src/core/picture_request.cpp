#include "core/picture_request.h"

#include "text/text_utils.h"
#include "net/download.h"

#include <QFileInfo>
#include <memory>

PictureRequest::PictureRequest(const ResultEntry &hit, QString &fileName, const QString &cacheFolder,
                               Download &download, SettingsStore &settings,
                               std::function<QString(const QString &)> address)
    : m_hit(hit), m_fileName(fileName), m_cacheFolder(cacheFolder), m_download(download), m_settings(settings),
      m_address(std::move(address))
{
}

QString PictureRequest::cachedPath(bool pdf) const
{
    return m_cacheFolder + m_fileName + (pdf ? QStringLiteral(".pdf") : QStringLiteral(".jpg"));
}

bool PictureRequest::isCached(bool pdf) const
{
    const QFileInfo file(cachedPath(pdf));
    return file.isFile() && file.size() > 0;
}

QString PictureRequest::address(const QString &settingName) const
{
    return m_address ? m_address(settingName) : QString();
}

QCoro::Task<QString> PictureRequest::readPage(const QString &url)
{
    QString page = co_await readRawPage(url);
    DecodeHtml(page);
    co_return page;
}

QCoro::Task<QString> PictureRequest::readRawPage(const QString &url)
{
    const Download::Outcome outcome = co_await m_download.fetch(url, Download::Purpose::Page, {}, m_redirects);
    co_return outcome.text();
}
