#include "net/post_reply.h"

#include "net/page_decoding.h"

#include <QList>

namespace {

// "</html>" is 7 bytes: a tag cut after its first 6 is still found once the rest comes.
constexpr qsizetype kTagOverlap = 6;
// "\r\n\r\n" is 4 bytes: the same for the end of the headers.
constexpr qsizetype kHeadEndOverlap = 3;
// Hex digits and extensions of a chunk's size line; a longer line is not framing.
constexpr qsizetype kLongestSizeLine = 1024;
// Far past any reply that is accepted, far from overflowing an offset.
constexpr qint64 kLargestChunk = qint64(1) << 40;

// The value of the header `name` in a reply's header block, empty when it has none.
QByteArray headerValue(QByteArrayView head, QByteArrayView name)
{
    for (const QByteArray &line : head.toByteArray().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

struct Chunk
{
    enum State { Incomplete, Malformed, Found } state = Incomplete;
    qsizetype data = 0; // where its bytes start
    qint64 size = 0;
};

// The chunk whose size line starts at `at`.
Chunk chunkAt(const QByteArray &bytes, qsizetype at)
{
    const qsizetype lineEnd = bytes.indexOf("\r\n", at);
    if (lineEnd < 0)
        return {bytes.size() - at > kLongestSizeLine ? Chunk::Malformed : Chunk::Incomplete};
    if (lineEnd - at > kLongestSizeLine)
        return {Chunk::Malformed};
    QByteArray digits = bytes.sliced(at, lineEnd - at);
    if (const qsizetype extension = digits.indexOf(';'); extension >= 0)
        digits.truncate(extension);
    bool ok = false;
    const qint64 size = digits.trimmed().toLongLong(&ok, 16);
    if (!ok || size < 0 || size > kLargestChunk)
        return {Chunk::Malformed};
    return {Chunk::Found, lineEnd + 2, size};
}

} // namespace

int PostReply::status() const
{
    const qsizetype lineEnd = m_bytes.indexOf("\r\n");
    if (lineEnd < 0 || !m_bytes.startsWith("HTTP/"))
        return 0;
    const QList<QByteArray> words = m_bytes.first(lineEnd).split(' ');
    bool ok = false;
    const int code = words.value(1).toInt(&ok);
    return ok && words.value(1).size() == 3 ? code : 0;
}

void PostReply::append(QByteArrayView bytes)
{
    m_bytes += bytes;
    // Searched from just before the new bytes: linear, and a tag split across two pieces is found.
    if (!m_closingTag && m_bytes.sliced(m_tagSearchFrom).toLower().contains("</html>"))
        m_closingTag = true;
    m_tagSearchFrom = qMax<qsizetype>(0, m_bytes.size() - kTagOverlap);

    if (m_bodyStart < 0)
        readHeaders();
    if (m_nextChunk >= 0)
        readChunks();
    if (m_declaredLength >= 0 && m_bodyStart >= 0 && m_bytes.size() - m_bodyStart >= m_declaredLength)
        m_whole = true;
}

void PostReply::readHeaders()
{
    const qsizetype headEnd = m_bytes.indexOf("\r\n\r\n", m_headSearchFrom);
    if (headEnd < 0) {
        m_headSearchFrom = qMax<qsizetype>(0, m_bytes.size() - kHeadEndOverlap);
        return;
    }
    m_bodyStart = headEnd + 4;
    if (!m_bytes.startsWith("HTTP/"))
        return;
    const QByteArrayView head = QByteArrayView(m_bytes).first(m_bodyStart);
    if (headerValue(head, "Transfer-Encoding").toLower().contains("chunked")) {
        m_chunked = true;
        m_nextChunk = m_bodyStart;
        return;
    }
    bool ok = false;
    const qint64 length = headerValue(head, "Content-Length").toLongLong(&ok);
    if (ok && length >= 0)
        m_declaredLength = length;
}

// Walks the chunks that have arrived; the one of size 0 ends the body. Bytes
// that are not chunk framing end the walk: the reply then ends as one without
// a declared length.
void PostReply::readChunks()
{
    for (;;) {
        const Chunk chunk = chunkAt(m_bytes, m_nextChunk);
        if (chunk.state == Chunk::Incomplete)
            return;
        if (chunk.state == Chunk::Malformed || chunk.size == 0) {
            m_whole = chunk.state == Chunk::Found;
            m_nextChunk = -1;
            return;
        }
        const qsizetype next = chunk.data + chunk.size + 2;
        if (m_bytes.size() < next)
            return;
        m_nextChunk = next;
    }
}

// What arrived of the body: no more than declared, and without chunk framing
// (a chunk cut short keeps what arrived of it, bytes that are not framing stay).
QByteArray PostReply::body() const
{
    if (!m_chunked) {
        const qsizetype arrived = m_bytes.size() - m_bodyStart;
        return m_bytes.sliced(m_bodyStart, m_declaredLength >= 0 ? qMin<qint64>(arrived, m_declaredLength) : arrived);
    }
    QByteArray body;
    qsizetype at = m_bodyStart;
    while (at < m_bytes.size()) {
        const Chunk chunk = chunkAt(m_bytes, at);
        if (chunk.state == Chunk::Malformed)
            return body + m_bytes.sliced(at);
        if (chunk.state == Chunk::Incomplete || chunk.size == 0)
            break;
        body += m_bytes.sliced(chunk.data, qMin<qint64>(chunk.size, m_bytes.size() - chunk.data));
        at = chunk.data + chunk.size + 2;
    }
    return body;
}

QString PostReply::text() const
{
    if (m_bodyStart < 0)
        return QString::fromLatin1(m_bytes);
    const QByteArrayView head = QByteArrayView(m_bytes).first(m_bodyStart);
    return QString::fromLatin1(head) + OctetsVersTexte(body(), headerValue(head, "Content-Type"));
}
