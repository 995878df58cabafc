#include "chatbuffer.h"

#include "linkdetector.h"

#include <algorithm>

namespace {
constexpr qsizetype kChunkBytes = 1 << 20;
}

ChatBuffer::ChatBuffer(QObject *parent) : QObject(parent) {}

ChatBuffer::~ChatBuffer() = default;

qreal ChatBuffer::basePointSize() const
{
    return m_sizeSource ? m_sizeSource->basePointSize() : m_basePointSize;
}

quint8 ChatBuffer::sizeIndexFor(qreal pointSize)
{
    for (size_t i = 0; i < m_sizes.size(); ++i) {
        if (qFuzzyCompare(m_sizes[i], pointSize))
            return quint8(i);
    }
    if (m_sizes.size() == 256)
        return 0; // a view never sees that many sizes; reuse the first rather than fail
    m_sizes.push_back(pointSize);
    return quint8(m_sizes.size() - 1);
}

void ChatBuffer::appendLine(const FormattedLine &line, qreal pointSize)
{
    const QByteArray utf8 = line.text.left(0xffff).toUtf8();
    if (m_chunks.empty() || m_chunks.back().size() + utf8.size() > m_chunks.back().capacity()) {
        m_chunks.emplace_back();
        m_chunks.back().reserve(std::max(kChunkBytes, utf8.size()));
    }
    QByteArray &chunk = m_chunks.back();
    m_lines.push_back(Line{quint32(m_chunks.size() - 1), quint32(chunk.size()),
                           quint32(utf8.size()), quint32(m_runs.size()), quint32(m_links.size())});
    chunk.append(utf8);

    const quint8 sizeIndex = sizeIndexFor(pointSize);
    for (const FormatRun &run : line.runs) {
        if (run.start >= 0xffff)
            break;
        const quint8 styles = (run.bold ? Bold : 0) | (run.underline ? Underline : 0) |
                              (run.reverse ? Reverse : 0) | (run.italic ? Italic : 0) |
                              (run.strikeout ? Strikeout : 0) | (run.monospace ? Monospace : 0) |
                              (run.hasBackground ? Background : 0);
        const int length = std::min(run.length, 0xffff - run.start);
        m_runs.push_back(Run{quint16(run.start), quint16(length), run.colour, run.background,
                             styles, sizeIndex});
    }
    if (mayHoldLinks(utf8)) {
        for (const LinkRange &link : findLinks(QStringView(line.text).left(0xffff)))
            m_links.push_back(Link{quint16(link.start), quint16(link.length)});
    }
    if (lineCount() > m_maxLines)
        dropOldest(lineCount() - (m_maxLines - m_maxLines / 10));
    emit lineAppended();
}

void ChatBuffer::dropOldest(int count)
{
    const Line first = m_lines[size_t(count)];
    m_lines.erase(m_lines.begin(), m_lines.begin() + count);
    for (Line &line : m_lines) {
        line.chunk -= first.chunk;
        line.firstRun -= first.firstRun;
        line.firstLink -= first.firstLink;
    }
    m_chunks.erase(m_chunks.begin(), m_chunks.begin() + first.chunk);
    m_runs.erase(m_runs.begin(), m_runs.begin() + first.firstRun);
    m_links.erase(m_links.begin(), m_links.begin() + first.firstLink);
    const auto kept = std::lower_bound(m_highlighted.begin(), m_highlighted.end(), count);
    m_highlighted.erase(m_highlighted.begin(), kept);
    for (int &line : m_highlighted)
        line -= count;
    emit linesDropped(count);
}

void ChatBuffer::clear()
{
    m_chunks.clear();
    m_lines.clear();
    m_runs.clear();
    m_links.clear();
    m_highlighted.clear();
    m_chunks.shrink_to_fit();
    m_lines.shrink_to_fit();
    m_runs.shrink_to_fit();
    m_links.shrink_to_fit();
    emit cleared();
}

QString ChatBuffer::lineText(int line) const
{
    const Line &l = m_lines[size_t(line)];
    return QString::fromUtf8(m_chunks[l.chunk].constData() + l.offset, qsizetype(l.bytes));
}

QByteArrayView ChatBuffer::lineUtf8(int line) const
{
    const Line &l = m_lines[size_t(line)];
    return QByteArrayView(m_chunks[l.chunk].constData() + l.offset, qsizetype(l.bytes));
}

std::span<const ChatBuffer::Run> ChatBuffer::lineRuns(int line) const
{
    const size_t first = m_lines[size_t(line)].firstRun;
    const size_t end =
        size_t(line) + 1 < m_lines.size() ? m_lines[size_t(line) + 1].firstRun : m_runs.size();
    return std::span<const Run>(m_runs.data() + first, end - first);
}

std::span<const ChatBuffer::Link> ChatBuffer::lineLinks(int line) const
{
    const size_t first = m_lines[size_t(line)].firstLink;
    const size_t end =
        size_t(line) + 1 < m_lines.size() ? m_lines[size_t(line) + 1].firstLink : m_links.size();
    return std::span<const Link>(m_links.data() + first, end - first);
}

void ChatBuffer::highlightLine(int line)
{
    if (line < 0 || line >= lineCount() || (!m_highlighted.empty() && line <= m_highlighted.back()))
        return;
    m_highlighted.push_back(line);
}

bool ChatBuffer::isHighlighted(int line) const
{
    return std::binary_search(m_highlighted.cbegin(), m_highlighted.cend(), line);
}
