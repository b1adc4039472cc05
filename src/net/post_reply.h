#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The answer to a form post, taken in as its bytes arrive. It knows when it is
// whole: once it holds the closing HTML tag, or once all that its headers
// declare (Content-Length, or the last chunk of a chunked body) is there.
class PostReply
{
public:
    // Takes in the bytes that arrived since the last call.
    void append(QByteArrayView bytes);
    void clear() { *this = PostReply(); }

    qsizetype size() const { return m_bytes.size(); }
    // The status of its status line ("HTTP/1.1 404 Not Found"), 0 until a whole one came.
    int status() const;
    // Holds "</html>", in any case.
    bool hasClosingTag() const { return m_closingTag; }
    // All the body that the headers declare has arrived.
    bool isWhole() const { return m_whole; }

    // The headers as Latin-1 and the body, without its chunk framing, by the
    // charset it declares (else UTF-8 when valid, else Windows-1252), as every
    // page the program reads. Decoded once, when asked for.
    QString text() const;

private:
    void readHeaders();
    void readChunks();
    QByteArray body() const;

    QByteArray m_bytes;
    qsizetype m_tagSearchFrom = 0;
    qsizetype m_headSearchFrom = 0;
    qsizetype m_bodyStart = -1;   // once the headers are whole
    qint64 m_declaredLength = -1; // Content-Length
    bool m_chunked = false;
    qsizetype m_nextChunk = -1;   // where the size line of the next chunk starts, while walking them
    bool m_closingTag = false;
    bool m_whole = false;
};
