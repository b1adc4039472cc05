#include "update/update_check.h"

#include "core/program.h"
#include "core/text_helpers.h"
#include "net/download.h"
#include "settings/settings_store.h"
#include "settings/site_addresses.h"

#include <QLocale>

namespace {

const QString kMakerSetting = QStringLiteral("Hote-Editeur");
const QString kLiveUpdate = QStringLiteral("LiveUpdate");
const QString kUpdateFilePath = QStringLiteral("/pad_file.xml");
const QString kDownloadPagePath = QStringLiteral("/telecharger.htm");

// A version text: "2006.m".
constexpr qsizetype kVersionLength = 6;
constexpr qsizetype kYearLength = 4;

struct Reminder
{
    int days;
    int months;
};

// Answers 1 to 5 of the list; "never" is 100 months, after which checks resume.
constexpr Reminder kReminders[] = {
    {1, 0},
    {3, 0},
    {7, 0},
    {0, 1},
    {0, 100},
};

} // namespace

UpdateCheck::UpdateCheck(Program &program)
    : m_program(program), m_clock(&QDateTime::currentDateTime)
{
}

void UpdateCheck::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(&QDateTime::currentDateTime);
}

QString UpdateCheck::publishedVersion(QStringView page)
{
    const qsizetype at = text::find(page, u"200");
    if (at == 0)
        return {};
    const QString candidate = text::mid(page, at, kVersionLength);
    return candidate.size() == kVersionLength ? candidate : QString();
}

bool UpdateCheck::isNewer(const QString &candidate, const QString &own)
{
    if (QStringView(candidate).left(kYearLength).compare(QStringView(own).left(kYearLength)) > 0)
        return true;
    // The letter alone decides here, even for an earlier year.
    return QStringView(candidate).right(1).compare(QStringView(own).right(1)) > 0;
}

void UpdateCheck::RNouvelleVersion()
{
    Program::yieldOnce();
    // A fetch that fails or times out must not leave a site's page to be read as the update file.
    m_program.state().PageHtml.clear();
    m_program.download().Start(updateFileAddress(), QStringLiteral("Html"), false, true);
    Program::yieldOnce();

    const QString candidate = publishedVersion(m_program.state().PageHtml);
    m_nouvelleVersion = !candidate.isEmpty() && isNewer(candidate)
        ? QString(kProgramName) + u' ' + candidate
        : QString();
}

bool UpdateCheck::checkDue() const
{
    return checkDue(m_program.settings().LitValeur(kLiveUpdate), m_clock());
}

bool UpdateCheck::checkDue(const QString &liveUpdate, const QDateTime &now)
{
    if (liveUpdate.trimmed().isEmpty())
        return true;
    const std::optional<QDateTime> date = readDate(liveUpdate);
    return !date || now > *date;
}

bool UpdateCheck::startUpCheck()
{
    if (checkDue())
        RNouvelleVersion();
    return !m_nouvelleVersion.isEmpty();
}

QString UpdateCheck::answer(int entry)
{
    if (m_nouvelleVersion.isEmpty())
        return {};
    if (entry == DownloadNow) {
        m_program.settings().EffaceValeur(kLiveUpdate);
        return downloadPage();
    }
    const QDateTime date = reminderDate(entry, m_clock());
    if (date.isValid())
        m_program.settings().EcritValeur(kLiveUpdate, dateText(date));
    return {};
}

QDateTime UpdateCheck::reminderDate(int entry, const QDateTime &now)
{
    if (entry < RemindTomorrow || entry > RemindNever)
        return {};
    const Reminder &reminder = kReminders[entry - RemindTomorrow];
    // Calendar arithmetic: 31 January plus a month is the last day of February.
    return now.addDays(reminder.days).addMonths(reminder.months);
}

QString UpdateCheck::dateText(const QDateTime &date)
{
    return date.toString(Qt::ISODate);
}

std::optional<QDateTime> UpdateCheck::readDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    QDateTime date = QDateTime::fromString(trimmed, Qt::ISODate);
    // Earlier versions wrote the date in the user's regional format.
    const QLocale locale = QLocale::system();
    for (const QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        if (date.isValid())
            break;
        date = locale.toDateTime(trimmed, format);
        // Midnight was written as the date alone.
        if (!date.isValid())
            date = locale.toDate(trimmed, format).startOfDay();
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString UpdateCheck::updateFileAddress() const
{
    return makerAddress() + kUpdateFilePath;
}

QString UpdateCheck::downloadPage() const
{
    return makerAddress() + kDownloadPagePath;
}

QString UpdateCheck::makerAddress() const
{
    return SiteAddresses::address(m_program.settings(), kMakerSetting);
}
