#include "update/banner.h"

#include "core/program.h"
#include "net/download.h"
#include "settings/site_addresses.h"

#include <QPointer>
#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace {

const QString kMakerSetting = QStringLiteral("Hote-Editeur");

double uniformRandom()
{
    return QRandomGenerator::global()->generateDouble();
}

} // namespace

Banner::Banner(Program &program, QObject *parent)
    : QObject(parent), m_program(program), m_random(&uniformRandom)
{
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &Banner::tick);
}

void Banner::setRandomSource(RandomSource random)
{
    m_random = random ? std::move(random) : RandomSource(&uniformRandom);
}

void Banner::start()
{
    setRunning(true);
    ChargeBandeau(1);
}

void Banner::setRunning(bool running)
{
    if (running && !m_timer.isActive())
        m_timer.start();
    else if (!running)
        m_timer.stop();
}

void Banner::ChargeBandeau(int n)
{
    m_number = n;
    const QString site = SiteAddresses::address(m_program.settings(), kMakerSetting);
    const QPointer<Banner> banner(this);
    m_program.download().start(site + picturePath(n), Download::Purpose::Banner, [banner](const Download::Outcome &outcome) {
        const QImage picture = QImage::fromData(outcome.body);
        if (banner && !picture.isNull())
            banner->onPicture(picture);
    });
    m_program.download().start(site + linkPath(n), Download::Purpose::BannerText, [banner](const Download::Outcome &outcome) {
        if (banner)
            banner->onLinkText(outcome.text());
    });
}

void Banner::tick()
{
    // A 16-bit count: during a very long search it stays at its top.
    if (m_ticks < std::numeric_limits<qint16>::max())
        ++m_ticks;
    if (m_ticks < kTicksPerBanner || !m_program.state().ArretDemande)
        return;
    m_ticks = 0;
    // Banner 1 only comes at start-up.
    const int n = int(m_random() * (kLastBanner - kFirstRandomBanner + 1)) + kFirstRandomBanner;
    ChargeBandeau(std::clamp(n, kFirstRandomBanner, kLastBanner));
}

QString Banner::picturePath(int n)
{
    return QStringLiteral("/Bandeaux/dalinker.php3?file=Bandeau") + QString::number(n);
}

QString Banner::linkPath(int n)
{
    return QStringLiteral("/Bandeaux/Bandeau") + QString::number(n) + QStringLiteral("-L.txt");
}

void Banner::onPicture(const QImage &picture)
{
    m_picture = picture;
    emit pictureChanged(picture);
}

void Banner::onLinkText(const QString &text)
{
    // The fetcher hands over an empty text when the read failed; the link shown stays.
    if (text.isEmpty())
        return;
    m_link = text;
    emit linkChanged(text);
}
