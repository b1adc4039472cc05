#pragma once

#include "update/version.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

class Program;

// Whether the maker has published a newer version, and when to look again.
// The published version is the first "200" of the maker's update file and the
// five characters after it; the user's answer to an announcement is stored in
// "LiveUpdate" as the date before which start-up does not check.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // The answers of the options window's list, in its order.
    enum Answer {
        DownloadNow = 0,
        RemindTomorrow = 1,
        RemindIn3Days = 2,
        RemindIn1Week = 3,
        RemindIn1Month = 4,
        RemindNever = 5,
    };

    explicit UpdateCheck(Program &program, QObject *parent = nullptr);
    // A check by hand still waiting ends here.
    ~UpdateCheck() override;

    // Where "now" comes from; tests set a fixed time.
    void setClock(Clock clock);

    // The version text found in `page`: the six characters from the first
    // "200" on, or empty when they are not a version.
    static QString publishedVersion(QStringView page);
    // Four digits, a point and a letter: "2006.m".
    static bool isVersion(QStringView text);

    // Compared as plain text: a later year (the first four characters) is
    // newer; otherwise a later last character is, whatever the years, so
    // "2005.z" counts as newer than "2006.l". What is not a version is not newer.
    static bool isNewer(const QString &candidate, const QString &own = QString(kVersion));

    // Fetches the maker's update file and, once it is there (or given up),
    // sets NouvelleVersion to "Pellicam 2006.m" when a newer version is
    // published, else empties it. A failed fetch announces nothing. True when
    // an update is announced.
    QCoro::Task<bool> RNouvelleVersion();
    // Ends a check by hand still waiting: it announces nothing.
    void cancelCheck();

    // "Pellicam " and the newer version, or empty when no update is pending.
    const QString &NouvelleVersion() const { return m_nouvelleVersion; }
    // The options window has closed, whichever way.
    void clearNouvelleVersion() { m_nouvelleVersion.clear(); }

    // Start-up: "LiveUpdate" is empty, unreadable, or a date already passed.
    bool checkDue() const;
    static bool checkDue(const QString &liveUpdate, const QDateTime &now);
    // Start-up's check: when it is due, asks for the maker's update file and
    // returns at once (true); newerVersionFound() follows if the answer
    // publishes a newer version. A check by hand meanwhile replaces it.
    bool startUpCheck();
    // Makes what the start-up check found the pending update, for the options
    // window to open on; false when it found nothing (or it was taken already).
    bool announceFound();

    // Applies the user's answer to a pending update (nothing when none is
    // pending or `entry` is not an answer). Returns the download page's
    // address for DownloadNow, for the caller to open; empty otherwise.
    QString answer(int entry);
    // The date an answer stores, from `now`; invalid for DownloadNow and
    // anything that is not an answer.
    static QDateTime reminderDate(int entry, const QDateTime &now);

    // "LiveUpdate" is written in the system's regional short format, as local
    // time ("2/28/06 10:30 AM"); ISO 8601 ("2006-02-28T10:30:00") is read as well.
    static QString dateText(const QDateTime &date);
    static std::optional<QDateTime> readDate(const QString &text);

    // The maker's pages.
    QString updateFileAddress() const;
    QString downloadPage() const;

signals:
    void newerVersionFound();

private:
    QString makerAddress() const;
    static QString announcement(QStringView page);
    void onStartUpAnswer(const QString &page);

    Program &m_program;
    Clock m_clock;
    QString m_nouvelleVersion;
    bool m_startUpPending = false;
    quint64 m_checkTicket = 0; // the check by hand under way
    QString m_found;
};
