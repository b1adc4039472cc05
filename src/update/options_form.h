#pragma once

#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>
#include <optional>

class Program;
class UpdateCheck;

// What the options window shows and stores. It reads every setting when the
// window opens and writes them all back on Ok; Cancel drops it and stores
// nothing. A value that cannot be read leaves its control as designed
// (nothing ticked): -1 for the choices below.
class OptionsForm
{
public:
    static constexpr int kSections = 6;
    static constexpr int kGeneral = 0;
    static constexpr int kConnection = 1;
    static constexpr int kProxy = 2;
    static constexpr int kUpdate = 3;
    static constexpr int kDatabase = 4;
    static constexpr int kPdf = 5;

    // The history count shown is always this minus the spin's position.
    static constexpr int kSpinTop = 150;
    static constexpr int kNoChoice = -1;

    OptionsForm(Program &program, UpdateCheck &update);

    // The window opens: every setting is read.
    void read();
    // Ok: everything is written back, in the window's order. Returns the
    // page to open when the user chose to download an update now.
    QString write();
    // Ok or Cancel: an announced update is dropped either way.
    void close();

    // The language list's entries ("English", "Français") and the jacket
    // choices' captions, which are never translated.
    static QStringList languages();
    static QStringList pdfFormats();
    static QStringList pdfFonts();
    // Where the PDF reader can be downloaded.
    static QString pdfReaderPage();

    // The history length a text starts with (blanks and a sign allowed), 0
    // when it starts with anything else; nothing when that number is no
    // length the history can have, so the stored titles stay.
    static std::optional<int> leadingNumber(const QString &text);

    // Choosing a language switches the interface at once; only Ok stores it.
    void chooseLanguage(int entry);

    // The section shown on opening: the update's when one is announced.
    int openingSection() const;
    // "Pellicam 2006.m" while an update is announced, else empty.
    QString announcedVersion() const;

    // Manual check; true when an update is now announced.
    QCoro::Task<bool> checkNow();
    // Ends a check by hand still waiting.
    void cancelCheck();

    // The history spin and its text box.
    int spinPosition() const;
    void setSpinPosition(int position);

    bool formPosition = false;
    QString historyText;
    int language = kNoChoice;
    int connexion = kNoChoice;
    bool proxyUsed = false;
    QString proxyAddress;
    QString proxyPort;
    // "One base at a time" rather than "several bases".
    bool singleBase = false;
    int pdfFormat = kNoChoice;
    int pdfFond = kNoChoice;
    int pdfPolice = kNoChoice;
    // Entry of the answer list; 0 (download now) whenever an update is announced.
    int updateAnswer = 0;

private:
    int readChoice(const char *name) const;
    void writeChoice(const char *name, int value);

    Program &m_program;
    UpdateCheck &m_update;
};
