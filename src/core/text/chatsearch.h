#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class ChatBuffer;

// Where a search found its text: a line of a buffer and a stretch of that line's text, counted
// in UTF-16 units as the line's QString counts them.
struct ChatMatch
{
    int line = -1;
    int start = 0;
    int length = 0;

    bool isValid() const { return line >= 0; }
    friend bool operator==(const ChatMatch &, const ChatMatch &) = default;
};

// Finds a text in the lines of a ChatBuffer, matching case or not. It reads the buffer's stored
// UTF-8 text line by line and lays nothing out, so a hundred thousand lines take milliseconds.
// Searches wrap around: past the newest line they go on from the oldest, and back past the
// oldest from the newest, so the next match is always found when there is one. Matches in a line
// do not overlap: each one starts after the end of the one before.
class ChatSearch
{
public:
    ChatSearch() = default;
    ChatSearch(const QString &text, Qt::CaseSensitivity caseSensitivity);

    const QString &text() const { return m_text; }
    Qt::CaseSensitivity caseSensitivity() const { return m_case; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // The first match that starts at or after (line, offset) in reading order; a line past the
    // end starts from the top. Invalid when the text is nowhere in the buffer.
    ChatMatch forward(const ChatBuffer &buffer, int line, int offset) const;
    // The last match that starts before (line, offset); a line past the end means "from the
    // very end". Invalid when the text is nowhere in the buffer.
    ChatMatch backward(const ChatBuffer &buffer, int line, int offset) const;

    // Where the matches in one line's text start.
    std::vector<int> matchesIn(QStringView lineText) const;

private:
    friend class LineScanner;

    QString m_text;
    QByteArray m_utf8;
    // Ignoring case: the longest stretch of ASCII in the text, which a line must contain
    // (ignoring ASCII case) to match, and whether a character beyond ASCII can fold into it.
    QByteArray m_asciiRun;
    bool m_asciiRunFoldsFromWide = false;
    bool m_caseless = false; // no letter with case (digits, CJK): ignoring case changes nothing
    Qt::CaseSensitivity m_case = Qt::CaseSensitive;
};
