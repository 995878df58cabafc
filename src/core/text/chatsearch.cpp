#include "chatsearch.h"

#include "chatbuffer.h"

#include <QStringDecoder>

#include <climits>

namespace {

// UTF-16 units in a stretch of valid UTF-8: one per character, two for those beyond the basic
// plane (the ones with a four-byte sequence).
int utf16Length(QByteArrayView utf8)
{
    int units = 0;
    for (const char c : utf8) {
        const auto byte = quint8(c);
        units += (byte & 0xc0) != 0x80;
        units += byte >= 0xf0;
    }
    return units;
}

// The longest stretch of ASCII characters in a text.
QByteArray longestAsciiRun(QStringView text)
{
    QStringView longest;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i].unicode() < 0x80)
            continue;
        if (i - runStart > longest.size())
            longest = text.sliced(runStart, i - runStart);
        runStart = i + 1;
    }
    return longest.toLatin1();
}

// Characters beyond ASCII that fold to ASCII letters: KELVIN SIGN to k, LONG S to s.
bool hasWideFoldingToAscii(QByteArrayView utf8)
{
    return utf8.contains("\xe2\x84\xaa") || utf8.contains("\xc5\xbf");
}

} // namespace

// Finds the matches of one search in buffer lines, one line at a time, reusing its buffers.
// Matching case, it compares the stored UTF-8 bytes and decodes nothing; ignoring case, it
// decodes into one reused array only the lines that may match, and compares there.
class LineScanner
{
public:
    LineScanner(const ChatSearch &search, const ChatBuffer &buffer)
        : m_search(search), m_buffer(buffer),
          m_decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
    {}

    // Where the matches of a buffer line start; empty when it has none.
    const std::vector<int> &startsIn(int line)
    {
        m_starts.clear();
        const QByteArrayView utf8 = m_buffer.lineUtf8(line);
        if (m_search.m_case == Qt::CaseSensitive || m_search.m_caseless)
            findBytes(utf8);
        else
            findIgnoringCase(utf8);
        return m_starts;
    }

private:
    void findBytes(QByteArrayView utf8)
    {
        const QByteArrayView needle = m_search.m_utf8;
        qsizetype from = 0;
        qsizetype counted = 0; // bytes whose UTF-16 length is in units
        int units = 0;
        for (qsizetype at = utf8.indexOf(needle); at >= 0; at = utf8.indexOf(needle, from)) {
            units += utf16Length(utf8.sliced(counted, at - counted));
            m_starts.push_back(units);
            counted = at;
            from = at + needle.size();
        }
    }

    // Most lines lack the text's ASCII part, and that is seen in their bytes without decoding
    // them: ignoring Latin-1 case, a byte of a longer sequence never equals an ASCII letter.
    bool cannotMatch(QByteArrayView utf8) const
    {
        const QByteArray &run = m_search.m_asciiRun;
        return !run.isEmpty() &&
               !QLatin1StringView(utf8).contains(QLatin1StringView(run), Qt::CaseInsensitive) &&
               !(m_search.m_asciiRunFoldsFromWide && hasWideFoldingToAscii(utf8));
    }

    void findIgnoringCase(QByteArrayView utf8)
    {
        if (cannotMatch(utf8))
            return;
        // Never more UTF-16 units than UTF-8 bytes.
        if (m_decoded.size() < size_t(utf8.size()))
            m_decoded.resize(size_t(utf8.size()));
        const QChar *end = m_decoder.appendToBuffer(m_decoded.data(), utf8);
        const QStringView text(m_decoded.data(), end);
        const QStringView needle = m_search.m_text;
        for (qsizetype at = text.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(needle, at + needle.size(), Qt::CaseInsensitive))
            m_starts.push_back(int(at));
    }

    const ChatSearch &m_search;
    const ChatBuffer &m_buffer;
    QStringDecoder m_decoder;
    std::vector<QChar> m_decoded;
    std::vector<int> m_starts;
};

ChatSearch::ChatSearch(const QString &text, Qt::CaseSensitivity caseSensitivity)
    : m_text(text), m_utf8(text.toUtf8()), m_asciiRun(longestAsciiRun(text)),
      m_case(caseSensitivity)
{
    m_caseless = m_text.toCaseFolded() == m_text && m_text.toUpper() == m_text;
    m_asciiRunFoldsFromWide = m_asciiRun.contains('k') || m_asciiRun.contains('K') ||
                              m_asciiRun.contains('s') || m_asciiRun.contains('S');
}

ChatMatch ChatSearch::forward(const ChatBuffer &buffer, int line, int offset) const
{
    const int count = buffer.lineCount();
    if (m_text.isEmpty() || count == 0)
        return {};
    if (line < 0 || line >= count) {
        line = 0;
        offset = 0;
    }
    LineScanner scanner(*this, buffer);
    // The given line from the offset on, the lines after it, then round from the top and the
    // given line again up to the offset.
    for (int step = 0; step <= count; ++step) {
        const int current = (line + step) % count;
        for (const int start : scanner.startsIn(current)) {
            if (step == 0 && start < offset)
                continue;
            if (step == count && start >= offset)
                break;
            return ChatMatch{current, start, int(m_text.size())};
        }
    }
    return {};
}

ChatMatch ChatSearch::backward(const ChatBuffer &buffer, int line, int offset) const
{
    const int count = buffer.lineCount();
    if (m_text.isEmpty() || count == 0)
        return {};
    if (line < 0 || line >= count) {
        line = count - 1;
        offset = INT_MAX;
    }
    LineScanner scanner(*this, buffer);
    for (int step = 0; step <= count; ++step) {
        const int current = (line - step % count + count) % count;
        const std::vector<int> &starts = scanner.startsIn(current);
        for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
            if (step == 0 && *it >= offset)
                continue;
            if (step == count && *it < offset)
                break;
            return ChatMatch{current, *it, int(m_text.size())};
        }
    }
    return {};
}

std::vector<int> ChatSearch::matchesIn(QStringView lineText) const
{
    std::vector<int> starts;
    if (m_text.isEmpty())
        return starts;
    for (qsizetype at = lineText.indexOf(m_text, 0, m_case); at >= 0;
         at = lineText.indexOf(m_text, at + m_text.size(), m_case))
        starts.push_back(int(at));
    return starts;
}
