#include "lineframer.h"

#include "text/textcodec.h"

#include <cstring>

namespace {

// Cuts at most limit bytes without splitting a UTF-8 sequence.
qsizetype cutPoint(QByteArrayView bytes, qsizetype limit)
{
    if (bytes.size() <= limit)
        return bytes.size();
    qsizetype cut = limit;
    for (int back = 0; back < 3 && cut > 0; ++back) {
        if ((static_cast<unsigned char>(bytes[cut]) & 0xc0) != 0x80)
            break;
        --cut;
    }
    if ((static_cast<unsigned char>(bytes[cut]) & 0xc0) == 0x80)
        cut = limit; // not UTF-8 at all: cut where the limit says
    return cut;
}

} // namespace

void LineFramer::deliver(QByteArrayView line, const LineHandler &onLine)
{
    onLine(decodeLine(line.first(cutPoint(line, MaxLineBytes))));
}

void LineFramer::feed(QByteArrayView data, const LineHandler &onLine)
{
    const char *begin = data.data();
    const char *end = begin + data.size();
    const char *cursor = begin;
    while (cursor < end) {
        const auto *lf = static_cast<const char *>(std::memchr(cursor, '\n', size_t(end - cursor)));
        if (!lf) {
            keepPartial(QByteArrayView(cursor, end - cursor), onLine);
            return;
        }
        const QByteArrayView piece(cursor, lf - cursor);
        cursor = lf + 1;
        if (m_discarding) {
            m_discarding = false;
            m_partial.clear();
            continue;
        }
        if (m_partial.isEmpty()) {
            deliver(piece, onLine);
        } else {
            m_partial.append(piece.first(std::min(piece.size(), MaxLineBytes)));
            deliver(m_partial, onLine);
            m_partial.clear();
        }
    }
    if (!data.isEmpty())
        onLine(QString()); // the empty piece after a final line break
}

void LineFramer::keepPartial(QByteArrayView tail, const LineHandler &onLine)
{
    if (m_discarding)
        return;
    if (m_partial.size() + tail.size() <= MaxLineBytes) {
        m_partial.append(tail);
        return;
    }
    m_partial.append(tail.first(MaxLineBytes + 1 - m_partial.size()));
    deliver(m_partial, onLine);
    m_partial.clear();
    m_discarding = true;
}

void LineFramer::reset()
{
    m_partial.clear();
    m_discarding = false;
}
