#include "chattextindex.h"

#include "text/chatbuffer.h"

#include <algorithm>

void ChatTextIndex::sync(const ChatBuffer &buffer)
{
    if (buffer.lineCount() < lineCount())
        reset();
    for (int line = lineCount(); line < buffer.lineCount(); ++line)
        m_starts.push_back(m_starts.back() + int(buffer.lineText(line).size()) + 1);
}

int ChatTextIndex::lineAt(int offset) const
{
    if (lineCount() == 0)
        return -1;
    const auto after = std::upper_bound(m_starts.cbegin(), m_starts.cend() - 1, offset);
    return std::clamp(int(after - m_starts.cbegin()) - 1, 0, lineCount() - 1);
}

QString ChatTextIndex::text(const ChatBuffer &buffer, int from, int to) const
{
    from = std::clamp(from, 0, length());
    to = std::clamp(to, from, length());
    QString text;
    if (from == to)
        return text;
    text.reserve(to - from);
    for (int line = lineAt(from); line < lineCount() && lineStart(line) < to; ++line) {
        const QString lineText = buffer.lineText(line) + u'\n';
        const int start = std::max(from - lineStart(line), 0);
        const int end = std::min(to - lineStart(line), int(lineText.size()));
        text += QStringView(lineText).sliced(start, end - start);
    }
    return text;
}
