#include "update/update_check.h"

#include "core/program.h"
#include "text/text_helpers.h"
#include "net/download.h"
#include "settings/settings_store.h"
#include "settings/site_addresses.h"

#include <QLocale>
#include <QPointer>

#include <algorithm>
#include <utility>

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

UpdateCheck::UpdateCheck(Program &program, QObject *parent)
    : QObject(parent), m_program(program), m_clock(&QDateTime::currentDateTime)
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
    return isVersion(candidate) ? candidate : QString();
}

bool UpdateCheck::isVersion(QStringView text)
{
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    const auto letter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    return text.size() == kVersionLength && std::all_of(text.begin(), text.begin() + kYearLength, digit)
           && text[kYearLength] == u'.' && letter(text[kYearLength + 1]);
}

bool UpdateCheck::isNewer(const QString &candidate, const QString &own)
{
    if (!isVersion(candidate))
        return false;
    if (QStringView(candidate).left(kYearLength).compare(QStringView(own).left(kYearLength)) > 0)
        return true;
    // The letter alone decides here, even for an earlier year.
    return QStringView(candidate).right(1).compare(QStringView(own).right(1)) > 0;
}

QString UpdateCheck::announcement(QStringView page)
{
    const QString candidate = publishedVersion(page);
    return isNewer(candidate) ? QString(kProgramName) + u' ' + candidate : QString();
}

QCoro::Task<bool> UpdateCheck::RNouvelleVersion()
{
    // The check by hand answers for the start-up one too.
    m_startUpPending = false;
    m_found.clear();
    Download &download = m_program.download();
    auto page = std::make_shared<QString>();
    m_checkTicket = download.start(updateFileAddress(), Download::Purpose::UpdateFile,
                                   [page](const Download::Outcome &outcome) { *page = outcome.text(); });
    co_await download.wait(m_checkTicket, Download::Waiting::Done);
    // The user waits for this answer in the options window: a read given up is dropped.
    download.cancel(m_checkTicket);
    m_nouvelleVersion = announcement(*page);
    co_return !m_nouvelleVersion.isEmpty();
}

UpdateCheck::~UpdateCheck()
{
    cancelCheck();
}

void UpdateCheck::cancelCheck()
{
    m_program.download().cancel(m_checkTicket);
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
    if (!checkDue())
        return false;
    m_startUpPending = true;
    m_program.download().start(updateFileAddress(), Download::Purpose::UpdateFile,
                               [check = QPointer<UpdateCheck>(this)](const Download::Outcome &outcome) {
                                   if (check)
                                       check->onStartUpAnswer(outcome.text());
                               });
    return true;
}

void UpdateCheck::onStartUpAnswer(const QString &page)
{
    if (!m_startUpPending)
        return;
    m_startUpPending = false;
    m_found = announcement(page);
    if (!m_found.isEmpty())
        emit newerVersionFound();
}

bool UpdateCheck::announceFound()
{
    if (m_found.isEmpty())
        return false;
    m_nouvelleVersion = std::exchange(m_found, QString());
    return true;
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
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

std::optional<QDateTime> UpdateCheck::readDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    // Earlier versions, and scripts, write ISO 8601.
    QDateTime date = QDateTime::fromString(trimmed, Qt::ISODate);
    const QLocale locale = QLocale::system();
    for (const QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        if (date.isValid())
            break;
        date = locale.toDateTime(trimmed, format);
        // Midnight was written as the date alone.
        if (!date.isValid())
            date = locale.toDate(trimmed, format).startOfDay();
        // Qt reads a two-digit year as 19xx; no reminder is of that century.
        const QString dateFormat = locale.dateFormat(format);
        if (date.isValid() && dateFormat.contains(u"yy") && !dateFormat.contains(u"yyyy"))
            date = date.addYears(100);
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
