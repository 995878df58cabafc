#pragma once

#include <QString>

#include <vector>

class ChatBuffer;

// Where each line of a buffer begins in the buffer's plain text, the lines joined with "\n", so
// that assistive technology can address the conversation by character offsets. Built only when
// asked for, and brought up to date with appended lines one line at a time.
class ChatTextIndex
{
public:
    void reset() { m_starts.assign(1, 0); }

    // Takes in the lines appended since the last call.
    void sync(const ChatBuffer &buffer);

    int lineCount() const { return int(m_starts.size()) - 1; }
    // Characters in the text: the lines and the "\n" between them.
    int length() const { return lineCount() == 0 ? 0 : m_starts.back() - 1; }
    int lineStart(int line) const { return m_starts[size_t(line)]; }
    // Length of the line without its "\n".
    int lineLength(int line) const { return m_starts[size_t(line) + 1] - lineStart(line) - 1; }
    // The line an offset falls in; the "\n" after a line belongs to it.
    int lineAt(int offset) const;

    // The text from..to (clamped), lines joined with "\n".
    QString text(const ChatBuffer &buffer, int from, int to) const;

private:
    // Start of each line, and one past the "\n" that would follow the last line.
    std::vector<int> m_starts{0};
};
