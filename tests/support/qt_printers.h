#pragma once

// Lets GoogleTest print Qt's texts readably in failure messages. Every test
// source gets this header first (see tests/CMakeLists.txt), so all of them
// print alike.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// Control characters are shown as \xNN, so line breaks and NULs stay visible.
inline void PrintTo(const QString &text, std::ostream *os)
{
    QString shown;
    for (const QChar c : text)
        shown += c.unicode() < 0x20 ? QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QChar(u'0')) : QString(c);
    *os << '"' << shown.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *os)
{
    *os << '{';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        *os << (i ? ", " : "");
        PrintTo(texts[i], os);
    }
    *os << '}';
}
